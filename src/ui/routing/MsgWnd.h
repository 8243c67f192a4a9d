#pragma once
// The message box: every message the application shows goes through ShowMessageBox with a text
// id of the language files. The box is built from the skin file "XML_MSG" (controls
// "MessageText", "confirm_btn", "cancel_btn", "closebtn"), belongs to its owner window, is
// centred on it and is modal: ShowMessageBox returns when the user has answered.
//
// Tests answer a box by finding it (QApplication::activeModalWidget()) from a queued call and
// clicking one of its buttons.

#include <QString>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"

class QCloseEvent;
class QKeyEvent;

namespace korva::ui {

class CMsgWnd : public SkinWindow, public INotifyUI {
  Q_OBJECT

 public:
  static constexpr char kClassName[] = "MsgWnd";
  static constexpr char kSkin[] = "XML_MSG";

  // Builds the box from the owner's skin, as a child window of the owner. IsBuilt() tells
  // whether the skin could be read.
  explicit CMsgWnd(SkinWindow& owner);
  bool IsBuilt() const { return built_; }

  // Shows the text of an id in the current language (empty: no text).
  void SetMessage(const QString& textId);
  // Shows a finished text (an id's text with its "%d" already filled in).
  void SetLiteralMessage(const QString& text);
  // Shows the box modally, centred on the owner, and returns its result: 1 for "confirm_btn",
  // 0 for "cancel_btn", "closebtn", Escape or the window being closed.
  int RunModal();

  void Notify(const Notification& msg) override;

 signals:
  void finished(int result);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Close(int result);
  void CentreOnOwner();

  SkinWindow& owner_;
  Control closeButton_;
  bool built_ = false;
  bool done_ = false;
  int result_ = 0;
};

// Shows the message of `textId` in a modal box owned by `owner`; 1 when the user confirmed,
// 0 otherwise (also when the box's skin cannot be read: nothing was confirmed).
int ShowMessageBox(SkinWindow& owner, const QString& textId);
// The same for a message with a number: every "%d" of the text becomes `number`.
int ShowMessageBox(SkinWindow& owner, const QString& textId, int number);

}  // namespace korva::ui
