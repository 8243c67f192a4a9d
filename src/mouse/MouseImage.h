#pragma once
// The in-memory image of the mouse's memory as the program sees it through the command exchange,
// plus the two desktop settings (pointer speed, wheel lines) that the mouse's light profiles carry.
//
// Device memory map (command, address, length):
//   active profile number   5 read / 6 write   address 0        1 byte, 0..4
//   profile record n        5 read             address n x 64   56 bytes (the first 56 of the record)
//   active settings         6 write            address 0        56 bytes: the 23 settings bytes + 33 zeros
//   key bank n              8 read / 9 write   bank n           512 bytes (the device's block size)
//   default button block    7 read             address 0        512 bytes, laid out as a key bank
//   information             3                  -                33 bytes
// Record 0 starts at address 0, so its byte 0 is the active profile number; the same byte of
// records 1..4 means nothing to the program.
//
// Each image type holds its bytes exactly as the device does; the named offsets and accessors
// are the only place that gives the bytes a meaning.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "keyboard/KeyFunction.h"

namespace korva::mouse {

inline constexpr int kMouseProfileCount = 5;
inline constexpr std::size_t kMouseActiveSettingsSize = 23;
inline constexpr std::size_t kMouseRecordSize = 64;
inline constexpr std::size_t kMouseRecordTransferSize = 56;  // bytes 56..63 never travel
inline constexpr std::size_t kMouseRecordStride = 64;        // device address of record n: n x 64
inline constexpr std::size_t kMouseKeyBankSize = 512;
inline constexpr std::size_t kMouseDeviceInfoSize = 33;
inline constexpr std::size_t kMouseButtonCount = 7;
inline constexpr int kMouseStageCount = 6;

// The number of a device profile when it can serve as a slot, bank or address index (0..4).
std::optional<int> ValidProfileNumber(int number);

// The function of one key or mouse button: {type, b1, b2}, three bytes in a key bank; the same
// vocabulary as the keyboard's.
using keyboard::KeyFunction;

// MouseActiveSettings: the first 23 bytes of the active profile's record, the working copy.
//   byte  0      active profile number 0..4
//   byte  1      lighting mode (index in the mode list)
//   byte  2      lighting brightness
//   byte  3      lighting speed, stored as 14 - slider value
//   byte  4      lighting direction: 1 left, 0 right
//   byte  5      many-colour flag: 1 cycle colours, 0 single colour
//   bytes 6-8    lighting colour red, green, blue
//   byte  9      colour-cycle counter of the lighting preview
//   byte  10     not used
//   bytes 11-13  sensitivity indicator colour red, green, blue
//   byte  14     report rate: index of the selected report-rate item
//   bytes 15-18  sensitivity stages 1..4, as slider steps
//   byte  19     current sensitivity stage 0..5 (changed only by the mouse itself)
//   bytes 20-21  sensitivity stages 5 and 6, as slider steps
//   byte  22     sensor lift height
struct MouseActiveSettings {
  static constexpr std::size_t kSize = kMouseActiveSettingsSize;
  static constexpr std::size_t kActiveProfile = 0;
  static constexpr std::size_t kLightingMode = 1;
  static constexpr std::size_t kLightingBrightness = 2;
  static constexpr std::size_t kLightingSpeed = 3;
  static constexpr std::size_t kLightingDirection = 4;
  static constexpr std::size_t kManyColour = 5;
  static constexpr std::size_t kLightingRed = 6;
  static constexpr std::size_t kPreviewCounter = 9;
  static constexpr std::size_t kIndicatorRed = 11;
  static constexpr std::size_t kIndicatorGreen = 12;
  static constexpr std::size_t kIndicatorBlue = 13;
  static constexpr std::size_t kReportRate = 14;
  static constexpr std::size_t kCurrentStage = 19;
  static constexpr std::size_t kLiftHeight = 22;
  // Stage k (1..6) lives at kStageOffsets[k - 1]: the current-stage byte sits between stages 4 and 5.
  static constexpr std::array<std::size_t, kMouseStageCount> kStageOffsets = {15, 16, 17, 18, 20, 21};

  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t ActiveProfile() const { return bytes[kActiveProfile]; }
  // Stage k = 1..6. Another k reads as 0 and is not stored (false).
  std::uint8_t Stage(int k) const;
  bool SetStage(int k, std::uint8_t value);
  std::uint8_t CurrentStage() const { return bytes[kCurrentStage]; }
  std::uint8_t ReportRate() const { return bytes[kReportRate]; }
  std::uint8_t LiftHeight() const { return bytes[kLiftHeight]; }
  // 0xFF000000 | R << 16 | G << 8 | B of bytes 11..13.
  std::uint32_t IndicatorColour() const;
  // Bytes 11..13 := the R, G, B of an ARGB colour (alpha dropped).
  void SetIndicatorColour(std::uint32_t argb);

