// Devices that stop answering, refuse everything or describe themselves wrongly: every operation
// ends with its result code (the exchange's own time-outs bound it), a failed read changes neither
// the image nor the profile files, and nothing is sent where the device cannot take it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "device/CommandReport.h"
#include "keyboard/KeyboardImage.h"
#include "keyboard/KeyboardTransfer.h"
#include "macro/MacroEdits.h"
#include "macro/MacroFiles.h"
#include "mouse/MouseTransfer.h"
#include "mousepad/MousepadTransfer.h"
#include "session/KeyboardController.h"
#include "session/MousepadController.h"
#include "sim/SimFirmware.h"
#include "tests/profile/TempFolder.h"
#include "tests/session/SessionFixture.h"

namespace korva::session {
namespace {

using sim::SimDeviceKind;

// What goes wrong with the device.
struct Fault {
  enum class Requests { kNone, kSilentAfter, kRefuseAll } requests = Requests::kNone;
  int answered = 0;  // kSilentAfter: requests answered before the silence
  // Information block bytes the device claims (index, value), from its first request on.
  std::vector<std::pair<std::size_t, std::uint8_t>> info = {};
};

const Fault kNoFault{};
const Fault kRefuseAll{Fault::Requests::kRefuseAll};
Fault SilentAfter(int answered) {
  return {Fault::Requests::kSilentAfter, answered};
}
// K in the keyboard's information block (byte 5), and the macro memory in 128-byte units (byte 6).
const Fault kKeys255{Fault::Requests::kNone, 0, {{5, 255}}};
const Fault kNoMacroMemory{Fault::Requests::kNone, 0, {{keyboard::kKeyboardMacroUnits, 0}}};

constexpr int kManyRequests = 1 << 20;

class FaultyDeviceTest : public test::SessionFixture {
 protected:
  int Plug(SimDeviceKind simKind, DeviceKind kind, const Fault& fault) {
    const int id = Attach(simKind, kind);
    if (id < 0) return id;
    std::array<std::uint8_t, sim::kSimInfoSize> info = bus.Firmware(id).Info();
    for (const auto& [index, value] : fault.info) info[index] = value;
    bus.Firmware(id).SetInfo(info);
    return id;
  }
  void BreakRequests(int id, const Fault& fault) {
    if (fault.requests == Fault::Requests::kSilentAfter) bus.SilenceAfterRequests(id, fault.answered);
    if (fault.requests == Fault::Requests::kRefuseAll) bus.AnswerStatus(id, 0xFF, kManyRequests);
  }

  // Every file of the data folders, with its bytes.
  std::map<std::filesystem::path, std::vector<std::uint8_t>> Files() const {
    std::map<std::filesystem::path, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path())) {
      if (entry.is_regular_file()) files[entry.path()] = profile::testing::ReadBytes(entry.path());
    }
    return files;
  }

  // A macro in the keyboard's library, so that an upload has a block to send.
  void KeepOneMacro() {
    const macro::MacroLibrary library = KeyboardMacros();
    ASSERT_TRUE(macro::AddMacro(library).ok());
    const std::vector<macro::MacroAction> steps(
        60, macro::MacroAction{10, macro::step_kind::kKey | macro::step_kind::kPressBit, 0x04, 1,
                               "keyboard_key_A"});
    ASSERT_TRUE(macro::SaveMacro(library, macro::LoadMacroIndex(library).value().front(), steps));
  }
  macro::MacroLibrary KeyboardMacros() const {
    return {folders.GetDeviceFolder(DeviceKind::kKeyboard), DeviceKind::kKeyboard};
  }
};

// --- result codes of the transfers ------------------------------------------------------------

enum class Operation { kRead, kUpload, kKeyBank, kFlush };

struct Seen {
  int result = device::kResultOk;
  std::string_view textId = {};
  bool imageChanged = false;
  std::size_t sent = 0;  // requests the operation itself sent
};

struct CodeCase {
  const char* name;
  SimDeviceKind simKind;
  DeviceKind kind;
  Fault fault;
  Operation operation;
  int result;
  std::string_view textId = {};
};

void PrintTo(const CodeCase& row, std::ostream* out) {
  *out << row.name;
}

class FaultyDeviceCodeTest : public FaultyDeviceTest, public testing::WithParamInterface<CodeCase> {
 protected:
  bool prepared = true;  // the read before a write went through

  Seen Run(const CodeCase& row, int id) {
    Seen seen = Operate(row, id);
    seen.sent = bus.Requests(id).size() - sentBefore_;
    return seen;
  }

