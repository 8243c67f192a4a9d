#pragma once
// SkinWindow: a top-level window built from a window skin file, the owner of its controls' names
// and the sender of their notifications (DuiLib's window and paint manager in one).
//
// A window skin file holds one <Window> with one root control:
//
//   <Window size="800,572" caption="56" title="KORVA DRIVER">
//     <VerticalLayout name="root"> ... </VerticalLayout>
//   </Window>
//
// Elements whose class the builder does not know go first to the IDialogBuilderCallback given
// to Build (the main window answers its page-container classes with BuildPage), then to the
// skin's ControlFactory. A class nobody knows is an error.
//
// Typical use (the main window):
//
//   class CMainWnd : public SkinWindow, public INotifyUI, public IDialogBuilderCallback {
//     CMainWnd(Skin& s) : SkinWindow(s) { AddNotifier(this); }
//     QWidget* CreateControl(const QString& cls) override {
//       if (auto file = PageFileForClass(cls)) return BuildPage(*file);
//       return nullptr;
//     }
//     void Notify(const Notification& msg) override { ... }
//   };
//   auto error = wnd.Build("XML_MAIN", &wnd);

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

#include "ui/Control.h"
#include "ui/Notify.h"
#include "ui/SkinError.h"

class QButtonGroup;
class QPushButton;

namespace korva::ui {

class Skin;
class SkinBuilder;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A new widget (without parent) for an element class the builder does not know, or nullptr.
  virtual QWidget* CreateControl(const QString& elementClass) = 0;
};

class SkinWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SkinWindow(Skin& skin, QWidget* parent = nullptr);
  ~SkinWindow() override;

  Skin& GetSkin() const { return skin_; }

  // Builds the window from a window skin file (resource id or file name). Called once; on error
  // nothing is kept and the window stays empty.
  std::optional<SkinError> Build(const QString& fileOrId, IDialogBuilderCallback* callback = nullptr);
  // Builds a page file (its root element is any control) into a new widget without parent whose
  // controls belong to this window. Meant for CreateControl; a page is built without callback.
  // On error returns nullptr and keeps the error, which the running Build then reports.
  QWidget* BuildPage(const QString& fileOrId);

  // The control of that name, compared without regard to case; invalid when there is none.
  Control FindControl(const QString& name) const;
  Control Root() const;

  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  // Delivers a notification to every notifier, in the order they were added.
  void SendNotify(const Control& sender, const QString& type, qint64 wParam = 0, qint64 lParam = 0,
                  const QString& name = {});

  // The window a control belongs to (its nearest SkinWindow ancestor), or nullptr.
  static SkinWindow* Of(const QWidget* control);

  // The controls whose light (Control::SetChangerColor, SetChangerAlpha, SetLightOn) changed since
  // the last call, each once, in the order of their first change; their marks stay set for
  // Control::TakeLightChange. A window without changes answers at once, without looking at its
  // controls: the lighting preview asks many times a second.
  QList<Control> TakeLightChanges();
  bool HasLightChanges() const { return !lightChanges_.isEmpty(); }

  // A hidden push button of the style class `styleClass` (the "style" attribute), styled by the
  // skin's sheet, made when first asked for. Widgets that draw a button's frame and legend through
  // it take no sheet of their own (PageStyleSheet.h): Qt's sheet costs some 10 KB for every
  // widget it styles, and a device picture has a hundred keys of two or three classes.
  QPushButton* ButtonStandIn(const QString& styleClass);

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend class SkinBuilder;
  friend class Control;
  friend class Skin;
  void RegisterName(const QString& name, QWidget* widget);
  QButtonGroup* Group(const QString& name);
  void ReloadTexts();
  void NoteLightChange(QWidget* control);

  Skin& skin_;
  QPointer<QWidget> root_;
  QHash<QString, QPointer<QWidget>> names_;  // lower-case name -> first control of that name
  QHash<QString, QButtonGroup*> groups_;     // lower-case group name -> its options
  QList<INotifyUI*> notifiers_;
  QList<QPointer<QWidget>> lightChanges_;
  std::optional<SkinError> pageError_;
  QPointer<QWidget> standInHolder_;  // hidden; holds the sheet for the stand-ins
  QHash<QString, QPushButton*> standIns_;
  int captionHeight_ = 0;
  bool initSent_ = false;
};

}  // namespace korva::ui
