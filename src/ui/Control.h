#pragma once
// Control: a small handle on one widget built from a skin, with the operations the pages perform.
//
// A Control is found by name on its window (SkinWindow::FindControl) and is cheap to copy. It
// holds a guarded pointer: when the widget is destroyed the handle becomes invalid, and every
// operation on an invalid handle (or one the widget's class does not have, such as SetValue on a
// Label) does nothing and reads as 0, false or "".
//
// Changes made through a Control raise no notification unless SendNotify::Yes is passed; with it
// the window's notifiers receive the same notification a user action would have raised.
//
// Colours are 0xAARRGGBB words throughout.

#include <QPointer>
#include <QString>
#include <QStringView>
#include <QWidget>

namespace korva::ui {

enum class SendNotify { No, Yes };

class Control {
 public:
  Control() = default;
  explicit Control(QWidget* widget);

  bool IsValid() const { return !widget_.isNull(); }
  explicit operator bool() const { return IsValid(); }
  QWidget* Widget() const { return widget_.data(); }

  QString Name() const;   // as written in the skin
  QString Class() const;  // the skin element class: "Button", "Option", "Slider", "kb_Key_UI", ...

  // Visibility of the control itself (a visible control inside a hidden page reports true).
  // Hidden controls take no space in their layout.
  void SetVisible(bool visible);
  bool IsVisible() const;
  void SetEnabled(bool enabled);
  bool IsEnabled() const;

  // Text and tooltip take a text id of the language file ("message_text_8") or a literal. An id
  // is shown translated and translated again when the language changes; Text() gives what is
  // shown, TextId() what was set. Edits show their text as it is (user input is never an id).
  // SetText(..., SendNotify::Yes) on an Edit raises "textchanged".
  void SetText(const QString& textOrId, SendNotify notify = SendNotify::No);
  QString Text() const;
  QString TextId() const;
  void SetToolTip(const QString& textOrId);
  QString ToolTip() const;
  void SetTextColor(quint32 argb);
  quint32 TextColor() const;

  // Background colour (0 = none) and image (a skin-relative or absolute path; "" = none).
  // SetBkImage returns false, and shows no image, when the image cannot be loaded.
  void SetBkColor(quint32 argb);
  quint32 BkColor() const;
  bool SetBkImage(const QString& image);
  QString BkImage() const;

  // Any attribute a skin file can carry ("normalimage", "hotimage", "font", ...), with the same
  // rules. Returns false with a message for an unknown attribute or a bad value.
  bool SetAttribute(const QString& name, const QString& value, QString* error = nullptr);
  // The image of one state of a Button: "normalimage", "hotimage", "pushedimage", ...
  QString Attribute(const QString& name) const;

  // Free text kept with the control for its page (DuiLib's user data).
  void SetUserData(const QString& data);
  QString UserData() const;

  // Option and CheckBox. Selecting an Option of a group clears the others of the group.
  // Notifies "selectchanged" (when the state changes) with SendNotify::Yes.
  void Select(bool selected, SendNotify notify = SendNotify::No);
  bool IsSelected() const;

  // TabLayout (page), Combo and List (item). -1 clears a Combo or List selection. ItemCount also
  // counts the controls of a layout.
  // Combo and List notify "itemselect" with SendNotify::Yes (when the index changes).
  // Returns false for an index out of range.
  bool SelectItem(int index, SendNotify notify = SendNotify::No);
  int CurSel() const;
  int ItemCount() const;
  // Combo and List items: text or text id, and free user data. AddItem returns the new index.
  int AddItem(const QString& textOrId, const QString& userData = {});
  bool RemoveItem(int index);
  void RemoveAllItems();
  QString ItemText(int index) const;
  QString ItemUserData(int index) const;
  // List rows: the name a row's "itemclick" carries instead of the list's (as a skin's named
  // row does). False for an index out of range or a control that is not a List.
  bool SetItemName(int index, const QString& rowName);

  // Slider and Progress. SetValue clamps to the range; Slider notifies "valuechanged" with
  // SendNotify::Yes.
  void SetRange(int minimum, int maximum);
  int Minimum() const;
  int Maximum() const;
  void SetValue(int value, SendNotify notify = SendNotify::No);
  int Value() const;

  // ColorPalette: the selected colour. Notifies "colorchanged" with SendNotify::Yes.
  void SetSelectColor(quint32 argb, SendNotify notify = SendNotify::No);
  quint32 SelectColor() const;

  // Light tint of a Button (the device key pictures): the colour 0x00RRGGBB laid over the key
  // with the given alpha 0..255 (0 = no light), while the light is on (on at start). Reads back
  // what was set. The lighting preview changes these many times a second, so a change is only
  // recorded, not painted: the preview's repaint pass takes it (TakeLightChange) and repaints the
  // key when it is on screen.
  void SetChangerColor(quint32 rgb);
  quint32 ChangerColor() const;
  void SetChangerAlpha(int alpha);
  int ChangerAlpha() const;
  void SetLightOn(bool on);
  bool IsLightOn() const;
  // True when the tint, the alpha or the light switch changed since the last call; clears the mark.
  bool TakeLightChange();

  friend bool operator==(const Control& a, const Control& b) { return a.widget_ == b.widget_; }

 private:
  QPointer<QWidget> widget_;
};

}  // namespace korva::ui
