#include "macro/MacroAction.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace korva::macro {
namespace {

constexpr int kNumberFields = 5;
// More digits than any field can mean; longer runs are not numbers of a step.
constexpr std::size_t kMaxDigits = 18;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// A decimal integer with an optional sign, surrounding spaces allowed; nullopt for anything else.
std::optional<std::int64_t> ParseField(std::string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > kMaxDigits) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

template <class T>
T LowBits(std::int64_t value) {
  return static_cast<T>(static_cast<std::uint64_t>(value));
}

}  // namespace

std::string FormatMacroAction(const MacroAction& action) {
  return std::to_string(action.DelayLow()) + ',' + std::to_string(action.DelayHigh()) + ',' +
         std::to_string(action.kind) + ',' + std::to_string(action.code) + ',' + std::to_string(action.down) + ',' +
         action.label;
}

std::optional<MacroAction> ParseMacroAction(std::string_view line) {
  // A line read from a file may still carry the CR of a CRLF line end.
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::size_t end = line.rfind(',');
  if (end == std::string_view::npos) return std::nullopt;
  MacroAction action;
  action.label = std::string(line.substr(end + 1));
  // Fields from right to left: down, code, kind, delay high, delay low.
  std::array<std::int64_t, kNumberFields> numbers{};
  for (int field = kNumberFields - 1; field >= 0; --field) {
    const std::size_t comma = end == 0 ? std::string_view::npos : line.rfind(',', end - 1);
    const bool first = field == 0;
    if (!first && comma == std::string_view::npos) return std::nullopt;  // fewer than five commas
    const std::size_t start = comma == std::string_view::npos ? 0 : comma + 1;
    const std::optional<std::int64_t> number = ParseField(line.substr(start, end - start));
    if (!number) return std::nullopt;
    numbers[static_cast<std::size_t>(field)] = *number;
    end = comma;
  }
  action.delay = static_cast<std::uint16_t>(LowBits<std::uint8_t>(numbers[0]) | (LowBits<std::uint8_t>(numbers[1]) << 8));
  action.kind = LowBits<std::uint8_t>(numbers[2]);
  action.code = LowBits<std::uint8_t>(numbers[3]);
  action.down = LowBits<std::uint16_t>(numbers[4]);
  return action;
}

std::uint16_t DelayUnitsFromMs(std::uint64_t milliseconds) {
  return static_cast<std::uint16_t>(std::min<std::uint64_t>(milliseconds / kDelayUnitMs, kMaxDelayUnits));
}

std::uint32_t ClampTyped(std::uint64_t value, std::uint32_t limit) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, limit));
}

}  // namespace korva::macro
