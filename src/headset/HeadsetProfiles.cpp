#include "headset/HeadsetProfiles.h"

#include <algorithm>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "headset/HeadsetJsonFile.h"
#include "profile/IniFile.h"
#include "profile/ProfileName.h"

namespace korva::headset {
namespace {

using profile::IndexResult;
using profile::StoreResult;
using profile::StoreStatus;

StoreResult Fail(StoreStatus status, korva::Error error) {
  korva::Trace(error.ToString());
  return {status, std::move(error)};
}

StoreResult Fail(StoreStatus status, const std::filesystem::path& file, std::string message) {
  return Fail(status, korva::Error::InFile(file.string(), std::move(message)));
}

IndexResult NoIndex(StoreResult result) {
  return {std::move(result), -1, {}};
}

std::string Key(int index) {
  return std::to_string(index);
}

// The index as read at the moment of an operation.
struct Index {
  std::filesystem::path path;
  int storedCount = 0;             // as stored, may be negative or absurd
  std::vector<std::string> names;  // entries 0 .. count-1 ("0" where no name is stored)
  int select = 0;

  static Index Read(const std::filesystem::path& path) {
    const profile::IniFile ini = profile::IniFile::Load(path);
    Index index{path, ini.GetInt(kHeadsetCountSection, profile::kCountKey, 0), {}, 0};
    const int count = std::clamp(index.storedCount, 0, profile::kMaxProfileCount);
    if (index.storedCount > profile::kMaxProfileCount) {
      korva::Trace("In file " + path.string() + ": the profile count is " +
                   std::to_string(index.storedCount) + "; only the first " +
                   std::to_string(profile::kMaxProfileCount) + " are listed");
    }
    for (int i = 0; i < count; ++i) index.names.push_back(ini.GetString(kHeadsetNameSection, Key(i), "0"));
    index.select = ini.GetInt(kHeadsetSelectSection, profile::kSelectKey, 0);
    return index;
  }

  int count() const { return static_cast<int>(names.size()); }
  bool Contains(int i) const { return i >= 0 && i < count(); }
  int Selected() const { return Contains(select) ? select : 0; }

  // The name of entry `i` if it may be used as a file stem.
  StoreResult Stem(int i, std::string& stem) const {
    if (!Contains(i)) {
      return Fail(StoreStatus::kNoSuchProfile, path,
                  "no profile " + std::to_string(i) + " in a list of " + std::to_string(count()));
    }
    const std::string& name = names[static_cast<std::size_t>(i)];
    if (const profile::NameCheck check = profile::ValidateProfileName(name); !check) {
      return Fail(StoreStatus::kNameRefused, path, "the profile name \"" + name + "\": " + check.reason);
    }
    stem = name;
    return {};
  }
};

bool FileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

void RemoveFile(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec) korva::Trace("In file " + path.string() + ": cannot delete it: " + ec.message());
}

}  // namespace

std::string NewHeadsetProfileName(const std::vector<std::string>& names,
                                  const std::function<bool(const std::string&)>& taken) {
  for (int n = 1;; ++n) {
    std::string name = std::string(kHeadsetProfileStem) + std::to_string(n);
    if (!profile::ContainsName(names, name) && !taken(name)) return name;
  }
}

HeadsetProfiles::HeadsetProfiles(profile::DataFolders folders, std::filesystem::path defaultsFolder)
    : folders_(std::move(folders)), defaultsFolder_(std::move(defaultsFolder)) {}

std::filesystem::path HeadsetProfiles::FolderPath() const {
  return folders_.GetDeviceFolder(DeviceKind::kHeadset);
}
std::filesystem::path HeadsetProfiles::IndexPath() const {
  return FolderPath() / kHeadsetIndexFile;
}
std::filesystem::path HeadsetProfiles::DefaultFilePath() const {
  return defaultsFolder_ / kHeadsetDefaultFile;
}
std::filesystem::path HeadsetProfiles::ProfilePath(std::string_view name) const {
  return FolderPath() / (std::string(name) + std::string(kHeadsetProfileExtension));
}

StoreResult HeadsetProfiles::ProfileFile(int index, std::filesystem::path& path) const {
  std::string stem;
  if (StoreResult named = Index::Read(IndexPath()).Stem(index, stem); !named) return named;
  path = ProfilePath(stem);
  return {};
}

HeadsetProfileResult HeadsetProfiles::ReadProfile(const std::filesystem::path& path) const {
  auto document = ReadJsonFile(path);
  if (!document) return {Fail(StoreStatus::kFileMissing, document.error()), {}};
  auto parsed = ParseHeadsetProfile(document.value());
  if (!parsed) return {Fail(StoreStatus::kFileInvalid, path, parsed.error().message), {}};
  return {{}, std::move(parsed.value())};
}

