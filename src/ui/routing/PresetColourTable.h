#pragma once
// The colour presets shared by every colour swatch control "<prefix>_color_btn_<n>" of every
// device page: entry n is the colour of swatch n.

#include <array>
#include <cstdint>
#include <optional>

namespace korva::ui {

inline constexpr std::array<std::uint32_t, 30> PresetColourTable = {
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFF2400FF, 0xFFADFE00, 0xFFFE5400,
    0xFFFE8300, 0xFF8300E7, 0xFFB700AC, 0xFFFEB300, 0xFFFEF500, 0xFFFF0000, 0xFFFF00F6, 0xFF21B309,
    0xFF48B1FA, 0xFFFA48A4, 0xFFFDFDFC, 0xFF4900E7, 0xFFFFC480, 0xFF000000, 0xFF1B48A3, 0xFF1B1A77,
    0xFF4877A3, 0xFF76A348, 0xFFACD55B, 0xFF7576D2, 0xFF7675FF, 0xFF4776A4};

// The ARGB colour of swatch `index`; nullopt for a number beyond the table.
inline std::optional<std::uint32_t> PresetColour(int index) {
  if (index < 0 || index >= static_cast<int>(PresetColourTable.size())) return std::nullopt;
  return PresetColourTable[static_cast<std::size_t>(index)];
}

}  // namespace korva::ui
