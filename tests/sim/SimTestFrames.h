#pragma once
// Requests built by hand, byte by byte, as the tests' own reading of the frame layout: report id 4,
// checksum of bytes 3..63 in bytes 1-2, command, length, address, status 0, payload from byte 8.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace korva::sim::test {

using Frame = std::array<std::uint8_t, 64>;

inline void PutChecksum(Frame& frame) {
  unsigned sum = 0;
  for (std::size_t i = 3; i < 64; ++i) sum += frame[i];
  frame[1] = static_cast<std::uint8_t>(sum & 0xFF);
  frame[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
}

inline Frame Request(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                     std::span<const std::uint8_t> payload = {}) {
  Frame frame{};
  frame[0] = 0x04;
  frame[3] = command;
  frame[4] = length;
  frame[5] = static_cast<std::uint8_t>(address & 0xFF);
  frame[6] = static_cast<std::uint8_t>(address >> 8);
  for (std::size_t i = 0; i < payload.size() && i < 56; ++i) frame[8 + i] = payload[i];
  PutChecksum(frame);
  return frame;
}

inline Frame Request(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                     std::initializer_list<std::uint8_t> payload) {
  const std::vector<std::uint8_t> bytes(payload);
  return Request(command, length, address, bytes);
}

inline bool AnswerChecksumValid(std::span<const std::uint8_t> answer) {
  unsigned sum = 0;
  for (std::size_t i = 3; i < 64; ++i) sum += answer[i];
  return answer[1] == (sum & 0xFF) && answer[2] == ((sum >> 8) & 0xFF);
}

}  // namespace korva::sim::test