  friend bool operator==(const MouseActiveSettings&, const MouseActiveSettings&) = default;
};

// MouseProfileRecord: 64 bytes per device profile.
//   bytes 0-22   as MouseActiveSettings
//   byte  23     desktop pointer speed 1..20 (kept only in light profile files, never sent)
//   byte  24     desktop wheel scroll lines 1..10 (kept only in light profile files, never sent)
//   bytes 25-55  as read from the device, carried unchanged
//   bytes 56-63  never transferred, zero
struct MouseProfileRecord {
  static constexpr std::size_t kSize = kMouseRecordSize;
  static constexpr std::size_t kPointerSpeed = 23;
  static constexpr std::size_t kWheelLines = 24;

  std::array<std::uint8_t, kSize> bytes{};

  MouseActiveSettings Settings() const;                     // bytes 0..22
  void StoreSettings(const MouseActiveSettings& settings);  // bytes 0..22 := settings
  std::span<std::uint8_t, kMouseRecordTransferSize> Transferred() {
    return std::span(bytes).first<kMouseRecordTransferSize>();
  }

  friend bool operator==(const MouseProfileRecord&, const MouseProfileRecord&) = default;
};

// MouseKeyBank: 512 bytes of 3-byte KeyFunction entries, entry i at byte 3 x i. Entries 0..6
// belong to the seven buttons (left, middle, right, forward, back, stage up, stage down); the
// rest, and the two bytes after the last whole entry, are carried unchanged. The default button
// block has the same layout.
struct MouseKeyBank {
  static constexpr std::size_t kSize = kMouseKeyBankSize;
  static constexpr std::size_t kEntryCount = kSize / 3;  // 170

  std::array<std::uint8_t, kSize> bytes{};

  // Entry i < kEntryCount. A later i reads as {0, 0, 0} and is not stored (false).
  KeyFunction Entry(std::size_t i) const;
  bool SetEntry(std::size_t i, const KeyFunction& function);

  friend bool operator==(const MouseKeyBank&, const MouseKeyBank&) = default;
};

// The default button block until the first read: entries 0..5 as below, every other byte 0x05.
//   0 {0x10,0x01,0x00} left   1 {0x10,0x04,0x00} middle   2 {0x10,0x02,0x00} right
//   3 {0x10,0x10,0x00} forward (button 5)   4 {0x10,0x08,0x00} back (button 4)
//   5 {0x13,0x03,0x00} sensitivity function 3
MouseKeyBank BuiltInDefaultButtons();

// MouseDeviceInfo: the 33 bytes of the information command. The program reads:
//   byte  6      macro memory size in units of 128 bytes
//   bytes 9-10   sensor model, little-endian (0x3325, 0x3050, 0x3360, 0x3310 are recognised)
//   byte  12     highest slider step of every sensitivity stage
//   bytes 13-14  sensitivity base in counts per inch, little-endian; the page keeps 200 there
struct MouseDeviceInfo {
  static constexpr std::size_t kSize = kMouseDeviceInfoSize;
  static constexpr std::size_t kMacroUnits = 6;
  static constexpr std::size_t kSensorModel = 9;
  static constexpr std::size_t kMaxStageStep = 12;
  static constexpr std::size_t kCpiBase = 13;

  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t MacroUnits() const { return bytes[kMacroUnits]; }
  std::uint16_t SensorModel() const;
  std::uint8_t MaxStageStep() const { return bytes[kMaxStageStep]; }
  std::uint16_t CpiBase() const;
  void SetCpiBase(std::uint16_t base);

  friend bool operator==(const MouseDeviceInfo&, const MouseDeviceInfo&) = default;
};

inline constexpr int kDefaultPointerSpeed = 10;  // the desktop's default on the 1..20 scale
inline constexpr int kDefaultWheelLines = 3;
inline constexpr int kMinPointerSpeed = 1;
inline constexpr int kMaxPointerSpeed = 20;
inline constexpr int kMinWheelLines = 1;
inline constexpr int kMaxWheelLines = 10;

// Everything the program keeps for the mouse, as one value: a full read fills a fresh copy on
// the watcher thread, which the UI thread then takes over whole. Before the mouse is first seen
// records, banks and info are zero and the default block holds the built-in table.
struct MouseImage {
  MouseDeviceInfo info;
  MouseKeyBank defaultButtons = BuiltInDefaultButtons();
  std::array<MouseProfileRecord, kMouseProfileCount> records{};
  std::array<MouseKeyBank, kMouseProfileCount> banks{};
  MouseActiveSettings active;
  // Not device memory: desktop settings stored in bytes 23 and 24 of the light profile's record.
  int pointerSpeed = kDefaultPointerSpeed;  // 1..20
  int wheelLines = kDefaultWheelLines;      // 1..10

  friend bool operator==(const MouseImage&, const MouseImage&) = default;
};

}  // namespace korva::mouse
