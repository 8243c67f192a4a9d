// The desktop settings worker: the UI thread never waits for the desktop, the settings arrive in
// the order they were made, and nothing is lost when the worker goes away.

#include "mouse/page/DesktopSettingsWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/FakeDesktopPointerSettings.h"

namespace korva::mouse {
namespace {

// A desktop whose tool hangs until the test lets it go.
class GatedDesktop final : public platform::DesktopPointerSettings {
 public:
  std::string Name() const override { return "gated"; }
  std::optional<int> GetPointerSpeed() override { return inner_.GetPointerSpeed(); }
  std::optional<int> GetWheelScrollLines() override { return inner_.GetWheelScrollLines(); }
  platform::PointerSettingResult SetPointerSpeed(int speed) override {
    Gate();
    return inner_.SetPointerSpeed(speed);
  }
  platform::PointerSettingResult SetWheelScrollLines(int lines) override {
    Gate();
    return inner_.SetWheelScrollLines(lines);
  }

  void WaitUntilEntered() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return entered_; });
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  platform::FakeDesktopPointerSettings& Recorded() { return inner_; }

 private:
  void Gate() {
    std::unique_lock lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;
  bool open_ = false;
  platform::FakeDesktopPointerSettings inner_;
};

TEST(DesktopSettingsWorkerTest, AHangingDesktopDoesNotHoldUpTheCallerAndKeepsTheOrder) {
  GatedDesktop desktop;
  DesktopSettingsWorker worker(desktop);
  EXPECT_FALSE(worker.Busy());

  worker.ApplyWheelLines(4);
  desktop.WaitUntilEntered();  // the first change is with the desktop, which does not answer
  worker.ApplyPointerSpeed(14);
  worker.ApplyWheelLines(9);
  worker.ApplyWheelLines(2);
  EXPECT_TRUE(worker.Busy());
  EXPECT_TRUE(desktop.Recorded().WheelLinesSet().empty());

  desktop.Open();
  worker.WaitForDone();
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(desktop.Recorded().WheelLinesSet(), (std::vector<int>{4, 9, 2}));
  EXPECT_EQ(desktop.Recorded().SpeedsSet(), std::vector<int>{14});
}

TEST(DesktopSettingsWorkerTest, QueuedChangesStillReachTheDesktopWhenTheWorkerGoes) {
  GatedDesktop desktop;
  {
    DesktopSettingsWorker worker(desktop);
    worker.ApplyPointerSpeed(3);
    desktop.WaitUntilEntered();
    worker.ApplyWheelLines(7);
    desktop.Open();
  }
  EXPECT_EQ(desktop.Recorded().SpeedsSet(), std::vector<int>{3});
  EXPECT_EQ(desktop.Recorded().WheelLinesSet(), std::vector<int>{7});
}

}  // namespace
}  // namespace korva::mouse
