#pragma once
// The attributes a skin control can carry, one row each: the widgets that take it, how its text
// is read and what it does. The builder applies every attribute of an element through this table,
// and Control::SetAttribute the ones that still make sense on a built control. Private to the skin
// layer.

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <span>

class QAbstractButton;
class QWidget;

namespace korva::ui {
class Skin;
}

namespace korva::ui::detail {

// Widget kinds as bits; a widget has every kind it qualifies for (KindsOf).
using WidgetKinds = unsigned;
inline constexpr WidgetKinds kAnyWidget = 1u << 0;
inline constexpr WidgetKinds kSkinnedWidget = 1u << 1;  // paints the skin look: colours, border, image
inline constexpr WidgetKinds kLabelWidget = 1u << 2;
inline constexpr WidgetKinds kButtonWidget = 1u << 3;      // Button, Option, CheckBox, DeviceKeyButton
inline constexpr WidgetKinds kCheckableWidget = 1u << 4;   // Option, CheckBox
inline constexpr WidgetKinds kStateImageWidget = 1u << 5;  // Button, Option, DeviceKeyButton: state pictures
inline constexpr WidgetKinds kRangeWidget = 1u << 6;       // Slider, Progress
inline constexpr WidgetKinds kSliderWidget = 1u << 7;
inline constexpr WidgetKinds kEditWidget = 1u << 8;
inline constexpr WidgetKinds kTabWidget = 1u << 9;
inline constexpr WidgetKinds kLayoutWidget = 1u << 10;  // lays its children out (also TabLayout's page stack)
inline constexpr WidgetKinds kSpacedWidget = 1u << 11;  // VerticalLayout, HorizontalLayout, TileLayout
inline constexpr WidgetKinds kGridWidget = 1u << 12;    // TileLayout

WidgetKinds KindsOf(const QWidget* widget);

// How an attribute's text is read; one parser per kind.
enum class ValueKind {
  kText,      // any text, kept as it is
  kTextId,    // a text id of the language files, or a literal
  kName,      // any text but the empty one
  kBool,      // "true"/"false" (any case), "1"/"0"
  kInt,       // a decimal integer
  kCount,     // a decimal integer >= 0
  kPositive,  // a decimal integer > 0
  kPair,      // "a,b" of counts: a point or a size
  kRect,      // "l,t,r,b" of counts
  kColour,    // "#RRGGBB", "#AARRGGBB", "0xAARRGGBB"; "" or "0" for none
  kImage,     // a skin image that loads; "" for none
  kFont,      // "px" or "px,bold"
  kHAlign,    // left | center | right
  kVAlign,    // top | center | bottom
};

// Attributes that place a control or name it in its window are read only while its file is built;
// set later through Control::SetAttribute they are unknown, as they always were.
enum class Stage { kAnyTime, kWhileBuilding };

// What the builder lends to the rows of Stage::kWhileBuilding, and what they leave it for placing
// the control.
struct BuildState {
  std::function<bool(const QString& name, QWidget* widget)> registerName;  // false: the name is taken
  std::function<void(const QString& group, QAbstractButton* button)> addToGroup;
  std::optional<QPoint> pos;  // placed at pos in its parent, outside the layout
  bool fixedWidth = false;
  bool fixedHeight = false;
};

struct AttributeTarget {
  const Skin& skin;
  QWidget* widget;
  QString cls;                  // the skin element class, for messages
  BuildState* build = nullptr;  // set only while the builder reads the element
};

// What became of one value: applied, a text its kind does not read, or refused for a reason of
// the row's own (a name already used).
struct Outcome {
  enum class Status { kApplied, kBadValue, kRefused };
  Status status = Status::kApplied;
  QString message;  // kRefused: why
};

struct AttributeRow {
  const char* name;  // as the skin files write it; compared with regard to case
  WidgetKinds accepts;
  ValueKind kind;
  Stage stage;
  // Reads the text with the kind's parser and applies it to a widget the row accepts.
  std::function<Outcome(const AttributeTarget& target, const QString& text)> apply;
};

std::span<const AttributeRow> AttributeTable();
const AttributeRow* FindAttribute(QStringView name);

// Applies one attribute. A custom control (ISkinAttributes) is asked first for every attribute
// that is not read while building. Returns false with *error set for an unknown attribute, a widget
// the row does not accept, a value that does not read or a refusal.
bool ApplyAttribute(const AttributeTarget& target, const QString& name, const QString& value, QString* error);

// The attributes of <Window>: size="w,h", caption="h" (height of the strip at the top that moves
// the window) and title (a text id or a literal).
struct WindowAttributes {
  QSize size;
  int caption = 0;
  QString title;
};
// False for an unknown attribute or a value that does not read.
bool ApplyWindowAttribute(const Skin& skin, WindowAttributes& window, const QString& name,
                          const QString& value);

}  // namespace korva::ui::detail
