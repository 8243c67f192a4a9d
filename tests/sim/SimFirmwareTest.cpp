// The firmware models at the byte level: requests built by hand go straight into SimFirmware::Handle.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "sim/SimFirmware.h"
#include "tests/sim/SimTestFrames.h"

namespace korva::sim {
namespace {

using test::Frame;
using test::Request;

constexpr std::uint8_t kBegin = 0x01, kEnd = 0x02, kInfo = 0x03, kRead = 0x05, kWrite = 0x06, kDefault = 0x07,
                       kReadBank = 0x08, kWriteBank = 0x09, kRestore = 0x0D, kStream = 0x12, kMacros = 0x15,
                       kCursor = 0x17;

SimReport Send(SimFirmware& firmware, const Frame& request) {
  const std::optional<SimReport> answer = firmware.Handle(request);
  EXPECT_TRUE(answer.has_value());
  return answer.value_or(SimReport{});
}

std::uint8_t StatusOf(SimFirmware& firmware, const Frame& request) {
  return Send(firmware, request)[7];
}

// Chunks of 56 bytes from offset 0, the last one shorter, at address base + offset: the host's rule.
std::uint8_t ChunkedWrite(SimFirmware& firmware, std::uint8_t command, std::uint16_t base,
                          std::span<const std::uint8_t> data) {
  for (std::size_t offset = 0; offset < data.size(); offset += 56) {
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(56, data.size() - offset));
    const std::uint8_t status = StatusOf(
        firmware,
        Request(command, length, static_cast<std::uint16_t>(base + offset), data.subspan(offset, length)));
    if (status != 0) return status;
  }
  return 0;
}

std::vector<std::uint8_t> ChunkedRead(SimFirmware& firmware, std::uint8_t command, std::uint16_t base,
                                      std::size_t total) {
  std::vector<std::uint8_t> out(total, 0xEE);
  for (std::size_t offset = 0; offset < total; offset += 56) {
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(56, total - offset));
    const SimReport answer =
        Send(firmware, Request(command, length, static_cast<std::uint16_t>(base + offset)));
    EXPECT_EQ(answer[7], 0) << "chunk at offset " << offset;
    std::copy_n(answer.begin() + 8, length, out.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  return out;
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
  return bytes;
}

TEST(SimFirmwareFrame, AnswerEchoesTheRequestAndCarriesAValidChecksum) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const Frame request = Request(kRead, 4, 64 + 11);
  const SimReport answer = Send(firmware, request);
  EXPECT_EQ(answer[0], 0x04);
  EXPECT_EQ(answer[3], kRead);
  EXPECT_EQ(answer[4], 4);
  EXPECT_EQ(answer[5], 64 + 11);
  EXPECT_EQ(answer[6], 0);
  EXPECT_EQ(answer[7], 0x00);
  EXPECT_TRUE(test::AnswerChecksumValid(answer));
  // Record 1 bytes 11..14: indicator colour white, report rate index 3.
  EXPECT_EQ(std::vector<std::uint8_t>(answer.begin() + 8, answer.begin() + 12),
            (std::vector<std::uint8_t>{255, 255, 255, 3}));
  EXPECT_TRUE(std::all_of(answer.begin() + 12, answer.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(SimFirmwareFrame, ChecksumExamplesAreAccepted) {
  SimFirmware firmware(SimDeviceKind::kKeyboard);
  Frame begin{};
  begin[0] = 0x04;
  begin[1] = 0x01;  // only byte 3 is non-zero: the sum is 0x0001
  begin[3] = kBegin;
  EXPECT_EQ(StatusOf(firmware, begin), 0x00);
  Frame info{};
  info[0] = 0x04;
  info[1] = 0x24;  // 0x03 + 0x21
  info[3] = kInfo;
  info[4] = 0x21;
  EXPECT_EQ(StatusOf(firmware, info), 0x00);
}

TEST(SimFirmwareFrame, NonVendorReportsGetNoAnswer) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  Frame wrongId = Request(kBegin, 0, 0);
  wrongId[0] = 0x03;
  EXPECT_FALSE(firmware.Handle(wrongId).has_value());
  EXPECT_FALSE(firmware.Handle(std::span<const std::uint8_t>(wrongId).first(20)).has_value());
  EXPECT_FALSE(firmware.TransferOpen());
}

struct RefusalCase {
  std::string name;
  SimDeviceKind kind;
  Frame request;
  std::uint8_t status;
};

Frame BadChecksum() {
  Frame frame = Request(kWrite, 1, 0, {3});
  frame[1] ^= 0x01;
  return frame;
}

class SimFirmwareRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(SimFirmwareRefusal, RefusesWithoutActingOrAnsweringData) {
  const RefusalCase& row = GetParam();
  SimFirmware firmware(row.kind);
  const auto settings = firmware.Settings();
  const auto bank = firmware.Bank(0);
  const SimReport answer = Send(firmware, row.request);
  EXPECT_EQ(answer[7], row.status);
  EXPECT_EQ(answer[3], row.request[3]);
  EXPECT_TRUE(test::AnswerChecksumValid(answer));
  EXPECT_TRUE(std::all_of(answer.begin() + 8, answer.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(firmware.Settings(), settings);
  EXPECT_EQ(firmware.Bank(0), bank);
  EXPECT_EQ(firmware.ActiveProfile(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimFirmwareRefusal,
    testing::Values(
        RefusalCase{"BadChecksum", SimDeviceKind::kMouse, BadChecksum(), 0xFF},
        RefusalCase{"LengthAbove56", SimDeviceKind::kMouse, Request(kRead, 57, 0), 0xFF},
        RefusalCase{"ReadPastSettings", SimDeviceKind::kMouse, Request(kRead, 56, 300), 0xFF},
        RefusalCase{"WritePastSettings", SimDeviceKind::kKeyboard, Request(kWrite, 2, 319, {1, 2}), 0xFF},
        RefusalCase{"ActiveProfileAbove4", SimDeviceKind::kMouse, Request(kWrite, 1, 0, {5}), 0xFF},
        RefusalCase{"ActiveSettingsForProfile7", SimDeviceKind::kMousepad, Request(kWrite, 56, 0, {7, 1, 2}),
                    0xFF},
        RefusalCase{"BankAddressNotABankStart", SimDeviceKind::kMouse, Request(kWriteBank, 56, 57, {9}),
                    0xFF},
        RefusalCase{"BankFivesAddress", SimDeviceKind::kKeyboard, Request(kReadBank, 56, 5 * 126), 0xFF},
        RefusalCase{"DefaultBlockPastEnd", SimDeviceKind::kMouse, Request(kDefault, 16, 500), 0xFF},
        RefusalCase{"MousepadHasNoBanks", SimDeviceKind::kMousepad, Request(kReadBank, 56, 0), 0xFE},
        RefusalCase{"MousepadHasNoMacros", SimDeviceKind::kMousepad, Request(kMacros, 4, 0, {0xAA, 0x55}),
                    0xFE},
        RefusalCase{"KeyboardHasNoCursorMacros", SimDeviceKind::kKeyboard, Request(kCursor, 2, 0, {1, 2}),
                    0xFE},
        RefusalCase{"UnknownCommand", SimDeviceKind::kMouse, Request(0x0A, 0, 0), 0xFE},
        RefusalCase{"ForeignDeviceRefusesEverything", SimDeviceKind::kForeign, Request(kInfo, 0x21, 0),
                    0xFE}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(SimFirmwareInfo, KeyboardReportsKeyCountAndMacroCapacity) {
  for (SimDeviceKind kind : {SimDeviceKind::kKeyboard, SimDeviceKind::kKeyboardModel1}) {
    SimFirmware firmware(kind);
    const SimReport answer = Send(firmware, Request(kInfo, 0x21, 0));
    EXPECT_EQ(answer[8 + 5], 126);  // 3 x K = 378 <= 512
    EXPECT_EQ(answer[8 + 6], 32);
    EXPECT_EQ(firmware.MacroCapacity(), 32u * 128u);
    EXPECT_EQ(answer[8 + 0] | (answer[8 + 1] << 8), ProductIdOf(kind));
  }
}

TEST(SimFirmwareInfo, MouseReportsSensorStagesAndMacroCapacity) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const SimReport answer = Send(firmware, Request(kInfo, 0x21, 0));
  const auto info = std::span<const std::uint8_t>(answer).subspan(8, 33);
  EXPECT_EQ(info[6], 16);
  EXPECT_EQ(info[9] | (info[10] << 8), 0x3360);
  EXPECT_EQ(info[12], 83);
  EXPECT_TRUE(std::all_of(answer.begin() + 8 + 33, answer.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(SimFirmwareSettings, FactoryMouseStagesAreIncreasingAndWithinTheHighestStep) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const std::uint8_t highest = firmware.Info()[12];
  for (int p = 0; p < kSimProfileCount; ++p) {
    const auto record = firmware.Record(p);
    const std::array<std::uint8_t, 6> stages = {record[15], record[16], record[17],
                                                record[18], record[20], record[21]};
    EXPECT_TRUE(std::is_sorted(stages.begin(), stages.end())) << "profile " << p;
    EXPECT_LE(stages.back(), highest);
    EXPECT_EQ(stages[0], 6) << "800 counts per inch";
    EXPECT_LE(record[19], 5);
  }
}

TEST(SimFirmwareSettings, AddressZeroIsTheActiveNumberAndTheRecordsAreAt64Steps) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  firmware.SetActiveProfile(3);
  EXPECT_EQ(Send(firmware, Request(kRead, 1, 0))[8], 3);
  for (int p = 0; p < kSimProfileCount; ++p) {
    const SimReport answer = Send(firmware, Request(kRead, 56, static_cast<std::uint16_t>(p * 64)));
    const auto record = firmware.Record(p);
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 56, answer.begin() + 8)) << "profile " << p;
  }
  EXPECT_EQ(Send(firmware, Request(kRead, 56, 0))[8], 3) << "record 0's byte 0 is the active number";
}

TEST(SimFirmwareSettings, ActiveSettingsWriteLandsInTheNamedProfileAndMakesItActive) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const auto record0 = firmware.Record(0);
  std::vector<std::uint8_t> payload(56, 0);
  payload[0] = 2;
  for (std::size_t i = 1; i < 23; ++i) payload[i] = static_cast<std::uint8_t>(100 + i);
  EXPECT_EQ(StatusOf(firmware, Request(kWrite, 56, 0, payload)), 0);
  EXPECT_EQ(firmware.ActiveProfile(), 2);
  const auto record2 = firmware.Record(2);
  EXPECT_TRUE(std::equal(payload.begin() + 1, payload.end(), record2.begin() + 1));
  const auto after0 = firmware.Record(0);
  EXPECT_TRUE(std::equal(record0.begin() + 1, record0.end(), after0.begin() + 1)) << "profile 0 untouched";
  // Read back as the host does after a switch: address 2 x 64, 56 bytes.
  const SimReport answer = Send(firmware, Request(kRead, 56, 128));
  EXPECT_TRUE(std::equal(payload.begin() + 1, payload.end(), answer.begin() + 9));
}

TEST(SimFirmwareSettings, OneByteWritesSwitchAtZeroAndAreLiteralElsewhere) {
  SimFirmware firmware(SimDeviceKind::kKeyboard);
  const auto record1 = firmware.Record(1);
  EXPECT_EQ(StatusOf(firmware, Request(kWrite, 1, 0, {1})), 0);
  EXPECT_EQ(firmware.ActiveProfile(), 1);
  EXPECT_EQ(firmware.Record(1), record1) << "a 1-byte write only switches";
  EXPECT_EQ(StatusOf(firmware, Request(kWrite, 1, 1 * 64 + 2, {9})), 0);  // brightness of profile 1
  EXPECT_EQ(StatusOf(firmware, Request(kWrite, 1, 1 * 64 + 3, {4})), 0);  // speed of profile 1
  EXPECT_EQ(firmware.Record(1)[2], 9);
  EXPECT_EQ(firmware.Record(1)[3], 4);
  EXPECT_EQ(firmware.Record(0)[2], record1[2]) << "the other records keep their bytes";
}

struct BankCase {
  SimDeviceKind kind;
  std::size_t blockSize;
  int bank;
};

class SimFirmwareBanks : public testing::TestWithParam<BankCase> {};

// Every bank round-trips alone, and writing all five in turn leaves each holding its own data, whatever
// the overlap of their address ranges.
TEST_P(SimFirmwareBanks, BankRoundTripsAndLeavesTheOthersAlone) {
  const BankCase& row = GetParam();
  SimFirmware firmware(row.kind);
  std::array<std::array<std::uint8_t, kSimBankSize>, kSimProfileCount> before{};
  for (int b = 0; b < kSimProfileCount; ++b) before[b] = firmware.Bank(b);
  const auto data = Pattern(row.blockSize, static_cast<std::uint8_t>(row.bank + 1));
  const auto base = static_cast<std::uint16_t>(row.bank * 126);
  ASSERT_EQ(ChunkedWrite(firmware, kWriteBank, base, data), 0);
  EXPECT_EQ(ChunkedRead(firmware, kReadBank, base, row.blockSize), data);
  const auto stored = firmware.Bank(row.bank);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), stored.begin()));
  EXPECT_TRUE(std::equal(stored.begin() + static_cast<std::ptrdiff_t>(row.blockSize), stored.end(),
                         before[row.bank].begin() + static_cast<std::ptrdiff_t>(row.blockSize)))
      << "bytes past the block keep their contents";
  for (int b = 0; b < kSimProfileCount; ++b) {
    if (b != row.bank) {
      EXPECT_EQ(firmware.Bank(b), before[b]) << "bank " << b;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllBanks, SimFirmwareBanks,
    testing::Values(BankCase{SimDeviceKind::kMouse, 512, 0}, BankCase{SimDeviceKind::kMouse, 512, 1},
                    BankCase{SimDeviceKind::kMouse, 512, 2}, BankCase{SimDeviceKind::kMouse, 512, 3},
                    BankCase{SimDeviceKind::kMouse, 512, 4}, BankCase{SimDeviceKind::kKeyboard, 378, 0},
                    BankCase{SimDeviceKind::kKeyboard, 378, 1}, BankCase{SimDeviceKind::kKeyboard, 378, 2},
                    BankCase{SimDeviceKind::kKeyboard, 378, 3}, BankCase{SimDeviceKind::kKeyboard, 378, 4},
                    BankCase{SimDeviceKind::kKeyboard, 512, 0}, BankCase{SimDeviceKind::kKeyboard, 512, 4}),
    [](const testing::TestParamInfo<BankCase>& info) {
      return std::string(info.param.kind == SimDeviceKind::kMouse ? "Mouse" : "Keyboard") +
             std::to_string(info.param.blockSize) + "Bank" + std::to_string(info.param.bank);
    });

TEST(SimFirmwareBanks, AllFiveBanksWrittenInTurnKeepTheirOwnData) {
  // Bank b's transfer ends where bank b + 3 starts when the block is 378 bytes (and bank 0's last chunk
  // of a 512-byte block sits at bank 4's start), so this order puts every such pair back to back.
  const std::array<int, kSimProfileCount> order = {0, 3, 1, 4, 2};
  for (std::size_t blockSize : {std::size_t{512}, std::size_t{378}}) {
    SimFirmware firmware(SimDeviceKind::kKeyboard);
    for (int b : order) {
      ASSERT_EQ(ChunkedWrite(firmware, kWriteBank, static_cast<std::uint16_t>(b * 126),
                             Pattern(blockSize, static_cast<std::uint8_t>(b + 1))),
                0);
    }
    for (int b : order) {
      EXPECT_EQ(ChunkedRead(firmware, kReadBank, static_cast<std::uint16_t>(b * 126), blockSize),
                Pattern(blockSize, static_cast<std::uint8_t>(b + 1)))
          << "block " << blockSize << " bank " << b;
    }
  }
}

TEST(SimFirmwareBanks, AnAbandonedTransferDoesNotCaptureTheNextBanksStart) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const auto first = Pattern(512, 1);
  // Bank 0 given up after the chunk at offset 448: its continuation would be address 504, bank 4's start.
  ASSERT_EQ(ChunkedWrite(firmware, kWriteBank, 0, std::span<const std::uint8_t>(first).first(504)), 0);
  const auto second = Pattern(512, 2);
  ASSERT_EQ(ChunkedWrite(firmware, kWriteBank, 4 * 126, second), 0);
  const auto bank4 = firmware.Bank(4);
  EXPECT_TRUE(std::equal(second.begin(), second.end(), bank4.begin()));
  const auto bank0 = firmware.Bank(0);
  EXPECT_TRUE(std::equal(bank0.begin() + 504, bank0.end(), firmware.DefaultBlock().begin() + 504));
}

TEST(SimFirmwareBanks, ARepeatedChunkLandsWhereItsFirstCopyDid) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  const auto data = Pattern(512, 9);
  // Bank 0's last chunk sits at address 504, which is also bank 4's start: sent twice, as after a lost
  // answer, it must still go to bank 0.
  for (std::size_t offset = 0; offset < 512; offset += 56) {
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(56, 512 - offset));
    const Frame chunk = Request(kWriteBank, length, static_cast<std::uint16_t>(offset),
                                std::span<const std::uint8_t>(data).subspan(offset, length));
    ASSERT_EQ(StatusOf(firmware, chunk), 0);
    ASSERT_EQ(StatusOf(firmware, chunk), 0) << "retry at offset " << offset;
  }
  const auto bank0 = firmware.Bank(0);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), bank0.begin()));
  EXPECT_EQ(firmware.Bank(4), firmware.DefaultBlock());
}

