#include "lighting/ColourComponents.h"

#include "common/LeadingNumber.h"

namespace korva::lighting {

std::optional<TypedComponent> ParseTypedComponent(std::string_view text) {
  const std::optional<long long> number = ParseLeadingNumber(text);
  if (!number) return std::nullopt;
  if (*number > 255) return TypedComponent{255, "255"};
  if (*number < 0) return TypedComponent{0, "0"};
  return TypedComponent{static_cast<std::uint8_t>(*number), std::nullopt};
}

std::uint32_t WithComponent(std::uint32_t argb, ColourComponent component, std::uint8_t value) {
  const unsigned shift = 16u - 8u * static_cast<unsigned>(component);
  return 0xFF000000u | (argb & ~(0xFFu << shift) & 0x00FFFFFFu) | (std::uint32_t{value} << shift);
}

std::array<std::string, 3> ComponentTexts(std::uint32_t argb) {
  return {std::to_string((argb >> 16) & 0xFF), std::to_string((argb >> 8) & 0xFF),
          std::to_string(argb & 0xFF)};
}

}  // namespace korva::lighting
