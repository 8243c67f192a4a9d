#pragma once
// The widget classes the builder makes for the skin elements, and the attribute rules shared by
// the builder and Control::SetAttribute. Private to the skin layer.

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QString>
#include <QWidget>

namespace korva::ui {
class Skin;
}

namespace korva::ui::detail {

// Property names kept on every built widget.
inline constexpr char kClassProperty[] = "korvaClass";  // skin element class
inline constexpr char kTextProperty[] = "korvaText";    // text or text id as set
inline constexpr char kShownProperty[] = "korvaShown";  // the text as shown (translated)
inline constexpr char kTipProperty[] = "korvaTip";      // tooltip or text id as set
inline constexpr char kUserDataProperty[] = "korvaUserData";
inline constexpr char kTipTextProperty[] = "korvaTipText";  // Edit placeholder or text id as set
inline constexpr char kStyleProperty[] = "skinclass";       // selector for the style sheet
inline constexpr int kItemTextRole = Qt::UserRole + 1;      // Combo/List item: text or text id as set
inline constexpr int kItemDataRole = Qt::UserRole + 2;      // Combo/List item: user data
inline constexpr int kItemNameRole = Qt::UserRole + 3;      // List item: row name

// An image file read when it is first asked for: the pictures of pages that are never opened are
// never decoded.
class DeferredPixmap {
 public:
  DeferredPixmap() = default;
  explicit DeferredPixmap(QString path) : path_(std::move(path)), read_(path_.isEmpty()) {}
  const QPixmap& Get() const {
    if (!read_) {
      read_ = true;
      pixmap_.load(path_);  // shared through Qt's pixmap cache with other readers of the file
    }
    return pixmap_;
  }
  bool IsRead() const { return read_; }

 private:
  QString path_;
  mutable QPixmap pixmap_;
  mutable bool read_ = true;
};

// What every skinned widget paints below its own content.
struct Look {
  QColor bkColor;  // invalid: none
  QString bkImage;
  DeferredPixmap bkPixmap;
  QColor borderColor;
  int borderSize = 0;
  int borderRound = 0;
  QColor textColor;  // invalid: the style's
};

// Mix-in of the skinned widgets (not a QObject): the look and the painting hooks.
class SkinnedBase {
 public:
  virtual ~SkinnedBase() = default;
  Look look;
  bool hoverNotify = true;  // raises "msenter"/"msleave"

 protected:
  // Background colour, border and background image, where `exposed` (in the widget's
  // coordinates) needs them.
  void PaintBackground(QWidget& self, QPainter& painter, const QRect& exposed) const;
  virtual void PaintBelowContent(QWidget& self, QPainter& painter, const QRect& exposed) const {
    PaintBackground(self, painter, exposed);
  }
  void SendHover(QWidget& self, bool entered) const;
};

template <class Base>
class Skinned : public Base, public SkinnedBase {
 public:
  using Base::Base;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override {
    Base::enterEvent(event);
    if (hoverNotify) SendHover(*this, true);
  }
  void leaveEvent(QEvent* event) override {
    Base::leaveEvent(event);
    if (hoverNotify) SendHover(*this, false);
  }
};

template <class Base>
void Skinned<Base>::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    PaintBelowContent(*this, painter, event->rect());
  }
  Base::paintEvent(event);
}

// Buttons, Options and device keys: state images and an icon in the middle. The device key
// (ui/controls) paints its light and key-set overlay above the state image.
class SkinButton : public Skinned<QPushButton> {
 public:
  explicit SkinButton(QWidget* parent = nullptr);
  QHash<QString, QString> imageFiles;  // "normalimage" -> "ms/key.png"
  QHash<QString, QPixmap> images;
  QString foreImage;
  QPixmap forePixmap;
  // The light of a device key, painted by the device key while lightOn. Setting them through
  // Control marks lightChanged instead of repainting: the lighting preview changes the keys many
  // times a second, and its repaint pass paints only the marked keys that are on screen.
  QColor changerColor{0, 0, 0};
  int changerAlpha = 0;
  bool lightOn = true;
  bool lightChanged = false;

