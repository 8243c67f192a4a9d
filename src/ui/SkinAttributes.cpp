#include "ui/SkinAttributes_p.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QGridLayout>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <array>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <vector>

#include "ui/ControlFactory.h"
#include "ui/Skin.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui::detail {

namespace {

// ---- values: one parser per kind -----------------------------------------------------------------

struct ImageValue {
  QString file;  // as written
  QString path;  // the file it names ("" for none); checked to hold an image, not decoded
};

struct FontValue {
  int pixels = 0;
  bool bold = false;
};

template <ValueKind K>
struct Value;

// Texts and text ids are taken as they stand; a text id is looked up when it is shown.
struct AnyText {
  using Type = QString;
  static std::optional<QString> Parse(const Skin&, const QString& text) { return text; }
};
template <>
struct Value<ValueKind::kText> : AnyText {};
template <>
struct Value<ValueKind::kTextId> : AnyText {};

template <>
struct Value<ValueKind::kName> {
  using Type = QString;
  static std::optional<QString> Parse(const Skin&, const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
  }
};

template <>
struct Value<ValueKind::kBool> {
  using Type = bool;
  static std::optional<bool> Parse(const Skin&, const QString& text) {
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
      return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
      return false;
    return std::nullopt;
  }
};

// A decimal integer of at least `minimum` (surrounding blanks allowed).
std::optional<int> ParseInt(const QString& text, int minimum) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (!ok || v < minimum) return std::nullopt;
  return v;
}

template <int Minimum>
struct IntValue {
  using Type = int;
  static std::optional<int> Parse(const Skin&, const QString& text) { return ParseInt(text, Minimum); }
};
template <>
struct Value<ValueKind::kInt> : IntValue<std::numeric_limits<int>::min()> {};
template <>
struct Value<ValueKind::kCount> : IntValue<0> {};
template <>
struct Value<ValueKind::kPositive> : IntValue<1> {};

// N counts separated by commas.
template <std::size_t N>
struct CountsValue {
  using Type = std::array<int, N>;
  static std::optional<Type> Parse(const Skin&, const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != static_cast<qsizetype>(N)) return std::nullopt;
    Type out{};
    for (std::size_t i = 0; i < N; ++i) {
      const auto v = ParseInt(parts[static_cast<qsizetype>(i)], 0);
      if (!v) return std::nullopt;
      out[i] = *v;
    }
    return out;
  }
};
template <>
struct Value<ValueKind::kPair> : CountsValue<2> {};
template <>
struct Value<ValueKind::kRect> : CountsValue<4> {};

template <>
struct Value<ValueKind::kColour> {
  using Type = QColor;  // invalid: none
  static std::optional<QColor> Parse(const Skin&, const QString& text) {
    if (text.isEmpty() || text == QLatin1String("0")) return QColor();
    QColor colour;
    if (!ParseColor(text, colour)) return std::nullopt;
    return colour;
  }
};

template <>
struct Value<ValueKind::kImage> {
  using Type = ImageValue;  // empty: none
  static std::optional<ImageValue> Parse(const Skin& skin, const QString& text) {
    if (text.isEmpty()) return ImageValue{};
    QString path = skin.ReadableImagePath(text);
    if (path.isEmpty()) return std::nullopt;
    return ImageValue{text, std::move(path)};
  }
};

template <>
struct Value<ValueKind::kFont> {
  using Type = FontValue;
  // "14" or "14,bold": pixel size and weight; the family is the window's.
  static std::optional<FontValue> Parse(const Skin&, const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    const auto pixels = ParseInt(parts.value(0), 1);
    if (!pixels || parts.size() > 2 || (parts.size() == 2 && parts[1].trimmed() != QLatin1String("bold")))
      return std::nullopt;
    return FontValue{*pixels, parts.size() == 2};
  }
};

// One of a few words, each standing for a value.
std::optional<Qt::Alignment> ParseWord(const QString& text,
                                       std::initializer_list<std::pair<const char*, Qt::Alignment>> words) {
  for (const auto& [word, value] : words)
    if (text == QLatin1String(word)) return value;
  return std::nullopt;
}

