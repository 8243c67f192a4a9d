#include "app/SimulatorPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "device/SyncReaders.h"
#include "headset/HeadsetLightFrame.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"

namespace korva::app {

namespace {

// The keyboard models in the order of the model choice (the keyboard model number).
constexpr sim::SimDeviceKind kKeyboardModels[] = {sim::SimDeviceKind::kKeyboard,
                                                  sim::SimDeviceKind::kKeyboardModel1};
// Mouse record byte 19: the active profile's current sensitivity stage, 0..5.
constexpr std::size_t kCurrentStageByte = 19;
constexpr int kStageCount = 6;
constexpr int kGapToWindow = 8;  // pixels between the main window's frame and the panel

int ModelIndex(sim::SimDeviceKind kind) {
  return kind == sim::SimDeviceKind::kKeyboardModel1 ? 1 : 0;
}

QString ProductText(sim::SimDeviceKind kind) {
  return QStringLiteral("0x%1").arg(sim::ProductIdOf(kind), 4, 16, QLatin1Char('0'));
}

// "on-device profile 2 of 5"; the device's number counts from 0, people count from 1.
// The first and the last LED of the headset's first LED controller, as "#RRGGBB ... #RRGGBB".
QString LedText(const sim::SimulatedHeadsetChip& chip) {
  const auto leds = chip.LedColours(headset::kLedControllers[0]);
  const auto hex = [](const sim::SimulatedHeadsetChip::LedColour& c) {
    return QStringLiteral("#%1").arg((c[0] << 16) | (c[1] << 8) | c[2], 6, 16, QLatin1Char('0')).toUpper();
  };
  return hex(leds.front()) + QStringLiteral(" \u2026 ") + hex(leds.back());
}

QString ProfileText(std::uint8_t active) {
  if (active >= sim::kSimProfileCount)
    return QStringLiteral("no valid on-device profile (number %1)").arg(active);
  return QStringLiteral("on-device profile %1 of %2").arg(active + 1).arg(sim::kSimProfileCount);
}

// One device: a titled box holding a grid of two columns -- the "Plugged" box (and the model
// choice) on the first line, the device's buttons two by two below it, the status line last. Two
// columns keep the panel narrow enough to sit beside the main window on a common screen.
class DeviceBox {
 public:
  DeviceBox(QVBoxLayout* panel, const QString& title) : grid_(new QGridLayout) {
    auto* box = new QGroupBox(title);
    box->setLayout(grid_);
    panel->addWidget(box);
  }

  QCheckBox* AddPlugged(const char* name) {
    auto* plugged = new QCheckBox(QStringLiteral("Plugged"));
    plugged->setObjectName(QLatin1String(name));
    grid_->addWidget(plugged, 0, 0);
    return plugged;
  }
  // Beside the "Plugged" box.
  void AddBesidePlugged(QWidget* widget) { grid_->addWidget(widget, 0, 1); }

  QPushButton* AddButton(const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    grid_->addWidget(button, 1 + buttons_ / 2, buttons_ % 2);
    ++buttons_;
    return button;
  }

  QLabel* AddStatus(const char* name) {
    auto* status = new QLabel;
    status->setObjectName(QLatin1String(name));
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // As wide as the longest status, so that the window keeps its size while the texts change.
    status->setMinimumWidth(status->fontMetrics().horizontalAdvance(
        QStringLiteral("0x8901 plugged, on-device profile 5 of 5, stage 6 of 6")));
    grid_->addWidget(status, grid_->rowCount(), 0, 1, 2);
    return status;
  }

 private:
  QGridLayout* grid_;
  int buttons_ = 0;
};

}  // namespace

SimulatorPanel::SimulatorPanel(sim::SimBus& bus, sim::SimulatedHeadsetChip& headset,
                               SimulatedDeviceIds devices, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      bus_(bus),
      headset_(headset),
      keyboardId_(devices.keyboard),
      mouseId_(devices.mouse),
      mousepadId_(devices.mousepad) {
  setObjectName(QStringLiteral("sim_panel"));
  setWindowTitle(QString::fromUtf8(kTitle));
  keyboards_[ModelIndex(bus_.Firmware(keyboardId_).Kind())] = keyboardId_;
  BuildRows();

  refresh_ = new QTimer(this);
  refresh_->setInterval(kRefreshMs);
  connect(refresh_, &QTimer::timeout, this, &SimulatorPanel::Refresh);
  Refresh();
}

bool SimulatorPanel::IsFollowing() const {
  return refresh_->isActive();
}

void SimulatorPanel::FollowWhileOnScreen() {
  const bool onScreen = isVisible() && !isMinimized();
  if (onScreen == refresh_->isActive()) return;
  if (onScreen) {
    Refresh();
    refresh_->start();
  } else {
    refresh_->stop();
  }
}

void SimulatorPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FollowWhileOnScreen();
}

void SimulatorPanel::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FollowWhileOnScreen();
}

