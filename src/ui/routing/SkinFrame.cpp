#include "ui/routing/SkinFrame.h"

#include <QEvent>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>

#include "common/Log.h"
#include "profile/DataFolders.h"
#include "profile/IniFile.h"
#include "ui/routing/SkinChanged.h"

namespace korva::ui {

namespace {

constexpr char kSection[] = "SKINIMAGE";
constexpr char kFlagsKey[] = "FLAGS";
constexpr char kImageKey[] = "IMAGE";

QString AskForPngImage(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  dialog.setNameFilters({QStringLiteral("PNG (*.png)"), QStringLiteral("* (*)")});
  dialog.setOption(QFileDialog::ReadOnly, true);
  dialog.selectFile(QStringLiteral("*.png"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

CSkinFrame::CSkinFrame(SkinWindow& mainWindow, SkinFrameContext context)
    : SkinWindow(mainWindow.GetSkin(), &mainWindow), context_(std::move(context)) {
  // A tool window of the main window: no task-bar entry, above the main window, no frame.
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setObjectName(QStringLiteral("skinframe"));
  setAttribute(Qt::WA_DeleteOnClose);
}

CSkinFrame* CSkinFrame::Open(SkinWindow& mainWindow, const Control& skinButton, SkinFrameContext context) {
  auto* frame = new CSkinFrame(mainWindow, std::move(context));
  if (const auto error = frame->Build(QString::fromLatin1(kSkin))) {
    Trace("skin picker: " + error->ToString());
    delete frame;
    return nullptr;
  }
  frame->AddNotifier(frame);
  frame->PlaceUnder(skinButton);
  frame->show();
  frame->raise();
  frame->activateWindow();
  return frame;
}

void CSkinFrame::PlaceUnder(const Control& button) {
  const QWidget* widget = button.Widget();
  if (!widget) return;
  // Right edges aligned, top edge on the button's bottom edge.
  const QPoint bottomRight = widget->mapToGlobal(QPoint(widget->width(), widget->height()));
  move(bottomRight.x() - width(), bottomRight.y());
}

ObserverImpl& CSkinFrame::Observer() const {
  return context_.observer ? *context_.observer : GetSkinObserver();
}

void CSkinFrame::Notify(const Notification& msg) {
  if (msg.type != QLatin1String(notify::kClick)) return;
  const QString name = msg.name.toLower();
  if (name == QLatin1String("menu_website")) {
    if (context_.menu) context_.menu->OpenWebsite();
  } else if (name == QLatin1String("menu_restore")) {
    if (context_.menu) context_.menu->RestoreAllDefaults();
  } else if (name == QLatin1String("menu_update")) {
    if (context_.menu && context_.menu->RunUpdater()) close();
  } else if (name == QLatin1String("skin_image")) {
    FindControl(QStringLiteral("skin_tab")).SelectItem(0);
  } else if (name == QLatin1String("skin_reset")) {
    ResetBackground();
  } else if (name == QLatin1String("skin_custom")) {
    ChooseCustomBackground();
  }
}

void CSkinFrame::ResetBackground() {
  Observer().Broadcast(SkinChangedParam{false, 0, QString::fromLatin1(kDefaultBackgroundImage)});
  // Both keys in one replacement of the file: a reader never finds one without the other.
  const Result<void> written = profile::UpdateIniFile(context_.mainIni, [](profile::IniFile& ini) {
    ini.SetString(kSection, kFlagsKey, "0");
    ini.SetString(kSection, kImageKey, kDefaultBackgroundImage);
  });
  if (!written) Trace("skin picker: the default background is not remembered: " + written.error().ToString());
}

void CSkinFrame::ChooseCustomBackground() {
  QString image;
  {
    choosing_ = true;
    QPointer<CSkinFrame> self(this);
    image = context_.chooseImage ? context_.chooseImage(this) : AskForPngImage(this);
    if (!self) return;
    choosing_ = false;
  }
  if (!image.isEmpty()) Observer().Broadcast(SkinChangedParam{false, 0, image});
  // The dialog took the focus, which closes the picker; it only waited for the answer.
  close();
}

void CSkinFrame::changeEvent(QEvent* event) {
  SkinWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    wasActive_ = true;
  } else if (wasActive_ && !choosing_) {
    // Losing the focus closes the picker: the user clicked somewhere else. Queued, so that the
    // window is not deleted inside the activation change that is still being delivered.
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

std::filesystem::path MainIniPath(const profile::DataFolders& folders) {
  return folders.GetBaseFolder() / "main.ini";
}

void ApplyStoredSkinChoice(SkinWindow& mainWindow, const std::filesystem::path& mainIni) {
  const profile::IniFile ini = profile::IniFile::Load(mainIni);
  if (ini.corrupt()) Trace("main.ini: " + ini.problem());
  if (ini.GetInt(kSection, kFlagsKey, 0) != 1) return;
  const QString image = QString::fromStdString(ini.GetString(kSection, kImageKey, "0"));
  ApplySkinBackground(mainWindow, SkinChangedParam{false, 0, image});
}

}  // namespace korva::ui