TEST(SimFirmwareBlocks, DefaultBlockReadsInChunksAndHoldsTheFactoryTables) {
  SimFirmware mouse(SimDeviceKind::kMouse);
  const auto block = ChunkedRead(mouse, kDefault, 0, 512);
  const auto expected = mouse.DefaultBlock();
  EXPECT_TRUE(std::equal(block.begin(), block.end(), expected.begin()));
  const std::vector<std::uint8_t> buttons = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                                             0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  EXPECT_TRUE(std::equal(buttons.begin(), buttons.end(), block.begin()));
  EXPECT_TRUE(std::all_of(block.begin() + 21, block.end(), [](std::uint8_t b) { return b == 0x05; }));
  EXPECT_EQ(mouse.Bank(3), mouse.DefaultBlock()) << "factory banks are the default table";

  SimFirmware keyboard(SimDeviceKind::kKeyboard);
  const auto keys = ChunkedRead(keyboard, kDefault, 0, 378);
  auto entry = [&](std::size_t k) {
    return std::vector<std::uint8_t>(keys.begin() + 3 * k, keys.begin() + 3 * k + 3);
  };
  EXPECT_EQ(entry(0), (std::vector<std::uint8_t>{0x20, 0x00, 0x29}));  // Esc
  EXPECT_EQ(entry(17), (std::vector<std::uint8_t>{0x30, 0x83, 0x01}));
  EXPECT_EQ(entry(64), (std::vector<std::uint8_t>{0x20, 0x00, 0x04}));   // A
  EXPECT_EQ(entry(110), (std::vector<std::uint8_t>{0xA0, 0x02, 0x02}));  // Fn
  EXPECT_EQ(entry(118), (std::vector<std::uint8_t>{0x20, 0x00, 0x58}));  // keypad Enter
  EXPECT_EQ(entry(125), (std::vector<std::uint8_t>{0x20, 0x80, 0x00}));  // RWin: the table is complete
}

