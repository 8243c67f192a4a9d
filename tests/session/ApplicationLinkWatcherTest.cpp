#include "session/ApplicationLinkWatcher.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "profile/IniFile.h"
#include "tests/profile/TempFolder.h"

namespace korva::session {
namespace {

using profile::StoreKind;

// The foreground application as the test sets it, from any thread.
class Foreground {
 public:
  void Set(std::string path) {
    std::lock_guard lock(mutex_);
    path_ = std::move(path);
  }
  std::string Get() {
    std::lock_guard lock(mutex_);
    return path_;
  }

 private:
  std::mutex mutex_;
  std::string path_;
};

// What the watcher handed to the UI thread.
class Handed {
 public:
  void Add(int index) {
    std::lock_guard lock(mutex_);
    indexes_.push_back(index);
    changed_.notify_all();
  }
  // Waits (bounded) until `count` hand-overs arrived.
  std::vector<int> WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return indexes_.size() >= count; });
    return indexes_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> indexes_;
};

class ApplicationLinkWatcherTest : public ::testing::Test {
 protected:
  ApplicationLinkWatcherTest() {
    store_ = std::make_unique<profile::ProfileStore>(StoreKind::kMouseKey, profile::DataFolders(temp_.path()),
                                                     temp_.path() / "defaults");
    profile::testing::WriteText(store_->IndexPath(),
                                "[PROFILECOUNT]\ncount=3\n[PROFILENAME]\n0=a\n1=b\n2=c\n"
                                "[PROFILELIKEEXE]\n0=0\n1=1\n2=1\n[PROCESS]\n0= \n1=/usr/games/racer\n"
                                "2=/usr/bin/editor\n[PROFILESELECT]\nselect=0\n");
  }

  std::unique_ptr<ApplicationLinkWatcher> Watcher(std::chrono::milliseconds poll = kLinkPollInterval) {
    return std::make_unique<ApplicationLinkWatcher>(
        *store_, [this] { return foreground_.Get(); }, [this](int index) { handed_.Add(index); }, poll);
  }

  profile::testing::TempFolder temp_;
  std::unique_ptr<profile::ProfileStore> store_;
  Foreground foreground_;
  Handed handed_;
};

TEST_F(ApplicationLinkWatcherTest, EachPollChoosesTheLinkedOrTheHandChosenProfile) {
  auto watcher = Watcher();
  const struct {
    const char* name;
    const char* foreground;
    int shownBefore;
    int wanted;
    bool handedOver;
  } rows[] = {
      {"linked application in front", "/usr/games/racer", 0, 1, true},
      {"it stays in front: nothing to do", "/usr/games/racer", 1, 1, false},
      {"another linked application", "/usr/bin/editor", 1, 2, true},
      {"an application linked nowhere: the hand-chosen profile", "/usr/bin/xterm", 2, 0, true},
      {"no foreground application (unreadable process)", "", 1, 0, true},
      {"hand-chosen profile on screen already", "", 0, 0, false},
  };
  std::size_t expectedHandOvers = 0;
  for (const auto& row : rows) {
    foreground_.Set(row.foreground);
    watcher->Shown(row.shownBefore);
    EXPECT_EQ(watcher->Poll(), row.wanted) << row.name;
    if (row.handedOver) ++expectedHandOvers;
    const std::vector<int> handed = handed_.WaitFor(expectedHandOvers);
    ASSERT_EQ(handed.size(), expectedHandOvers) << row.name;
    if (row.handedOver) {
      EXPECT_EQ(handed.back(), row.wanted) << row.name;
    }
  }
  // The watcher never writes select: it keeps the profile chosen by hand.
  EXPECT_EQ(profile::ReadIniInt(store_->IndexPath(), "PROFILESELECT", "select", -1), 0);

  // A new hand choice is what an unlinked foreground brings back.
  ASSERT_TRUE(store_->SetSelectedIndex(2));
  watcher->Shown(1);
  EXPECT_EQ(watcher->Poll(), 2);
}

TEST_F(ApplicationLinkWatcherTest, ThreadFollowsTheForegroundAndStopsPromptly) {
  // An hour between polls: the stop must not wait for the next one.
  auto watcher = Watcher(std::chrono::milliseconds(20));
  watcher->Shown(0);
  foreground_.Set("/usr/games/racer");
  StopEvent stop;
  std::thread thread([&] { watcher->Run(stop); });
  EXPECT_EQ(handed_.WaitFor(1).front(), 1);
  watcher->Shown(1);  // as the UI thread reports it
  foreground_.Set("/usr/bin/xterm");
  const std::vector<int> handed = handed_.WaitFor(2);
  ASSERT_GE(handed.size(), 2u);
  EXPECT_EQ(handed[1], 0);
  stop.Set();
  thread.join();

  auto slow = Watcher(std::chrono::hours(1));
  StopEvent slowStop;
  std::thread slowThread([&] { slow->Run(slowStop); });
  slowStop.Set();
  slowThread.join();  // a hang here fails the test by its time-out
}

}  // namespace
}  // namespace korva::session
