#pragma once
// Everything the program keeps for the keyboard, as one value: a full read fills a fresh copy on
// the watcher thread, which the UI thread then takes over whole. All of it is zero until the
// keyboard has been read (the key-button map: no entry).
//
// Information block (33 bytes of the info command): byte 5 = K, the number of keys (3 x K bytes of
// a bank are meaningful, at most 512, so K <= 170); byte 6 = macro memory in units of 128 bytes.
//
// KeyboardActiveSettings (21 bytes, the working copy of the active profile's settings record):
//   byte  0      active profile number p (selects the record slot and the key bank being edited)
//   bytes 1..8   the lighting record: mode, brightness, speed, direction, multicolour, red, green, blue
//   bytes 9..20  carried as read or loaded, written back unchanged
// Settings memory of the keyboard: the record of profile n at address n x 64, moved as 56 bytes;
// byte 0 of address 0 is the active profile number.
//
// Light profile payload (".led", 1958 bytes): record slot 0 (64 bytes, whose bytes 0..20 are the
// active settings when saved), custom set number (1), paint colour r, g, b (3), five custom colour
// sets of 126 x 3 bytes (1890). Key profile payload (".pro", 512 bytes): bank 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "keyboard/KeyFunction.h"
#include "keyboard/KeyTables.h"
#include "lighting/LightingSettings.h"

namespace korva::keyboard {

inline constexpr int kKeyboardProfileCount = 5;
inline constexpr std::size_t kKeyboardInfoSize = 33;
inline constexpr std::size_t kKeyboardMacroUnits = 6;  // information byte: macro memory / 128
inline constexpr std::size_t kKeyBankSize = 512;
inline constexpr std::size_t kMaxKeyCount = kKeyBankSize / kKeyFunctionSize;  // 170
inline constexpr std::size_t kKeyboardRecordSize = 64;
inline constexpr std::size_t kKeyboardRecordTransferSize = 56;
inline constexpr std::size_t kKeyboardActiveSettingsSize = 21;
inline constexpr std::size_t kCustomSetCount = 5;
inline constexpr std::size_t kCustomSetSize = kKeyPictureCount * 3;  // 378
inline constexpr std::size_t kKeyboardLightPayloadSize = 64 + 1 + 3 + kCustomSetCount * kCustomSetSize;  // 1958
inline constexpr std::size_t kKeyboardKeyPayloadSize = kKeyBankSize;
// A key picture that shows no bank entry.
inline constexpr std::uint8_t kNoEntry = 126;

using KeyBank = std::array<std::uint8_t, kKeyBankSize>;
using KeyboardRecord = std::array<std::uint8_t, kKeyboardRecordSize>;

struct KeyboardActiveSettings {
  static constexpr std::size_t kSize = kKeyboardActiveSettingsSize;
  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t ActiveProfile() const { return bytes[0]; }
  lighting::LightingSettings Lighting() const;
  void SetLighting(const lighting::LightingSettings& record);

  friend bool operator==(const KeyboardActiveSettings&, const KeyboardActiveSettings&) = default;
};

struct KeyboardImage {
  std::array<std::uint8_t, kKeyboardInfoSize> info{};
  KeyBank defaultBlock{};
  std::array<KeyBank, kKeyboardProfileCount> banks{};
  std::array<KeyboardRecord, kKeyboardProfileCount> records{};
  KeyboardActiveSettings active;
  std::uint8_t customSet = 0;
  std::array<std::uint8_t, 3> paintColour{};
  std::array<std::uint8_t, kCustomSetCount * kCustomSetSize> customSets{};
  // Key picture n shows bank entry keyButtonMap[n] (kNoEntry: none).
  std::array<std::uint8_t, kKeyPictureCount> keyButtonMap = EmptyKeyButtonMap();

  // K, the number of keys the keyboard reported (byte 5 of the information block).
  std::size_t KeyCount() const { return info[5]; }
  // The bank being edited: that of the active profile, or nullopt while the active number names
  // no profile (the editor then changes nothing).
  std::optional<int> EditedBank() const;
  KeyBank* ActiveBank();
  const KeyBank* ActiveBank() const;

  static std::array<std::uint8_t, kKeyPictureCount> EmptyKeyButtonMap();

  friend bool operator==(const KeyboardImage&, const KeyboardImage&) = default;
};

// BuildKeyButtonMap: each key picture shows the first default-block entry k < K whose function is
// the picture's own; a picture without a match keeps its previous entry.
void BuildKeyButtonMap(KeyboardImage& image);
// The first key picture that shows bank entry k; nullopt when none does.
std::optional<std::size_t> PictureOfEntry(const KeyboardImage& image, std::size_t k);

// The light profile payload: the active settings are first stored into record slot 0.
std::array<std::uint8_t, kKeyboardLightPayloadSize> StoreLightPayload(KeyboardImage& image);
// Takes a light profile payload; false (nothing changed) unless it is 1958 bytes.
bool ApplyLightPayload(KeyboardImage& image, std::span<const std::uint8_t> payload);
// Takes a key profile payload into bank 0; false (nothing changed) unless it is 512 bytes.
bool ApplyKeyPayload(KeyboardImage& image, std::span<const std::uint8_t> payload);

}  // namespace korva::keyboard
