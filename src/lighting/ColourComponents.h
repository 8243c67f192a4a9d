#pragma once
// The red, green and blue of a lighting colour as the pages show and edit them: three edits
// holding "%d" of each component, and a number typed into one of them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korva::lighting {

enum class ColourComponent { kRed = 0, kGreen = 1, kBlue = 2 };

struct TypedComponent {
  std::uint8_t value = 0;
  // The text to put back into the edit when it holds a number outside 0..255 ("255" or "0").
  std::optional<std::string> rewrite;
};
// A colour component typed into an edit: the leading decimal number (spaces before it allowed),
// above 255 taken as 255, below 0 as 0. nullopt when the text starts with no number (an emptied
// edit), so nothing is stored while the user is still typing.
std::optional<TypedComponent> ParseTypedComponent(std::string_view text);
// `argb` with one of its R, G, B bytes replaced; alpha forced to 0xFF.
std::uint32_t WithComponent(std::uint32_t argb, ColourComponent component, std::uint8_t value);
// "%d" of the R, G and B of a colour, for the three edits.
std::array<std::string, 3> ComponentTexts(std::uint32_t argb);
// 0xFF000000 | R << 16 | G << 8 | B.
constexpr std::uint32_t OpaqueColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

}  // namespace korva::lighting