template <>
struct Value<ValueKind::kHAlign> {
  using Type = Qt::Alignment;
  static std::optional<Qt::Alignment> Parse(const Skin&, const QString& text) {
    return ParseWord(text,
                     {{"left", Qt::AlignLeft}, {"center", Qt::AlignHCenter}, {"right", Qt::AlignRight}});
  }
};

template <>
struct Value<ValueKind::kVAlign> {
  using Type = Qt::Alignment;
  static std::optional<Qt::Alignment> Parse(const Skin&, const QString& text) {
    return ParseWord(text,
                     {{"top", Qt::AlignTop}, {"center", Qt::AlignVCenter}, {"bottom", Qt::AlignBottom}});
  }
};

// ---- rows ----------------------------------------------------------------------------------------

// What a row does with a value that does not read: most keep what the widget had; a background
// image that cannot be loaded leaves the control without one.
enum class OnBadValue { kKeep, kClear };

// A row whose text is read with the parser of kind K and given to `effect`. The effect returns
// nothing, or an Outcome when it may refuse the value.
template <ValueKind K, class Effect>
AttributeRow Row(const char* name, WidgetKinds accepts, Effect effect, Stage stage = Stage::kAnyTime,
                 OnBadValue onBad = OnBadValue::kKeep) {
  using Type = typename Value<K>::Type;
  auto apply = [effect, onBad](const AttributeTarget& target, const QString& text) -> Outcome {
    const std::optional<Type> value = Value<K>::Parse(target.skin, text);
    if (!value && onBad == OnBadValue::kClear) effect(target, Type{});
    if (!value) return {Outcome::Status::kBadValue, {}};
    if constexpr (std::is_same_v<std::invoke_result_t<Effect, const AttributeTarget&, const Type&>, Outcome>)
      return effect(target, *value);
    else
      effect(target, *value);
    return {};
  };
  return AttributeRow{name, accepts, K, stage, apply};
}

// The widget of a row that accepts only this kind of widget (KindsOf has checked it).
template <class W>
W* As(const AttributeTarget& target) {
  return dynamic_cast<W*>(target.widget);
}

void SetAlignment(QWidget* w, Qt::Alignment mask, Qt::Alignment value) {
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setAlignment((label->alignment() & ~mask) | value);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setAlignment((edit->alignment() & ~mask) | value);
  }
}

// Slider and Progress share min, max and value but no base class.
template <class Set>
void SetRange(QWidget* w, Set set) {
  const QSignalBlocker blocker(w);
  if (auto* slider = qobject_cast<QAbstractSlider*>(w)) set(*slider);
  if (auto* progress = qobject_cast<QProgressBar*>(w)) set(*progress);
}

Look& LookOf(const AttributeTarget& target) {
  return As<SkinnedBase>(target)->look;
}

// A state picture of a button ("normalimage" ...), kept with its file name for reading back.
AttributeRow StateImageRow(const char* name) {
  return Row<ValueKind::kImage>(name, kStateImageWidget,
                                [name](const AttributeTarget& t, const ImageValue& v) {
                                  auto* button = As<SkinButton>(t);
                                  button->imageFiles.insert(QLatin1String(name), v.file);
                                  button->images.insert(QLatin1String(name), t.skin.Image(v.file));
                                  button->update();
                                });
}