void SimulatorPanel::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) FollowWhileOnScreen();
}

SimulatorPanel::~SimulatorPanel() = default;

void SimulatorPanel::BuildRows() {
  auto* panel = new QVBoxLayout(this);
  panel->setSizeConstraint(QLayout::SetFixedSize);

  DeviceBox keyboard(panel, QStringLiteral("Keyboard"));
  keyboardPlugged_ = keyboard.AddPlugged("sim_kb_plugged");
  keyboardModel_ = new QComboBox;
  keyboardModel_->setObjectName(QStringLiteral("sim_kb_model"));
  for (sim::SimDeviceKind kind : kKeyboardModels) keyboardModel_->addItem(ProductText(kind));
  keyboardModel_->setCurrentIndex(ModelIndex(bus_.Firmware(keyboardId_).Kind()));
  keyboardModel_->setToolTip(QStringLiteral("The keyboard model the next plug brings"));
  keyboard.AddBesidePlugged(keyboardModel_);
  keyboardProfile_ = keyboard.AddButton("sim_kb_profile", QStringLiteral("Profile button"));
  keyboardSettings_ = keyboard.AddButton("sim_kb_settings", QStringLiteral("Settings changed"));
  keyboardStatus_ = keyboard.AddStatus("sim_kb_status");
  connect(keyboardPlugged_, &QCheckBox::clicked, this, &SimulatorPanel::PlugKeyboard);
  OnClick(keyboardProfile_, [this] { bus_.PressProfileButton(keyboardId_); });
  OnClick(keyboardSettings_,
          [this] { bus_.RaiseConsumerReport(keyboardId_, device::kUsageSettingsChanged); });

  DeviceBox mouse(panel, QStringLiteral("Mouse"));
  mousePlugged_ = mouse.AddPlugged("sim_ms_plugged");
  mouseProfile_ = mouse.AddButton("sim_ms_profile", QStringLiteral("Profile button"));
  mouseStage_ = mouse.AddButton("sim_ms_stage", QStringLiteral("Stage button"));
  mouseSettings_ = mouse.AddButton("sim_ms_settings", QStringLiteral("Settings changed"));
  mouseClick_ = mouse.AddButton("sim_ms_click", QStringLiteral("Click"));
  mouseStatus_ = mouse.AddStatus("sim_ms_status");
  connect(mousePlugged_, &QCheckBox::clicked, this, [this](bool plugged) { PlugDevice(mouseId_, plugged); });
  OnClick(mouseProfile_, [this] { bus_.PressProfileButton(mouseId_); });
  OnClick(mouseStage_, [this] { bus_.PressStageButton(mouseId_); });
  OnClick(mouseSettings_, [this] { bus_.RaiseConsumerReport(mouseId_, device::kUsageSettingsChanged); });
  OnClick(mouseClick_, [this] { bus_.RaiseConsumerReport(mouseId_, device::kUsageClick); });

  DeviceBox mousepad(panel, QStringLiteral("Mousepad"));
  mousepadPlugged_ = mousepad.AddPlugged("sim_mp_plugged");
  mousepadStatus_ = mousepad.AddStatus("sim_mp_status");
  connect(mousepadPlugged_, &QCheckBox::clicked, this,
          [this](bool plugged) { PlugDevice(mousepadId_, plugged); });

  DeviceBox headset(panel, QStringLiteral("Headset"));
  headsetPlugged_ = headset.AddPlugged("sim_hs_plugged");
  headsetStatus_ = headset.AddStatus("sim_hs_status");
  connect(headsetPlugged_, &QCheckBox::clicked, this, [this](bool plugged) {
    headset_.SetPresent(plugged);
    Refresh();
  });
}

