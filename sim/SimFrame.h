#pragma once
// The device side of the 64-byte command frame, written apart from the host's framing so that each
// checks the other:
//   byte 0 report id (0x04), bytes 1-2 checksum (sum of bytes 3..63, 16-bit, little-endian),
//   byte 3 command, byte 4 length, bytes 5-6 address (little-endian), byte 7 status, bytes 8..63 payload.

#include <cstdint>
#include <span>

#include "sim/SimFirmware.h"

namespace korva::sim::frame {

inline constexpr std::size_t kChecksumLow = 1;
inline constexpr std::size_t kChecksumHigh = 2;
inline constexpr std::size_t kCommand = 3;
inline constexpr std::size_t kLength = 4;
inline constexpr std::size_t kAddressLow = 5;
inline constexpr std::size_t kAddressHigh = 6;
inline constexpr std::size_t kStatus = 7;
inline constexpr std::size_t kPayload = 8;

inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusMalformed = 0xFF;
inline constexpr std::uint8_t kStatusUnsupported = 0xFE;

std::uint16_t Checksum(std::span<const std::uint8_t, kReportSize> report);
bool ChecksumMatches(std::span<const std::uint8_t, kReportSize> report);
void Seal(SimReport& report);  // stores the checksum

std::uint16_t Address(std::span<const std::uint8_t, kReportSize> report);

// The answer skeleton: report id, the request's command, length and address, `status`, no data.
SimReport AnswerTo(std::span<const std::uint8_t, kReportSize> request, std::uint8_t status);

}  // namespace korva::sim::frame
