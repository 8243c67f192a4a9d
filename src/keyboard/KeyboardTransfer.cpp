#include "keyboard/KeyboardTransfer.h"

#include <algorithm>
#include <string>

#include "common/Log.h"
#include "device/CommandExchange.h"

namespace korva::keyboard {
namespace {

using device::kResultOk;

constexpr std::uint16_t kRecordStride = kKeyboardRecordSize;

// The profile number the keyboard reported, when it can serve as a slot, bank or address.
int UsableProfile(std::uint8_t p) {
  if (p < kKeyboardProfileCount) return p;
  Trace("keyboard: active profile " + std::to_string(p) + " names no profile; profile 0 is used");
  return 0;
}

KeyboardActiveSettings SettingsOfSlot(const KeyboardImage& image, int slot) {
  KeyboardActiveSettings settings;
  const KeyboardRecord& record = image.records[static_cast<std::size_t>(slot)];
  std::copy_n(record.begin(), KeyboardActiveSettings::kSize, settings.bytes.begin());
  return settings;
}

}  // namespace

KeyboardTransferResult ReadKeyboardAll(device::HidDevice& device, KeyboardImage& image) {
  KeyboardImage next = image;
  KeyboardTransferResult out;
  out.result = device::InTransfer(device, [&] {
    int result = device::ReadInfo(device, next.info);
    if (result != kResultOk) return result;
    if (next.KeyCount() > kMaxKeyCount) {
      out.tooManyKeys = true;
      return kResultOk;
    }
    device.blockSize = static_cast<std::uint16_t>(next.KeyCount() * kKeyFunctionSize);
    KeyBank buffer{};
    if ((result = device::ReadDefaultBlock(device, buffer)) != kResultOk) return result;
    next.defaultBlock = buffer;
    std::array<std::uint8_t, kKeyboardRecordTransferSize> record{};
    if ((result = device::ReadSettings(device, 0, record)) != kResultOk) return result;
    std::copy(record.begin(), record.end(), next.records[0].begin());
    if ((result = device::ReadBank(device, 0, buffer)) != kResultOk) return result;
    next.banks[0] = buffer;
    std::array<std::uint8_t, 1> number{};
    if ((result = device::ReadSettings(device, 0, number)) != kResultOk) return result;
    const int p = UsableProfile(number[0]);
    next.active = SettingsOfSlot(next, p);
    next.active.bytes[0] = static_cast<std::uint8_t>(p);
    return kResultOk;
  });
  if (!out.ok()) {
    if (out.tooManyKeys) Trace("keyboard: " + std::to_string(next.KeyCount()) + " keys do not fit a bank");
    return out;
  }
  BuildKeyButtonMap(next);
  image = next;
  out.changed = true;
  return out;
}

KeyboardTransferResult ReloadKeyboardActive(device::HidDevice& device, KeyboardImage& image) {
  KeyboardImage next = image;
  if (const std::optional<int> p = next.EditedBank())
    std::copy(next.active.bytes.begin(), next.active.bytes.end(), next.records[static_cast<std::size_t>(*p)].begin());
  std::array<std::uint8_t, 1> number{};
  int result = device::ReadSettings(device, 0, number);  // the keyboard's number is not used
  if (result != kResultOk) return {result, false, false};
  std::array<std::uint8_t, kKeyboardRecordTransferSize> record{};
  result = device::ReadSettings(device, 0, record);
  if (result != kResultOk) return {result, false, false};
  record[0] = 0;
  std::copy(record.begin(), record.end(), next.records[0].begin());
  next.active = SettingsOfSlot(next, 0);
  image = next;
  return {kResultOk, true, false};
}

KeyboardTransferResult ReadKeyboardDefaults(device::HidDevice& device, KeyboardImage& image) {
  KeyBank buffer{};
  const int result = device::ReadDefaultBlock(device, buffer);
  if (result != kResultOk) return {result, false, false};
  image.defaultBlock = buffer;
  BuildKeyButtonMap(image);
  return {kResultOk, true, false};
}

int UploadKeyboardBank(device::HidDevice& device, const KeyboardImage& image) {
  const std::optional<int> p = image.EditedBank();
  if (!p) return device::kResultBadBank;
  return device::InTransfer(device, [&] { return device::WriteBank(device, *p, image.banks[static_cast<std::size_t>(*p)]); });
}

KeyboardUploadResult UploadKeyboard(device::HidDevice& device, const KeyboardImage& image,
                                    const macro::MacroLibrary& macros) {
  KeyboardUploadResult out;
  out.macros = macro::UploadMacroLibrary(device, macros, image.info[kKeyboardMacroUnits]);
  if (out.macros.stop) return out;
  const int bank = UploadKeyboardBank(device, image);
  out.result = out.macros.result != kResultOk ? out.macros.result : bank;
  return out;
}

int WriteKeyProfileBank(device::HidDevice& device, const KeyboardImage& image) {
  return device::WriteBank(device, 0, image.banks[0]);
}

int FlushKeyboardSettings(device::HidDevice& device, const KeyboardImage& image) {
  std::array<std::uint8_t, kKeyboardRecordTransferSize> payload{};
  std::copy(image.active.bytes.begin(), image.active.bytes.end(), payload.begin());
  return device::WriteSettings(device, 0, payload);
}

int WriteKeyboardSettingByte(device::HidDevice& device, const KeyboardImage& image, std::uint8_t offset,
                             std::uint8_t value) {
  const std::optional<int> p = image.EditedBank();
  if (!p || offset >= kKeyboardRecordTransferSize) return device::kResultNoAnswer;
  const std::array<std::uint8_t, 1> byte{value};
  return device::WriteSettings(device, static_cast<std::uint16_t>(*p * kRecordStride + offset), byte);
}

}  // namespace korva::keyboard