struct AreaCase {
  std::string name;
  SimDeviceKind kind;
  std::uint8_t command;
  std::size_t size;
};

class SimFirmwareAreas : public testing::TestWithParam<AreaCase> {};

// Macro memory, cursor-macro memory and the lighting frame take chunked writes up to their size and
// refuse a chunk that reaches past it.
TEST_P(SimFirmwareAreas, ChunkedWriteFillsTheAreaAndStopsAtItsEnd) {
  const AreaCase& row = GetParam();
  SimFirmware firmware(row.kind);
  const auto data = Pattern(row.size, 5);
  ASSERT_EQ(ChunkedWrite(firmware, row.command, 0, data), 0);
  const std::vector<std::uint8_t> stored = row.command == kMacros   ? firmware.MacroMemory()
                                           : row.command == kCursor ? firmware.CursorMacroMemory()
                                                                    : firmware.LightingFrame();
  EXPECT_EQ(stored, data);
  EXPECT_EQ(StatusOf(firmware, Request(row.command, 2, static_cast<std::uint16_t>(row.size - 1), {1, 2})),
            0xFF);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimFirmwareAreas,
                         testing::Values(AreaCase{"KeyboardMacros", SimDeviceKind::kKeyboard, kMacros, 4096},
                                         AreaCase{"MouseMacros", SimDeviceKind::kMouse, kMacros, 2048},
                                         AreaCase{"MouseCursorMacros", SimDeviceKind::kMouse, kCursor, 3072},
                                         AreaCase{"KeyboardFrame", SimDeviceKind::kKeyboard, kStream, 378},
                                         AreaCase{"MouseFrame", SimDeviceKind::kMouse, kStream, 60},
                                         AreaCase{"MousepadFrame", SimDeviceKind::kMousepad, kStream, 45}),
                         [](const testing::TestParamInfo<AreaCase>& info) { return info.param.name; });

