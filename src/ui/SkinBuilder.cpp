#include "ui/SkinBuilder_p.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <memory>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinElements_p.h"
#include "ui/SkinWidgets_p.h"
#include "ui/SkinWindow.h"

namespace korva::ui {

using namespace detail;

namespace {

// Deeper nesting than any real skin needs; a guard against runaway recursion on a broken file.
constexpr int kMaxDepth = 64;

}  // namespace

bool SkinBuilder::Fail(const QString& message) {
  if (!error_) error_ = SkinErrorAt(path_, xml_.lineNumber(), xml_.columnNumber(), message);
  return false;
}

korva::Result<std::unique_ptr<QWidget>> SkinBuilder::Build(const QString& path, WindowInfo* info) {
  path_ = path;
  error_.reset();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return SkinErrorAt(path, 0, 0, QStringLiteral("cannot open the skin file"));
  xml_.setDevice(&file);
  std::unique_ptr<QWidget> root;
  if (!xml_.readNextStartElement())
    Fail(xml_.hasError() ? xml_.errorString() : QStringLiteral("empty file"));
  else
    root.reset(BuildRoot(info));
  if (!error_) {
    // Anything after the root element must be well-formed too.
    while (!xml_.atEnd()) xml_.readNext();
    if (xml_.hasError()) Fail(xml_.errorString());
  }
  if (error_) return *error_;
  return root;
}

QWidget* SkinBuilder::BuildRoot(WindowInfo* info) {
  if (!info) return BuildControl(nullptr, 0);
  if (xml_.name() != QLatin1String("Window")) {
    Fail(QStringLiteral("the root element of a window skin must be <Window>"));
    return nullptr;
  }
  for (const auto& a : xml_.attributes()) {
    const QString name = a.name().toString();
    const QString value = a.value().toString();
    if (!ApplyWindowAttribute(window_.GetSkin(), *info, name, value)) {
      Fail(QStringLiteral("bad attribute %1=\"%2\" on <Window>").arg(name, value));
      return nullptr;
    }
  }
  if (!xml_.readNextStartElement()) {
    Fail(xml_.hasError() ? xml_.errorString() : QStringLiteral("<Window> holds no root control"));
    return nullptr;
  }
  std::unique_ptr<QWidget> root(BuildControl(nullptr, 0));
  if (root && xml_.readNextStartElement()) {
    Fail(QStringLiteral("<Window> holds more than one root control"));
    return nullptr;
  }
  return root.release();
}

QWidget* SkinBuilder::CreateCustom(const QString& cls) {
  QWidget* widget = callback_ ? callback_->CreateControl(cls) : nullptr;
  if (!widget && window_.pageError_) {
    // The callback failed to build a page: report the page's own error.
    error_ = window_.pageError_;
    window_.pageError_.reset();
    return nullptr;
  }
  if (!widget) widget = window_.GetSkin().Factory().Create(cls);
  if (!widget) Fail(QStringLiteral("unknown element class <%1>").arg(cls));
  return widget;
}

bool SkinBuilder::ReadAttributes(QWidget* widget, const QString& cls, BuildState& state) {
  state.registerName = [this](const QString& name, QWidget* w) {
    if (window_.FindControl(name)) return false;
    window_.RegisterName(name, w);
    return true;
  };
  state.addToGroup = [this](const QString& group, QAbstractButton* button) {
    window_.Group(group)->addButton(button);
  };
  const AttributeTarget target{window_.GetSkin(), widget, cls, &state};
  for (const auto& a : xml_.attributes()) {
    QString message;
    if (!ApplyAttribute(target, a.name().toString(), a.value().toString(), &message)) return Fail(message);
  }
  return true;
}

QWidget* SkinBuilder::BuildControl(QWidget* parent, int depth) {
  const QString cls = xml_.name().toString();
  if (depth > kMaxDepth) {
    Fail(QStringLiteral("elements nested deeper than %1 levels").arg(kMaxDepth));
    return nullptr;
  }
  if (cls == QLatin1String("Window") || cls == QLatin1String("Item")) {
    Fail(QStringLiteral("<%1> is not allowed here").arg(cls));
    return nullptr;
  }

  // Classes the builder does not make itself come from the callback or the factory and take no
  // children.
  const ElementRow* element = FindElement(cls);
  std::unique_ptr<QWidget> owned(element ? element->create() : CreateCustom(cls));
  if (!owned) return nullptr;
  QWidget* widget = owned.get();
  widget->setProperty(kClassProperty, cls);
  if (parent) widget->setParent(parent);  // fonts and visibility follow the parent from now on

  BuildState state;
  if (!ReadAttributes(widget, cls, state)) return nullptr;
  if (parent && !Attach(parent, widget, state)) return nullptr;
  if (!parent && state.pos) {
    Fail(QStringLiteral("the root control cannot have a pos"));
    return nullptr;
  }
  Connect(widget, cls);

  switch (element ? element->children : Children::kNone) {
    case Children::kItems:
      if (!ReadItems(widget, cls)) return nullptr;
      break;
    case Children::kControls:
    case Children::kPages:
      if (!ReadChildren(widget, depth)) return nullptr;
      break;
    case Children::kNone:
      if (xml_.readNextStartElement()) {
        Fail(QStringLiteral("<%1> cannot hold <%2>").arg(cls, xml_.name().toString()));
        return nullptr;
      }
      break;
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

bool SkinBuilder::Attach(QWidget* parent, QWidget* child, const BuildState& state) {
  if (state.pos) {
    // A floating control: placed at pos inside its parent, outside the layout.
    if (qobject_cast<QStackedWidget*>(parent))
      return Fail(QStringLiteral("a page of a TabLayout cannot have a pos"));
    child->move(*state.pos);
    if (!state.fixedWidth || !state.fixedHeight)
      return Fail(QStringLiteral("a control with pos needs a size"));
    return true;
  }
  if (auto* tab = qobject_cast<QStackedWidget*>(parent)) {
    tab->addWidget(child);
    return true;
  }
  if (auto* box = qobject_cast<QBoxLayout*>(parent->layout())) {
    // Like the original skin engine: controls without a fixed size share the free space.
    const bool horizontal = box->direction() == QBoxLayout::LeftToRight;
    const bool fixed = horizontal ? state.fixedWidth : state.fixedHeight;
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

bool SkinBuilder::ReadChildren(QWidget* widget, int depth) {
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
