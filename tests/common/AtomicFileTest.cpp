#include "common/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace korva {
namespace {

// A fresh folder under the system's temporary folder, removed with everything in it.
class AtomicFileTest : public ::testing::Test {
 protected:
  AtomicFileTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korva-common-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  }
  ~AtomicFileTest() override {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec)) ::chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(folder_, ec);
  }

  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  static unsigned Mode(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  // Names of the temporaries left in `folder`.
  static std::vector<std::string> Temporaries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(kTemporaryPrefix, 0) == 0) names.push_back(name);
    }
    return names;
  }
  // Dates the entry (not what a link points to) an hour back.
  static void MakeOld(const std::filesystem::path& path) {
    timespec times[2]{};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
  }

  std::filesystem::path folder_;
};

// The target is a link to a file elsewhere (a profile folder kept in a synchronised folder):
// the file it names gets the new content, the link stays a link, and the temporary goes beside
// the real file, so a link in a folder we cannot write to still works.
TEST_F(AtomicFileTest, WritesThroughSymbolicLinksAndKeepsThem) {
  const std::filesystem::path real = folder_ / "real";
  const std::filesystem::path links = folder_ / "links";
  std::filesystem::create_directories(real);
  std::filesystem::create_directories(links);
  const struct {
    const char* name;
    std::vector<std::filesystem::path> chain;  // link -> ... -> the last entry, which is the file
    bool fileExists;
  } rows[] = {
      {"relative link", {links / "a.ini", "../real/a.ini"}, true},
      {"absolute link", {links / "b.ini", real / "b.ini"}, true},
      {"chain of two links", {links / "c.ini", links / "c2.ini", real / "c.ini"}, true},
      {"link to a file not yet there", {links / "d.ini", real / "d.ini"}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::filesystem::path& link = row.chain.front();
    std::filesystem::path file = row.chain.back();
    if (file.is_relative()) file = link.parent_path() / file;
    if (row.fileExists) Write(file, "old");
    for (std::size_t i = 0; i + 1 < row.chain.size(); ++i)
      std::filesystem::create_symlink(row.chain[i + 1], row.chain[i]);

    const Result<void> written = WriteFileAtomically(link, std::string_view("new"));
    ASSERT_TRUE(written) << written.error().ToString();
    for (std::size_t i = 0; i + 1 < row.chain.size(); ++i) {
      EXPECT_TRUE(std::filesystem::is_symlink(row.chain[i]));
      EXPECT_EQ(std::filesystem::read_symlink(row.chain[i]), row.chain[i + 1]);
    }
    EXPECT_EQ(Read(file), "new");
  }
  EXPECT_TRUE(Temporaries(real).empty());
  EXPECT_TRUE(Temporaries(links).empty());

  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    std::filesystem::create_symlink(real / "e.ini", links / "e.ini");
    ASSERT_EQ(::chmod(links.c_str(), 0555), 0);
    const Result<void> written = WriteFileAtomically(links / "e.ini", std::string_view("through"));
    EXPECT_TRUE(written) << written.error().ToString();
    EXPECT_EQ(Read(real / "e.ini"), "through");
  }
}

TEST_F(AtomicFileTest, ALinkLoopIsAnErrorThatNamesTheFile) {
  std::filesystem::create_symlink(folder_ / "y", folder_ / "x");
  std::filesystem::create_symlink(folder_ / "x", folder_ / "y");
  const Result<void> written = WriteFileAtomically(folder_ / "x", std::string_view("data"));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().file, (folder_ / "x").string());
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "x"));
  EXPECT_TRUE(Temporaries(folder_).empty());
}

TEST_F(AtomicFileTest, TheReplacedFileKeepsItsPermissions) {
  for (const unsigned mode : {0600u, 0640u, 0664u, 0755u, 0444u}) {
    SCOPED_TRACE(mode);
    const std::filesystem::path file = folder_ / ("m" + std::to_string(mode));
    Write(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(file, std::string_view("new")));
    EXPECT_EQ(Read(file), "new");
    EXPECT_EQ(Mode(file), mode);
  }
  // Through a link: the file's bits, not the link's.
  Write(folder_ / "private", "old");
  ASSERT_EQ(::chmod((folder_ / "private").c_str(), 0600), 0);
  std::filesystem::create_symlink("private", folder_ / "link");
  ASSERT_TRUE(WriteFileAtomically(folder_ / "link", std::string_view("new")));
  EXPECT_EQ(Mode(folder_ / "private"), 0600u);
}

TEST_F(AtomicFileTest, ANewFileGetsTheBitsTheUmaskAllows) {
  for (const auto& [umask, mode] : {std::pair{022u, 0644u}, std::pair{077u, 0600u}, std::pair{002u, 0664u}}) {
    SCOPED_TRACE(umask);
    const mode_t old = ::umask(umask);
    const std::filesystem::path file = folder_ / ("u" + std::to_string(umask));
    const Result<void> written = WriteFileAtomically(file, std::string_view("new"));
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(Mode(file), mode);
  }
}

