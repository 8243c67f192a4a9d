#pragma once
// Control-name families: a name made of a prefix and a number ("kb_Deng_color_btn_21") is split
// at its last underscore. The prefix is the name up to and including that underscore; the index
// is the decimal value of the rest, 0 when the rest is not a number. A name without an
// underscore has no family.

#include <QString>
#include <QStringView>
#include <optional>

namespace korva::ui {

struct NameFamily {
  QString prefix;  // as written in the name, underscore included
  int index = 0;
  friend bool operator==(const NameFamily&, const NameFamily&) = default;
};

// The rest counts as a number only when it is made of decimal digits alone and fits an int;
// anything else ("butt", "", "-3", "3a", a number too large) gives index 0.
std::optional<NameFamily> SplitNameFamily(QStringView name);

}  // namespace korva::ui
