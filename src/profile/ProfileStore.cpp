#include "profile/ProfileStore.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "common/Log.h"
#include "profile/IniFile.h"
#include "profile/ProfileName.h"

namespace korva::profile {
namespace {

constexpr IndexSections kLightSections{"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILELIKEDENGEXE",
                                       "DENGPROCESS", "PROFILEDENGSELECT"};
constexpr IndexSections kKeySections{"PROFILECOUNT", "PROFILENAME", "PROFILELIKEEXE", "PROCESS",
                                     "PROFILESELECT"};

const std::array<StoreLayout, 5> kLayouts{{
    {StoreKind::kKeyboardLight, DeviceKind::kKeyboard, DeviceTag::kKeyboard, "kbProfile.ini", ".led",
     kKeyboardLightPayloadSize, kLightSections, "kbdengdefault.led"},
    {StoreKind::kKeyboardKey, DeviceKind::kKeyboard, DeviceTag::kKeyboard, "kbProfile.ini", ".pro",
     kKeyBankPayloadSize, kKeySections, "kbkeydefault.pro"},
    {StoreKind::kMouseLight, DeviceKind::kMouse, DeviceTag::kMouse, "msProfile.ini", ".led",
     kMouseLightPayloadSize, kLightSections, "msdengdefault.led"},
    {StoreKind::kMouseKey, DeviceKind::kMouse, DeviceTag::kMouse, "msProfile.ini", ".pro",
     kKeyBankPayloadSize, kKeySections, "mskeydefault.pro"},
    {StoreKind::kMousepadLight, DeviceKind::kMousepad, DeviceTag::kMousepad, "mpProfile.ini", ".led",
     kMousepadLightPayloadSize, kLightSections, "mpdengdefault.led"},
}};

// What an index read of a missing key gives.
constexpr std::string_view kMissingValue = "0";

StoreResult Fail(StoreStatus status, korva::Error error) {
  korva::Trace(error.ToString());
  return {status, std::move(error)};
}

StoreResult Fail(StoreStatus status, const std::filesystem::path& file, std::string message) {
  return Fail(status, korva::Error::InFile(file.string(), std::move(message)));
}

std::string Key(int index) {
  return std::to_string(index);
}

// Deletes the link entries from key `first` on. Deletes leave them behind one after the other, so
// they form one run of keys that ends at the first key with neither entry.
void DropLinksFrom(IniFile& ini, const IndexSections& s, int first) {
  for (int k = first; k < kMaxProfileCount && (ini.HasKey(s.link, Key(k)) || ini.HasKey(s.process, Key(k))); ++k) {
    ini.DeleteKey(s.link, Key(k));
    ini.DeleteKey(s.process, Key(k));
  }
}

IndexResult NoIndex(StoreResult result) {
  IndexResult failed;
  failed.result = std::move(result);
  return failed;
}

}  // namespace

const StoreLayout& LayoutOf(StoreKind kind) {
  for (const StoreLayout& layout : kLayouts) {
    if (layout.kind == kind) return layout;
  }
  return kLayouts.front();
}

std::string_view StoreResult::TextId() const {
  switch (status) {
    case StoreStatus::kOk:
    case StoreStatus::kWriteFailed:
      return {};
    case StoreStatus::kFileMissing:
    case StoreStatus::kNoSuchProfile:
      return kTextFileMissing;
    case StoreStatus::kFileInvalid:
      return kTextFileFormatWrong;
    case StoreStatus::kNameEmpty:
      return kTextNameEmpty;
    case StoreStatus::kNameTaken:
      return kTextNameTaken;
    case StoreStatus::kNameRefused:
      return kTextNameRefused;
    case StoreStatus::kLastProfile:
      return kTextLastProfile;
    case StoreStatus::kProfileLimit:
      return kTextProfileLimit;
  }
  return {};
}

// One reading of the store's sections of the index file.
class ProfileStore::Index {
 public:
  Index(std::filesystem::path path, const StoreLayout& layout)
      : path_(std::move(path)), ini_(IniFile::Load(path_)), sections_(layout.sections) {
    storedCount_ = ini_.GetInt(sections_.count, kCountKey, 0);
    count_ = storedCount_ < 0 ? 0 : storedCount_;
    if (count_ > kMaxProfileCount) {
      korva::Trace("In file " + path_.string() + ": the list claims " + std::to_string(count_) +
                   " profiles; the first " + std::to_string(kMaxProfileCount) + " are listed");
      count_ = kMaxProfileCount;
    }
    select_ = ini_.GetInt(sections_.select, kSelectKey, 0);
    for (int i = 0; i < count_; ++i) {
      if (ini_.HasKey(sections_.name, Key(i))) {
        names_.push_back(ini_.GetString(sections_.name, Key(i), {}));
      } else {
        names_.push_back(std::nullopt);
      }
    }
  }

