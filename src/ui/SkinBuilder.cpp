#include "ui/SkinBuilder_p.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QSet>
#include <memory>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWidgets_p.h"
#include "ui/SkinWindow.h"

namespace korva::ui {

using namespace detail;

namespace {

// Deeper nesting than any real skin needs; a guard against runaway recursion on a broken file.
constexpr int kMaxDepth = 64;

// Attributes the builder itself takes; every other one goes through ApplyAttribute.
const QSet<QString>& BuildAttributes() {
  static const QSet<QString> kNames = {
      QStringLiteral("name"),  QStringLiteral("pos"),          QStringLiteral("size"),
      QStringLiteral("width"), QStringLiteral("height"),       QStringLiteral("group"),
      QStringLiteral("inset"), QStringLiteral("childpadding"), QStringLiteral("columns")};
  return kNames;
}

bool IsBox(const QString& cls) {
  return cls == QLatin1String("VerticalLayout") || cls == QLatin1String("HorizontalLayout") ||
         cls == QLatin1String("TileLayout") || cls == QLatin1String("Container");
}

bool ParseInts(const QString& text, int count, QList<int>& out) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != count) return false;
  out.clear();
  for (const QString& p : parts) {
    bool ok = false;
    const int v = p.trimmed().toInt(&ok);
    if (!ok || v < 0) return false;
    out.append(v);
  }
  return true;
}

}  // namespace

bool SkinBuilder::Fail(const QString& message, qint64 line) {
  if (!error_) error_ = SkinError{path_, line > 0 ? line : xml_.lineNumber(), xml_.columnNumber(), message};
  return false;
}

QWidget* SkinBuilder::Build(const QString& path, WindowInfo* info, SkinError* error) {
  path_ = path;
  error_.reset();
  QFile file(path);
  auto result = [&](QWidget* widget) -> QWidget* {
    if (error_ && error) *error = *error_;
    return error_ ? nullptr : widget;
  };
  if (!file.open(QIODevice::ReadOnly)) {
    error_ = SkinError{path, 0, 0, QStringLiteral("cannot open the skin file")};
    return result(nullptr);
  }
  xml_.setDevice(&file);
  if (!xml_.readNextStartElement()) {
    Fail(xml_.hasError() ? xml_.errorString() : QStringLiteral("empty file"));
    return result(nullptr);
  }

  std::unique_ptr<QWidget> root;
  if (info) {
    if (xml_.name() != QLatin1String("Window")) {
      Fail(QStringLiteral("the root element of a window skin must be <Window>"));
      return result(nullptr);
    }
    for (const auto& a : xml_.attributes()) {
      const QString name = a.name().toString();
      const QString value = a.value().toString();
      QList<int> v;
      if (name == QLatin1String("size") && ParseInts(value, 2, v)) {
        info->size = QSize(v[0], v[1]);
      } else if (name == QLatin1String("caption") && ParseInts(value, 1, v)) {
        info->caption = v[0];
      } else if (name == QLatin1String("title")) {
        info->title = value;
      } else {
        Fail(QStringLiteral("bad attribute %1=\"%2\" on <Window>").arg(name, value));
        return result(nullptr);
      }
    }
    if (!xml_.readNextStartElement()) {
      Fail(xml_.hasError() ? xml_.errorString() : QStringLiteral("<Window> holds no root control"));
      return result(nullptr);
    }
    root.reset(BuildControl(nullptr, 0));
    if (root && xml_.readNextStartElement())
      Fail(QStringLiteral("<Window> holds more than one root control"));
  } else {
    root.reset(BuildControl(nullptr, 0));
  }
  if (!error_) {
    // Anything after the root element must be well-formed too.
    while (!xml_.atEnd()) xml_.readNext();
    if (xml_.hasError()) Fail(xml_.errorString());
  }
  return result(error_ ? nullptr : root.release());
}

