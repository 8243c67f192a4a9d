#pragma once
// A simulated headset audio chip behind AudioLibrary, for tests, benchmarks and the demo mode.
// It keeps what a real chip would: the volumes and effect switches, the registers of the two LED
// controllers on its I2C bus (written by single-register writes and by register/value list
// writes), and the presence of the headset. Every call is logged, every I2C write too; tests
// read the state back through the getters and wait for writes with WaitForI2cWrites.
//
// Thread-safe: the library's callers and the test thread use it at once.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/WakeFd.h"
#include "headset/AudioLibraryChip.h"

namespace korva::sim {

// The audio settings the chip holds.
struct SimHeadsetAudioState {
  int masterVolume = 0;
  int leftVolume = 0;
  int rightVolume = 0;
  int micVolume = 0;
  headset::Virtual71Parameters virtual71{};
  bool virtual71On = false;
  bool soundFieldOn = false;
  int soundFieldMode = 0;
  bool encOn = false;
  bool threeDOn = false;
  int threeDConfigCount = 0;  // Config3D calls so far
  int pwmConfig = -1;         // last PwmSetConfig value, -1 before the first
};

// One I2C write as the chip received it.
struct SimI2cWrite {
  enum class Kind { kRegisters, kByMode };
  Kind kind = Kind::kRegisters;
  int address = 0;
  int reg = 0;   // kRegisters: first register written
  int mode = 0;  // kByMode: the list write's mode arguments
  int modeParameter = 0;
  int entrySize = 0;
  int flags = 0;
  int timeoutMs = 0;
  int deviceId = 0;
  std::vector<std::uint8_t> data;
  bool operator==(const SimI2cWrite&) const = default;
};

class SimulatedHeadsetChip final : public headset::AudioChip {
 public:
  // How many calls and I2C writes the logs keep (the oldest are dropped first), so a demo that
  // streams lighting for hours stays within bounded memory.
  static constexpr std::size_t kLogCapacity = 4096;
  static constexpr int kI2cRegisterCount = 256;
  static constexpr std::size_t kLedCount = 13;

  // A new chip serves a present headset with the ids 0x0C76/0x1630.
  SimulatedHeadsetChip();

  // --- control by tests and the demo ---
  // An absent headset: the query lists nothing, every other operation answers kAudioNoDevice.
  void SetPresent(bool present);
  bool IsPresent() const;
  void SetIdentity(std::uint16_t vendorId, std::uint16_t productId);
  // Every operation after this returns kAudioFailed (the chip refuses) until cleared.
  void SetRefuseAll(bool refuse);
  // The next device query answers exactly `answer` (once), as a faulty chip might.
  void InjectQueryAnswer(const headset::PresentDeviceList& answer);

  // --- state for tests and the demo ---
  SimHeadsetAudioState AudioState() const;
  // Register value of the I2C device `address` (0 when never written).
  std::uint8_t I2cRegister(int address, int reg) const;
  std::optional<SimI2cWrite> LastRegisterWrite(int address) const;
  // The colours (red, green, blue) the 13 LEDs of the LED controller `address` show: after a list
  // write its per-LED registers, after a single-register write the one colour of 0x20..0x22.
  using LedColour = std::array<std::uint8_t, 3>;
  std::array<LedColour, kLedCount> LedColours(int address) const;
  std::optional<SimI2cWrite> LastModeWrite(int address) const;
  std::vector<SimI2cWrite> I2cLog() const;
  // Operations in call order, as "Name(arg, arg)" (volumes, switches, effects, queries).
  std::vector<std::string> CallLog() const;
  std::uint64_t I2cWriteCount() const;  // accepted I2C writes since construction, never reset
  void ClearLogs();
  // Blocks until at least `total` I2C writes were accepted since construction, or the time-out.
  bool WaitForI2cWrites(std::uint64_t total, std::chrono::milliseconds timeout) const;

  // --- AudioChip ---
  int SearchPresentDevice(headset::PresentDeviceList& list) override;
  // Rung by every control that changes the query's answer; cleared by the query.
  int PresenceSignal() const override { return presenceChanged_.Fd(); }
  int SetSpeakerMasterVolume(int master) override;
  int SetSpeakerChannelVolume(int left, int right) override;
  int SetMicVolume(int volume) override;
  int SetVirtual7ch1(const headset::Virtual71Parameters& parameters) override;
  int SetVirtual7ch1OnOff(bool on) override;
  int SetSoundFieldOnOff(bool on) override;
  int SetEncOnOff(bool on) override;
  int SetSoundField(int mode) override;
  int Config3D(int deviceId) override;
  int Set3DOnOff(bool on, int deviceId) override;
  int PwmSetConfig(int config, int deviceId) override;
  int WriteI2c(int address, int reg, std::span<const std::uint8_t> data, int timeoutMs,
               int deviceId) override;
  int WriteI2cByMode(const headset::I2cModeWrite& write) override;

 private:
  // Logs the call; returns kAudioOk when the chip takes it (present and not refusing).
  int Accept(std::string call);
  void RecordI2c(SimI2cWrite write);

  mutable std::mutex mutex_;
  mutable std::condition_variable i2cWritten_;
  bool present_ = false;
  bool refuseAll_ = false;
  std::uint16_t vendorId_;
  std::uint16_t productId_;
  std::optional<headset::PresentDeviceList> injectedAnswer_;
  SimHeadsetAudioState audio_;
  std::map<int, std::array<std::uint8_t, kI2cRegisterCount>> registers_;
  std::map<int, SimI2cWrite> lastRegisterWrite_;
  std::map<int, SimI2cWrite> lastModeWrite_;
  std::map<int, bool> ledsFromList_;  // per controller: its latest write was a list write
  std::deque<SimI2cWrite> i2cLog_;
  std::deque<std::string> callLog_;
  std::uint64_t i2cWriteCount_ = 0;
  WakeFd presenceChanged_;
};

}  // namespace korva::sim
