// Device answers: a device whose every answer comes from the fuzzer's bytes, behind the lowest
// seam (HidBackend/HidConnection), so the real link, exchange and transfer code runs on them.
//
// Input: one byte choosing what is driven (keyboard, mouse or mousepad full read and the reads
// that follow it, or the single command operations), then a script the device plays, one entry
// per request it is written:
//   entry   byte c: bits 0-1 the number of reports it answers with (0..3); bits 2-3: 2 the write
//           times out, 3 it fails, otherwise it succeeds
//   report  byte r: bit 7 set: a command answer (report id 4) of 64 bytes, or of 63 with bit 6
//           set; its status is the next byte, the first r & 0x3F (at most 56, or 55) bytes of its data
//           follow, the rest is zeros. Bit 7 clear: any report of r bytes, which follow.
// A script that has run out answers nothing, so every operation ends.
// A read that fails must leave the device's image exactly as it was.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidLink.h"
#include "fuzz/FuzzSupport.h"
#include "keyboard/KeyboardTransfer.h"
#include "mouse/MouseTransfer.h"
#include "mousepad/MousepadTransfer.h"
#include "tests/device/Descriptors.h"

namespace korva::fuzz {
namespace {

using device::HidIoStatus;

class Script {
 public:
  explicit Script(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool empty() const { return at_ >= bytes_.size(); }
  std::uint8_t Byte() { return empty() ? 0 : bytes_[at_++]; }
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    n = std::min(n, bytes_.size() - std::min(at_, bytes_.size()));
    std::vector<std::uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                  bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return out;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

class ScriptedConnection final : public device::HidConnection {
 public:
  ScriptedConnection(Script& script, device::HidInterfaceInfo info)
      : script_(script), info_(std::move(info)) {}

  HidIoStatus Write(std::span<const std::uint8_t> report, int, std::size_t& written) override {
    written = 0;
    const std::uint8_t c = script_.Byte();  // 0 once the script has run out: taken, not answered
    switch ((c >> 2) & 3) {
      case 2:
        return HidIoStatus::kTimeout;
      case 3:
        return HidIoStatus::kFailed;
      default:
        break;
    }
    for (int i = 0; i < (c & 3); ++i) queued_.push_back(NextReport());
    written = report.size();
    return HidIoStatus::kOk;
  }

  HidIoStatus Read(std::span<std::uint8_t> buffer, int, std::size_t& read) override {
    read = 0;
    if (queued_.empty()) return HidIoStatus::kTimeout;
    const std::vector<std::uint8_t> report = std::move(queued_.front());
    queued_.pop_front();
    read = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), read, buffer.begin());
    return HidIoStatus::kOk;
  }

  void Abort() override {}
  std::vector<std::uint8_t> ReportDescriptor() const override { return device::test::kVendorAndConsumer; }
  device::HidInterfaceInfo Info() const override { return info_; }

 private:
  std::vector<std::uint8_t> NextReport() {
    const std::uint8_t r = script_.Byte();
    if ((r & 0x80) == 0) return script_.Bytes(r);
    std::vector<std::uint8_t> answer((r & 0x40) != 0 ? 63 : 64, 0);
    answer[0] = device::CommandReport::kReportId;
    answer[device::CommandReport::kStatusOffset] = script_.Byte();
    const std::vector<std::uint8_t> data =
        script_.Bytes(std::min<std::size_t>(r & 0x3F, answer.size() - device::CommandReport::kPayloadOffset));
    std::copy(data.begin(), data.end(), answer.begin() + device::CommandReport::kPayloadOffset);
    return answer;
  }

  Script& script_;
  device::HidInterfaceInfo info_;
  std::deque<std::vector<std::uint8_t>> queued_;
};

class ScriptedBackend final : public device::HidBackend {
 public:
  explicit ScriptedBackend(Script& script) : script_(script) {}
  bool Enumerate(std::vector<device::HidInterfaceInfo>& out) override {
    out = {Collection()};
    return true;
  }
  bool IsPresent(const std::string&) override { return true; }
  std::unique_ptr<device::HidConnection> Open(const device::HidInterfaceInfo& collection,
                                              const device::HidOpenOptions&) override {
    return std::make_unique<ScriptedConnection>(script_, collection);
  }
  static device::HidInterfaceInfo Collection() { return {"fuzz", 0x1EA7, 0x0001, 0xFF1C, 0x0092, 1}; }