TEST(SimFirmwareRestore, RestoreDefaultsBringsBackTheFactoryContents) {
  for (SimDeviceKind kind : {SimDeviceKind::kKeyboard, SimDeviceKind::kMouse, SimDeviceKind::kMousepad}) {
    SimFirmware firmware(kind);
    SimFirmware factory(kind);
    auto settings = Pattern(56, 3);
    settings[0] = 3;  // the active-settings write of profile 3
    ASSERT_EQ(StatusOf(firmware, Request(kWrite, 56, 0, settings)), 0);
    ASSERT_EQ(StatusOf(firmware, Request(kStream, 3, 0, {1, 2, 3})), 0);
    if (kind != SimDeviceKind::kMousepad) {
      ASSERT_EQ(ChunkedWrite(firmware, kWriteBank, 126, Pattern(512, 1)), 0);
      ASSERT_EQ(ChunkedWrite(firmware, kMacros, 0, Pattern(100, 2)), 0);
    }
    ASSERT_NE(firmware.Settings(), factory.Settings());
    EXPECT_EQ(StatusOf(firmware, Request(kRestore, 0, 0)), 0);
    EXPECT_EQ(firmware.RestoreCount(), 1);
    EXPECT_EQ(firmware.Settings(), factory.Settings());
    EXPECT_EQ(firmware.LightingFrame(), factory.LightingFrame());
    EXPECT_EQ(firmware.MacroMemory(), factory.MacroMemory());
    for (int b = 0; b < kSimProfileCount; ++b) EXPECT_EQ(firmware.Bank(b), factory.Bank(b));
  }
}

