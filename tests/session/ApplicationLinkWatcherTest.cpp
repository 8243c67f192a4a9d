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
    ++asked_;
    return path_;
  }
  int Asked() {
    std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  std::mutex mutex_;
  std::string path_;
  int asked_ = 0;
};

// What the watcher handed to the UI thread.
class Handed {
 public:
  void Add(int index) {
    std::lock_guard lock(mutex_);
    indexes_.push_back(index);
    changed_.notify_all();
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    indexes_.clear();
  }
  // Waits (bounded) until `count` hand-overs arrived.
  std::vector<int> WaitFor(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, bound, [&] { return indexes_.size() >= count; });
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

  std::unique_ptr<ApplicationLinkWatcher> Watcher(std::chrono::milliseconds poll = kLinkPollInterval,
                                                  bool withForeground = true) {
    ApplicationLinkWatcher::Foreground foreground;
    if (withForeground) foreground = [this] { return foreground_.Get(); };
    return std::make_unique<ApplicationLinkWatcher>(
        *store_, std::move(foreground), [this](int index) { handed_.Add(index); }, poll);
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
    EXPECT_EQ(watcher->Poll().wanted, row.wanted) << row.name;
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
  EXPECT_EQ(watcher->Poll().wanted, 2);
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

// With nothing to follow the thread polls once -- bringing back the hand-chosen profile should a
// linked one still show -- and then sleeps without a single wake-up until a link is made.
TEST_F(ApplicationLinkWatcherTest, NothingToFollowSleepsUntilAProfileIsLinked) {
  const struct {
    const char* name;
    bool unlinkAll;
    bool withForeground;
  } rows[] = {
      {"no profile of the store is linked", true, true},
      {"the session has no foreground source", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.unlinkAll) {
      ASSERT_TRUE(store_->WriteLink(1, {}));
      ASSERT_TRUE(store_->WriteLink(2, {}));
    }
    handed_.Clear();
    foreground_.Set("/usr/games/racer");
    const int askedBefore = foreground_.Asked();
    // A millisecond between polls: a watcher that kept polling would hand over hundreds of times.
    auto watcher = Watcher(std::chrono::milliseconds(1), row.withForeground);
    watcher->Shown(2);  // a linked profile still shows
    StopEvent stop;
    std::thread thread([&] { watcher->Run(stop); });
    // The checks run in a lambda, so a failed ASSERT still stops and joins the thread below.
    [&] {
      EXPECT_EQ(handed_.WaitFor(1), std::vector<int>{0}) << "the hand-chosen profile returns";
      EXPECT_EQ(handed_.WaitFor(2, std::chrono::milliseconds(300)).size(), 1u) << "asleep: no further poll";
      EXPECT_EQ(foreground_.Asked(), askedBefore) << "the desktop is not asked";
      if (!row.unlinkAll) return;
      // A link wakes it: the linked application in front is followed at once (and, the test never
      // reporting it shown, handed over again at every poll from then on).
      ASSERT_TRUE(store_->WriteLink(1, {true, "/usr/games/racer"}));
      watcher->LinksChanged();
      const std::vector<int> handed = handed_.WaitFor(2);
      ASSERT_GE(handed.size(), 2u);
      EXPECT_EQ(handed[1], 1);
    }();
    stop.Set();
    thread.join();  // asleep or polling, the stop ends it; a hang fails by the test's time-out
  }
}

}  // namespace
}  // namespace korva::session
