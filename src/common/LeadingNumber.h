#pragma once
// The number a user typed at the start of an edit's text, read the way the edits of the pages read
// it: spaces, an optional sign, decimal digits; whatever follows is ignored.

#include <optional>
#include <string_view>

namespace korva {

// The number at the start of `text`, its magnitude saturated just past the int range (so a caller
// clamping to a small range never sees an overflow); nullopt when the text starts with no number.
std::optional<long long> ParseLeadingNumber(std::string_view text);

}  // namespace korva