// An export may carry the longest name the folder allows; the temporary must still fit.
TEST_F(AtomicFileTest, TheLongestFileNameIsWritten) {
  const long nameMax = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
  ASSERT_GT(nameMax, 20);
  const std::filesystem::path file =
      folder_ / (std::string(static_cast<std::size_t>(nameMax) - 4, 'n') + ".led");
  const Result<void> written = WriteFileAtomically(file, std::string_view("data"));
  ASSERT_TRUE(written) << written.error().ToString();
  EXPECT_EQ(Read(file), "data");
  EXPECT_TRUE(Temporaries(folder_).empty());
}

TEST_F(AtomicFileTest, TemporaryNamesAreShortAndOurOwn) {
  const struct {
    const char* name;
    bool ours;
  } rows[] = {
      {".korva-Ab3dE9", true},   {".korva-000000", true},          {".korva-abc", false},
      {".korva-abcdefg", false}, {"korva-abcdef", false},          {".korva-ab-def", false},
      {".korva-abcde.", false},  {".msProfile.ini.Ab3dE9", false}, {"x.korva-abcdef", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsTemporaryName(row.name), row.ours);
  }
}

// What interrupted writes leave is removed; whatever else the folder holds is not.
TEST_F(AtomicFileTest, TheSweepRemovesOnlyStaleUnlockedTemporariesOfOurOwn) {
  enum Entry { kFile, kFolder, kLink };
  const struct {
    const char* name;
    const char* file;
    Entry type;
    bool old;
    bool locked;
    bool removed;
  } rows[] = {
      {"stale leftover", ".korva-Stale1", kFile, true, false, true},
      {"another stale leftover", ".korva-Stale2", kFile, true, false, true},
      {"just created, not yet locked", ".korva-Fresh1", kFile, false, false, false},
      {"held by a live writer", ".korva-Live01", kFile, true, true, false},
      {"the file being written", "msProfile.ini", kFile, true, false, false},
      {"another program's temporary", ".msProfile.ini.Ab3dE9", kFile, true, false, false},
      {"a name close to ours", ".korva-abc", kFile, true, false, false},
      {"a folder of our pattern", ".korva-Folder", kFolder, true, false, false},
      {"a link of our pattern", ".korva-Link01", kLink, true, false, false},
  };
  std::vector<int> locks;
  for (const auto& row : rows) {
    const std::filesystem::path path = folder_ / row.file;
    if (row.type == kFolder) {
      std::filesystem::create_directory(path);
    } else if (row.type == kLink) {
      Write(folder_ / "msProfile.ini", "kept");
      std::filesystem::create_symlink("msProfile.ini", path);
    } else {
      Write(path, "partial");
    }
    if (row.locked) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      ASSERT_GE(fd, 0);
      ASSERT_EQ(::flock(fd, LOCK_EX), 0);
      locks.push_back(fd);
    }
    if (row.old) MakeOld(path);
  }

  const std::size_t removed = RemoveStaleTemporaries(folder_);
  for (const int fd : locks) ::close(fd);

  std::size_t expected = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(folder_ / row.file)), !row.removed);
    expected += row.removed ? 1 : 0;
  }
  EXPECT_EQ(removed, expected);
  EXPECT_EQ(Read(folder_ / "msProfile.ini"), "kept");
}

// Two processes share a data folder (the program and a command line started beside it): the
// sweep of one never takes the temporary another is still writing.
TEST_F(AtomicFileTest, TheSweepLeavesATemporaryLockedByAnotherProcess) {
  const std::filesystem::path temp = folder_ / ".korva-Other1";
  Write(temp, "partial");
  MakeOld(temp);
  int locked[2];
  int release[2];
  ASSERT_EQ(::pipe(locked), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(locked[0]);
    ::close(release[1]);
    const int fd = ::open(temp.c_str(), O_RDONLY);
    const char ok = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? 'y' : 'n';
    if (::write(locked[1], &ok, 1) != 1) ::_exit(2);
    char byte = 0;
    (void)!::read(release[0], &byte, 1);  // until the parent closes its end
    ::_exit(0);
  }
  ::close(locked[1]);
  ::close(release[0]);
  // Ends the writer on every way out of this test, a failed assertion included.
  struct Writer {
    pid_t pid;
    int release;
    int locked;
    void End() {
      if (pid < 0) return;
      ::close(release);
      ::waitpid(pid, nullptr, 0);
      ::close(locked);
      pid = -1;
    }
    ~Writer() { End(); }
  } writer{child, release[1], locked[0]};

  char ok = 0;
  ASSERT_EQ(::read(locked[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  EXPECT_EQ(RemoveStaleTemporaries(folder_), 0u);
  EXPECT_TRUE(std::filesystem::exists(temp));

  writer.End();  // the writer dies; its lock goes with it
  EXPECT_EQ(RemoveStaleTemporaries(folder_), 1u);
  EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST_F(AtomicFileTest, AFailedWriteNamesTheFileAndLeavesNoTemporary) {
  const std::filesystem::path file = folder_ / "missing-folder" / "a.ini";
  const Result<void> written = WriteFileAtomically(file, std::string_view("data"));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().file, file.string());
  EXPECT_NE(written.error().ToString().find("In file " + file.string()), std::string::npos);
  EXPECT_TRUE(Temporaries(folder_).empty());
}

}  // namespace
}  // namespace korva