  const std::filesystem::path& path() const { return path_; }
  const IniFile& ini() const { return ini_; }
  int count() const { return count_; }
  // Only a count of exactly 0 (or none stored) is a first run; a negative one lists nothing but
  // is left as it is, with the names stored under it.
  bool FirstRun() const { return storedCount_ == 0; }
  bool Full() const { return count_ >= kMaxProfileCount; }
  bool Contains(int i) const { return i >= 0 && i < count_; }
  // The stored select when it names an entry, else 0.
  int Selected() const { return Contains(select_) ? select_ : 0; }
  const std::optional<std::string>& StoredName(int i) const { return names_[static_cast<std::size_t>(i)]; }

  std::vector<std::string> DisplayNames() const {
    std::vector<std::string> names;
    for (const auto& name : names_) names.push_back(name.value_or(std::string(kMissingValue)));
    return names;
  }

  StoreResult NoRoom() const {
    return Fail(StoreStatus::kProfileLimit, path_,
                "the list holds " + std::to_string(count_) + " profiles, the most it takes");
  }

  StoreResult NotListed(int i) const {
    return Fail(StoreStatus::kNoSuchProfile, path_,
                "profile " + std::to_string(i) + " is not in the list of " + std::to_string(count_));
  }

  // The file-name stem of entry i, refused when the entry is absent or its name is not a safe
  // file name (an index edited by hand can hold anything).
  StoreResult Stem(int i, std::string& stem) const {
    if (!Contains(i)) return NotListed(i);
    const auto& name = StoredName(i);
    const std::string entry = "[" + std::string(sections_.name) + "] " + Key(i);
    if (!name) return Fail(StoreStatus::kNoSuchProfile, path_, entry + ": no name is stored");
    if (const NameCheck check = ValidateProfileName(*name); !check) {
      return Fail(StoreStatus::kNameRefused, path_, entry + " \"" + *name + "\": " + check.reason);
    }
    stem = *name;
    return {};
  }