TEST(SimFirmwareTransfer, BeginAndEndOpenAndCloseTheBracket) {
  SimFirmware firmware(SimDeviceKind::kMousepad);
  EXPECT_FALSE(firmware.TransferOpen());
  EXPECT_EQ(StatusOf(firmware, Request(kBegin, 0, 0)), 0);
  EXPECT_TRUE(firmware.TransferOpen());
  EXPECT_EQ(StatusOf(firmware, Request(kEnd, 0, 0)), 0);
  EXPECT_FALSE(firmware.TransferOpen());
}

TEST(SimFirmwareUser, ButtonsStepTheActiveProfileAndTheCurrentStage) {
  SimFirmware firmware(SimDeviceKind::kMouse);
  firmware.SetActiveProfile(4);
  firmware.StepActiveProfile();
  EXPECT_EQ(firmware.ActiveProfile(), 0);
  firmware.SetActiveProfile(2);
  const std::uint8_t stage = firmware.Record(2)[19];
  firmware.StepSensitivityStage();
  EXPECT_EQ(firmware.Record(2)[19], (stage + 1) % 6);
  firmware.SetActiveProfile(9);  // a seeded nonsense number names no record and must not be followed
  firmware.StepSensitivityStage();
  EXPECT_EQ(firmware.Record(2)[19], (stage + 1) % 6);
}

}  // namespace
}  // namespace korva::sim
