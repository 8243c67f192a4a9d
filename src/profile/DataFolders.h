#pragma once
// Where KORVA keeps its files.
//
// The data folders hold everything the program writes: the base folder (skin choice in
// "main.ini") and one sub-folder per device kind, "kb", "ms", "mp", "hs" (profile indexes,
// profiles, macros). The base folder is $KORVA_HOME when set, else $XDG_CONFIG_HOME/KORVA/, else
// ~/.config/KORVA/. Every request creates what is missing (with parents), so a folder deleted
// while the program runs is there again at the next file operation of its device; every path
// returned ends with a separator, so callers append a bare file name. The first time a folder is
// handed out, the temporaries that interrupted writes left in it are removed (see
// korva::RemoveStaleTemporaries: only our own, only when no writer holds them).
//
// The program folder holds what ships with the program (skin/ and data/) and is only read.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "common/DeviceKind.h"

namespace korva::profile {

using korva::DeviceKind;

// "kb", "ms", "mp", "hs".
std::string_view DeviceFolderName(DeviceKind kind);

// The environment variables the base folder is chosen from (empty = unset).
struct FolderEnvironment {
  std::string korvaHome;      // $KORVA_HOME
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME
  std::string home;           // $HOME, or the password database's home folder

  static FolderEnvironment FromProcess();
};

// The base folder for `env`, without touching the disk. A relative $XDG_CONFIG_HOME is ignored,
// as the XDG base directory rules require.
std::filesystem::path ResolveBaseFolder(const FolderEnvironment& env);

class DataFolders {
 public:
  // `baseFolder` is the KORVA folder itself (for example ~/.config/KORVA). Copies share the
  // record of the folders already cleaned of stale temporaries.
  explicit DataFolders(std::filesystem::path baseFolder);
  static DataFolders FromEnvironment();

  // The base folder, created when missing, ending with a separator.
  std::filesystem::path GetBaseFolder() const;
  // The device's data folder inside the base folder, created (with the base folder) when
  // missing, ending with a separator.
  std::filesystem::path GetDeviceFolder(DeviceKind kind) const;

 private:
  struct Swept;
  // Creates `folder` when missing and, the first time, removes its stale temporaries.
  std::filesystem::path Open(const std::filesystem::path& folder) const;

  std::filesystem::path base_;
  std::shared_ptr<Swept> swept_;
};

// The program folder candidates, in the order they are tried.
struct ProgramFolderSources {
  std::string sourceDirFromEnvironment;  // $KORVA_SOURCE_DIR: used whenever set
  std::string compiledSourceDir;         // the source tree this binary was built from: used when it has data/
  std::filesystem::path executable;      // the running program: <its folder>/../share/korva/
};

// The program folder (holding skin/ and data/), ending with a separator.
std::filesystem::path ResolveProgramFolder(const ProgramFolderSources& sources);
// ResolveProgramFolder for this process.
std::filesystem::path ProgramFolder();
// The folder of the shipped default files: ProgramFolder() + "data/".
std::filesystem::path DefaultFilesFolder(const std::filesystem::path& programFolder);

}  // namespace korva::profile
