#pragma once
// The headset's profile library: the index "hsProfile.ini" and one JSON file "<name>.json" per
// profile, both in the headset's data folder ("hs"), and the shipped default profile
// "hslightdefault.json" that every new profile starts from.
//
// Index sections (values are decimal text; a missing key reads as "0"):
//   PROFILECOUNT/count, PROFILENAME/<i> (name i, also the stem of its file),
//   PROFILELIKEDENGEXE/<i> ("0": the headset has no application link), PROFILESELECT/select.
//
// The library works on files only and never on controls: results carry the text id of the
// message the page shows (profile::StoreResult). Every write replaces its file atomically, and an
// operation that fails leaves the files as they were. Names read from the index or typed by the
// user become file names only after profile::ValidateProfileName.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "headset/HeadsetProfileFormat.h"
#include "headset/HeadsetVoiceSettings.h"
#include "lighting/LightingSettings.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"

namespace korva::headset {

inline constexpr std::string_view kHeadsetIndexFile = "hsProfile.ini";
inline constexpr std::string_view kHeadsetDefaultFile = "hslightdefault.json";
inline constexpr std::string_view kHeadsetProfileExtension = ".json";
inline constexpr std::string_view kHeadsetProfileStem = "profile";  // new profiles: "profile<n>"

inline constexpr std::string_view kHeadsetCountSection = "PROFILECOUNT";
inline constexpr std::string_view kHeadsetNameSection = "PROFILENAME";
inline constexpr std::string_view kHeadsetLinkSection = "PROFILELIKEDENGEXE";
inline constexpr std::string_view kHeadsetSelectSection = "PROFILESELECT";

struct HeadsetProfileResult {
  profile::StoreResult result;
  HeadsetProfile profile;  // only when result is ok
};

// "profile<n>" with the lowest n >= 1 that is not in `names` (ignoring case) and for which
// `taken` is false.
std::string NewHeadsetProfileName(const std::vector<std::string>& names,
                                  const std::function<bool(const std::string&)>& taken);

class HeadsetProfiles {
 public:
  // `defaultsFolder` holds the shipped "hslightdefault.json".
  HeadsetProfiles(profile::DataFolders folders, std::filesystem::path defaultsFolder);

  std::filesystem::path IndexPath() const;
  std::filesystem::path DefaultFilePath() const;
  // The file of the profile `name` (not checked).
  std::filesystem::path ProfilePath(std::string_view name) const;

  // Start-up: the list of names. With an empty index (the first start) the default file becomes
  // "profile1" (count 1, select 0); when it cannot be copied, "message_text_8" and no profile.
  profile::ListResult Initialise();
  std::vector<std::string> Names() const;
  // PROFILESELECT/select, or 0 when it is outside the list.
  int SelectedIndex() const;
  profile::StoreResult SetSelectedIndex(int index);

  // The content of profile `index`. A missing or unparsable file gives kFileMissing, a file that
  // is JSON but not a headset profile kFileInvalid; neither gives any value.
  HeadsetProfileResult Load(int index) const;
  // Rewrites the "VoiceInfo" (or "LightInfo") member of profile `index`'s file, keeping the rest
  // of the document. A missing or unreadable file is not recreated.
  profile::StoreResult SaveVoiceInfo(int index, const HeadsetVoiceSettings& settings);
  profile::StoreResult SaveLightInfo(int index, const lighting::LightingSettings& light);

  // A new profile "profile<n>" holding the default file, appended and selected.
  profile::IndexResult Add();
  // Renames profile `index`: the new file is written before the index names it, and the old file
  // is removed last. A name already listed, or whose file already exists, is "message_text_15".
  profile::StoreResult Rename(int index, std::string_view newName);
  // Removes profile `index` (never the last one): the index is written anew without it, the last
  // profile selected, then its file is deleted. The page asks ("message_text_12") before calling.
  profile::IndexResult Delete(int index);
  // Replaces profile `index`'s file with `source`, after checking that `source` reads as a headset
  // profile ("message_text_9" when it does not; nothing is replaced).
  profile::StoreResult Import(int index, const std::filesystem::path& source);
  // Copies profile `index`'s file to `target`, replacing it.
  profile::StoreResult Export(int index, const std::filesystem::path& target) const;

  // The shipped default profile.
  HeadsetProfileResult ReadDefault() const;

 private:
  std::filesystem::path FolderPath() const;
  // The file of profile `index` after checking the index lists it under a valid name.
  profile::StoreResult ProfileFile(int index, std::filesystem::path& path) const;
  HeadsetProfileResult ReadProfile(const std::filesystem::path& path) const;
  profile::StoreResult CopyInto(const std::filesystem::path& source,
                                const std::filesystem::path& target) const;
  template <typename Store, typename Record>
  profile::StoreResult SaveMember(int index, const Record& record, Store store);

  profile::DataFolders folders_;
  std::filesystem::path defaultsFolder_;
};

}  // namespace korva::headset
