#pragma once
// SimulatorPanel: the "Simulated devices" window of the demo mode (--simulate). It stands in for the
// user at the USB port and at the devices: it plugs and unplugs the simulated keyboard, mouse,
// mousepad and headset and presses their buttons. It talks only to the simulated bus and headset
// chip; the program's watchers and synchronisation readers notice every change by themselves, as
// they would with real devices, so the panel never reaches into the main window.
//
// A plain Qt tool window, not built from the skin: it belongs to the demo, not to the product. It
// has no parent, so it stays on screen while the main window is hidden (the watchers hide the main
// window when the last device is unplugged, and the panel is then the way to plug one again).
//
// UI thread only. The bus and the chip must outlive the panel.

#include <QWidget>
#include <array>
#include <functional>

#include "sim/SimDeviceKind.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace korva::sim {
class SimBus;
class SimulatedHeadsetChip;
}  // namespace korva::sim

namespace korva::app {

// The bus ids of the devices plugged at start-up.
struct SimulatedDeviceIds {
  int keyboard = 0;
  int mouse = 0;
  int mousepad = 0;
};

class SimulatorPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr char kTitle[] = "KORVA \u2014 simulated devices";
  static constexpr int kRefreshMs = 500;  // how often the status lines follow the devices on screen

  // `devices.keyboard` may be either keyboard model; the other model gets a device of its own when
  // it is first chosen and plugged.
  SimulatorPanel(sim::SimBus& bus, sim::SimulatedHeadsetChip& headset, SimulatedDeviceIds devices,
                 QWidget* parent = nullptr);
  ~SimulatorPanel() override;

  // Moves the panel next to `window`'s frame: to its right, else to its left, kept on the window's
  // screen.
  void PlaceBeside(const QWidget& window);

  // The bus id of the keyboard the panel plugs and unplugs now (it changes with the model).
  int KeyboardId() const { return keyboardId_; }

  // Reads the bus and the chip into the check boxes, buttons and status lines. The timer calls it
  // while the panel is on screen (a hidden or minimised panel wakes nothing, and catches up when
  // it is shown again); every action of the panel calls it at once.
  void Refresh();
  bool IsFollowing() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildRows();
  void PlugKeyboard(bool plugged);
  void PlugDevice(int id, bool plugged);
  // `press` acts on the bus when `button` is clicked; the panel then shows the outcome.
  void OnClick(QPushButton* button, std::function<void()> press);
  // Starts or stops the refresh timer as the panel comes on screen or leaves it.
  void FollowWhileOnScreen();

  sim::SimBus& bus_;
  sim::SimulatedHeadsetChip& headset_;
  // One device per keyboard model, indexed by the model number (0: 0x8901, 1: 0x7680); 0 = none yet.
  std::array<int, 2> keyboards_{};
  int keyboardId_ = 0;
  int mouseId_ = 0;
  int mousepadId_ = 0;

  QCheckBox* keyboardPlugged_ = nullptr;
  QComboBox* keyboardModel_ = nullptr;
  QPushButton* keyboardProfile_ = nullptr;
  QPushButton* keyboardSettings_ = nullptr;
  QLabel* keyboardStatus_ = nullptr;
  QCheckBox* mousePlugged_ = nullptr;
  QPushButton* mouseProfile_ = nullptr;
  QPushButton* mouseStage_ = nullptr;
  QPushButton* mouseSettings_ = nullptr;
  QPushButton* mouseClick_ = nullptr;
  QLabel* mouseStatus_ = nullptr;
  QCheckBox* mousepadPlugged_ = nullptr;
  QLabel* mousepadStatus_ = nullptr;
  QCheckBox* headsetPlugged_ = nullptr;
  QLabel* headsetStatus_ = nullptr;
  QTimer* refresh_ = nullptr;
};

}  // namespace korva::app