QWidget* SkinBuilder::Create(const QString& cls) {
  if (cls == QLatin1String("VerticalLayout") || cls == QLatin1String("HorizontalLayout") ||
      cls == QLatin1String("TileLayout") || cls == QLatin1String("Container") ||
      cls == QLatin1String("Control")) {
    auto* box = new SkinBox;
    box->hoverNotify = false;
    if (cls == QLatin1String("VerticalLayout") || cls == QLatin1String("HorizontalLayout")) {
      auto* layout = new QBoxLayout(
          cls == QLatin1String("VerticalLayout") ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, box);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->setSpacing(0);
    } else if (cls == QLatin1String("TileLayout")) {
      auto* layout = new QGridLayout(box);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->setSpacing(0);
    }
    return box;
  }
  if (cls == QLatin1String("TabLayout")) {
    auto* tab = new SkinTab;
    tab->hoverNotify = false;
    return tab;
  }
  if (cls == QLatin1String("Button")) return new SkinButton;
  if (cls == QLatin1String("Option")) {
    auto* option = new SkinButton;
    option->setCheckable(true);
    return option;
  }
  if (cls == QLatin1String("CheckBox")) {
    auto* check = new SkinCheckBox;
    check->setCursor(Qt::PointingHandCursor);
    return check;
  }
  if (cls == QLatin1String("Label")) return new SkinLabel;
  if (cls == QLatin1String("Edit")) return new SkinEdit;
  if (cls == QLatin1String("Combo")) {
    auto* combo = new SkinCombo;
    combo->setCursor(Qt::PointingHandCursor);
    return combo;
  }
  if (cls == QLatin1String("Slider")) {
    auto* slider = new SkinSlider(Qt::Horizontal);
    slider->setCursor(Qt::PointingHandCursor);
    return slider;
  }
  if (cls == QLatin1String("Progress")) {
    auto* progress = new SkinProgress;
    progress->setTextVisible(false);
    return progress;
  }
  if (cls == QLatin1String("List")) {
    auto* list = new SkinList;
    list->hoverNotify = false;
    return list;
  }
  if (cls == QLatin1String("ColorPalette")) return new ColorPalette;
  return nullptr;
}

QWidget* SkinBuilder::BuildControl(QWidget* parent, int depth) {
  const QString cls = xml_.name().toString();
  const qint64 line = xml_.lineNumber();
  if (depth > kMaxDepth) {
    Fail(QStringLiteral("elements nested deeper than %1 levels").arg(kMaxDepth));
    return nullptr;
  }
  if (cls == QLatin1String("Window") || cls == QLatin1String("Item")) {
    Fail(QStringLiteral("<%1> is not allowed here").arg(cls));
    return nullptr;
  }

  bool known = true;
  std::unique_ptr<QWidget> owned(Create(cls));
  if (!owned) {
    known = false;
    if (callback_) owned.reset(callback_->CreateControl(cls));
    if (!owned && window_.pageError_) {
      // The callback failed to build a page: report the page's own error.
      error_ = window_.pageError_;
      window_.pageError_.reset();
      return nullptr;
    }
    if (!owned) owned.reset(window_.GetSkin().Factory().Create(cls));
    if (!owned) {
      Fail(QStringLiteral("unknown element class <%1>").arg(cls));
      return nullptr;
    }
  }
  QWidget* widget = owned.get();
  widget->setProperty(kClassProperty, cls);
  if (parent) widget->setParent(parent);  // fonts and visibility follow the parent from now on

  const QXmlStreamAttributes attrs = xml_.attributes();
  QString pos;
  bool fixedWidth = false;
  bool fixedHeight = false;
  for (const auto& a : attrs) {
    const QString name = a.name().toString();
    const QString value = a.value().toString();
    QList<int> v;
    if (!BuildAttributes().contains(name)) {
      QString message;
      if (!ApplyAttribute(window_.GetSkin(), widget, cls, name, value, &message)) {
        Fail(message, line);
        return nullptr;
      }
      continue;
    }
    bool ok = true;
    if (name == QLatin1String("name")) {
      if (value.isEmpty()) {
        ok = false;
      } else if (window_.FindControl(value)) {
        Fail(QStringLiteral("the name '%1' is already used in this window").arg(value), line);
        return nullptr;
      } else {
        widget->setObjectName(value);
        window_.RegisterName(value, widget);
      }
    } else if (name == QLatin1String("pos")) {
      ok = ParseInts(value, 2, v);
      pos = value;
    } else if (name == QLatin1String("size")) {
      if ((ok = ParseInts(value, 2, v))) {
        widget->setFixedSize(v[0], v[1]);
        fixedWidth = fixedHeight = true;
      }
    } else if (name == QLatin1String("width")) {
      if ((ok = ParseInts(value, 1, v))) {
        widget->setFixedWidth(v[0]);
        fixedWidth = true;
      }
    } else if (name == QLatin1String("height")) {
      if ((ok = ParseInts(value, 1, v))) {
        widget->setFixedHeight(v[0]);
        fixedHeight = true;
      }
    } else if (name == QLatin1String("group")) {
      auto* button = qobject_cast<QAbstractButton*>(widget);
      if ((ok = button && button->isCheckable() && !value.isEmpty())) window_.Group(value)->addButton(button);
    } else if (name == QLatin1String("inset")) {
      if ((ok = widget->layout() && ParseInts(value, 4, v)))
        widget->layout()->setContentsMargins(v[0], v[1], v[2], v[3]);
    } else if (name == QLatin1String("childpadding")) {
      if ((ok = ParseInts(value, 1, v))) {
        if (auto* box = qobject_cast<QBoxLayout*>(widget->layout()))
          box->setSpacing(v[0]);
        else if (auto* grid = qobject_cast<QGridLayout*>(widget->layout()))
          grid->setSpacing(v[0]);
        else
          ok = false;
      }
    } else if (name == QLatin1String("columns")) {
      ok = qobject_cast<QGridLayout*>(widget->layout()) && ParseInts(value, 1, v) && v[0] > 0;
      if (ok) widget->setProperty("korvaColumns", v[0]);
    }
    if (!ok) {
      Fail(QStringLiteral("bad attribute %1=\"%2\" on <%3>").arg(name, value, cls), line);
      return nullptr;
    }
  }

  if (parent && !Attach(parent, widget, pos, fixedWidth, fixedHeight)) return nullptr;
  if (!parent && !pos.isEmpty()) {
    Fail(QStringLiteral("the root control cannot have a pos"), line);
    return nullptr;
  }
  Connect(widget, cls);

  if (cls == QLatin1String("Combo") || cls == QLatin1String("List")) {
    if (!ReadItems(widget, cls)) return nullptr;
  } else if (known && (IsBox(cls) || cls == QLatin1String("TabLayout"))) {
    if (!ReadChildren(widget, cls, depth)) return nullptr;
  } else if (xml_.readNextStartElement()) {
    Fail(QStringLiteral("<%1> cannot hold <%2>").arg(cls, xml_.name().toString()));
    return nullptr;
  }
  if (xml_.hasError()) {
    Fail(xml_.errorString());
    return nullptr;
  }
  if (auto* tab = qobject_cast<QStackedWidget*>(widget)) {
    const int selected = tab->property("korvaSelectedId").toInt();
    if (selected >= 0 && selected < tab->count()) tab->setCurrentIndex(selected);
  }
  return owned.release();
}