StoreResult HeadsetProfiles::CopyInto(const std::filesystem::path& source,
                                      const std::filesystem::path& target) const {
  std::vector<std::uint8_t> bytes;
  if (!korva::ReadWholeFile(source, bytes, kMaxJsonFileBytes)) {
    return Fail(StoreStatus::kFileMissing, source, "cannot be read, or is larger than a profile can be");
  }
  // Only bytes that read as a headset profile are copied, so no profile ever starts broken.
  auto document =
      ParseJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), source);
  if (!document) return Fail(StoreStatus::kFileInvalid, document.error());
  if (auto parsed = ParseHeadsetProfile(document.value()); !parsed) {
    return Fail(StoreStatus::kFileInvalid, source, parsed.error().message);
  }
  if (auto written = korva::WriteFileAtomically(target, bytes); !written) {
    return Fail(StoreStatus::kWriteFailed, written.error());
  }
  return {};
}

profile::ListResult HeadsetProfiles::Initialise() {
  const Index index = Index::Read(IndexPath());
  if (index.storedCount != 0) return {{}, index.names};

  const std::string name = NewHeadsetProfileName({}, [](const std::string&) { return false; });
  const std::filesystem::path path = ProfilePath(name);
  // A valid profile of that name (its index lost) keeps the user's settings.
  if (!ReadProfile(path).result) {
    if (StoreResult copied = CopyInto(DefaultFilePath(), path); !copied) {
      // The first profile cannot be made: the page shows that the default file is missing.
      return {{StoreStatus::kFileMissing, copied.error}, {}};
    }
  }
  const korva::Result<void> updated = profile::UpdateIniFile(index.path, [&](profile::IniFile& ini) {
    ini.SetInt(kHeadsetCountSection, profile::kCountKey, 1);
    ini.SetString(kHeadsetNameSection, Key(0), name);
    ini.SetString(kHeadsetLinkSection, Key(0), "0");
    ini.SetInt(kHeadsetSelectSection, profile::kSelectKey, 0);
  });
  if (!updated) return {Fail(StoreStatus::kWriteFailed, updated.error()), {}};
  return {{}, {name}};
}

std::vector<std::string> HeadsetProfiles::Names() const {
  return Index::Read(IndexPath()).names;
}

int HeadsetProfiles::SelectedIndex() const {
  return Index::Read(IndexPath()).Selected();
}

StoreResult HeadsetProfiles::SetSelectedIndex(int index) {
  const Index current = Index::Read(IndexPath());
  if (!current.Contains(index)) {
    return Fail(StoreStatus::kNoSuchProfile, current.path,
                "no profile " + std::to_string(index) + " to select");
  }
  const auto written = profile::WriteIniInt(current.path, kHeadsetSelectSection, profile::kSelectKey, index);
  if (!written) return Fail(StoreStatus::kWriteFailed, written.error());
  return {};
}

HeadsetProfileResult HeadsetProfiles::Load(int index) const {
  std::filesystem::path path;
  if (StoreResult named = ProfileFile(index, path); !named) return {std::move(named), {}};
  return ReadProfile(path);
}

template <typename Store, typename Record>
StoreResult HeadsetProfiles::SaveMember(int index, const Record& record, Store store) {
  std::filesystem::path path;
  if (StoreResult named = ProfileFile(index, path); !named) return named;
  auto document = ReadJsonFile(path);
  if (!document) return Fail(StoreStatus::kFileMissing, document.error());
  if (!store(document.value(), record))
    return Fail(StoreStatus::kFileInvalid, path, "the document is not an object");
  if (auto written = WriteJsonFile(path, document.value()); !written) {
    return Fail(StoreStatus::kWriteFailed, written.error());
  }
  return {};
}

StoreResult HeadsetProfiles::SaveVoiceInfo(int index, const HeadsetVoiceSettings& settings) {
  return SaveMember(index, settings, StoreVoiceInfo);
}

StoreResult HeadsetProfiles::SaveLightInfo(int index, const lighting::LightingSettings& light) {
  return SaveMember(index, light, StoreLightInfo);
}

IndexResult HeadsetProfiles::Add() {
  const Index current = Index::Read(IndexPath());
  if (current.count() >= profile::kMaxProfileCount) {
    return NoIndex(Fail(StoreStatus::kProfileLimit, current.path, "the list is full"));
  }
  // A file left in the folder under a free name is someone's data: the new profile takes the next
  // name instead of writing over it.
  const std::string name = NewHeadsetProfileName(
      current.names, [this](const std::string& n) { return FileExists(ProfilePath(n)); });
  const std::filesystem::path path = ProfilePath(name);
  if (StoreResult copied = CopyInto(DefaultFilePath(), path); !copied) return NoIndex(std::move(copied));
  const int slot = current.count();
  const korva::Result<void> updated = profile::UpdateIniFile(current.path, [&](profile::IniFile& ini) {
    ini.SetInt(kHeadsetCountSection, profile::kCountKey, slot + 1);
    ini.SetString(kHeadsetNameSection, Key(slot), name);
    ini.SetString(kHeadsetLinkSection, Key(slot), "0");
    ini.SetInt(kHeadsetSelectSection, profile::kSelectKey, slot);
  });
  if (!updated) {
    RemoveFile(path);
    return NoIndex(Fail(StoreStatus::kWriteFailed, updated.error()));
  }
  return {{}, slot, name};
}

