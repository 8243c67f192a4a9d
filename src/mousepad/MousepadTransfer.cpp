#include "mousepad/MousepadTransfer.h"

#include <array>
#include <string>

#include "common/Log.h"
#include "device/CommandExchange.h"

namespace korva::mousepad {
namespace {

using device::kResultOk;

std::uint16_t RecordAddress(int profile) {
  return static_cast<std::uint16_t>(static_cast<std::size_t>(profile) * kMousepadRecordStride);
}

int ReadActiveNumber(device::HidDevice& device, std::uint8_t& number) {
  std::array<std::uint8_t, 1> byte{};
  const int result = device::ReadSettings(device, 0, byte);
  if (result == kResultOk) number = byte[0];
  return result;
}

MousepadActiveSettings SettingsOfSlot(const MousepadImage& image, int n) {
  MousepadActiveSettings settings = image.records[static_cast<std::size_t>(n)].Settings();
  settings.bytes[MousepadActiveSettings::kActiveProfile] = static_cast<std::uint8_t>(n);
  return settings;
}

void StoreWorkingSettings(MousepadImage& image, int number) {
  if (const std::optional<int> slot = ValidMousepadProfile(number))
    image.records[static_cast<std::size_t>(*slot)].StoreSettings(image.active);
}

// The active number the pad gave, or the image's own when the pad's is out of range.
int CheckedActive(std::uint8_t number, const MousepadImage& image, const char* where) {
  if (const std::optional<int> a = ValidMousepadProfile(number)) return *a;
  Trace(std::string("mousepad: ") + where + ": active profile number " + std::to_string(number) +
        " outside 0..4 ignored");
  return ValidMousepadProfile(image.active.ActiveProfile()).value_or(0);
}

int ReadMemory(device::HidDevice& device, MousepadImage& image, std::uint8_t& activeNumber) {
  int result = device::ReadInfo(device, image.info);
  for (int n = 0; n < kMousepadProfileCount && result == kResultOk; ++n)
    result = device::ReadSettings(device, RecordAddress(n), image.records[static_cast<std::size_t>(n)].Transferred());
  if (result != kResultOk) return result;
  return ReadActiveNumber(device, activeNumber);
}

}  // namespace

MousepadTransferResult ReadMousepadAll(device::HidDevice& device, MousepadImage& image) {
  MousepadImage fresh = image;
  std::uint8_t activeNumber = 0;
  int result = device::BeginTransfer(device);
  if (result == kResultOk) result = ReadMemory(device, fresh, activeNumber);
  device::EndTransfer(device);
  if (result != kResultOk) {
    Trace("mousepad: full read failed with result " + std::to_string(result) + "; the previous state is kept");
    return {result, false};
  }
  fresh.active = SettingsOfSlot(fresh, CheckedActive(activeNumber, image, "full read"));
  image = fresh;
  return {kResultOk, true};
}

MousepadTransferResult ReloadMousepadActive(device::HidDevice& device, MousepadImage& image) {
  MousepadImage next = image;
  StoreWorkingSettings(next, next.active.ActiveProfile());
  std::uint8_t number = 0;
  int result = ReadActiveNumber(device, number);
  if (result != kResultOk) return {result, false};
  const std::optional<int> a = ValidMousepadProfile(number);
  if (!a) {
    CheckedActive(number, image, "profile notice");
    return {kResultOk, false};
  }
  MousepadProfileRecord& slot = next.records[static_cast<std::size_t>(*a)];
  result = device::ReadSettings(device, RecordAddress(*a), slot.Transferred());
  if (result != kResultOk) return {result, false};
  slot.bytes[MousepadActiveSettings::kActiveProfile] = static_cast<std::uint8_t>(*a);
  next.active = SettingsOfSlot(next, *a);
  image = next;
  return {kResultOk, true};
}

MousepadTransferResult SwitchMousepadProfile(device::HidDevice& device, MousepadImage& image, int n) {
  if (!ValidMousepadProfile(n)) {
    Trace("mousepad: switch to device profile " + std::to_string(n) + " ignored");
    return {kResultOk, false};
  }
  std::uint8_t b = 0;
  int result = ReadActiveNumber(device, b);
  if (result != kResultOk || b == n) return {result, false};
  MousepadImage next = image;
  StoreWorkingSettings(next, b);
  const std::array<std::uint8_t, 1> number{static_cast<std::uint8_t>(n)};
  result = device::WriteSettings(device, 0, number);
  if (result != kResultOk) return {result, false};
  const auto slot = static_cast<std::size_t>(n);
  result = device::ReadSettings(device, RecordAddress(n), next.records[slot].Transferred());
  if (result != kResultOk) next.records[slot] = image.records[slot];
  next.active = SettingsOfSlot(next, n);
  image = next;
  return {result, true};
}

int FlushMousepadSettings(device::HidDevice& device, const MousepadActiveSettings& active) {
  std::array<std::uint8_t, kMousepadRecordTransferSize> payload{};
  std::copy(active.bytes.begin(), active.bytes.end(), payload.begin());
  return device::WriteSettings(device, 0, payload);
}

int FactoryResetMousepad(device::HidDevice& device) { return device::RestoreDefaults(device); }

}  // namespace korva::mousepad
