#pragma once
// The element classes the skin builder makes itself, one row each: how the widget is made and
// which children it takes. Classes not in the table go to the window's CreateControl (pages), then
// to the skin's control factory. Private to the skin layer.

#include <QStringView>
#include <span>

class QWidget;

namespace korva::ui::detail {

enum class Children {
  kNone,      // a leaf: any child element is an error
  kControls,  // controls, laid out (or placed at their pos)
  kPages,     // controls, one page each, shown one at a time
  kItems,     // <Item text=".." userdata=".." name=".."/>
};

struct ElementRow {
  const char* name;      // as the skin files write it; compared with regard to case
  QWidget* (*create)();  // a new widget without parent
  Children children;
};

std::span<const ElementRow> ElementTable();
const ElementRow* FindElement(QStringView cls);

}  // namespace korva::ui::detail
