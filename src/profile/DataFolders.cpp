#include "profile/DataFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "common/Result.h"

#ifndef KORVA_SOURCE_DATA_DIR
#define KORVA_SOURCE_DATA_DIR ""
#endif

namespace korva::profile {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// "a/b" and "a/b/" both become "a/b/": callers append bare file names.
std::filesystem::path WithTrailingSeparator(const std::filesystem::path& folder) {
  std::filesystem::path normal = folder.lexically_normal();
  if (!normal.has_filename()) return normal;
  return normal / "";
}

std::filesystem::path EnsureFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  // Not fatal here: the file operation that follows fails and reports in its own way.
  if (ec) korva::Trace(korva::Error::InFile(folder.string(), "cannot create it: " + ec.message()).ToString());
  return WithTrailingSeparator(folder);
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute;
}

}  // namespace

std::string_view DeviceFolderName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return "kb";
    case DeviceKind::kMouse:
      return "ms";
    case DeviceKind::kMousepad:
      return "mp";
    case DeviceKind::kHeadset:
      return "hs";
  }
  return "kb";
}

FolderEnvironment FolderEnvironment::FromProcess() {
  FolderEnvironment env;
  env.korvaHome = Env("KORVA_HOME");
  env.xdgConfigHome = Env("XDG_CONFIG_HOME");
  env.home = Env("HOME");
  if (env.home.empty()) {
    // getpwuid_r: this may run on several threads.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384u);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
      env.home = found->pw_dir;
    }
  }
  return env;
}

std::filesystem::path ResolveBaseFolder(const FolderEnvironment& env) {
  if (!env.korvaHome.empty()) return WithTrailingSeparator(Absolute(env.korvaHome));
  const std::filesystem::path xdg(env.xdgConfigHome);
  if (xdg.is_absolute()) return WithTrailingSeparator(xdg / "KORVA");
  // No home at all (a stripped service account): the current folder is the last resort.
  const std::filesystem::path home = env.home.empty() ? Absolute(".") : std::filesystem::path(env.home);
  return WithTrailingSeparator(home / ".config" / "KORVA");
}

struct DataFolders::Swept {
  std::mutex mutex;
  std::set<std::filesystem::path> folders;
};

DataFolders::DataFolders(std::filesystem::path baseFolder)
    : base_(std::move(baseFolder)), swept_(std::make_shared<Swept>()) {}

std::filesystem::path DataFolders::Open(const std::filesystem::path& folder) const {
  std::filesystem::path opened = EnsureFolder(folder);
  // Once per folder: every file operation asks for its folder, and leftovers appear only when a
  // process dies mid-write, so a sweep at the first request of this run is enough.
  if (!swept_) return opened;  // a moved-from object
  std::lock_guard lock(swept_->mutex);
  if (swept_->folders.insert(opened).second) {
    if (const std::size_t removed = korva::RemoveStaleTemporaries(opened); removed > 0) {
      korva::Trace("Removed " + std::to_string(removed) + " temporary files of interrupted writes from " +
                   opened.string());
    }
  }
  return opened;
}

DataFolders DataFolders::FromEnvironment() {
  return DataFolders(ResolveBaseFolder(FolderEnvironment::FromProcess()));
}

std::filesystem::path DataFolders::GetBaseFolder() const {
  return Open(base_);
}

std::filesystem::path DataFolders::GetDeviceFolder(DeviceKind kind) const {
  // Through GetBaseFolder so that the base folder is created first, then its sub-folder.
  return Open(GetBaseFolder() / DeviceFolderName(kind));
}

std::filesystem::path ResolveProgramFolder(const ProgramFolderSources& sources) {
  if (!sources.sourceDirFromEnvironment.empty()) {
    return WithTrailingSeparator(Absolute(sources.sourceDirFromEnvironment));
  }
  std::error_code ec;
  // An installed program uses its own share/korva/, even where the source tree it was built from
  // is still there (a package built and tried on the build machine).
  const std::filesystem::path installed = (sources.executable.parent_path().parent_path() / "share" / "korva");
  if (!sources.executable.empty() && std::filesystem::is_directory(installed / "data", ec)) {
    return WithTrailingSeparator(installed);
  }
  if (!sources.compiledSourceDir.empty() &&
      std::filesystem::is_directory(std::filesystem::path(sources.compiledSourceDir) / "data", ec)) {
    return WithTrailingSeparator(sources.compiledSourceDir);
  }
  // Installed: <prefix>/bin/korva with its data in <prefix>/share/korva/.
  return WithTrailingSeparator(installed);
}

std::filesystem::path ProgramFolder() {
  ProgramFolderSources sources;
  sources.sourceDirFromEnvironment = Env("KORVA_SOURCE_DIR");
  sources.compiledSourceDir = KORVA_SOURCE_DATA_DIR;
  std::error_code ec;
  sources.executable = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ResolveProgramFolder(sources);
}

std::filesystem::path DefaultFilesFolder(const std::filesystem::path& programFolder) {
  return WithTrailingSeparator(programFolder / "data");
}

}  // namespace korva::profile