std::vector<AttributeRow> MakeTable() {
  using V = ValueKind;
  using T = const AttributeTarget&;
  constexpr Stage kBuilding = Stage::kWhileBuilding;
  return {
      // Texts, tooltips and plain data.
      Row<V::kTextId>("text", kAnyWidget, [](T t, const QString& v) { ShowText(t.skin, t.widget, v); }),
      Row<V::kTextId>("tooltip", kAnyWidget, [](T t, const QString& v) { ShowToolTip(t.skin, t.widget, v); }),
      Row<V::kText>("userdata", kAnyWidget,
                    [](T t, const QString& v) { t.widget->setProperty(kUserDataProperty, v); }),
      Row<V::kText>("style", kAnyWidget,
                    [](T t, const QString& v) {
                      t.widget->setProperty(kStyleProperty, v);
                      Repolish(t.widget);
                    }),

      // State.
      Row<V::kBool>("visible", kAnyWidget,
                    [](T t, bool on) {
                      // A widget without parent would become a window of its own when shown.
                      if (!on || t.widget->parentWidget()) t.widget->setVisible(on);
                    }),
      Row<V::kBool>("enabled", kAnyWidget, [](T t, bool on) { t.widget->setEnabled(on); }),

      // Text look.
      Row<V::kFont>("font", kAnyWidget,
                    [](T t, const FontValue& v) {
                      QFont font;
                      font.setPixelSize(v.pixels);
                      if (v.bold) font.setBold(true);
                      t.widget->setFont(font);
                    }),
      Row<V::kHAlign>("align", kAnyWidget,
                      [](T t, Qt::Alignment a) { SetAlignment(t.widget, Qt::AlignHorizontal_Mask, a); }),
      Row<V::kVAlign>("valign", kAnyWidget,
                      [](T t, Qt::Alignment a) { SetAlignment(t.widget, Qt::AlignVertical_Mask, a); }),
      Row<V::kBool>("wordwrap", kLabelWidget, [](T t, bool on) { As<QLabel>(t)->setWordWrap(on); }),

      // The look every skinned widget paints below its content.
      Row<V::kColour>("bkcolor", kSkinnedWidget,
                      [](T t, const QColor& c) {
                        LookOf(t).bkColor = c;
                        t.widget->update();
                      }),
      Row<V::kColour>("bordercolor", kSkinnedWidget,
                      [](T t, const QColor& c) {
                        LookOf(t).borderColor = c;
                        t.widget->update();
                      }),
      Row<V::kColour>("textcolor", kSkinnedWidget,
                      [](T t, const QColor& c) {
                        LookOf(t).textColor = c;
                        // A style sheet of the widget's own wins over the window's rules for its text colour.
                        t.widget->setStyleSheet(c.isValid() ? QStringLiteral("color: rgba(%1, %2, %3, %4);")
                                                                  .arg(c.red())
                                                                  .arg(c.green())
                                                                  .arg(c.blue())
                                                                  .arg(c.alpha())
                                                            : QString());
                        t.widget->update();
                      }),
      Row<V::kCount>("bordersize", kSkinnedWidget,
                     [](T t, int v) {
                       LookOf(t).borderSize = v;
                       t.widget->update();
                     }),
      Row<V::kCount>("borderround", kSkinnedWidget,
                     [](T t, int v) {
                       LookOf(t).borderRound = v;
                       t.widget->update();
                     }),
      Row<V::kImage>(
          "bkimage", kSkinnedWidget,
          [](T t, const ImageValue& v) {
            LookOf(t).bkImage = v.file;
            LookOf(t).bkPixmap = DeferredPixmap(v.path);
            t.widget->update();
          },
          Stage::kAnyTime, OnBadValue::kClear),

      // Buttons.
      StateImageRow("normalimage"),
      StateImageRow("hotimage"),
      StateImageRow("pushedimage"),
      StateImageRow("selectedimage"),
      StateImageRow("disabledimage"),
      Row<V::kImage>("foreimage", kStateImageWidget,
                     [](T t, const ImageValue& v) {
                       auto* button = As<SkinButton>(t);
                       button->foreImage = v.file;
                       button->forePixmap = t.skin.Image(v.file);
                       button->update();
                     }),
      Row<V::kImage>("icon", kButtonWidget,
                     [](T t, const ImageValue& v) {
                       auto* button = As<QAbstractButton>(t);
                       const QPixmap icon = t.skin.Image(v.file);
                       button->setIcon(QIcon(icon));
                       button->setIconSize(icon.size());
                     }),
      Row<V::kBool>("selected", kButtonWidget,
                    [](T t, bool on) {
                      auto* button = As<QAbstractButton>(t);
                      const QSignalBlocker blocker(button);
                      button->setChecked(on);
                    }),

      // Slider and Progress.
      Row<V::kInt>("min", kRangeWidget,
                   [](T t, int v) { SetRange(t.widget, [v](auto& w) { w.setMinimum(v); }); }),
      Row<V::kInt>("max", kRangeWidget,
                   [](T t, int v) { SetRange(t.widget, [v](auto& w) { w.setMaximum(v); }); }),
      Row<V::kInt>("value", kRangeWidget,
                   [](T t, int v) { SetRange(t.widget, [v](auto& w) { w.setValue(v); }); }),
      Row<V::kBool>("vertical", kSliderWidget,
                    [](T t, bool on) { As<QSlider>(t)->setOrientation(on ? Qt::Vertical : Qt::Horizontal); }),

      // Edit.
      Row<V::kBool>("readonly", kEditWidget, [](T t, bool on) { As<QLineEdit>(t)->setReadOnly(on); }),
      Row<V::kPositive>("maxchar", kEditWidget, [](T t, int v) { As<QLineEdit>(t)->setMaxLength(v); }),
      Row<V::kBool>("numberonly", kEditWidget,
                    [](T t, bool on) {
                      auto* edit = As<QLineEdit>(t);
                      edit->setValidator(on ? new QRegularExpressionValidator(
                                                  QRegularExpression(QStringLiteral("[0-9]*")), edit)
                                            : nullptr);
                    }),
      Row<V::kTextId>("tiptext", kEditWidget,
                      [](T t, const QString& v) {
                        t.widget->setProperty(kTipTextProperty, v);
                        As<QLineEdit>(t)->setPlaceholderText(t.skin.Text(v));
                      }),

      // TabLayout.
      Row<V::kInt>("selectedid", kTabWidget,
                   [](T t, int v) {
                     auto* tab = As<QStackedWidget>(t);
                     // The pages may not be there yet: the builder selects again after the children.
                     tab->setProperty("korvaSelectedId", v);
                     if (v >= 0 && v < tab->count()) tab->setCurrentIndex(v);
                   }),

      // Read while building: the name in the window, the place and size, the option group, the
      // layout's margins, spacing and columns.
      Row<V::kName>(
          "name", kAnyWidget,
          [](T t, const QString& v) -> Outcome {
            if (!t.build->registerName(v, t.widget))
              return {Outcome::Status::kRefused,
                      QStringLiteral("the name '%1' is already used in this window").arg(v)};
            t.widget->setObjectName(v);
            return {};
          },
          kBuilding),
      Row<V::kPair>(
          "pos", kAnyWidget, [](T t, const std::array<int, 2>& v) { t.build->pos = QPoint(v[0], v[1]); },
          kBuilding),
      Row<V::kPair>(
          "size", kAnyWidget,
          [](T t, const std::array<int, 2>& v) {
            t.widget->setFixedSize(v[0], v[1]);
            t.build->fixedWidth = t.build->fixedHeight = true;
          },
          kBuilding),
      Row<V::kCount>(
          "width", kAnyWidget,
          [](T t, int v) {
            t.widget->setFixedWidth(v);
            t.build->fixedWidth = true;
          },
          kBuilding),
      Row<V::kCount>(
          "height", kAnyWidget,
          [](T t, int v) {
            t.widget->setFixedHeight(v);
            t.build->fixedHeight = true;
          },
          kBuilding),
      Row<V::kName>(
          "group", kCheckableWidget,
          [](T t, const QString& v) { t.build->addToGroup(v, As<QAbstractButton>(t)); }, kBuilding),
      Row<V::kRect>(
          "inset", kLayoutWidget,
          [](T t, const std::array<int, 4>& v) {
            t.widget->layout()->setContentsMargins(v[0], v[1], v[2], v[3]);
          },
          kBuilding),
      Row<V::kCount>(
          "childpadding", kSpacedWidget, [](T t, int v) { t.widget->layout()->setSpacing(v); }, kBuilding),
      Row<V::kPositive>(
          "columns", kGridWidget, [](T t, int v) { t.widget->setProperty("korvaColumns", v); }, kBuilding),
  };
}

