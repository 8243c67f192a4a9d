#pragma once
// The mouse's two profile payloads and the saves that follow a full read.
//
//   light profile (".led", 64 bytes): a MouseProfileRecord -- record slot 0 after the active settings
//       have been stored into its bytes 0..22, byte 23 := pointer speed, byte 24 := wheel lines.
//       Loading makes the payload record slot 0, its bytes 0..22 the active settings, byte 23 the
//       pointer speed and byte 24 the wheel lines (0 read as 1).
//   key profile (".pro", 512 bytes): MouseKeyBank 0.
//
// Record slot 0 doubles as the light profile's record: the device never receives it (only the
// active settings and single bytes are written), and every device read of profile 0 replaces it.
//
// Input from a file is checked before use: an active profile number outside 0..4 keeps the previous
// one, a pointer speed above 20 is taken as 20 and wheel lines above 10 as 10.

#include <array>
#include <cstdint>
#include <span>

#include "device/HidDevice.h"
#include "mouse/MouseImage.h"
#include "mouse/MouseTransfer.h"
#include "profile/ProfileStore.h"

namespace korva::mouse {

inline constexpr std::size_t kMouseLightPayloadSize = kMouseRecordSize;
inline constexpr std::size_t kMouseKeyPayloadSize = kMouseKeyBankSize;
static_assert(kMouseLightPayloadSize == profile::kMouseLightPayloadSize);
static_assert(kMouseKeyPayloadSize == profile::kKeyBankPayloadSize);

// Stores the active settings, pointer speed and wheel lines into record slot 0 and returns its bytes.
std::array<std::uint8_t, kMouseLightPayloadSize> StoreLightRecord(MouseImage& image);
// Takes a light profile payload into the image; false (nothing changed) unless it is 64 bytes.
bool ApplyLightPayload(MouseImage& image, std::span<const std::uint8_t> payload);
// Takes a key profile payload into bank 0; false (nothing changed) unless it is 512 bytes.
bool ApplyKeyPayload(MouseImage& image, std::span<const std::uint8_t> payload);

// Saves into the file of the store's selected profile.
profile::StoreResult SaveMouseLightProfile(MouseImage& image, profile::ProfileStore& lightStore);
profile::StoreResult SaveMouseKeyProfile(const MouseImage& image, profile::ProfileStore& keyStore);
// Profile `index` of the store into the image; on failure the image is unchanged.
profile::StoreResult LoadMouseLightProfile(MouseImage& image, const profile::ProfileStore& lightStore,
                                           int index);
profile::StoreResult LoadMouseKeyProfile(MouseImage& image, const profile::ProfileStore& keyStore, int index);

struct MouseReadAndSave {
  MouseTransferResult read;
  bool saved = false;          // the saves ran (only after a complete read)
  profile::StoreResult light;  // the light profile save
  profile::StoreResult key;    // the key profile save
};

// ReadMouseAll, then -- only when it succeeded -- the light profile and the key profile selected
// in their stores are rewritten from the image, so the stored profiles follow the device. A failed
// read changes neither the image nor any file.
//
// On arrival the watcher runs, on a fresh copy of the image: LoadMouseLightProfile of the light
// store's selected index, then ReadMouseAllAndSave; the UI thread then takes the copy over.
MouseReadAndSave ReadMouseAllAndSave(device::HidDevice& device, MouseImage& image,
                                     profile::ProfileStore& lightStore, profile::ProfileStore& keyStore);

}  // namespace korva::mouse