void SimulatorPanel::PlugKeyboard(bool plugged) {
  if (!plugged) {
    PlugDevice(keyboardId_, false);
    return;
  }
  const int model = keyboardModel_->currentIndex();
  int& chosen = keyboards_[static_cast<std::size_t>(model)];
  // One keyboard at a time: the demo's user swaps models, as at a single USB port.
  if (chosen != keyboardId_) bus_.Unplug(keyboardId_);
  if (chosen == 0)
    chosen = bus_.Plug(kKeyboardModels[model]);
  else
    bus_.Replug(chosen);  // the same keyboard, its memory kept; false when it is plugged already
  keyboardId_ = chosen;
  Refresh();
}

void SimulatorPanel::PlugDevice(int id, bool plugged) {
  if (plugged)
    bus_.Replug(id);  // false when it is plugged already: nothing to do
  else
    bus_.Unplug(id);
  Refresh();
}

void SimulatorPanel::OnClick(QPushButton* button, std::function<void()> press) {
  // A press that finds its device gone (the bus answers false) changes nothing; the refreshed
  // status line shows why.
  connect(button, &QPushButton::clicked, this, [this, press = std::move(press)] {
    press();
    Refresh();
  });
}

void SimulatorPanel::Refresh() {
  const auto followBox = [](QCheckBox* box, bool checked) {
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
  };

  const bool keyboardIn = bus_.IsPlugged(keyboardId_);
  const sim::SimFirmware& keyboard = bus_.Firmware(keyboardId_);
  const bool keyboardReports = keyboardIn && sim::HasConsumerCollection(keyboard.Kind());
  followBox(keyboardPlugged_, keyboardIn);
  keyboardProfile_->setEnabled(keyboardReports);
  keyboardSettings_->setEnabled(keyboardReports);
  keyboardStatus_->setText(keyboardIn
                               ? QStringLiteral("%1 plugged, %2")
                                     .arg(ProductText(keyboard.Kind()), ProfileText(keyboard.ActiveProfile()))
                               : QStringLiteral("%1 unplugged").arg(ProductText(keyboard.Kind())));

  const bool mouseIn = bus_.IsPlugged(mouseId_);
  followBox(mousePlugged_, mouseIn);
  for (QPushButton* button : {mouseProfile_, mouseStage_, mouseSettings_, mouseClick_})
    button->setEnabled(mouseIn);
  if (mouseIn) {
    const std::uint8_t active = bus_.Firmware(mouseId_).ActiveProfile();
    QString text = QStringLiteral("plugged, %1").arg(ProfileText(active));
    if (active < sim::kSimProfileCount) {
      const auto record = bus_.Firmware(mouseId_).Record(active);
      text += QStringLiteral(", stage %1 of %2").arg(record[kCurrentStageByte] + 1).arg(kStageCount);
    }
    mouseStatus_->setText(text);
  } else {
    mouseStatus_->setText(QStringLiteral("unplugged"));
  }

  const bool mousepadIn = bus_.IsPlugged(mousepadId_);
  followBox(mousepadPlugged_, mousepadIn);
  mousepadStatus_->setText(
      mousepadIn ? QStringLiteral("plugged, %1").arg(ProfileText(bus_.Firmware(mousepadId_).ActiveProfile()))
                 : QStringLiteral("unplugged"));

  const bool headsetIn = headset_.IsPresent();
  followBox(headsetPlugged_, headsetIn);
  headsetStatus_->setText(headsetIn ? QStringLiteral("plugged, LEDs %1").arg(LedText(headset_)) : QStringLiteral("unplugged"));
}

void SimulatorPanel::PlaceBeside(const QWidget& window) {
  adjustSize();
  const QRect frame = window.frameGeometry();
  const QScreen* screen = window.screen();
  const QRect area = screen ? screen->availableGeometry() : frame;
  const QSize size = frameGeometry().size();
  int x = frame.right() + 1 + kGapToWindow;
  if (x + size.width() > area.right() + 1) {
    const int left = frame.left() - kGapToWindow - size.width();
    // Neither side has room: the panel overlaps the window's right edge rather than leave the screen.
    x = left >= area.left() ? left : area.right() + 1 - size.width();
  }
  x = std::max(x, area.left());
  const int y = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
  move(x, y);
}

}  // namespace korva::app
