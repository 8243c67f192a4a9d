#pragma once
// The command operations of the keyboard, mouse and mousepad: one framed request/answer exchange
// per 64-byte frame, transfers longer than 56 bytes split into chunks. Every operation returns one
// of the kResult codes of CommandReport.h.
//
// The exchange holds the device lock from the first write to the last read of all its attempts, so
// that a request from another thread (the lighting stream sends every few milliseconds) cannot
// slip in between a request and its answer. Only input reports with report id 0x04 and all 64
// bytes count as answers; other reports (the consumer collection shares the hidraw node) are
// skipped while the 300 ms answer window lasts.
//
// A buffer too small for what the operation moves, a ReadSettings or WriteSettings of more than
// 56 bytes, or a transfer whose addresses would pass 0xFFFF gives kResultNoAnswer with nothing sent.

#include <cstddef>
#include <cstdint>
#include <span>

#include "device/CommandReport.h"
#include "device/HidDevice.h"

namespace korva::device {

inline constexpr int kExchangeAttempts = 4;
inline constexpr int kAnswerTimeoutMs = 300;
inline constexpr std::size_t kChunkSize = CommandReport::kMaxPayload;  // 56
inline constexpr std::uint16_t kBankStride = 126;                      // device address of bank b: b * 126
inline constexpr int kMaxBank = 4;
inline constexpr std::size_t kInfoSize = 0x21;  // 33 bytes of device information

int BeginTransfer(HidDevice& device);
// Pauses device.endTransferPause (10 ms), then closes the bracket BeginTransfer opened.
int EndTransfer(HidDevice& device);
// Runs `steps` (returning a result code) between BeginTransfer and EndTransfer; the bracket is
// closed whatever the steps did. The first failure is the result.
template <class Steps>
int InTransfer(HidDevice& device, Steps&& steps) {
  int result = BeginTransfer(device);
  if (result == kResultOk) result = steps();
  const int ended = EndTransfer(device);
  return result == kResultOk ? ended : result;
}
// Answer bytes 8..40.
int ReadInfo(HidDevice& device, std::span<std::uint8_t, kInfoSize> out);
// out.size() (1..56) bytes from `address`.
int ReadSettings(HidDevice& device, std::uint16_t address, std::span<std::uint8_t> out);
// data.size() (0..56) bytes to `address`. Clears the device's sync-lighting flag.
int WriteSettings(HidDevice& device, std::uint16_t address, std::span<const std::uint8_t> data);
// Block-size bytes of the default table; out must hold at least the block size.
int ReadDefaultBlock(HidDevice& device, std::span<std::uint8_t> out);
// Block-size bytes of bank 0..4 (device address bank * 126 + chunk offset), stored at the chunk
// offsets of out; a bank outside 0..4 gives kResultBadBank with nothing sent.
int ReadBank(HidDevice& device, int bank, std::span<std::uint8_t> out);
int WriteBank(HidDevice& device, int bank, std::span<const std::uint8_t> data);
// One attempt, the answer's status not examined; 1 when an answer came.
int RestoreDefaults(HidDevice& device);
// Leaves busy alone; while the device's stream is disabled its chunks are skipped unsent.
int StreamLighting(HidDevice& device, std::span<const std::uint8_t> data);
int WriteMacroBlock(HidDevice& device, std::span<const std::uint8_t> data);
int WriteCursorMacroBlock(HidDevice& device, std::span<const std::uint8_t> data);

}  // namespace korva::device
