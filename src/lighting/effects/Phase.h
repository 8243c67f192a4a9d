#pragma once
// The one rule by which every effect moves its phase bytes. A phase p steps by k within a range
// of n once per rendered frame: forwards (direction 1) it restarts at 0 on reaching n; backwards
// (direction 0) it is decremented as a byte and, having wrapped below 0, lands on n - k. The
// headset wave instead keeps the overshoot forwards (p + k - n). A phase left out of range by
// another mode (the phases persist across mode changes) comes back into range on its next step.

#include <cstdint>

namespace korva::lighting::effects {

enum class PhaseWrap { kRestart, kKeepOvershoot };

constexpr std::uint8_t StepPhase(std::uint8_t p, std::uint8_t k, std::uint8_t n, std::uint8_t direction,
                                 PhaseWrap wrap = PhaseWrap::kRestart) {
  if (direction != 0) {
    const int next = p + k;
    if (next < n) return static_cast<std::uint8_t>(next);
    return wrap == PhaseWrap::kKeepOvershoot ? static_cast<std::uint8_t>((next - n) % n) : 0;
  }
  const auto next = static_cast<std::uint8_t>(p - k);
  return next >= n ? static_cast<std::uint8_t>(n - k) : next;
}

// Steps p in place and says whether it has just become 0 (breathing counts its breaths by that).
constexpr bool Advance(std::uint8_t& p, std::uint8_t k, std::uint8_t n, std::uint8_t direction,
                       PhaseWrap wrap = PhaseWrap::kRestart) {
  p = StepPhase(p, k, n, direction, wrap);
  return p == 0;
}

}  // namespace korva::lighting::effects