 private:
  Script& script_;
};

bool Known(int result) {
  switch (result) {
    case device::kResultOk:
    case device::kResultNoAnswer:
    case device::kResultWriteFailed:
    case device::kResultRefusedFF:
    case device::kResultRefusedFE:
    case device::kResultBadBank:
      return true;
    default:
      return false;
  }
}

// A read either succeeds and changes the image, or fails and leaves it as it was.
template <class Image, class Outcome>
void CheckRead(const Image& before, const Image& after, const Outcome& outcome) {
  Check(Known(outcome.result));
  if (!outcome.ok()) Check(!outcome.changed && after == before);
}

// The full read, then the re-read of the active profile on what it gave.
template <class Image, class ReadAll, class Reload>
Image ReadAndReload(device::HidDevice& device, ReadAll readAll, Reload reload) {
  Image image;
  Image before = image;
  CheckRead(before, image, readAll(device, image));
  before = image;
  CheckRead(before, image, reload(device, image));
  return image;
}

void DriveKeyboard(device::HidDevice& device) {
  keyboard::KeyboardImage image = ReadAndReload<keyboard::KeyboardImage>(device, keyboard::ReadKeyboardAll,
                                                                         keyboard::ReloadKeyboardActive);
  const keyboard::KeyboardImage before = image;
  CheckRead(before, image, keyboard::ReadKeyboardDefaults(device, image));
  Check(Known(keyboard::FlushKeyboardSettings(device, image)));
}

void DriveMouse(device::HidDevice& device, std::uint8_t selector) {
  mouse::MouseImage image =
      ReadAndReload<mouse::MouseImage>(device, mouse::ReadMouseAll, mouse::ReloadMouseActive);
  Check(Known(mouse::SwitchDeviceProfile(device, image, selector % 7 - 1).result));
  Check(Known(mouse::WriteMouseKeyBank(device, image)));
}

void DriveMousepad(device::HidDevice& device, std::uint8_t selector) {
  mousepad::MousepadImage image = ReadAndReload<mousepad::MousepadImage>(device, mousepad::ReadMousepadAll,
                                                                         mousepad::ReloadMousepadActive);
  Check(Known(mousepad::SwitchMousepadProfile(device, image, selector % 7 - 1).result));
}

// The command operations alone, with sizes and banks from the selector.
void DriveCommands(device::HidDevice& device, std::uint8_t selector) {
  std::array<std::uint8_t, device::kInfoSize> info{};
  Check(Known(device::ReadInfo(device, info)));
  std::vector<std::uint8_t> buffer(std::size_t{selector} * 3, 0xA5);
  Check(Known(device::ReadSettings(device, static_cast<std::uint16_t>(selector * 257), buffer)));
  Check(Known(device::WriteSettings(device, 0xFFF0, buffer)));
  device.blockSize = static_cast<std::uint16_t>(selector * 4);
  Check(Known(device::ReadBank(device, selector % 7 - 1, buffer)));
  Check(Known(device::WriteBank(device, selector % 6, buffer)));
  Check(Known(device::StreamLighting(device, buffer)));
  Check(Known(device::RestoreDefaults(device)));
}

}  // namespace
}  // namespace korva::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korva;
  if (size == 0) return 0;
  const std::uint8_t selector = data[0];
  fuzz::Script script(std::span(data + 1, size - 1));
  fuzz::ScriptedBackend backend(script);
  device::HidDevice device(backend);
  device.endTransferPause = {};
  device.link.devicePath = fuzz::ScriptedBackend::Collection();
  device.link.options = {true, true, false, false};
  fuzz::Check(device::OpenLink(device.link));
  device.connected = true;
  switch (selector & 3) {
    case 0:
      fuzz::DriveKeyboard(device);
      break;
    case 1:
      fuzz::DriveMouse(device, selector >> 2);
      break;
    case 2:
      fuzz::DriveMousepad(device, selector >> 2);
      break;
    default:
      fuzz::DriveCommands(device, selector >> 2);
      break;
  }
  return 0;
}
