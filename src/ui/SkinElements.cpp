#include "ui/SkinElements_p.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <array>

#include "ui/SkinWidgets_p.h"

namespace korva::ui::detail {

namespace {

enum class BoxLayout { kNone, kColumn, kRow, kGrid };

// Layout boxes raise no hover notifications: only the controls in them do.
QWidget* NewBox(BoxLayout kind) {
  auto* box = new SkinBox;
  box->hoverNotify = false;
  QLayout* layout = nullptr;
  switch (kind) {
    case BoxLayout::kNone:
      return box;
    case BoxLayout::kColumn:
      layout = new QBoxLayout(QBoxLayout::TopToBottom, box);
      break;
    case BoxLayout::kRow:
      layout = new QBoxLayout(QBoxLayout::LeftToRight, box);
      break;
    case BoxLayout::kGrid:
      layout = new QGridLayout(box);
      break;
  }
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return box;
}

// Controls that take clicks show the hand over them.
template <class W, class... Args>
QWidget* NewClickable(Args... args) {
  auto* widget = new W(args...);
  widget->setCursor(Qt::PointingHandCursor);
  return widget;
}

constexpr std::array kElements = {
    ElementRow{"VerticalLayout", [] { return NewBox(BoxLayout::kColumn); }, Children::kControls},
    ElementRow{"HorizontalLayout", [] { return NewBox(BoxLayout::kRow); }, Children::kControls},
    ElementRow{"TileLayout", [] { return NewBox(BoxLayout::kGrid); }, Children::kControls},
    // Its children all have a pos.
    ElementRow{"Container", [] { return NewBox(BoxLayout::kNone); }, Children::kControls},
    // An empty box; without a size a spacer.
    ElementRow{"Control", [] { return NewBox(BoxLayout::kNone); }, Children::kNone},
    ElementRow{"TabLayout",
               []() -> QWidget* {
                 auto* tab = new SkinTab;
                 tab->hoverNotify = false;
                 return tab;
               },
               Children::kPages},
    // SkinButton sets its own cursor.
    ElementRow{"Button", []() -> QWidget* { return new SkinButton; }, Children::kNone},
    ElementRow{"Option",
               []() -> QWidget* {
                 auto* option = new SkinButton;
                 option->setCheckable(true);
                 return option;
               },
               Children::kNone},
    ElementRow{"CheckBox", [] { return NewClickable<SkinCheckBox>(); }, Children::kNone},
    ElementRow{"Label", []() -> QWidget* { return new SkinLabel; }, Children::kNone},
    ElementRow{"Edit", []() -> QWidget* { return new SkinEdit; }, Children::kNone},
    ElementRow{"Combo", [] { return NewClickable<SkinCombo>(); }, Children::kItems},
    ElementRow{"Slider", [] { return NewClickable<SkinSlider>(Qt::Horizontal); }, Children::kNone},
    ElementRow{"Progress",
               []() -> QWidget* {
                 auto* progress = new SkinProgress;
                 progress->setTextVisible(false);
                 return progress;
               },
               Children::kNone},
    ElementRow{"List",
               []() -> QWidget* {
                 auto* list = new SkinList;
                 list->hoverNotify = false;
                 return list;
               },
               Children::kItems},
    ElementRow{"ColorPalette", []() -> QWidget* { return new ColorPalette; }, Children::kNone},
};

}  // namespace

std::span<const ElementRow> ElementTable() {
  return kElements;
}

const ElementRow* FindElement(QStringView cls) {
  for (const ElementRow& row : kElements)
    if (cls == QLatin1String(row.name)) return &row;
  return nullptr;
}

}  // namespace korva::ui::detail