bool Fail(QString* error, const QString& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

WidgetKinds KindsOf(const QWidget* w) {
  WidgetKinds kinds = kAnyWidget;
  if (dynamic_cast<const SkinnedBase*>(w)) kinds |= kSkinnedWidget;
  if (qobject_cast<const QLabel*>(w)) kinds |= kLabelWidget;
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
    kinds |= kButtonWidget;
    if (button->isCheckable()) kinds |= kCheckableWidget;
  }
  if (dynamic_cast<const SkinButton*>(w)) kinds |= kStateImageWidget;
  if (qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QProgressBar*>(w)) kinds |= kRangeWidget;
  if (qobject_cast<const QSlider*>(w)) kinds |= kSliderWidget;
  if (qobject_cast<const QLineEdit*>(w)) kinds |= kEditWidget;
  if (qobject_cast<const QStackedWidget*>(w)) kinds |= kTabWidget;
  if (QLayout* layout = w->layout()) {
    kinds |= kLayoutWidget;
    // QGridLayout and QBoxLayout have a spacing of their own; the page stack has none.
    if (qobject_cast<QBoxLayout*>(layout) || qobject_cast<QGridLayout*>(layout)) kinds |= kSpacedWidget;
    if (qobject_cast<QGridLayout*>(layout)) kinds |= kGridWidget;
  }
  return kinds;
}

