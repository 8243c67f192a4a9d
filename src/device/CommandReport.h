#pragma once
// The 64-byte request/answer frame of the keyboard, mouse and mousepad vendor collection
// (usage page 0xFF1C, usage 0x0092), its checksum, and the result codes of every command.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korva::device {

// Result codes of the command operations.
inline constexpr int kResultOk = 1;            // answer received and accepted
inline constexpr int kResultNoAnswer = 0;      // not connected (nothing sent), or no answer in any attempt
inline constexpr int kResultWriteFailed = -1;  // the write of the request failed
inline constexpr int kResultRefusedFF = -102;  // the answer's status byte is 0xFF
inline constexpr int kResultRefusedFE = -103;  // the answer's status byte is 0xFE
inline constexpr int kResultBadBank = -201;    // bank number outside 0..4, nothing sent

enum class CommandCode : std::uint8_t {
  kBeginTransfer = 0x01,
  kEndTransfer = 0x02,
  kReadInfo = 0x03,
  kReadSettings = 0x05,
  kWriteSettings = 0x06,
  kReadDefaultBlock = 0x07,
  kReadBank = 0x08,
  kWriteBank = 0x09,
  kRestoreDefaults = 0x0D,
  kStreamLighting = 0x12,
  kWriteMacroBlock = 0x15,
  kWriteCursorMacroBlock = 0x17,
};

// Request and answer share one layout:
//
//   byte  0      report id, 0x04 (an answer is accepted only with this id and all 64 bytes)
//   bytes 1-2    checksum, little-endian: sum of bytes 3..63 as unsigned bytes, kept to 16 bits
//   byte  3      command code
//   byte  4      length: payload bytes written, or bytes asked for by a read (0..56; 0x21 for 0x03)
//   bytes 5-6    device memory address, little-endian
//   byte  7      status: 0x00 in a request; in an answer 0xFF and 0xFE are refusals, anything else accepts
//   bytes 8-63   payload (requests) or answer data (reads); unused bytes are 0x00
//
// Only bytes 0 and 7 of an answer are examined, plus the data a read asked for.
struct CommandReport {
  static constexpr std::size_t kSize = 64;
  static constexpr std::uint8_t kReportId = 0x04;
  static constexpr std::size_t kChecksumOffset = 1;
  static constexpr std::size_t kCommandOffset = 3;
  static constexpr std::size_t kLengthOffset = 4;
  static constexpr std::size_t kAddressOffset = 5;
  static constexpr std::size_t kStatusOffset = 7;
  static constexpr std::size_t kPayloadOffset = 8;
  static constexpr std::size_t kMaxPayload = kSize - kPayloadOffset;  // 56
  static constexpr std::uint8_t kStatusRefusedFF = 0xFF;
  static constexpr std::uint8_t kStatusRefusedFE = 0xFE;

  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t Command() const { return bytes[kCommandOffset]; }
  std::uint8_t Length() const { return bytes[kLengthOffset]; }
  std::uint16_t Address() const;
  std::uint8_t Status() const { return bytes[kStatusOffset]; }
  std::uint16_t StoredChecksum() const;
  std::span<std::uint8_t, kMaxPayload> Payload() { return std::span(bytes).subspan<kPayloadOffset>(); }
  std::span<const std::uint8_t, kMaxPayload> Payload() const {
    return std::span(bytes).subspan<kPayloadOffset>();
  }
};

// Sum of bytes 3..63, truncated to 16 bits.
std::uint16_t ComputeChecksum(const CommandReport& report);
// Stores ComputeChecksum in bytes 1-2; done last, once address and payload are in place.
void StoreChecksum(CommandReport& report);

// A complete request: report id, command, length, address, status 0, the payload (at most 56
// bytes; the rest stays 0) and the checksum.
CommandReport BuildRequest(CommandCode command, std::uint8_t length, std::uint16_t address,
                           std::span<const std::uint8_t> payload = {});

}  // namespace korva::device
