#include "profile/ProfileFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <numeric>

#include "TempFolder.h"

namespace korva::profile {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr std::size_t kPayload = 64;

std::vector<std::uint8_t> Payload(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), seed);
  return bytes;
}

// A well-formed mouse profile file, for the rows below to damage.
std::vector<std::uint8_t> MouseFile() {
  std::vector<std::uint8_t> bytes{0xAA, 0x55, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const auto payload = Payload(kPayload, 1);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  TempFolder temp_;
  std::filesystem::path path_ = temp_.path() / "p.led";
};

TEST_F(ProfileFileTest, WritesTheHeaderLayoutAndReadsThePayloadBack) {
  const auto payload = Payload(kPayload, 1);
  ASSERT_TRUE(WriteProfileFile(path_, DeviceTag::kMouse, payload));
  EXPECT_EQ(ReadBytes(path_), MouseFile());

  const ProfileFileRead read = ReadProfileFile(path_, DeviceTag::kMouse, kPayload);
  EXPECT_TRUE(read.ok()) << read.error.ToString();
  EXPECT_EQ(read.payload, payload);
  EXPECT_EQ(read.TextId(), "");
}

TEST_F(ProfileFileTest, HeaderEncodesMagicAndTagLittleEndian) {
  ProfileFileHeader header;
  header.tag = static_cast<std::uint16_t>(DeviceTag::kMousepad);
  const auto bytes = header.Encode();
  const std::array<std::uint8_t, 16> expected{0xAA, 0x55, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(bytes, expected);
  const auto decoded = ProfileFileHeader::Decode(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->magic, ProfileFileHeader::kMagic);
  EXPECT_EQ(decoded->tag, 3);
  EXPECT_FALSE(ProfileFileHeader::Decode(std::span(bytes).first(15)));
}

using Bytes = std::vector<std::uint8_t>;

// MouseFile() changed by `change`.
template <typename Change>
Bytes MouseFileWith(Change change) {
  Bytes bytes = MouseFile();
  change(bytes);
  return bytes;
}

TEST_F(ProfileFileTest, FilesThatAreNotThisDevicesProfilesAreRefusedWithTheirMessage) {
  const struct {
    const char* name;
    Bytes bytes;
    ProfileFileStatus status;
    std::size_t at;  // the byte the message names
  } rows[] = {
      {"empty", {}, ProfileFileStatus::kBadMagic, 0},
      {"one byte", {0xAA}, ProfileFileStatus::kBadMagic, 0},
      {"magic bytes swapped", MouseFileWith([](Bytes& b) { std::swap(b[0], b[1]); }),
       ProfileFileStatus::kBadMagic, 0},
      {"not a profile file", MouseFileWith([](Bytes& b) { b[0] = '['; }), ProfileFileStatus::kBadMagic, 0},
      {"cut before the device tag", MouseFileWith([](Bytes& b) { b.resize(5); }), ProfileFileStatus::kNoTag,
       5},
      // The format has always let a file of another device through; we refuse it on purpose.
      {"keyboard tag", MouseFileWith([](Bytes& b) { b[4] = 0x01; }), ProfileFileStatus::kWrongTag, 4},
      {"tag high byte set", MouseFileWith([](Bytes& b) { b[5] = 0x01; }), ProfileFileStatus::kWrongTag, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteBytes(path_, row.bytes);
    const ProfileFileRead read = ReadProfileFile(path_, DeviceTag::kMouse, kPayload);
    EXPECT_EQ(read.status, row.status);
    EXPECT_EQ(read.TextId(), "message_text_9");
    EXPECT_TRUE(read.payload.empty());
    EXPECT_EQ(read.error.file, path_.string());
    EXPECT_EQ(read.error.offset, row.at);
    EXPECT_NE(read.error.ToString().find("In file " + path_.string() + ", at byte " + std::to_string(row.at)),
              std::string::npos)
        << read.error.ToString();
  }
}

// A short file gives its payload with the missing bytes zero, a long one the payload's bytes.
TEST_F(ProfileFileTest, ShortAndLongFilesGiveAWholePayload) {
  const Bytes payload = Payload(kPayload, 1);
  auto prefix = [&payload](std::size_t n) {
    Bytes bytes(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(n));
    bytes.resize(kPayload, 0);
    return bytes;
  };
  const struct {
    const char* name;
    Bytes bytes;
    Bytes expected;
  } rows[] = {
      {"header with the tag, nothing more", MouseFileWith([](Bytes& b) { b.resize(6); }), Bytes(kPayload, 0)},
      {"header only", MouseFileWith([](Bytes& b) { b.resize(16); }), Bytes(kPayload, 0)},
      {"payload cut short", MouseFileWith([](Bytes& b) { b.resize(16 + 56); }), prefix(56)},
      {"one byte short", MouseFileWith([](Bytes& b) { b.pop_back(); }), prefix(kPayload - 1)},
      {"one byte too long", MouseFileWith([](Bytes& b) { b.push_back(0xEE); }), payload},
      {"a longer profile of the same device", MouseFileWith([](Bytes& b) { b.insert(b.end(), 448, 0xEE); }),
       payload},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteBytes(path_, row.bytes);
    const ProfileFileRead read = ReadProfileFile(path_, DeviceTag::kMouse, kPayload);
    ASSERT_TRUE(read.ok()) << read.error.ToString();
    EXPECT_EQ(read.payload, row.expected);
  }
}

TEST_F(ProfileFileTest, ReservedHeaderBytesAreNotExamined) {
  auto bytes = MouseFile();
  bytes[2] = 0x7E;
  bytes[15] = 0x01;
  WriteBytes(path_, bytes);
  EXPECT_TRUE(ReadProfileFile(path_, DeviceTag::kMouse, kPayload).ok());
}

TEST_F(ProfileFileTest, MissingOrUnreadableFileShowsTheMissingMessage) {
  const ProfileFileRead missing = ReadProfileFile(path_, DeviceTag::kMouse, kPayload);
  EXPECT_EQ(missing.status, ProfileFileStatus::kMissing);
  EXPECT_EQ(missing.TextId(), "message_text_8");

  std::filesystem::create_directory(path_);
  const ProfileFileRead folder = ReadProfileFile(path_, DeviceTag::kMouse, kPayload);
  EXPECT_EQ(folder.status, ProfileFileStatus::kUnreadable);
  EXPECT_EQ(folder.TextId(), "message_text_8");
  EXPECT_TRUE(folder.payload.empty());
}

TEST_F(ProfileFileTest, ReadOnlyFileReads) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file, so a read-write open would not fail";
  ASSERT_TRUE(WriteProfileFile(path_, DeviceTag::kMouse, Payload(kPayload, 1)));
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  EXPECT_TRUE(ReadProfileFile(path_, DeviceTag::kMouse, kPayload).ok());
}

// The write is cut off half way (file size limit); the previous file must stay whole.
TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFileIntact) {
  ASSERT_TRUE(WriteProfileFile(path_, DeviceTag::kMouse, Payload(kPayload, 1)));
  const auto before = ReadBytes(path_);

  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 40;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const korva::Result<void> written = WriteProfileFile(path_, DeviceTag::kMouse, Payload(kPayload, 9));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(path_), before);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.path()), {}), 1);
}

TEST_F(ProfileFileTest, WriteIntoReadOnlyFolderFailsAndKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write into read-only folders";
  ASSERT_TRUE(WriteProfileFile(path_, DeviceTag::kMouse, Payload(kPayload, 1)));
  const auto before = ReadBytes(path_);
  ASSERT_EQ(::chmod(temp_.path().c_str(), 0555), 0);
  EXPECT_FALSE(WriteProfileFile(path_, DeviceTag::kMouse, Payload(kPayload, 9)));
  EXPECT_EQ(ReadBytes(path_), before);
}

}  // namespace
}  // namespace korva::profile