 protected:
  void PaintBelowContent(QWidget& self, QPainter& painter, const QRect& exposed) const override;
  // Between the background and the fore image: the picture of the button's state (disabled,
  // pushed, selected, hot, normal; a missing state falls back to normal).
  virtual void PaintStatusImage(QPainter& painter) const;
  // That picture; nullptr when the skin gives none.
  const QPixmap* StateImage() const;
  // The icon in the middle.
  void PaintFore(QPainter& painter) const;
};

class SkinBox : public Skinned<QWidget> {
 public:
  using Skinned<QWidget>::Skinned;
};
class SkinLabel : public Skinned<QLabel> {
 public:
  using Skinned<QLabel>::Skinned;
};
class SkinCheckBox : public Skinned<QCheckBox> {
 public:
  using Skinned<QCheckBox>::Skinned;
};
class SkinCombo : public Skinned<QComboBox> {
 public:
  using Skinned<QComboBox>::Skinned;
  int lastIndex = -1;  // the index reported as "old" by the next "itemselect"

 protected:
  // A current text too long for the closed combo (a long profile or macro name) is shown whole as
  // the tooltip, unless the skin gave the combo a tooltip of its own.
  bool event(QEvent* event) override;
};
class SkinSlider : public Skinned<QSlider> {
 public:
  using Skinned<QSlider>::Skinned;
};
class SkinProgress : public Skinned<QProgressBar> {
 public:
  using Skinned<QProgressBar>::Skinned;
};
class SkinList : public Skinned<QListWidget> {
 public:
  using Skinned<QListWidget>::Skinned;
  int lastIndex = -1;

 protected:
  // A scroll area's paint events are its viewport's: its own look is not painted there.
  void paintEvent(QPaintEvent* event) override { QListWidget::paintEvent(event); }
};
class SkinTab : public Skinned<QStackedWidget> {
 public:
  using Skinned<QStackedWidget>::Skinned;
};
class SkinEdit : public Skinned<QLineEdit> {
 public:
  using Skinned<QLineEdit>::Skinned;

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

// A colour field: hue across, saturation down, and a brightness bar below. Raises
// "colorchanged" when the mouse button is released on it.
class ColorPalette : public QWidget {
 public:
  explicit ColorPalette(QWidget* parent = nullptr);
  QColor SelectedColor() const { return color_; }
  void SetSelectedColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRect FieldRect() const;
  QRect BarRect() const;
  void PickAt(QPoint pos);
  void UpdateColor();

  int hue_ = 0;         // 0..359
  int saturation_ = 0;  // 0..255
  int value_ = 255;     // 0..255
  QColor color_{Qt::white};
  enum class Drag { None, Field, Bar } drag_ = Drag::None;
  QImage field_;
};

// Colours: "#RRGGBB", "#AARRGGBB", "0xAARRGGBB"; false on anything else.
bool ParseColor(const QString& text, QColor& out);
quint32 ToArgb(const QColor& color);  // 0 for an invalid colour
QColor FromArgb(quint32 argb);        // invalid for 0

// Applies one attribute to a built widget through the attribute table (SkinAttributes_p.h). `cls`
// is its skin element class. Returns false (and sets *error) for an unknown attribute or a bad
// value. Attributes that only make sense while building ("pos", "group", "width", ...) are
// unknown here.
bool ApplyAttribute(const Skin& skin, QWidget* widget, const QString& cls, const QString& name,
                    const QString& value, QString* error);
// The current value of an attribute as a skin would write it ("" when it has none).
QString ReadAttribute(const QWidget* widget, const QString& name);

// Shows a text or text id on a widget (translated by the skin); remembers what was set.
void ShowText(const Skin& skin, QWidget* widget, const QString& textOrId);
void ShowToolTip(const Skin& skin, QWidget* widget, const QString& textOrId);
// Appends an item to a Combo or List (text or text id, user data); returns its index or -1.
int AddItem(const Skin& skin, QWidget* widget, const QString& textOrId, const QString& userData);
// Translates again every text of the widget tree (after a language change).
void ReloadTexts(const Skin& skin, QWidget* root);

// Re-applies the style sheet after a change of the "skinclass" property.
void Repolish(QWidget* widget);

}  // namespace korva::ui::detail