 private:
  // The operation on an image read while the device still answered (a read runs on an empty image).
  Seen Operate(const CodeCase& row, int id) {
    device::HidDevice& device = session->Device(row.kind);
    switch (row.kind) {
      case DeviceKind::kKeyboard: {
        keyboard::KeyboardImage image;
        if (row.operation != Operation::kRead) prepared = keyboard::ReadKeyboardAll(device, image).ok();
        const keyboard::KeyboardImage before = image;
        Break(id, row.fault);
        if (row.operation == Operation::kRead) {
          const keyboard::KeyboardTransferResult read = keyboard::ReadKeyboardAll(device, image);
          return {read.result, read.tooManyKeys ? keyboard::kTextTooManyKeys : std::string_view{},
                  image != before};
        }
        const keyboard::KeyboardUploadResult upload =
            keyboard::UploadKeyboard(device, image, KeyboardMacros());
        return {upload.result, upload.macros.textId, image != before};
      }
      case DeviceKind::kMouse: {
        mouse::MouseImage image;
        if (row.operation != Operation::kRead) prepared = mouse::ReadMouseAll(device, image).ok();
        const mouse::MouseImage before = image;
        Break(id, row.fault);
        const int result = row.operation == Operation::kRead ? mouse::ReadMouseAll(device, image).result
                                                             : mouse::WriteMouseKeyBank(device, image);
        return {result, {}, image != before};
      }
      default: {
        mousepad::MousepadImage image;
        if (row.operation != Operation::kRead) prepared = mousepad::ReadMousepadAll(device, image).ok();
        const mousepad::MousepadImage before = image;
        Break(id, row.fault);
        const int result = row.operation == Operation::kRead
                               ? mousepad::ReadMousepadAll(device, image).result
                               : mousepad::FlushMousepadSettings(device, image.active);
        return {result, {}, image != before};
      }
    }
  }
  void Break(int id, const Fault& fault) {
    sentBefore_ = bus.Requests(id).size();
    BreakRequests(id, fault);
  }

  std::size_t sentBefore_ = 0;
};

TEST_P(FaultyDeviceCodeTest, EndsWithItsResultCode) {
  const CodeCase& row = GetParam();
  if (row.operation == Operation::kUpload) KeepOneMacro();
  const int id = Plug(row.simKind, row.kind, row.fault);
  ASSERT_GE(id, 0);

  const Seen seen = Run(row, id);
  ASSERT_TRUE(prepared) << "the device did not answer the read before the fault";

  EXPECT_EQ(seen.result, row.result);
  EXPECT_EQ(seen.textId, row.textId);
  // Reads work on a copy: a read that failed leaves the image as it was; the writes never change it.
  EXPECT_FALSE(seen.imageChanged);
  // An upload the device cannot hold sends nothing.
  if (!row.textId.empty() && row.operation == Operation::kUpload) {
    EXPECT_EQ(seen.sent, 0u);
  }
  // The fault was met: the operation reached the device before it ended.
  if (row.fault.requests != Fault::Requests::kNone) {
    EXPECT_GT(seen.sent, 0u);
  }
}

// Requests answered before the silence: the device stops in the middle of what it was sent.
INSTANTIATE_TEST_SUITE_P(
    Devices, FaultyDeviceCodeTest,
    testing::Values(CodeCase{"KeyboardSilentMidRead", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             SilentAfter(4), Operation::kRead, device::kResultNoAnswer},
                    CodeCase{"KeyboardRefusesRead", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             kRefuseAll, Operation::kRead, device::kResultRefusedFF},
                    CodeCase{"KeyboardClaims255Keys", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             kKeys255, Operation::kRead, device::kResultOk, keyboard::kTextTooManyKeys},
                    CodeCase{"KeyboardSilentMidMacroBlock", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             SilentAfter(3), Operation::kUpload, device::kResultNoAnswer},
                    CodeCase{"KeyboardSilentMidKeyBank", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             SilentAfter(12), Operation::kUpload, device::kResultNoAnswer},
                    CodeCase{"KeyboardRefusesUpload", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             kRefuseAll, Operation::kUpload, device::kResultRefusedFF},
                    CodeCase{"KeyboardWithoutMacroMemory", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
                             kNoMacroMemory, Operation::kUpload, device::kResultOk, macro::kTextOverCapacity},
                    CodeCase{"MouseSilentMidRead", SimDeviceKind::kMouse, DeviceKind::kMouse, SilentAfter(20),
                             Operation::kRead, device::kResultNoAnswer},
                    CodeCase{"MouseRefusesRead", SimDeviceKind::kMouse, DeviceKind::kMouse, kRefuseAll,
                             Operation::kRead, device::kResultRefusedFF},
                    CodeCase{"MouseSilentMidKeyBank", SimDeviceKind::kMouse, DeviceKind::kMouse,
                             SilentAfter(3), Operation::kKeyBank, device::kResultNoAnswer},
                    CodeCase{"MouseRefusesKeyBank", SimDeviceKind::kMouse, DeviceKind::kMouse, kRefuseAll,
                             Operation::kKeyBank, device::kResultRefusedFF},
                    CodeCase{"MousepadSilentMidRead", SimDeviceKind::kMousepad, DeviceKind::kMousepad,
                             SilentAfter(3), Operation::kRead, device::kResultNoAnswer},
                    CodeCase{"MousepadRefusesRead", SimDeviceKind::kMousepad, DeviceKind::kMousepad,
                             kRefuseAll, Operation::kRead, device::kResultRefusedFF},
                    CodeCase{"MousepadSilentFlush", SimDeviceKind::kMousepad, DeviceKind::kMousepad,
                             SilentAfter(0), Operation::kFlush, device::kResultNoAnswer},
                    CodeCase{"MousepadRefusesFlush", SimDeviceKind::kMousepad, DeviceKind::kMousepad,
                             kRefuseAll, Operation::kFlush, device::kResultRefusedFF}),
    [](const testing::TestParamInfo<CodeCase>& info) { return std::string(info.param.name); });

