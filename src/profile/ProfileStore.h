#pragma once
// A profile library ("store"): an index in the device's INI file plus one binary profile file
// per profile in the device's data folder. Five stores exist: keyboard light (".led") and key
// (".pro") profiles in "kbProfile.ini", mouse light and key profiles in "msProfile.ini", mousepad
// light profiles in "mpProfile.ini".
//
// Index sections and keys (values are decimal text; a missing key reads as "0"):
//   light store: PROFILEDENGCOUNT/count, PROFILEDENGNAME/<i>, PROFILELIKEDENGEXE/<i> (link flag
//                "1"/"0"), DENGPROCESS/<i> (linked executable), PROFILEDENGSELECT/select
//   key store:   PROFILECOUNT/count, PROFILENAME/<i>, PROFILELIKEEXE/<i>, PROCESS/<i>,
//                PROFILESELECT/select
// Entry i of the list is name i; the name is also the stem of the profile's file name.
//
// The store works on payload bytes only (the device images fill and apply them) and never on
// controls: where the page fills a combo box or shows a message, the store returns the names or
// a result carrying the text id to show. Files are read at the moment of each operation; nothing
// is cached. All operations of one store are serialised, so the page (UI thread), the device
// watcher and the application-link watcher may share one store object.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "profile/DataFolders.h"
#include "profile/ProfileFile.h"

namespace korva::profile {

enum class StoreKind { kKeyboardLight, kKeyboardKey, kMouseLight, kMouseKey, kMousepadLight };

// Payload sizes of the stores' profile files.
inline constexpr std::size_t kKeyboardLightPayloadSize =
    1958;  // record slot 0, set number + paint colour, custom colour sets
inline constexpr std::size_t kKeyBankPayloadSize = 512;       // a key bank: 3-byte key functions
inline constexpr std::size_t kMouseLightPayloadSize = 64;     // MouseProfileRecord
inline constexpr std::size_t kMousepadLightPayloadSize = 64;  // MousepadProfileRecord

struct IndexSections {
  std::string_view count;    // key "count"
  std::string_view name;     // keys "0" .. count-1
  std::string_view link;     // keys "0" .. count-1: "1" linked, "0" not
  std::string_view process;  // keys "0" .. count-1: full path of the linked executable
  std::string_view select;   // key "select"
};

struct StoreLayout {
  StoreKind kind;
  DeviceKind device;
  DeviceTag tag;
  std::string_view indexFile;  // "kbProfile.ini", ...
  std::string_view extension;  // ".led" or ".pro"
  std::size_t payloadSize;
  IndexSections sections;
  std::string_view defaultFile;  // in the program's data folder: "kbdengdefault.led", ...
};

const StoreLayout& LayoutOf(StoreKind kind);

// Key names inside the sections.
inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kSelectKey = "select";

// Text ids of the messages the page shows for the results below.
inline constexpr std::string_view kTextLastProfile = "message_text_11";  // the last profile cannot be deleted
inline constexpr std::string_view kTextNameEmpty = "message_text_14";
inline constexpr std::string_view kTextNameTaken = "message_text_15";
// A name the file-name rules refuse (a path separator, "..", a control character, too long...).
// The language files need an entry for it; the page may append StoreResult::error.
inline constexpr std::string_view kTextNameRefused = "message_text_name_refused";
// The list holds kMaxProfileCount profiles and takes no more; the text's "%d" is that number.
inline constexpr std::string_view kTextProfileLimit = "message_text_profile_limit";

// The most profiles one store lists. An index claiming more is damaged: its first
// kMaxProfileCount entries are listed, and nothing is added.
inline constexpr int kMaxProfileCount = 1000;

enum class StoreStatus {
  kOk,
  kFileMissing,    // profile or default file missing or unreadable      -> "message_text_8"
  kFileInvalid,    // wrong magic or device tag, cut before the tag       -> "message_text_9"
  kNoSuchProfile,  // index outside the list, or no name stored for it    -> "message_text_8"
  kNameEmpty,      // -> "message_text_14"
  kNameTaken,      // -> "message_text_15"
  kNameRefused,    // -> "message_text_name_refused"
  kLastProfile,    // -> "message_text_11"
  kProfileLimit,   // the list is full -> "message_text_profile_limit" (with kMaxProfileCount)
  kWriteFailed,    // a file could not be written; nothing was reported as done
};

struct StoreResult {
  StoreStatus status = StoreStatus::kOk;
  korva::Error error;  // what failed and where (for the trace, or appended to the message)