bool SkinBuilder::Attach(QWidget* parent, QWidget* child, const QString& pos, bool fixedWidth,
                         bool fixedHeight) {
  if (!pos.isEmpty()) {
    // A floating control: placed at pos inside its parent, outside the layout.
    if (qobject_cast<QStackedWidget*>(parent))
      return Fail(QStringLiteral("a page of a TabLayout cannot have a pos"));
    QList<int> v;
    ParseInts(pos, 2, v);
    child->move(v[0], v[1]);
    if (!fixedWidth || !fixedHeight) return Fail(QStringLiteral("a control with pos needs a size"));
    return true;
  }
  if (auto* tab = qobject_cast<QStackedWidget*>(parent)) {
    tab->addWidget(child);
    return true;
  }
  if (auto* box = qobject_cast<QBoxLayout*>(parent->layout())) {
    // Like the original skin engine: controls without a fixed size share the free space.
    const bool horizontal = box->direction() == QBoxLayout::LeftToRight;
    const bool fixed = horizontal ? fixedWidth : fixedHeight;
    QSizePolicy policy = child->sizePolicy();
    if (!fixed) {
      if (horizontal)
        policy.setHorizontalPolicy(QSizePolicy::Expanding);
      else
        policy.setVerticalPolicy(QSizePolicy::Expanding);
      child->setSizePolicy(policy);
    }
    box->addWidget(child, fixed ? 0 : 1);
    return true;
  }
  if (auto* grid = qobject_cast<QGridLayout*>(parent->layout())) {
    const int columns = std::max(1, parent->property("korvaColumns").toInt());
    const int index = grid->count();
    grid->addWidget(child, index / columns, index % columns);
    return true;
  }
  return Fail(QStringLiteral("<%1> can only hold controls with a pos")
                  .arg(parent->property(kClassProperty).toString()));
}

