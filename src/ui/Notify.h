#pragma once
// Notifications: what a user action on a control tells the window's notifiers.
//
// Each user action raises one notification, delivered synchronously on the UI thread to every
// INotifyUI registered with the window (SkinWindow::AddNotifier). Changes made by the program
// through Control (SetValue, SelectItem, Select, SetText, SetSelectColor) raise none unless the
// caller passes SendNotify::Yes.
//
// type                sender                     wParam                   lParam
// "windowinit"        the window's root          0                        0       (once, after the first
// show) "click"             Button, Option, CheckBox   0                        0 "selectchanged"     Option,
// CheckBox           1 selected / 0 cleared   0       (after "click"; an Option
//                                                                                  of a group reports only
//                                                                                  when it becomes selected)
// "valuechanged"      Slider                     value                    0       (released, keys, page
// steps) "movevaluechanged"  Slider                     value                    0       (while dragging)
// "itemselect"        Combo, List                new index                old index
// "itemclick"         List                       row                      0       (name: the row's name when
//                                                                                  it has one, else the
//                                                                                  list's)
// "textchanged"       Edit                       0                        0       (typed by the user)
// "return"            Edit                       0                        0
// "killfocus"         Edit                       0                        0
// "colorchanged"      ColorPalette               colour 0xAARRGGBB        0
// "msenter"/"msleave" every named control except layouts   0        0

#include <QString>
#include <algorithm>
#include <climits>
#include <string_view>

#include "ui/Control.h"

namespace korva::ui {

namespace notify {
inline constexpr char kWindowInit[] = "windowinit";
inline constexpr char kClick[] = "click";
inline constexpr char kSelectChanged[] = "selectchanged";
inline constexpr char kValueChanged[] = "valuechanged";
inline constexpr char kMoveValueChanged[] = "movevaluechanged";
inline constexpr char kItemSelect[] = "itemselect";
inline constexpr char kItemClick[] = "itemclick";
inline constexpr char kTextChanged[] = "textchanged";
inline constexpr char kReturn[] = "return";
inline constexpr char kKillFocus[] = "killfocus";
inline constexpr char kColorChanged[] = "colorchanged";
inline constexpr char kMouseEnter[] = "msenter";
inline constexpr char kMouseLeave[] = "msleave";
}  // namespace notify

struct Notification {
  QString type;    // one of notify::k...
  QString name;    // the sender's skin name (see "itemclick" above)
  Control sender;  // the control that raised it
  qint64 wParam = 0;
  qint64 lParam = 0;
};

// The value a notification carries (a slider's value, a combo's index), as an int.
inline int NotificationValue(const Notification& msg) {
  return static_cast<int>(std::clamp<qint64>(msg.wParam, INT_MIN, INT_MAX));
}

// A control name or text id given as an ASCII literal, and a UTF-8 text of the core, as a QString.
inline QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}
inline QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The receiver of a window's notifications (the main window's Notify).
class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(const Notification& msg) = 0;
};

}  // namespace korva::ui
