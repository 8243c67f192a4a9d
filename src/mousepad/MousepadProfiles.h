#pragma once
// The mousepad's light profile payload: the record of the profile in use (64 bytes: the active
// settings, bytes 21..55 as the pad keeps them, 56..63 zero).

#include <array>
#include <cstdint>
#include <span>

#include "mousepad/MousepadImage.h"
#include "profile/ProfileStore.h"

namespace korva::mousepad {

// Stores the active settings into their slot and returns that record as a light profile payload.
std::array<std::uint8_t, kMousepadRecordSize> StoreLightRecord(MousepadImage& image);
// A loaded light profile becomes the active settings and their slot; the active profile number
// stays the pad's. False (nothing changed) for a payload that is not 64 bytes.
bool ApplyLightPayload(MousepadImage& image, std::span<const std::uint8_t> payload);
profile::StoreResult SaveMousepadLightProfile(MousepadImage& image, profile::ProfileStore& lightStore);

}  // namespace korva::mousepad
