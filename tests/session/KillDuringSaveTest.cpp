// A save loop (korva_save_loop) killed with SIGKILL at random moments, again and again on the same
// data folders: whatever the moment, every file left parses, every listed profile has its file, and
// the temporaries of interrupted writes are gone once the folders are opened again.

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/AtomicFile.h"
#include "headset/HeadsetJsonFile.h"
#include "headset/HeadsetProfileFormat.h"
#include "headset/HeadsetProfiles.h"
#include "macro/MacroFiles.h"
#include "mouse/CursorMacros.h"
#include "profile/DataFolders.h"
#include "profile/IniFile.h"
#include "profile/ProfileFile.h"
#include "profile/ProfileStore.h"
#include "tests/app/ChildProcess.h"
#include "tests/profile/TempFolder.h"

namespace korva::session {
namespace {

using app::test::ChildProcess;
using profile::StoreKind;

constexpr int kKills = 40;
constexpr std::uint32_t kSeed = 20261211;
// The longest run of the loop before a kill; most saves take well under a millisecond.
constexpr int kMaxRunMs = 40;
constexpr int kReadyTimeoutMs = 10000;

constexpr StoreKind kStores[] = {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey, StoreKind::kMouseLight,
                                 StoreKind::kMouseKey, StoreKind::kMousepadLight};
constexpr DeviceKind kFolderKinds[] = {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad,
                                       DeviceKind::kHeadset};

std::filesystem::path SourceFolder() {
  const char* dir = std::getenv("KORVA_SOURCE_DIR");
  return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

std::string ReadText(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = profile::testing::ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

// Why the file at `path` in the folder of `kind` does not read as what its name says; "" when it does.
std::string ParseProblem(DeviceKind kind, const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  if (extension == ".ini") {
    const profile::IniFile ini = profile::IniFile::Load(path);
    return ini.corrupt() ? ini.problem() : "";
  }
  if (extension == ".led" || extension == ".pro") {
    for (StoreKind store : kStores) {
      const profile::StoreLayout& layout = profile::LayoutOf(store);
      if (layout.device != kind || layout.extension != extension) continue;
      const profile::ProfileFileRead read = profile::ReadProfileFile(path, layout.tag, layout.payloadSize);
      return read.ok() ? "" : read.error.ToString();
    }
    return "a profile file in the wrong folder";
  }
  if (extension == ".mac") {
    const auto lines = macro::ParseMacroLines(ReadText(path), path.string(), true);
    return lines ? "" : lines.error().ToString();
  }
  if (extension == ".cur") {
    const auto checked = mouse::CheckCursorFile(ReadText(path), path.string());
    return checked ? "" : checked.error().ToString();
  }
  if (extension == ".json") {
    const auto document = headset::ReadJsonFile(path);
    if (!document) return document.error().ToString();
    const auto parsed = headset::ParseHeadsetProfile(document.value());
    return parsed ? "" : parsed.error().ToString();
  }
  return "a file the loop never writes";
}

// Sets the file's times back by an hour, as if the program had started again much later.
void Age(const std::filesystem::path& path) {
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
  timespec times[2] = {st.st_atim, st.st_mtim};
  times[0].tv_sec -= 3600;
  times[1].tv_sec -= 3600;
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class KillDuringSaveTest : public testing::Test {
 protected:
  std::filesystem::path Folder(DeviceKind kind) const {
    return home.path() / profile::DeviceFolderName(kind);
  }
  std::filesystem::path Defaults() const { return profile::DefaultFilesFolder(SourceFolder()); }

  // Every file of the data folders parses; returns the temporaries found beside them.
  std::vector<std::filesystem::path> CheckFilesParse() {
    std::vector<std::filesystem::path> temporaries;
    for (DeviceKind kind : kFolderKinds) {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(Folder(kind), ec)) {
        if (IsTemporaryName(entry.path().filename().string())) {
          temporaries.push_back(entry.path());
          continue;
        }
        EXPECT_EQ(ParseProblem(kind, entry.path()), "") << entry.path();
      }
    }
    return temporaries;
  }

  // Every profile, macro and cursor pattern a list names has a file that loads.
  void CheckListsComplete() {
    const profile::DataFolders folders(home.path());
    for (StoreKind kind : kStores) {
      const profile::ProfileStore store(kind, folders, Defaults());
      const std::vector<std::string> names = store.Names();
      for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const profile::PayloadResult loaded = store.LoadProfile(i);
        EXPECT_TRUE(loaded.result) << store.IndexPath() << " lists \"" << names[static_cast<std::size_t>(i)]
                                   << "\": " << loaded.result.error.ToString();
      }
    }
    for (DeviceKind device : {DeviceKind::kKeyboard, DeviceKind::kMouse}) {
      const macro::MacroLibrary library{Folder(device), device};
      const auto names = macro::LoadMacroIndex(library);
      ASSERT_TRUE(names) << names.error().ToString();
      // A macro added and not yet saved has no file; a file it has must load.
      for (const std::string& name : names.value()) {
        const auto steps = macro::LoadMacro(library, name);
        EXPECT_TRUE(steps) << name << ": " << steps.error().ToString();
      }
    }
    const mouse::CursorMacros cursors(Folder(DeviceKind::kMouse), Defaults());
    const auto patterns = cursors.Names();
    ASSERT_TRUE(patterns) << patterns.error().ToString();
    for (int gun = 0; gun < static_cast<int>(patterns.value().size()); ++gun) {
      const auto file = cursors.GunFile(gun);
      ASSERT_TRUE(file) << file.error().ToString();
      EXPECT_TRUE(std::filesystem::is_regular_file(file.value())) << file.value() << " is listed and missing";
    }
    const headset::HeadsetProfiles headset(folders, Defaults());
    const std::vector<std::string> names = headset.Names();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
      const headset::HeadsetProfileResult loaded = headset.Load(i);
      EXPECT_TRUE(loaded.result) << "headset profile \"" << names[static_cast<std::size_t>(i)]
                                 << "\": " << loaded.result.error.ToString();
    }
  }

  // The folders opened again (a new start) remove the temporaries an interrupted write left.
  void CheckTemporariesSwept(const std::vector<std::filesystem::path>& temporaries) {
    for (const std::filesystem::path& temporary : temporaries) Age(temporary);
    const profile::DataFolders reopened(home.path());
    for (DeviceKind kind : kFolderKinds) reopened.GetDeviceFolder(kind);
    for (const std::filesystem::path& temporary : temporaries)
      EXPECT_FALSE(std::filesystem::exists(temporary)) << temporary << " is left after a new start";
  }

  profile::testing::TempFolder home;
};

TEST_F(KillDuringSaveTest, EveryKillLeavesReadableCompleteFolders) {
  std::mt19937 random(kSeed);
  int temporariesLeft = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill) + " of the run with seed " + std::to_string(kSeed));
    ChildProcess loop;
    ASSERT_TRUE(loop.Start(KORVA_SAVE_LOOP_EXE,
                           {home.path().string(), Defaults().string(), std::to_string(random())}));
    std::string line;
    ASSERT_TRUE(loop.ReadLine(line, kReadyTimeoutMs)) << loop.Err();
    ASSERT_EQ(line, "ready");
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(0, kMaxRunMs)(random)));
    loop.Kill();

    const std::vector<std::filesystem::path> temporaries = CheckFilesParse();
    CheckListsComplete();
    CheckTemporariesSwept(temporaries);
    temporariesLeft += static_cast<int>(temporaries.size());
    if (HasFailure()) return;
  }
  RecordProperty("temporaries_left_by_kills", temporariesLeft);
}

}  // namespace
}  // namespace korva::session
