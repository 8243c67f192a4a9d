#pragma once
// A headset data folder and a defaults folder under a fresh temporary folder, with a small
// default profile of the test's own, so a copy shows where it came from.

#include <filesystem>
#include <map>
#include <string>

#include "headset/HeadsetProfiles.h"
#include "profile/IniFile.h"
#include "tests/profile/TempFolder.h"

namespace korva::headset::testing {

using profile::testing::ReadText;
using profile::testing::WriteText;

inline constexpr const char* kTestDefault =
    R"({"LightInfo":{"SelectItem":3,"Light":10,"Red":200},)"
    R"("VoiceInfo":{"master":70,"left":60,"right":50,"micvol":40,"eqselect":1,"distance":2,)"
    R"("disvalue":[{"value":1},{"value":2},{"value":30}],"Anvalue":[{"value":4},{"value":5},{"value":60}],)"
    R"("eqinfo":[{},{"3d":1,"soundfield":1,"soundmode":2,"125hz":9}]}})";

class HeadsetFolder {
 public:
  HeadsetFolder() {
    std::filesystem::create_directories(defaults_);
    WriteText(defaults_ / kHeadsetDefaultFile, kTestDefault);
  }

  HeadsetProfiles& profiles() { return profiles_; }
  std::filesystem::path home() const { return temp_.path() / "home"; }
  std::filesystem::path hs() const { return home() / "hs"; }
  std::filesystem::path defaults() const { return defaults_; }
  std::filesystem::path File(const std::string& name) const { return hs() / (name + ".json"); }
  std::filesystem::path Index() const { return hs() / kHeadsetIndexFile; }
  std::string IndexValue(std::string_view section, std::string_view key) const {
    return profile::ReadIniString(Index(), section, key, "<none>");
  }

  // An index listing `names` (select `select`), and a file with `content` for each name.
  void Write(const std::vector<std::string>& names, int select, const std::string& content = kTestDefault) {
    std::string index = "[PROFILECOUNT]\ncount=" + std::to_string(names.size()) + "\n[PROFILENAME]\n";
    for (std::size_t i = 0; i < names.size(); ++i) index += std::to_string(i) + "=" + names[i] + "\n";
    index += "[PROFILESELECT]\nselect=" + std::to_string(select) + "\n";
    std::filesystem::create_directories(hs());
    WriteText(Index(), index);
    for (const std::string& name : names) WriteText(File(name), content);
  }

  // Every file of the headset folder with its content, to show that an operation changed nothing.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(hs())) {
      files[entry.path().filename().string()] = ReadText(entry.path());
    }
    return files;
  }

 private:
  profile::testing::TempFolder temp_;
  std::filesystem::path defaults_ = temp_.path() / "defaults";
  HeadsetProfiles profiles_{profile::DataFolders(home()), defaults_};
};

}  // namespace korva::headset::testing
