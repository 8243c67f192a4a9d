#pragma once
// The firmware model of one simulated device: its memory and the command protocol that reads and writes
// it. Every request is one 64-byte output report (report id 4) and gets one 64-byte input report back
// (report id 4, the request's command, length and address echoed, status in byte 7, data from byte 8,
// checksum over bytes 3..63 in bytes 1-2). Status 0x00 accepts; 0xFF refuses a malformed request (bad
// checksum, length above 56, address outside the area, active profile above 4); 0xFE refuses a command
// the device does not have (the mousepad has no key banks, macros or cursor macros; the keyboard no
// cursor macros). A refused request changes nothing.
//
// Memory model (addresses as the commands carry them):
//   info (0x03)        33 bytes; keyboard: byte 5 = key count K (126, so 3 x K = 378), byte 6 = macro
//                      capacity in 128-byte units; mouse: byte 6 macro capacity, bytes 9-10 sensor model,
//                      byte 12 highest stage step, bytes 13-14 the counts-per-inch base
//   settings (0x05/06) a flat area of five 64-byte records, profile n at n x 64 (320 bytes). Address 0,
//                      the first byte of record 0, is the active profile number. A write that starts at
//                      address 0 is the active-settings write: its byte 0 makes that profile (0..4)
//                      active and its bytes 1.. land in that profile's record from byte 1 (a 1-byte write
//                      only switches). Any other write and every read is literal.
//   key banks (0x08/09) five banks of 512 bytes. The stride of 126 makes the banks' address ranges
//                      overlap, so a transfer names its bank with its first chunk (address b x 126) and
//                      the following chunks continue it at their address minus b x 126; a chunk repeated
//                      at the same address and length (a retry) goes to the same place. A chunk shorter
//                      than 56 bytes ends its transfer. Where a chunk could continue the transfer or
//                      start a bank (only bank 0's chunk at offset 504 can), it goes where it fits, the
//                      continuation first. Reads and writes keep separate cursors. Any other address,
//                      or a chunk reaching past byte 512 of its bank, is refused.
//   default block (0x07) 512 bytes, address = offset
//   macro memory (0x15)  info byte 6 x 128 bytes, address = offset
//   cursor macros (0x17) 3072 bytes (mouse only), address = offset
//   lighting (0x12)    the last streamed frame, 3 bytes per LED (keyboard 378, mouse 60, mousepad 45)
//   0x0D               restores the factory contents of everything above
//   0x01/0x02          open and close the transfer bracket (kept for assertions; nothing depends on it)

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "sim/SimDeviceKind.h"

namespace korva::sim {

inline constexpr int kSimProfileCount = 5;
inline constexpr std::size_t kSimInfoSize = 33;
inline constexpr std::size_t kSimRecordStride = 64;
inline constexpr std::size_t kSimSettingsSize = kSimProfileCount * kSimRecordStride;
inline constexpr std::size_t kSimBankSize = 512;
inline constexpr std::uint16_t kSimBankStride = 126;
inline constexpr std::size_t kSimCursorMacroSize = 3072;
inline constexpr std::size_t kSimMaxPayload = 56;

using SimReport = std::array<std::uint8_t, kReportSize>;

class SimFirmware {
 public:
  explicit SimFirmware(SimDeviceKind kind);
  SimFirmware(const SimFirmware&) = delete;
  SimFirmware& operator=(const SimFirmware&) = delete;

  SimDeviceKind Kind() const { return kind_; }

  // Acts on one request (starting with its report id) and returns the answer; nothing when the device
  // sends no answer (a request that is not a 64-byte report with id 4).
  std::optional<SimReport> Handle(std::span<const std::uint8_t> request);
  // The same request refused with `status` without acting on it (fault injection).
  static SimReport Refusal(std::span<const std::uint8_t> request, std::uint8_t status);

  // --- memory, for seeding and assertions; each call is atomic with respect to Handle ---
  std::array<std::uint8_t, kSimInfoSize> Info() const;
  void SetInfo(std::span<const std::uint8_t> info);  // up to 33 bytes
  std::uint8_t ActiveProfile() const;                // address 0 of the settings area
  void SetActiveProfile(std::uint8_t profile);
  std::array<std::uint8_t, kSimRecordStride> Record(int profile) const;  // record 0 byte 0 = active number
  void SetRecord(int profile, std::span<const std::uint8_t> bytes);      // from byte 0, up to 64 bytes
  std::array<std::uint8_t, kSimSettingsSize> Settings() const;
  std::array<std::uint8_t, kSimBankSize> Bank(int bank) const;
  void SetBank(int bank, std::span<const std::uint8_t> bytes);  // up to 512 bytes
  std::array<std::uint8_t, kSimBankSize> DefaultBlock() const;
  void SetDefaultBlock(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> MacroMemory() const;        // capacity bytes (empty without macros)
  std::vector<std::uint8_t> CursorMacroMemory() const;  // 3072 bytes on the mouse, else empty
  std::vector<std::uint8_t> LightingFrame() const;      // the last streamed frame
  bool TransferOpen() const;                            // a begin (0x01) not yet followed by an end (0x02)
  int RestoreCount() const;                             // restore-defaults requests acted on
  void RestoreFactory();

  // The mouse's sensitivity button: the active record's current stage (byte 19) steps through 0..5.
  void StepSensitivityStage();
  // The profile button: profile (active + 1) mod 5 becomes active.
  void StepActiveProfile();

  std::size_t MacroCapacity() const;  // info byte 6 x 128 at construction
  std::size_t LightingSize() const;   // 3 bytes per LED

 private:
  struct BankCursor {
    bool valid = false;
    int bank = 0;
    std::uint16_t lastAddress = 0;
    std::size_t lastLength = 0;
    std::size_t lastOffset = 0;
    std::uint16_t nextAddress = 0;
    bool continues = false;
  };

  void LoadFactory();  // caller holds mutex_
  std::uint8_t Act(const SimReport& request, SimReport& answer);
  std::uint8_t ReadSettings(std::uint16_t address, std::size_t length, SimReport& answer) const;
  std::uint8_t WriteSettings(std::uint16_t address, std::span<const std::uint8_t> data);
  std::uint8_t BankTransfer(BankCursor& cursor, std::uint16_t address, std::size_t length, std::size_t& bank,
                            std::size_t& offset);

  const SimDeviceKind kind_;
  mutable std::mutex mutex_;
  std::array<std::uint8_t, kSimInfoSize> info_{};
  std::array<std::uint8_t, kSimSettingsSize> settings_{};
  std::array<std::array<std::uint8_t, kSimBankSize>, kSimProfileCount> banks_{};
  std::array<std::uint8_t, kSimBankSize> defaultBlock_{};
  std::vector<std::uint8_t> macros_;
  std::vector<std::uint8_t> cursorMacros_;
  std::vector<std::uint8_t> lighting_;
  BankCursor readCursor_;
  BankCursor writeCursor_;
  bool hasBanks_ = false;
  bool transferOpen_ = false;
  int restoreCount_ = 0;
};

}  // namespace korva::sim
