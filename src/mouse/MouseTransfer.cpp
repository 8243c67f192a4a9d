#include "mouse/MouseTransfer.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/Log.h"
#include "device/CommandExchange.h"

namespace korva::mouse {
namespace {

using device::kResultOk;

std::uint16_t RecordAddress(int profile) {
  return static_cast<std::uint16_t>(profile * static_cast<int>(kMouseRecordStride));
}

// Command 5 at address 0, one byte: the number of the profile the mouse is using.
int ReadActiveNumber(device::HidDevice& device, std::uint8_t& number) {
  std::array<std::uint8_t, 1> byte{};
  const int result = device::ReadSettings(device, 0, byte);
  if (result == kResultOk) number = byte[0];
  return result;
}

void TraceIgnoredNumber(std::string_view where, int number) {
  Trace("mouse: " + std::string(where) + ": active profile number " + std::to_string(number) +
        " outside 0..4 ignored");
}

// The active settings of profile n: bytes 0..22 of its slot with byte 0 := n.
MouseActiveSettings SettingsOfSlot(const MouseImage& image, int n) {
  MouseActiveSettings settings = image.records[static_cast<std::size_t>(n)].Settings();
  settings.bytes[MouseActiveSettings::kActiveProfile] = static_cast<std::uint8_t>(n);
  return settings;
}

// Every read of the full read except begin and end; stops at the first failure.
int ReadMemory(device::HidDevice& device, MouseImage& image, std::uint8_t& activeNumber) {
  int result = device::ReadInfo(device, image.info.bytes);
  if (result != kResultOk) return result;
  result = device::ReadDefaultBlock(device, image.defaultButtons.bytes);
  if (result != kResultOk) return result;
  for (int n = 0; n < kMouseProfileCount; ++n) {
    const auto slot = static_cast<std::size_t>(n);
    result = device::ReadSettings(device, RecordAddress(n), image.records[slot].Transferred());
    if (result != kResultOk) return result;
    result = device::ReadBank(device, n, image.banks[slot].bytes);
    if (result != kResultOk) return result;
  }
  return ReadActiveNumber(device, activeNumber);
}

}  // namespace

MouseTransferResult ReadMouseAll(device::HidDevice& device, MouseImage& image) {
  MouseImage fresh = image;
  std::uint8_t activeNumber = 0;
  int result = device::BeginTransfer(device);
  if (result == kResultOk) result = ReadMemory(device, fresh, activeNumber);
  // The bracket is closed whatever happened inside it; the data read is complete without its answer.
  device::EndTransfer(device);
  if (result != kResultOk) {
    Trace("mouse: full read failed with result " + std::to_string(result) + "; the previous state is kept");
    return {result, false, false};
  }

  MouseTransferResult outcome{kResultOk, true, false};
  std::optional<int> active = ValidProfileNumber(activeNumber);
  if (!active) {
    TraceIgnoredNumber("full read", activeNumber);
    outcome.activeIgnored = true;
    active = ValidProfileNumber(image.active.ActiveProfile()).value_or(0);
  }
  fresh.active = SettingsOfSlot(fresh, *active);
  image = fresh;
  return outcome;
}

MouseTransferResult ReloadMouseActive(device::HidDevice& device, MouseImage& image) {
  MouseImage next = image;
  if (const std::optional<int> current = ValidProfileNumber(next.active.ActiveProfile())) {
    next.records[static_cast<std::size_t>(*current)].StoreSettings(next.active);
  }
  std::uint8_t number = 0;
  int result = ReadActiveNumber(device, number);
  if (result != kResultOk) return {result, false, false};
  const std::optional<int> a = ValidProfileNumber(number);
  if (!a) {
    TraceIgnoredNumber("profile notice", number);
    return {kResultOk, false, true};
  }
  MouseProfileRecord& slot = next.records[static_cast<std::size_t>(*a)];
  result = device::ReadSettings(device, RecordAddress(*a), slot.Transferred());
  if (result != kResultOk) return {result, false, false};
  slot.bytes[MouseActiveSettings::kActiveProfile] = static_cast<std::uint8_t>(*a);
  next.active = SettingsOfSlot(next, *a);
  image = next;
  return {kResultOk, true, false};
}

MouseTransferResult SwitchDeviceProfile(device::HidDevice& device, MouseImage& image, int n) {
  if (!ValidProfileNumber(n)) {
    Trace("mouse: switch to device profile " + std::to_string(n) + " ignored");
    return {kResultOk, false, false};
  }
  std::uint8_t b = 0;
  int result = ReadActiveNumber(device, b);
  if (result != kResultOk) return {result, false, false};
  if (b == n) return {kResultOk, false, false};

  MouseImage next = image;
  bool ignored = false;
  if (const std::optional<int> previous = ValidProfileNumber(b)) {
    next.records[static_cast<std::size_t>(*previous)].StoreSettings(next.active);
  } else {
    TraceIgnoredNumber("profile switch", b);
    ignored = true;
  }
  const std::array<std::uint8_t, 1> number{static_cast<std::uint8_t>(n)};
  result = device::WriteSettings(device, 0, number);
  if (result != kResultOk) return {result, false, ignored};
  // From here on the mouse uses profile n whatever the record read does: the image follows it, or
  // the next flush would write the old number back. A record that cannot be read leaves slot n as
  // the last full read found it, the best the program knows of that profile.
  result =
      device::ReadSettings(device, RecordAddress(n), next.records[static_cast<std::size_t>(n)].Transferred());
  if (result != kResultOk) next.records[static_cast<std::size_t>(n)] = image.records[static_cast<std::size_t>(n)];
  next.active = SettingsOfSlot(next, n);
  image = next;
  return {result, true, ignored};
}

int WriteMouseActiveSettings(device::HidDevice& device, const MouseActiveSettings& active) {
  std::array<std::uint8_t, kMouseRecordTransferSize> payload{};
  std::copy(active.bytes.begin(), active.bytes.end(), payload.begin());
  return device::WriteSettings(device, 0, payload);
}

int FlushMouseSettings(device::HidDevice& device, const MouseActiveSettings& active, bool& pending) {
  if (!pending) return kResultOk;
  const int result = WriteMouseActiveSettings(device, active);
  // A mouse that is still there but did not take the settings gets them again on the next tick;
  // one that is gone has nothing to write to, and its next arrival reads its own settings afresh.
  if (result == kResultOk || !device.connected) pending = false;
  return result;
}

int WriteMouseKeyBank(device::HidDevice& device, const MouseImage& image) {
  const std::optional<int> a = ValidProfileNumber(image.active.ActiveProfile());
  if (!a) return device::kResultBadBank;
  return device::InTransfer(
      device, [&] { return device::WriteBank(device, *a, image.banks[static_cast<std::size_t>(*a)].bytes); });
}

int WriteMouseLightMode(device::HidDevice& device, const MouseImage& image, std::uint8_t mode) {
  const std::optional<int> a = ValidProfileNumber(image.active.ActiveProfile());
  if (!a) return device::kResultBadBank;
  const std::array<std::uint8_t, 1> byte{mode};
  return device::WriteSettings(
      device, static_cast<std::uint16_t>(RecordAddress(*a) + MouseActiveSettings::kLightingMode), byte);
}

int FactoryResetMouse(device::HidDevice& device) {
  return device::RestoreDefaults(device);
}

}  // namespace korva::mouse
