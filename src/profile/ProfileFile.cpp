#include "profile/ProfileFile.h"

#include <fstream>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Log.h"

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

ProfileFileRead Fail(ProfileFileStatus status, korva::Error error) {
  ProfileFileRead read;
  read.status = status;
  read.error = std::move(error);
  return read;
}

ProfileFileRead Fail(ProfileFileStatus status, const std::filesystem::path& path, const std::string& what) {
  return Fail(status, korva::Error::InFile(path.string(), what));
}

// The place of a header field in the message: "In file X, at byte N: ...".
ProfileFileRead FailAt(ProfileFileStatus status, const std::filesystem::path& path, std::size_t offset,
                       const std::string& what) {
  korva::Error error = korva::Error::InFile(path.string(), what);
  error.offset = offset;
  error.hasOffset = true;
  return Fail(status, std::move(error));
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
    case ProfileFileStatus::kBadMagic:
    case ProfileFileStatus::kNoTag:
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

  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(ProfileFileStatus::kUnreadable, path, "cannot be opened for reading");
  // Header and payload; whatever a longer file holds after them is not read.
  const std::size_t expected = ProfileFileHeader::kSize + payloadSize;
  std::vector<std::uint8_t> bytes(expected, 0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return Fail(ProfileFileStatus::kUnreadable, path, "cannot be read");
  const auto got = static_cast<std::size_t>(in.gcount());

  if (got < 2 || ReadLe16(bytes, kMagicOffset) != ProfileFileHeader::kMagic) {
    return FailAt(ProfileFileStatus::kBadMagic, path, kMagicOffset,
                  "does not start with the profile file mark AA 55");
  }
  // The tag check goes beyond the plain magic check the format has always had: a profile of
  // another device would otherwise load as this device's settings. It stays on purpose.
  if (got < kTagOffset + 2) {
    return FailAt(ProfileFileStatus::kNoTag, path, got, "ends before the device tag");
  }
  if (const std::uint16_t fileTag = ReadLe16(bytes, kTagOffset); fileTag != static_cast<std::uint16_t>(tag)) {
    return FailAt(ProfileFileStatus::kWrongTag, path, kTagOffset,
                  "is a profile of device " + std::to_string(fileTag) + ", expected device " +
                      std::to_string(static_cast<unsigned>(tag)));
  }
  // A file cut short loads with the missing payload bytes zero (the buffer started zeroed).
  if (got < expected) {
    korva::Trace("In file " + path.string() + ": " + std::to_string(got) + " of " + std::to_string(expected) +
                 " bytes; the missing payload bytes read as 0");
  }

  ProfileFileRead read;
  read.status = ProfileFileStatus::kOk;
  read.payload.assign(bytes.begin() + ProfileFileHeader::kSize, bytes.end());
  return read;
}

korva::Result<void> WriteProfileFile(const std::filesystem::path& path, DeviceTag tag,
                                     std::span<const std::uint8_t> payload) {
  ProfileFileHeader header;
  header.tag = static_cast<std::uint16_t>(tag);
  const auto head = header.Encode();
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return korva::WriteFileAtomically(path, bytes);
}

}  // namespace korva::profile
