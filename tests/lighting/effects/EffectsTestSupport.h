#pragma once
// Small builders shared by the lighting effect tests.

#include <cstdint>
#include <ostream>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"

namespace korva::lighting::effects {

struct RecordSpec {
  std::uint8_t mode = 0;
  std::uint8_t level = 14;  // brightness level; 14 is B = 255, so colours stay readable
  std::uint8_t speed = 0;
  std::uint8_t direction = 1;
  std::uint8_t multicolour = 0;
  Rgb colour{200, 100, 50};
};

inline LightingSettings Record(const RecordSpec& s) {
  return {s.mode, s.level, s.speed, s.direction, s.multicolour, s.colour.red, s.colour.green, s.colour.blue};
}

inline FrameEntry Entry(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t brightness) {
  return {r, g, b, brightness};
}

inline std::ostream& operator<<(std::ostream& os, const FrameEntry& e) {
  return os << "(" << int{e.red} << ", " << int{e.green} << ", " << int{e.blue} << ", " << int{e.brightness}
            << ")";
}
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ")";
}

}  // namespace korva::lighting::effects
