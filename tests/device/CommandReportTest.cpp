// The 64-byte command frame: layout and checksum, with the expected bytes worked out by hand.

#include <gtest/gtest.h>

#include <vector>

#include "device/CommandReport.h"
#include "tests/device/RowName.h"

namespace korva::device {
namespace {

using test::PrintTo;

struct ChecksumRow {
  const char* name;
  CommandCode command;
  std::uint8_t length;
  std::uint16_t address;
  std::vector<std::uint8_t> payload;
  std::uint8_t low;
  std::uint8_t high;
};

class CommandChecksum : public testing::TestWithParam<ChecksumRow> {};

TEST_P(CommandChecksum, IsTheSumOfBytes3To63LittleEndian) {
  const ChecksumRow& row = GetParam();
  const CommandReport r = BuildRequest(row.command, row.length, row.address, row.payload);
  EXPECT_EQ(r.bytes[1], row.low);
  EXPECT_EQ(r.bytes[2], row.high);
  EXPECT_EQ(r.StoredChecksum(), ComputeChecksum(r));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandChecksum,
    testing::Values(
        // Only byte 3 = 0x01 is non-zero.
        ChecksumRow{"BeginTransfer", CommandCode::kBeginTransfer, 0, 0, {}, 0x01, 0x00},
        // 0x03 + 0x21.
        ChecksumRow{"ReadInfo", CommandCode::kReadInfo, 0x21, 0, {}, 0x24, 0x00},
        // 0x0D alone: restore defaults carries a checksum like every request.
        ChecksumRow{"RestoreDefaults", CommandCode::kRestoreDefaults, 0, 0, {}, 0x0D, 0x00},
        // 0x06 + 56 + 0x34 + 0x12 + 56 * 0xFF = 14412 = 0x384C: the high byte is in use.
        ChecksumRow{"FullPayload", CommandCode::kWriteSettings, 56, 0x1234,
                    std::vector<std::uint8_t>(56, 0xFF), 0x4C, 0x38},
        // 0x09 + 8 + (504 = 0x01F8: 0xF8 + 0x01) + 1 + 2 + 3 = 272 = 0x0110: the sum passes one byte.
        ChecksumRow{"LastChunkOfABank", CommandCode::kWriteBank, 8, 504, {1, 2, 3}, 0x10, 0x01}),
    [](const testing::TestParamInfo<ChecksumRow>& info) { return std::string(info.param.name); });

TEST(CommandReport, RequestLayout) {
  std::vector<std::uint8_t> payload(60);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i + 1);
  const CommandReport r = BuildRequest(CommandCode::kStreamLighting, 56, 0xABCD, payload);
  EXPECT_EQ(r.bytes[0], 0x04);
  EXPECT_EQ(r.Command(), 0x12);
  EXPECT_EQ(r.Length(), 56);
  EXPECT_EQ(r.bytes[5], 0xCD);
  EXPECT_EQ(r.bytes[6], 0xAB);
  EXPECT_EQ(r.Address(), 0xABCD);
  EXPECT_EQ(r.Status(), 0x00);
  // 56 payload bytes fit; the rest of a longer buffer is not taken.
  EXPECT_EQ(r.bytes[8], 1);
  EXPECT_EQ(r.bytes[63], 56);

  const CommandReport shortOne =
      BuildRequest(CommandCode::kWriteSettings, 2, 0, std::vector<std::uint8_t>{7, 9});
  EXPECT_EQ(shortOne.bytes[8], 7);
  EXPECT_EQ(shortOne.bytes[9], 9);
  for (std::size_t i = 10; i < CommandReport::kSize; ++i) EXPECT_EQ(shortOne.bytes[i], 0) << "byte " << i;
}

}  // namespace
}  // namespace korva::device