bool SkinBuilder::ReadChildren(QWidget* widget, const QString& cls, int depth) {
  (void)cls;
  while (xml_.readNextStartElement()) {
    if (!BuildControl(widget, depth + 1)) return false;
  }
  // Like the original skin engine, a layout whose children all have fixed sizes keeps them at its
  // start: this stretch takes the free space only when no child wants it.
  if (auto* box = qobject_cast<QBoxLayout*>(widget->layout())) box->addStretch(0);
  return !xml_.hasError() || Fail(xml_.errorString());
}

bool SkinBuilder::ReadItems(QWidget* widget, const QString& cls) {
  while (xml_.readNextStartElement()) {
    if (xml_.name() != QLatin1String("Item"))
      return Fail(QStringLiteral("<%1> can only hold <Item>").arg(cls));
    QString text, userData, name;
    for (const auto& a : xml_.attributes()) {
      if (a.name() == QLatin1String("text"))
        text = a.value().toString();
      else if (a.name() == QLatin1String("userdata"))
        userData = a.value().toString();
      else if (a.name() == QLatin1String("name"))
        name = a.value().toString();
      else
        return Fail(QStringLiteral("unknown attribute '%1' on <Item>").arg(a.name().toString()));
    }
    AddItem(window_.GetSkin(), widget, text, userData);
    if (auto* list = qobject_cast<QListWidget*>(widget); list && !name.isEmpty())
      list->item(list->count() - 1)->setData(kItemNameRole, name);
    if (xml_.readNextStartElement()) return Fail(QStringLiteral("<Item> cannot hold elements"));
  }
  // A combo starts with its first item selected, as in the original skin engine.
  if (auto* combo = dynamic_cast<SkinCombo*>(widget)) {
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    combo->lastIndex = combo->currentIndex();
  }
  return !xml_.hasError() || Fail(xml_.errorString());
}

void SkinBuilder::Connect(QWidget* widget, const QString& cls) {
  SkinWindow* window = &window_;
  auto send = [window](QWidget* w, const char* type, qint64 wParam = 0, qint64 lParam = 0,
                       const QString& name = {}) {
    window->SendNotify(Control(w), QString::fromLatin1(type), wParam, lParam, name);
  };

  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (!button->isCheckable() && cls != QLatin1String("CheckBox")) {
      QObject::connect(button, &QAbstractButton::clicked, button,
                       [send, button] { send(button, notify::kClick); });
      return;
    }
    // Options and check boxes: "click" first, then "selectchanged" when the click changed the
    // state. An option of a group that is cleared because another was selected stays silent.
    auto pending = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::toggled, button, [button, pending](bool checked) {
      if (checked || !button->group()) *pending = true;
    });
    QObject::connect(button, &QAbstractButton::clicked, button, [send, button, pending] {
      send(button, notify::kClick);
      if (*pending) {
        *pending = false;
        send(button, notify::kSelectChanged, button->isChecked() ? 1 : 0);
      }
    });
    return;
  }
  if (auto* combo = dynamic_cast<SkinCombo*>(widget)) {
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [send, combo](int index) {
      const int old = combo->lastIndex;
      combo->lastIndex = index;
      send(combo, notify::kItemSelect, index, old);
    });
    return;
  }
  if (auto* slider = qobject_cast<QSlider*>(widget)) {
    QObject::connect(slider, &QSlider::valueChanged, slider, [send, slider](int value) {
      send(slider, slider->isSliderDown() ? notify::kMoveValueChanged : notify::kValueChanged, value);
    });
    QObject::connect(slider, &QSlider::sliderReleased, slider,
                     [send, slider] { send(slider, notify::kValueChanged, slider->value()); });
    return;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [send, edit](const QString& text) {
      edit->setProperty(kTextProperty, text);
      edit->setProperty(kShownProperty, text);
      send(edit, notify::kTextChanged);
    });
    QObject::connect(edit, &QLineEdit::returnPressed, edit, [send, edit] { send(edit, notify::kReturn); });
    return;
  }
  if (auto* list = dynamic_cast<SkinList*>(widget)) {
    QObject::connect(list, &QListWidget::currentRowChanged, list, [send, list](int row) {
      const int old = list->lastIndex;
      list->lastIndex = row;
      send(list, notify::kItemSelect, row, old);
    });
    QObject::connect(list, &QListWidget::itemClicked, list, [send, list](QListWidgetItem* item) {
      const QString rowName = item->data(kItemNameRole).toString();
      send(list, notify::kItemClick, list->row(item), 0, rowName.isEmpty() ? list->objectName() : rowName);
    });
  }
}

}  // namespace korva::ui
