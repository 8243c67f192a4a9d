#include "ui/routing/MsgWnd.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

#include "common/Log.h"
#include "ui/Skin.h"

namespace korva::ui {

CMsgWnd::CMsgWnd(SkinWindow& owner) : SkinWindow(owner.GetSkin(), &owner), owner_(owner) {
  // A dialog of its owner: no task-bar entry of its own, kept above the owner.
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setObjectName(QStringLiteral("msgwnd"));
  setAttribute(Qt::WA_DeleteOnClose);
  if (const auto error = Build(QString::fromLatin1(kSkin))) {
    Trace("message box: " + error->ToString());
    return;
  }
  built_ = true;
  closeButton_ = FindControl(QStringLiteral("closebtn"));
  AddNotifier(this);
}

void CMsgWnd::SetMessage(const QString& textId) {
  if (!textId.isEmpty()) FindControl(QStringLiteral("MessageText")).SetText(textId);
}

void CMsgWnd::SetLiteralMessage(const QString& text) {
  FindControl(QStringLiteral("MessageText")).SetText(text);
}

int CMsgWnd::RunModal() {
  QPointer<CMsgWnd> self(this);
  int result = 0;
  QEventLoop loop;
  connect(this, &CMsgWnd::finished, &loop, [&](int r) {
    result = r;
    loop.quit();
  });
  // The owner going away takes the box with it; that answers nothing.
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
  setWindowModality(Qt::ApplicationModal);
  CentreOnOwner();
  show();
  raise();
  activateWindow();
  if (self && !done_) loop.exec(QEventLoop::DialogExec);
  return result;
}

void CMsgWnd::CentreOnOwner() {
  // A hidden owner (the main window while no device is connected) has no place on the screen
  // the user sees: centre on its screen instead.
  QRect area = owner_.frameGeometry();
  if (!owner_.isVisible()) {
    const QScreen* screen = owner_.screen() ? owner_.screen() : QGuiApplication::primaryScreen();
    if (screen) area = screen->availableGeometry();
  }
  move(area.center() - rect().center());
}

void CMsgWnd::Notify(const Notification& msg) {
  if (msg.type != QLatin1String(notify::kClick)) return;
  const QString name = msg.name.toLower();
  if (msg.sender == closeButton_ || name == QLatin1String("closebtn"))
    Close(0);
  else if (name == QLatin1String("confirm_btn"))
    Close(1);
  else if (name == QLatin1String("cancel_btn"))
    Close(0);
}

void CMsgWnd::Close(int result) {
  if (done_) return;
  done_ = true;
  result_ = result;
  emit finished(result);
  close();
}

void CMsgWnd::closeEvent(QCloseEvent* event) {
  // Closed by the window system (or the owner) without an answer: nothing was confirmed.
  if (!done_) {
    done_ = true;
    result_ = 0;
    emit finished(0);
  }
  event->accept();
}

void CMsgWnd::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close(0);
    return;
  }
  SkinWindow::keyPressEvent(event);
}

namespace {

int Run(SkinWindow& owner, const QString& textId, const int* number) {
  auto* box = new CMsgWnd(owner);
  if (!box->IsBuilt()) {
    delete box;
    return 0;
  }
  if (number && !textId.isEmpty())
    box->SetLiteralMessage(
        owner.GetSkin().Text(textId).replace(QLatin1String("%d"), QString::number(*number)));
  else
    box->SetMessage(textId);
  return box->RunModal();
}

}  // namespace

int ShowMessageBox(SkinWindow& owner, const QString& textId) {
  return Run(owner, textId, nullptr);
}

int ShowMessageBox(SkinWindow& owner, const QString& textId, int number) {
  return Run(owner, textId, &number);
}

}  // namespace korva::ui