  bool ok() const { return status == StoreStatus::kOk; }
  explicit operator bool() const { return ok(); }
  // The message to show, "" when there is none (success, or a write failure, which the page
  // reports as it sees fit).
  std::string_view TextId() const;
};

struct PayloadResult {
  StoreResult result;
  std::vector<std::uint8_t> payload;  // exactly the store's payload size when ok
};

struct ListResult {
  StoreResult result;
  std::vector<std::string> names;  // the combo's items, in index order
};

// Result of an operation that leaves a profile to be selected (add, copy, delete).
struct IndexResult {
  StoreResult result;
  int index = -1;    // the profile the page selects next (its "itemselect" runs SelectProfile)
  std::string name;  // its name
};

struct ProfileLink {
  bool linked = false;
  std::string executable;  // full path; empty when none is stored
};

// The selected profile of `store` as SelectedIndex gives it, for code that has the folders but no
// store object (the device watchers, at an arrival).
int ReadSelectedIndex(const DataFolders& folders, StoreKind store);

class ProfileStore {
 public:
  // `defaultsFolder` holds the shipped default files (DefaultFilesFolder(ProgramFolder())).
  ProfileStore(StoreKind kind, DataFolders folders, std::filesystem::path defaultsFolder);
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  const StoreLayout& layout() const { return layout_; }
  // The index file in the device's data folder (the folder is created when missing).
  std::filesystem::path IndexPath() const;
  // The default file in the device's data folder when there is one there, else the shipped one.
  std::filesystem::path DefaultFilePath() const;

  // The list as the combo shows it: names 0 .. count-1; an entry without a stored name shows
  // "0", as the index reads it.
  std::vector<std::string> Names() const;
  int Count() const;
  // The selected profile: `select` of the index, or 0 when it lies outside 0 .. count-1. This
  // is the index the page's combo shows as well as the profile saves go to.
  int SelectedIndex() const;

  // Page creation. When the index's count is 0 (first run), the default file is copied to a
  // profile "新配置文件1" and the index written (count 1, name, link flag "0", select 0); a
  // failure leaves the index untouched (the next start tries again) and carries the message.
  // A profile file of that name that is already valid is kept rather than overwritten. A
  // negative count lists nothing and is not a first run: no stored name is rewritten.
  ListResult Initialise();

  // The payload of profile i.
  PayloadResult LoadProfile(int index) const;
  // Writes `payload` into the file of the selected profile.
  StoreResult SaveProfile(std::span<const std::uint8_t> payload);
  // "itemselect" on the combo: select := i, then the payload of profile i for the page to apply.
  PayloadResult SelectProfile(int index);
  // select := i without loading (the application-link watcher restores the hand-chosen index).
  StoreResult SetSelectedIndex(int index);
  // The application link shows profile i while `select` keeps the hand-chosen one: the payload of
  // profile i for the page to apply. Until the next SelectProfile, saves go into profile i -- the
  // profile whose values the device holds -- rather than overwriting the hand-chosen profile with
  // them. Showing the hand-chosen profile again ends that.
  PayloadResult ShowLinkedProfile(int index);
  // The profile SaveProfile writes into: the linked profile shown, else the selected one.
  int SavedIndex() const;

  // A new profile "新配置文件<n>" (lowest free n) holding the default payload, appended to the list.
  // Refused (kProfileLimit) when the list holds kMaxProfileCount profiles.
  IndexResult AddProfile();
  // Removes profile i (never the last one); the entries after it move down with their links.
  // The page asks for confirmation ("message_text_12") before calling. The result names the
  // new last entry, which the page selects.
  IndexResult DeleteProfile(int index);
  // A copy of profile i named "<name> copy", appended to the list; refused like AddProfile when
  // the list is full.
  IndexResult CopyProfile(int index);
  // Renames profile i, moving its file.
  StoreResult RenameProfile(int index, std::string_view newName);
  // Replaces the content of profile i with the payload of a profile file chosen by the user.
  StoreResult ImportProfile(int index, const std::filesystem::path& source);
  // Writes the payload of profile i to a file chosen by the user.
  StoreResult ExportProfile(int index, const std::filesystem::path& target) const;
  // The store's shipped default payload (for "restore default"; the page applies it and saves).
  PayloadResult ReadDefaultPayload() const;

  // Application link of profile i (maintained by the application-link feature).
  ProfileLink ReadLink(int index) const;
  // The links of profiles 0 .. count-1 in one read of the index (the watchers poll them).
  std::vector<ProfileLink> Links() const;
  StoreResult WriteLink(int index, const ProfileLink& link);

 private:
  class Index;
  friend int ReadSelectedIndex(const DataFolders& folders, StoreKind store);

  std::filesystem::path FolderPath() const;
  std::filesystem::path ProfilePath(std::string_view name) const;
  PayloadResult ReadFile(const std::filesystem::path& path) const;
  StoreResult WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> payload) const;
  PayloadResult LoadLocked(const Index& index, int i) const;
  StoreResult SelectLocked(int index);
  IndexResult AppendLocked(const Index& current, const std::string& name,
                           std::span<const std::uint8_t> payload);

  const StoreLayout& layout_;
  DataFolders folders_;
  std::filesystem::path defaultsFolder_;
  mutable std::mutex mutex_;
  int linkedShown_ = -1;  // ShowLinkedProfile's profile, -1: none
};

}  // namespace korva::profile