std::span<const AttributeRow> AttributeTable() {
  static const std::vector<AttributeRow> kRows = MakeTable();
  return kRows;
}

const AttributeRow* FindAttribute(QStringView name) {
  for (const AttributeRow& row : AttributeTable())
    if (name == QLatin1String(row.name)) return &row;
  return nullptr;
}

bool ApplyAttribute(const AttributeTarget& target, const QString& name, const QString& value,
                    QString* error) {
  const AttributeRow* row = FindAttribute(name);
  const bool building = row && row->stage == Stage::kWhileBuilding;
  if (building && target.build) {
    // The builder's own attributes have always said what was wrong in one way.
    const QString bad = QStringLiteral("bad attribute %1=\"%2\" on <%3>").arg(name, value, target.cls);
    if (!(KindsOf(target.widget) & row->accepts)) return Fail(error, bad);
    const Outcome outcome = row->apply(target, value);
    if (outcome.status == Outcome::Status::kBadValue) return Fail(error, bad);
    if (outcome.status == Outcome::Status::kRefused) return Fail(error, outcome.message);
    return true;
  }
  if (auto* custom = dynamic_cast<ISkinAttributes*>(target.widget)) {
    QString customError;
    if (custom->SetSkinAttribute(name, value, &customError))
      return customError.isEmpty() ? true : Fail(error, customError);
  }
  if (!row || building || !(KindsOf(target.widget) & row->accepts))
    return Fail(error, QStringLiteral("unknown attribute '%1' on <%2>").arg(name, target.cls));
  const Outcome outcome = row->apply(target, value);
  switch (outcome.status) {
    case Outcome::Status::kApplied:
      return true;
    case Outcome::Status::kBadValue:
      return Fail(error, row->kind == ValueKind::kImage
                             ? QStringLiteral("image '%1' cannot be loaded").arg(value)
                             : QStringLiteral("bad value '%1' for attribute '%2'").arg(value, name));
    case Outcome::Status::kRefused:
      break;
  }
  return Fail(error, outcome.message);
}

bool ApplyAttribute(const Skin& skin, QWidget* widget, const QString& cls, const QString& name,
                    const QString& value, QString* error) {
  return ApplyAttribute(AttributeTarget{skin, widget, cls}, name, value, error);
}

bool ApplyWindowAttribute(const Skin& skin, WindowAttributes& window, const QString& name,
                          const QString& value) {
  if (name == QLatin1String("size")) {
    const auto v = Value<ValueKind::kPair>::Parse(skin, value);
    if (v) window.size = QSize((*v)[0], (*v)[1]);
    return v.has_value();
  }
  if (name == QLatin1String("caption")) {
    const auto v = Value<ValueKind::kCount>::Parse(skin, value);
    if (v) window.caption = *v;
    return v.has_value();
  }
  if (name == QLatin1String("title")) {
    window.title = value;
    return true;
  }
  return false;
}

QString ReadAttribute(const QWidget* w, const QString& name) {
  if (const auto* button = dynamic_cast<const SkinButton*>(w)) {
    if (button->imageFiles.contains(name)) return button->imageFiles.value(name);
    if (name == QLatin1String("foreimage")) return button->foreImage;
  }
  if (const auto* skinned = dynamic_cast<const SkinnedBase*>(w)) {
    if (name == QLatin1String("bkimage")) return skinned->look.bkImage;
  }
  if (name == QLatin1String("text")) return w->property(kTextProperty).toString();
  if (name == QLatin1String("tooltip")) return w->property(kTipProperty).toString();
  if (name == QLatin1String("userdata")) return w->property(kUserDataProperty).toString();
  if (name == QLatin1String("style")) return w->property(kStyleProperty).toString();
  return {};
}

}  // namespace korva::ui::detail