// --- what a failed read leaves on disk ---------------------------------------------------------

struct ReadCase {
  const char* name;
  SimDeviceKind simKind;
  DeviceKind kind;
  Fault fault;
  bool read;  // the read went through: the image changed and the profiles follow the device
  std::string_view textId = {};
};

void PrintTo(const ReadCase& row, std::ostream* out) {
  *out << row.name;
}

class FailedReadTest : public FaultyDeviceTest, public testing::WithParamInterface<ReadCase> {
 protected:
  // Device memory that differs from the first-run profiles, so that a read that went through
  // shows in the files.
  void MakeMemoryDiffer(int id, DeviceKind kind) {
    sim::SimFirmware& firmware = bus.Firmware(id);
    if (kind == DeviceKind::kMousepad) {
      std::array<std::uint8_t, sim::kSimRecordStride> record = firmware.Record(0);
      for (std::size_t i = 1; i <= 8; ++i) record[i] = static_cast<std::uint8_t>(record[i] ^ 0x03);
      firmware.SetRecord(0, record);
      return;
    }
    std::array<std::uint8_t, sim::kSimBankSize> bank = firmware.Bank(0);
    std::swap(bank[0], bank[3]);
    std::swap(bank[1], bank[4]);
    std::swap(bank[2], bank[5]);
    firmware.SetBank(0, bank);
  }
};

TEST_P(FailedReadTest, SavesNothingFromIt) {
  const ReadCase& row = GetParam();
  const int id = Plug(row.simKind, row.kind, row.fault);
  ASSERT_GE(id, 0);
  MakeMemoryDiffer(id, row.kind);
  BreakRequests(id, row.fault);
  const auto filesBefore = Files();

  const DeviceOutcome outcome = session->Controller(row.kind).ReadAll();

  EXPECT_EQ(outcome.changed, row.read);
  EXPECT_EQ(outcome.message, row.textId);
  if (row.read) {
    EXPECT_NE(Files(), filesBefore) << "the read went through, and the profiles did not follow the device";
  } else {
    EXPECT_EQ(Files(), filesBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Devices, FailedReadTest,
    testing::Values(
        ReadCase{"KeyboardAnswering", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard, kNoFault, true},
        ReadCase{"KeyboardSilentMidRead", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard, SilentAfter(8),
                 false},
        ReadCase{"KeyboardRefusesAll", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard, kRefuseAll, false},
        ReadCase{"KeyboardClaims255Keys", SimDeviceKind::kKeyboard, DeviceKind::kKeyboard, kKeys255, false,
                 keyboard::kTextTooManyKeys},
        ReadCase{"MouseAnswering", SimDeviceKind::kMouse, DeviceKind::kMouse, kNoFault, true},
        ReadCase{"MouseSilentMidRead", SimDeviceKind::kMouse, DeviceKind::kMouse, SilentAfter(40), false},
        ReadCase{"MouseRefusesAll", SimDeviceKind::kMouse, DeviceKind::kMouse, kRefuseAll, false},
        ReadCase{"MousepadAnswering", SimDeviceKind::kMousepad, DeviceKind::kMousepad, kNoFault, true},
        ReadCase{"MousepadSilentMidRead", SimDeviceKind::kMousepad, DeviceKind::kMousepad, SilentAfter(4),
                 false},
        ReadCase{"MousepadRefusesAll", SimDeviceKind::kMousepad, DeviceKind::kMousepad, kRefuseAll, false}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korva::session