StoreResult HeadsetProfiles::Rename(int index, std::string_view newName) {
  const Index current = Index::Read(IndexPath());
  if (newName.empty()) return Fail(StoreStatus::kNameEmpty, current.path, "the new profile name is empty");
  if (const profile::NameCheck check = profile::ValidateProfileName(newName); !check) {
    return Fail(StoreStatus::kNameRefused, current.path,
                "the new profile name \"" + std::string(newName) + "\": " + check.reason);
  }
  // The profile's own name counts as taken too, in any letter case.
  if (profile::ContainsName(current.names, newName)) {
    return Fail(StoreStatus::kNameTaken, current.path,
                "a profile named \"" + std::string(newName) + "\" exists");
  }
  const std::filesystem::path newPath = ProfilePath(newName);
  if (FileExists(newPath)) return Fail(StoreStatus::kNameTaken, newPath, "the file exists already");
  std::string oldStem;
  if (StoreResult named = current.Stem(index, oldStem); !named) return named;
  const std::filesystem::path oldPath = ProfilePath(oldStem);

  std::vector<std::uint8_t> bytes;
  if (!korva::ReadWholeFile(oldPath, bytes, kMaxJsonFileBytes)) {
    return Fail(StoreStatus::kFileMissing, oldPath, "cannot be read");
  }
  if (auto written = korva::WriteFileAtomically(newPath, bytes); !written) {
    return Fail(StoreStatus::kWriteFailed, written.error());
  }
  const auto updated = profile::UpdateIniFile(current.path, [&](profile::IniFile& ini) {
    ini.SetInt(kHeadsetCountSection, profile::kCountKey, current.count());
    ini.SetString(kHeadsetNameSection, Key(index), newName);
  });
  if (!updated) {
    RemoveFile(newPath);
    return Fail(StoreStatus::kWriteFailed, updated.error());
  }
  RemoveFile(oldPath);
  return {};
}

IndexResult HeadsetProfiles::Delete(int index) {
  const Index current = Index::Read(IndexPath());
  if (!current.Contains(index)) {
    return NoIndex(Fail(StoreStatus::kNoSuchProfile, current.path, "no profile " + std::to_string(index)));
  }
  if (current.count() == 1) {
    return NoIndex(Fail(StoreStatus::kLastProfile, current.path, "the last profile cannot be deleted"));
  }
  std::vector<std::string> remaining = current.names;
  remaining.erase(remaining.begin() + index);
  const int last = static_cast<int>(remaining.size()) - 1;

  // The index is written anew, whole: only the remaining names, in list order.
  profile::IniFile ini;
  ini.SetInt(kHeadsetCountSection, profile::kCountKey, static_cast<int>(remaining.size()));
  for (int i = 0; i <= last; ++i) {
    ini.SetString(kHeadsetNameSection, Key(i), remaining[static_cast<std::size_t>(i)]);
    ini.SetString(kHeadsetLinkSection, Key(i), "0");
  }
  ini.SetInt(kHeadsetSelectSection, profile::kSelectKey, last);
  if (auto saved = ini.Save(current.path); !saved)
    return NoIndex(Fail(StoreStatus::kWriteFailed, saved.error()));

  // The file goes after the index, so a failure never leaves a listed profile without its file.
  if (std::string stem; current.Stem(index, stem)) RemoveFile(ProfilePath(stem));
  return {{}, last, remaining[static_cast<std::size_t>(last)]};
}

StoreResult HeadsetProfiles::Import(int index, const std::filesystem::path& source) {
  std::filesystem::path path;
  if (StoreResult named = ProfileFile(index, path); !named) return named;
  return CopyInto(source, path);
}

StoreResult HeadsetProfiles::Export(int index, const std::filesystem::path& target) const {
  std::filesystem::path path;
  if (StoreResult named = ProfileFile(index, path); !named) return named;
  std::vector<std::uint8_t> bytes;
  if (!korva::ReadWholeFile(path, bytes, kMaxJsonFileBytes)) {
    return Fail(StoreStatus::kFileMissing, path, "cannot be read");
  }
  if (auto written = korva::WriteFileAtomically(target, bytes); !written) {
    return Fail(StoreStatus::kWriteFailed, written.error());
  }
  return {};
}

HeadsetProfileResult HeadsetProfiles::ReadDefault() const {
  return ReadProfile(DefaultFilePath());
}

}  // namespace korva::headset