 private:
  std::filesystem::path path_;
  IniFile ini_;
  IndexSections sections_;
  int storedCount_ = 0;
  int count_ = 0;
  int select_ = 0;
  std::vector<std::optional<std::string>> names_;
};

int ReadSelectedIndex(const DataFolders& folders, StoreKind store) {
  const StoreLayout& layout = LayoutOf(store);
  return ProfileStore::Index(folders.GetDeviceFolder(layout.device) / layout.indexFile, layout).Selected();
}

ProfileStore::ProfileStore(StoreKind kind, DataFolders folders, std::filesystem::path defaultsFolder)
    : layout_(LayoutOf(kind)), folders_(std::move(folders)), defaultsFolder_(std::move(defaultsFolder)) {}

std::filesystem::path ProfileStore::FolderPath() const {
  return folders_.GetDeviceFolder(layout_.device);
}

std::filesystem::path ProfileStore::IndexPath() const {
  return FolderPath() / layout_.indexFile;
}

std::filesystem::path ProfileStore::DefaultFilePath() const {
  // A default the device itself gave (the keyboard's factory key block, kept in the keyboard's data
  // folder: the program folder is read-only) comes before the one shipped with the program.
  std::error_code ec;
  std::filesystem::path own = FolderPath() / layout_.defaultFile;
  if (std::filesystem::is_regular_file(own, ec)) return own;
  return defaultsFolder_ / layout_.defaultFile;
}

std::filesystem::path ProfileStore::ProfilePath(std::string_view name) const {
  return FolderPath() / (std::string(name) + std::string(layout_.extension));
}

PayloadResult ProfileStore::ReadFile(const std::filesystem::path& path) const {
  ProfileFileRead read = ReadProfileFile(path, layout_.tag, layout_.payloadSize);
  PayloadResult result;
  if (read.ok()) {
    result.payload = std::move(read.payload);
    return result;
  }
  const bool missing =
      read.status == ProfileFileStatus::kMissing || read.status == ProfileFileStatus::kUnreadable;
  result.result =
      Fail(missing ? StoreStatus::kFileMissing : StoreStatus::kFileInvalid, std::move(read.error));
  return result;
}

StoreResult ProfileStore::WriteFile(const std::filesystem::path& path,
                                    std::span<const std::uint8_t> payload) const {
  if (payload.size() != layout_.payloadSize) {
    return Fail(StoreStatus::kWriteFailed, path,
                "the payload is " + std::to_string(payload.size()) + " bytes, the store's is " +
                    std::to_string(layout_.payloadSize));
  }
  const korva::Result<void> written = WriteProfileFile(path, layout_.tag, payload);
  if (!written) return Fail(StoreStatus::kWriteFailed, written.error());
  return {};
}

PayloadResult ProfileStore::LoadLocked(const Index& index, int i) const {
  std::string stem;
  if (StoreResult named = index.Stem(i, stem); !named) return {std::move(named), {}};
  return ReadFile(ProfilePath(stem));
}

std::vector<std::string> ProfileStore::Names() const {
  std::lock_guard lock(mutex_);
  return Index(IndexPath(), layout_).DisplayNames();
}

int ProfileStore::Count() const {
  std::lock_guard lock(mutex_);
  return Index(IndexPath(), layout_).count();
}

int ProfileStore::SelectedIndex() const {
  std::lock_guard lock(mutex_);
  return Index(IndexPath(), layout_).Selected();
}

ListResult ProfileStore::Initialise() {
  std::lock_guard lock(mutex_);
  const Index index(IndexPath(), layout_);
  if (!index.FirstRun()) {
    if (index.count() == 0) {
      korva::Trace("In file " + index.path().string() +
                   ": the profile count is negative; the list is empty and "
                   "the stored names are left as they are");
    }
    return {{}, index.DisplayNames()};
  }

  // First run: one profile holding the default payload.
  const std::string name = NewProfileName({});
  const std::filesystem::path path = ProfilePath(name);
  // A valid file of that name (its index lost or unreadable) keeps the user's settings.
  if (!ReadFile(path).result) {
    PayloadResult defaults = ReadFile(DefaultFilePath());
    if (!defaults.result) return {std::move(defaults.result), {}};
    if (StoreResult written = WriteFile(path, defaults.payload); !written) return {std::move(written), {}};
  }
  const IndexSections& s = layout_.sections;
  const korva::Result<void> updated = UpdateIniFile(index.path(), [&](IniFile& ini) {
    ini.SetInt(s.count, kCountKey, 1);
    ini.SetString(s.link, Key(0), "0");
    ini.DeleteKey(s.process, Key(0));
    ini.SetString(s.name, Key(0), name);
    ini.SetInt(s.select, kSelectKey, 0);
  });
  if (!updated) return {Fail(StoreStatus::kWriteFailed, updated.error()), {}};
  return {{}, {name}};
}

PayloadResult ProfileStore::LoadProfile(int index) const {
  std::lock_guard lock(mutex_);
  return LoadLocked(Index(IndexPath(), layout_), index);
}

StoreResult ProfileStore::SaveProfile(std::span<const std::uint8_t> payload) {
  std::lock_guard lock(mutex_);
  const Index index(IndexPath(), layout_);
  std::string stem;
  const int target = index.Contains(linkedShown_) ? linkedShown_ : index.Selected();
  if (StoreResult named = index.Stem(target, stem); !named) return named;
  return WriteFile(ProfilePath(stem), payload);
}

int ProfileStore::SavedIndex() const {
  std::lock_guard lock(mutex_);
  const Index index(IndexPath(), layout_);
  return index.Contains(linkedShown_) ? linkedShown_ : index.Selected();
}

PayloadResult ProfileStore::ShowLinkedProfile(int index) {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  PayloadResult loaded = LoadLocked(current, index);
  // A profile that could not be loaded was not applied: saves keep their target.
  if (loaded.result) linkedShown_ = index == current.Selected() ? -1 : index;
  return loaded;
}

StoreResult ProfileStore::SelectLocked(int index) {
  const Index current(IndexPath(), layout_);
  if (!current.Contains(index)) return current.NotListed(index);
  const korva::Result<void> written = WriteIniInt(current.path(), layout_.sections.select, kSelectKey, index);
  if (!written) return Fail(StoreStatus::kWriteFailed, written.error());
  return {};
}

StoreResult ProfileStore::SetSelectedIndex(int index) {
  std::lock_guard lock(mutex_);
  return SelectLocked(index);
}

PayloadResult ProfileStore::SelectProfile(int index) {
  std::lock_guard lock(mutex_);
  // Nothing to apply when select could not be written: later saves would go to another profile.
  if (StoreResult selected = SelectLocked(index); !selected) return {std::move(selected), {}};
  linkedShown_ = -1;
  return LoadLocked(Index(IndexPath(), layout_), index);
}

IndexResult ProfileStore::AppendLocked(const Index& current, const std::string& name,
                                       std::span<const std::uint8_t> payload) {
  if (const NameCheck check = ValidateProfileName(name); !check) {
    return NoIndex(Fail(StoreStatus::kNameRefused, current.path(),
                        "the new profile name \"" + name + "\": " + check.reason));
  }
  const int slot = current.count();
  // A file of that name not in the list is a leftover; the new profile replaces it.
  if (StoreResult written = WriteFile(ProfilePath(name), payload); !written)
    return NoIndex(std::move(written));
  const IndexSections& s = layout_.sections;
  const korva::Result<void> updated = UpdateIniFile(current.path(), [&](IniFile& ini) {
    ini.SetInt(s.count, kCountKey, slot + 1);
    ini.SetString(s.name, Key(slot), name);
    // A delete leaves the link entries of the old last slot behind; a new profile at that slot
    // must not inherit them, and none is left beyond the list for a later one.
    ini.SetString(s.link, Key(slot), "0");
    ini.SetString(s.process, Key(slot), "");
    DropLinksFrom(ini, s, slot + 1);
  });
  if (!updated) return NoIndex(Fail(StoreStatus::kWriteFailed, updated.error()));
  return {{}, slot, name};
}

IndexResult ProfileStore::AddProfile() {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  if (current.Full()) return NoIndex(current.NoRoom());
  PayloadResult defaults = ReadFile(DefaultFilePath());
  if (!defaults.result) return NoIndex(std::move(defaults.result));
  return AppendLocked(current, NewProfileName(current.DisplayNames()), defaults.payload);
}

IndexResult ProfileStore::CopyProfile(int index) {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  if (current.Full()) return NoIndex(current.NoRoom());
  PayloadResult source = LoadLocked(current, index);
  if (!source.result) return NoIndex(std::move(source.result));
  const std::string name = CopyProfileName(*current.StoredName(index), current.DisplayNames());
  return AppendLocked(current, name, source.payload);
}

IndexResult ProfileStore::DeleteProfile(int index) {
  std::lock_guard lock(mutex_);
  // The entries move; the page selects a profile by hand next.
  linkedShown_ = -1;
  const Index current(IndexPath(), layout_);
  if (!current.Contains(index)) return NoIndex(current.NotListed(index));
  if (current.count() == 1) {
    return NoIndex(Fail(StoreStatus::kLastProfile, current.path(), "the last profile cannot be deleted"));
  }

  const int newCount = current.count() - 1;
  const IndexSections& s = layout_.sections;
  const IniFile& before = current.ini();
  // Copies entry `from` of a section to entry `to`, a missing entry staying missing.
  auto move = [&before](IniFile& ini, std::string_view section, int from, int to) {
    if (before.HasKey(section, Key(from))) {
      ini.SetString(section, Key(to), before.GetString(section, Key(from), {}));
    } else {
      ini.DeleteKey(section, Key(to));
    }
  };
  // The index first, the file after: a failure never leaves a listed profile without its file.
  const korva::Result<void> updated = UpdateIniFile(current.path(), [&](IniFile& ini) {
    ini.SetInt(s.count, kCountKey, newCount);
    for (int k = index; k < newCount; ++k) {
      move(ini, s.name, k + 1, k);
      move(ini, s.link, k + 1, k);
      move(ini, s.process, k + 1, k);
    }
    ini.SetInt(s.select, kSelectKey, newCount - 1);
  });
  if (!updated) return NoIndex(Fail(StoreStatus::kWriteFailed, updated.error()));

  if (std::string stem; current.Stem(index, stem)) {
    std::error_code ec;
    std::filesystem::remove(ProfilePath(stem), ec);
    if (ec) korva::Trace("In file " + ProfilePath(stem).string() + ": cannot delete it: " + ec.message());
  }
  const int last = newCount - 1;
  const int lastBefore = last < index ? last : last + 1;
  return {{}, last, current.DisplayNames()[static_cast<std::size_t>(lastBefore)]};
}

StoreResult ProfileStore::RenameProfile(int index, std::string_view newName) {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  if (newName.empty()) return Fail(StoreStatus::kNameEmpty, current.path(), "the new profile name is empty");
  if (const NameCheck check = ValidateProfileName(newName); !check) {
    return Fail(StoreStatus::kNameRefused, current.path(),
                "the new profile name \"" + std::string(newName) + "\": " + check.reason);
  }
  if (!current.Contains(index)) return current.NotListed(index);
  // The profile's own name counts as taken too, in any letter case.
  if (ContainsName(current.DisplayNames(), newName)) {
    return Fail(StoreStatus::kNameTaken, current.path(),
                "a profile named \"" + std::string(newName) + "\" exists");
  }
  std::string oldStem;
  if (StoreResult named = current.Stem(index, oldStem); !named) return named;
  PayloadResult content = ReadFile(ProfilePath(oldStem));
  if (!content.result) return content.result;
  // The new file first, read back whole before the index names it; the old file goes last. Any
  // failure on the way leaves the index and the old file as they were.
  const std::filesystem::path renamed = ProfilePath(newName);
  auto dropRenamed = [&renamed] {
    std::error_code ignored;
    std::filesystem::remove(renamed, ignored);
  };
  if (StoreResult written = WriteFile(renamed, content.payload); !written) return written;
  if (const PayloadResult check = ReadFile(renamed); !check.result || check.payload != content.payload) {
    dropRenamed();
    return Fail(StoreStatus::kWriteFailed, renamed, "the renamed profile does not read back as written");
  }
  const korva::Result<void> updated =
      WriteIniString(current.path(), layout_.sections.name, Key(index), newName);
  if (!updated) {
    dropRenamed();
    return Fail(StoreStatus::kWriteFailed, updated.error());
  }
  std::error_code ec;
  std::filesystem::remove(ProfilePath(oldStem), ec);
  if (ec) korva::Trace("In file " + ProfilePath(oldStem).string() + ": cannot delete it: " + ec.message());
  return {};
}

StoreResult ProfileStore::ImportProfile(int index, const std::filesystem::path& source) {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  std::string stem;
  if (StoreResult named = current.Stem(index, stem); !named) return named;
  PayloadResult content = ReadFile(source);
  if (!content.result) return content.result;
  return WriteFile(ProfilePath(stem), content.payload);
}

StoreResult ProfileStore::ExportProfile(int index, const std::filesystem::path& target) const {
  std::lock_guard lock(mutex_);
  PayloadResult content = LoadLocked(Index(IndexPath(), layout_), index);
  if (!content.result) return content.result;
  return WriteFile(target, content.payload);
}

PayloadResult ProfileStore::ReadDefaultPayload() const {
  return ReadFile(DefaultFilePath());
}

ProfileLink ProfileStore::ReadLink(int index) const {
  std::lock_guard lock(mutex_);
  const IniFile ini = IniFile::Load(IndexPath());
  ProfileLink link;
  link.linked = ini.GetInt(layout_.sections.link, Key(index), 0) != 0;
  link.executable = ini.GetString(layout_.sections.process, Key(index), {});
  return link;
}

std::vector<ProfileLink> ProfileStore::Links() const {
  std::lock_guard lock(mutex_);
  const IniFile ini = IniFile::Load(IndexPath());
  const int count = std::clamp(ini.GetInt(layout_.sections.count, kCountKey, 0), 0, kMaxProfileCount);
  std::vector<ProfileLink> links(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    ProfileLink& link = links[static_cast<std::size_t>(i)];
    link.linked = ini.GetInt(layout_.sections.link, Key(i), 0) != 0;
    link.executable = ini.GetString(layout_.sections.process, Key(i), {});
  }
  return links;
}

StoreResult ProfileStore::WriteLink(int index, const ProfileLink& link) {
  std::lock_guard lock(mutex_);
  const Index current(IndexPath(), layout_);
  if (!current.Contains(index)) return current.NotListed(index);
  const IndexSections& s = layout_.sections;
  const bool linked = link.linked && !link.executable.empty();
  // An unlinked profile stores a single space as its path.
  const std::string path = linked ? link.executable : " ";
  bool storable = true;
  const korva::Result<void> updated = UpdateIniFile(current.path(), [&](IniFile& ini) {
    storable = ini.SetString(s.process, Key(index), path);
    if (storable) ini.SetString(s.link, Key(index), linked ? "1" : "0");
  });
  if (!storable) {
    return Fail(
        StoreStatus::kWriteFailed, current.path(),
        "[" + std::string(s.process) + "] " + Key(index) + ": the path \"" + path + "\" cannot be stored");
  }
  if (!updated) return Fail(StoreStatus::kWriteFailed, updated.error());
  return {};
}

}  // namespace korva::profile
