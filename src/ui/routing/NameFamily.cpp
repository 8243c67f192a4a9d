#include "ui/routing/NameFamily.h"

#include <limits>

namespace korva::ui {

namespace {

int DecimalOrZero(QStringView digits) {
  if (digits.isEmpty()) return 0;
  long long value = 0;
  for (QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return 0;
    value = value * 10 + (c.unicode() - '0');
    if (value > std::numeric_limits<int>::max()) return 0;
  }
  return static_cast<int>(value);
}

}  // namespace

std::optional<NameFamily> SplitNameFamily(QStringView name) {
  const qsizetype underscore = name.lastIndexOf(QLatin1Char('_'));
  if (underscore < 0) return std::nullopt;
  return NameFamily{name.left(underscore + 1).toString(), DecimalOrZero(name.mid(underscore + 1))};
}

}  // namespace korva::ui
