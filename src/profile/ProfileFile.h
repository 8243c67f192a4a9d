#pragma once
// Binary profile files (".led" light profiles, ".pro" key profiles): a 16-byte header followed
// by the payload of one store.
//
//   offset size field
//   0      2    magic 0x55AA, little-endian (bytes AA 55)
//   2      2    reserved, 0
//   4      2    device tag, little-endian: 1 keyboard, 2 mouse, 3 mousepad
//   6      10   reserved, 0
//   16     n    payload, n fixed per store
//
// Reading follows what the program has always accepted: the file must start with the magic; a
// file shorter than header and payload gives its payload with the missing bytes zero, and of a
// longer one the payload's bytes are read and the rest ignored. The reserved bytes are not
// examined. The device tag, however, is checked: a profile of another device is refused.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

namespace korva::profile {

enum class DeviceTag : std::uint16_t { kKeyboard = 1, kMouse = 2, kMousepad = 3 };

struct ProfileFileHeader {
  static constexpr std::size_t kSize = 16;
  static constexpr std::uint16_t kMagic = 0x55AA;

  std::uint16_t magic = kMagic;
  std::uint16_t tag = 0;

  std::array<std::uint8_t, kSize> Encode() const;
  // Reads the fields from the first kSize bytes; the reserved bytes are not examined.
  static std::optional<ProfileFileHeader> Decode(std::span<const std::uint8_t> bytes);
};

// Text ids of the two messages every caller that reads a profile file shows.
inline constexpr std::string_view kTextFileMissing = "message_text_8";
inline constexpr std::string_view kTextFileFormatWrong = "message_text_9";

enum class ProfileFileStatus {
  kOk,
  kMissing,     // no such file                                      -> "message_text_8"
  kUnreadable,  // exists but cannot be opened or read               -> "message_text_8"
  kBadMagic,    // the first two bytes are not AA 55 (or not there)  -> "message_text_9"
  kNoTag,       // the file ends before the device tag               -> "message_text_9"
  kWrongTag,    // another device's profile                          -> "message_text_9"
};

struct ProfileFileRead {
  ProfileFileStatus status = ProfileFileStatus::kMissing;
  korva::Error error;                 // what failed and where; empty when ok
  std::vector<std::uint8_t> payload;  // exactly the expected size when ok, empty otherwise

  bool ok() const { return status == ProfileFileStatus::kOk; }
  // "message_text_8" for a missing or unreadable file, "message_text_9" for a malformed one,
  // "" when ok.
  std::string_view TextId() const;
};

// Reads a profile file of the store whose files carry `tag` and `payloadSize` payload bytes.
// The file is opened read-only, so default files in a read-only program folder read fine.
ProfileFileRead ReadProfileFile(const std::filesystem::path& path, DeviceTag tag, std::size_t payloadSize);

// Writes header and payload as one atomic replacement of `path`.
korva::Result<void> WriteProfileFile(const std::filesystem::path& path, DeviceTag tag,
                                     std::span<const std::uint8_t> payload);

}  // namespace korva::profile
