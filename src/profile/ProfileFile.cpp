#include "profile/ProfileFile.h"

#include <fstream>
#include <system_error>

namespace korva::profile {
namespace {

std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void WriteLe16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kTagOffset = 4;

ProfileFileRead Fail(ProfileFileStatus status, const std::filesystem::path& path, const std::string& what) {
  ProfileFileRead read;
  read.status = status;
  read.detail = "In file " + path.string() + ": " + what;
  return read;
}

}  // namespace

std::array<std::uint8_t, ProfileFileHeader::kSize> ProfileFileHeader::Encode() const {
  std::array<std::uint8_t, kSize> bytes{};
  WriteLe16(bytes, kMagicOffset, magic);
  WriteLe16(bytes, kTagOffset, tag);
  return bytes;
}

std::optional<ProfileFileHeader> ProfileFileHeader::Decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kSize) return std::nullopt;
  ProfileFileHeader header;
  header.magic = ReadLe16(bytes, kMagicOffset);
  header.tag = ReadLe16(bytes, kTagOffset);
  return header;
}

std::string_view ProfileFileRead::TextId() const {
  switch (status) {
    case ProfileFileStatus::kOk:
      return {};
    case ProfileFileStatus::kMissing:
    case ProfileFileStatus::kUnreadable:
      return kTextFileMissing;
    case ProfileFileStatus::kWrongSize:
    case ProfileFileStatus::kBadMagic:
    case ProfileFileStatus::kWrongTag:
      return kTextFileFormatWrong;
  }
  return kTextFileFormatWrong;
}

ProfileFileRead ReadProfileFile(const std::filesystem::path& path, DeviceTag tag, std::size_t payloadSize) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return Fail(ProfileFileStatus::kMissing, path, "no such file");
  if (!std::filesystem::is_regular_file(status)) {
    return Fail(ProfileFileStatus::kUnreadable, path, "not a regular file");
  }

  // Read one byte more than expected: a longer file shows itself without a separate size call,
  // and a file that grows or shrinks meanwhile cannot slip through.
  const std::size_t expected = ProfileFileHeader::kSize + payloadSize;
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(ProfileFileStatus::kUnreadable, path, "cannot be opened for reading");
  std::vector<std::uint8_t> bytes(expected + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return Fail(ProfileFileStatus::kUnreadable, path, "cannot be read");
  const auto got = static_cast<std::size_t>(in.gcount());

  // Magic first (is this a profile file at all?), then the tag (whose profile?), then the length.
  if (got >= 2 && ReadLe16(bytes, kMagicOffset) != ProfileFileHeader::kMagic) {
    return Fail(ProfileFileStatus::kBadMagic, path, "does not start with the profile file mark AA 55");
  }
  if (got >= ProfileFileHeader::kSize) {
    const std::uint16_t fileTag = ReadLe16(bytes, kTagOffset);
    if (fileTag != static_cast<std::uint16_t>(tag)) {
      return Fail(ProfileFileStatus::kWrongTag, path,
                  "is a profile of device " + std::to_string(fileTag) + ", expected device " +
                      std::to_string(static_cast<unsigned>(tag)));
    }
  }
  if (got != expected) {
    const std::string length = got > expected ? "longer than " : std::to_string(got) + " bytes, not ";
    return Fail(ProfileFileStatus::kWrongSize, path,
                "is " + length + std::to_string(expected) + " bytes (16-byte header and " +
                    std::to_string(payloadSize) + "-byte payload)");
  }

  ProfileFileRead read;
  read.status = ProfileFileStatus::kOk;
  read.payload.assign(bytes.begin() + ProfileFileHeader::kSize,
                      bytes.begin() + static_cast<std::ptrdiff_t>(expected));
  return read;
}

korva::FileResult WriteProfileFile(const std::filesystem::path& path, DeviceTag tag,
                                   std::span<const std::uint8_t> payload) {
  ProfileFileHeader header;
  header.tag = static_cast<std::uint16_t>(tag);
  const auto head = header.Encode();
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return korva::WriteFileAtomically(path, bytes);
}

}  // namespace korva::profile
