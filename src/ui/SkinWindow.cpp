#include "ui/SkinWindow.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "ui/PageStyleSheet.h"
#include "ui/Skin.h"
#include "ui/SkinBuilder_p.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui {

SkinWindow::SkinWindow(Skin& skin, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), skin_(skin) {
  skin_.AddWindow(this);
  setFont(skin_.Font());
  setAttribute(Qt::WA_StyledBackground);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
}

SkinWindow::~SkinWindow() {
  skin_.RemoveWindow(this);
}

std::optional<SkinError> SkinWindow::Build(const QString& fileOrId, IDialogBuilderCallback* callback) {
  if (root_)
    return SkinErrorAt(skin_.FilePath(fileOrId), 0, 0, QStringLiteral("the window is already built"));
  SkinBuilder builder(*this, callback);
  SkinBuilder::WindowInfo info;
  auto built = builder.Build(skin_.FilePath(fileOrId), &info);
  pageError_.reset();
  if (!built) return built.error();
  root_ = built.value().release();
  layout()->addWidget(root_);
  ApplyStyleSheetToShownPages(this, skin_.StyleSheet());
  if (info.size.isValid()) setFixedSize(info.size);
  captionHeight_ = info.caption;
  setProperty(detail::kTextProperty, info.title);
  setWindowTitle(skin_.Text(info.title));
  return std::nullopt;
}

QWidget* SkinWindow::BuildPage(const QString& fileOrId) {
  SkinBuilder builder(*this, nullptr);
  auto built = builder.Build(skin_.FilePath(fileOrId), nullptr);
  if (!built) {
    pageError_ = built.error();
    return nullptr;
  }
  return built.value().release();
}

Control SkinWindow::FindControl(const QString& name) const {
  const auto it = names_.constFind(name.toLower());
  return it == names_.constEnd() ? Control() : Control(it.value().data());
}

Control SkinWindow::Root() const {
  return Control(root_.data());
}

void SkinWindow::AddNotifier(INotifyUI* notifier) {
  if (notifier && !notifiers_.contains(notifier)) notifiers_.append(notifier);
}

void SkinWindow::RemoveNotifier(INotifyUI* notifier) {
  notifiers_.removeAll(notifier);
}

void SkinWindow::SendNotify(const Control& sender, const QString& type, qint64 wParam, qint64 lParam,
                            const QString& name) {
  const Notification msg{type, name.isEmpty() ? sender.Name() : name, sender, wParam, lParam};
  // A notifier may add or remove notifiers while it runs; this message goes to the ones it found.
  const QList<INotifyUI*> notifiers = notifiers_;
  for (INotifyUI* notifier : notifiers)
    if (notifiers_.contains(notifier)) notifier->Notify(msg);
}

SkinWindow* SkinWindow::Of(const QWidget* control) {
  for (const QWidget* w = control; w; w = w->parentWidget())
    if (auto* window = qobject_cast<SkinWindow*>(const_cast<QWidget*>(w))) return window;
  return nullptr;
}

void SkinWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (initSent_) return;
  initSent_ = true;
  // After the first show has been laid out: the receiver may hide the window again.
  QTimer::singleShot(0, this, [this] { SendNotify(Root(), QString::fromLatin1(notify::kWindowInit)); });
}

bool SkinWindow::event(QEvent* event) {
  // A window whose pages take the sheet as they are shown has none of its own to hand down: its
  // other child windows (a file chooser, a message box) take the sheet when they are first
  // polished, before they show, and look like the window they belong to.
  if (event->type() == QEvent::ChildPolished && root_ && styleSheet().isEmpty()) {
    auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
    if (child && child->isWindow() && !qobject_cast<SkinWindow*>(child) && child->styleSheet().isEmpty())
      child->setStyleSheet(skin_.StyleSheet());
  }
  return QWidget::event(event);
}

QPushButton* SkinWindow::ButtonStandIn(const QString& styleClass) {
  if (QPushButton* known = standIns_.value(styleClass)) return known;
  const bool first = !standInHolder_;
  if (first) {
    standInHolder_ = new QWidget(this);
    standInHolder_->setObjectName(QStringLiteral("korvaStandIns"));
    standInHolder_->hide();
  }
  auto* button = new QPushButton(standInHolder_);
  button->setProperty(detail::kStyleProperty, styleClass);
  // The holder's sheet has the rules that reach push buttons: it is made once, with the first.
  if (first) ApplyStyleSheetToPart(standInHolder_, skin_.StyleSheet());
  button->ensurePolished();
  standIns_.insert(styleClass, button);
  return button;
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->position().y() < captionHeight_ && windowHandle()) {
    windowHandle()->startSystemMove();
    return;
  }
  QWidget::mousePressEvent(event);
}

void SkinWindow::RegisterName(const QString& name, QWidget* widget) {
  QPointer<QWidget>& slot = names_[name.toLower()];
  if (!slot) slot = widget;
}

QButtonGroup* SkinWindow::Group(const QString& name) {
  QButtonGroup*& group = groups_[name.toLower()];
  if (!group) {
    group = new QButtonGroup(this);
    group->setExclusive(true);
  }
  return group;
}

QList<Control> SkinWindow::TakeLightChanges() {
  QList<Control> changed;
  changed.reserve(lightChanges_.size());
  for (const QPointer<QWidget>& control : std::as_const(lightChanges_))
    if (control) changed.append(Control(control.data()));
  lightChanges_.clear();
  return changed;
}

void SkinWindow::NoteLightChange(QWidget* control) {
  lightChanges_.append(control);
}

void SkinWindow::ReloadTexts() {
  setWindowTitle(skin_.Text(property(detail::kTextProperty).toString()));
  detail::ReloadTexts(skin_, this);
}

}  // namespace korva::ui
