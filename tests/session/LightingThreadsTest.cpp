// The lighting threads over the session's simulated devices: what reaches the preview and the
// devices' streams, the system's sleep, the synchronised lighting, and the stop.

#include "session/LightingThreads.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "sim/SimFirmware.h"
#include "tests/sim/SimAttached.h"
#include "tests/session/SessionFixture.h"

namespace korva::session {
namespace {

namespace fx = lighting::effects;
using namespace std::chrono_literals;

// The preview keys as the threads see them: the last frame of each device, and a way to wait.
class RecordingPreview final : public LightingPreview {
 public:
  void ShowFrame(DeviceKind kind, std::span<const fx::FrameEntry> frame) override {
    std::lock_guard lock(mutex_);
    frames_[IndexOf(kind)].assign(frame.begin(), frame.end());
    ++counts_[IndexOf(kind)];
    changed_.notify_all();
  }
  // Waits until `kind` got `n` more frames than when asked; false after 5 s.
  bool WaitForFrames(DeviceKind kind, int n) {
    std::unique_lock lock(mutex_);
    const int target = counts_[IndexOf(kind)] + n;
    return changed_.wait_for(lock, 5s, [&] { return counts_[IndexOf(kind)] >= target; });
  }
  std::vector<fx::FrameEntry> Last(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    return frames_[IndexOf(kind)];
  }
  int Count(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    return counts_[IndexOf(kind)];
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::array<std::vector<fx::FrameEntry>, kDeviceKindCount> frames_;
  std::array<int, kDeviceKindCount> counts_{};
};

class LightingThreadsTest : public test::SessionFixture {
 protected:
  void SetRecord(DeviceKind kind, const lighting::LightingSettings& record) {
    lighting::LightingSnapshot records = session->Read();
    records.devices[IndexOf(kind)] = record;
    session->Write(records);
  }
  void SetSynchronised(const lighting::LightingSettings& record) {
    lighting::LightingSnapshot records = session->Read();
    records.synchronised = record;
    session->Write(records);
  }
  // Runs a thread entry until the test ends (the stop joins it on every path).
  void Run(void (LightingThreads::*entry)(const StopEvent&)) {
    runners.emplace_back([this, entry](std::stop_token) { (threads.*entry)(stop); });
  }
  void TearDown() override { StopAll(); }
  void StopAll() {
    stop.Set();
    runners.clear();
  }
  int StreamRequests(int id) const {
    int n = 0;
    for (const sim::SimRequest& request : bus.Requests(id)) n += korva::test::Decode(request).code == 0x12 ? 1 : 0;
    return n;
  }

  RecordingPreview preview;
  LightingThreads threads{*session, preview, LightingPaces{.firstWait = 0ms}};
  StopEvent stop;
  std::vector<std::jthread> runners;  // last: joined first
};

// Static red at full brightness: every key red on the preview; on the keyboard each LED's red is
// 255 scaled by the brightness 255 (254), at 3 x its stream position; position 13 has no key.
TEST_F(LightingThreadsTest, TheKeyboardsFrameReachesThePreviewAndTheStream) {
  const int keyboard = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(keyboard, 0);
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 255, 0, 0});
  Run(&LightingThreads::KeyboardThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 2));
  const std::vector<fx::FrameEntry> shown = preview.Last(DeviceKind::kKeyboard);
  ASSERT_EQ(shown.size(), fx::kKeyboardEntries);
  EXPECT_EQ(shown[0], (fx::FrameEntry{255, 0, 0, 255}));
  EXPECT_EQ(shown[125], (fx::FrameEntry{255, 0, 0, 255}));
  StopAll();
  const std::vector<std::uint8_t> stream = bus.Firmware(keyboard).LightingFrame();
  ASSERT_GE(stream.size(), 378u);
  EXPECT_EQ(stream[0], 254);
  EXPECT_EQ(stream[1], 0);
  EXPECT_EQ(stream[3 * 13], 0) << "stream position 13 has no key";
  EXPECT_EQ(stream[3 * 14], 254) << "entry 13 streams at position 14";
}

TEST_F(LightingThreadsTest, AsleepThePreviewMovesButNothingIsStreamed) {
  const int keyboard = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(keyboard, 0);
  SetRecord(DeviceKind::kKeyboard, {1, 14, 0, 0, 0, 0, 0, 0});
  session->SetSystemAwake(false);
  bus.ClearRequests(keyboard);
  Run(&LightingThreads::KeyboardThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 3));
  EXPECT_EQ(StreamRequests(keyboard), 0);
}

TEST_F(LightingThreadsTest, AbsentDevicesRenderNothing) {
  Run(&LightingThreads::KeyboardThread);
  Run(&LightingThreads::MouseThread);
  Run(&LightingThreads::SynchronisedThread);
  // The mouse, attached later, gets frames; the keyboard, never attached, none.
  ASSERT_TRUE(AttachMouse());
  SetRecord(DeviceKind::kMouse, {3, 14, 0, 0, 0, 0, 0, 255});
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 1));
  EXPECT_EQ(preview.Count(DeviceKind::kKeyboard), 0);
}

// The same-mode lighting: the synchronised record lights the joined devices; the keyboard's own
// thread writes nothing meanwhile, the mouse's writes the frame the synchronised thread rendered.
TEST_F(LightingThreadsTest, SynchronisedDevicesShowTheSynchronisedRecord) {
  const int keyboard = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(keyboard, 0);
  ASSERT_TRUE(AttachMouse());
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 255, 0, 0});
  SetRecord(DeviceKind::kMouse, {3, 14, 0, 0, 0, 255, 0, 0});
  SetSynchronised({3, 14, 0, 0, 0, 0, 255, 0});
  session->SetAllSyncLighting();
  Run(&LightingThreads::KeyboardThread);
  Run(&LightingThreads::MouseThread);
  Run(&LightingThreads::SynchronisedThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 3));
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 2));
  EXPECT_EQ(preview.Last(DeviceKind::kKeyboard)[0], (fx::FrameEntry{0, 255, 0, 255}));
  EXPECT_EQ(preview.Last(DeviceKind::kMouse)[0], (fx::FrameEntry{0, 255, 0, 255}));
  StopAll();
  const std::vector<std::uint8_t> stream = bus.Firmware(keyboard).LightingFrame();
  ASSERT_GE(stream.size(), 3u);
  EXPECT_EQ(stream[0], 0);
  EXPECT_EQ(stream[1], 254);
}

// With devices present but none joined the synchronised thread sleeps; joining wakes it at once,
// long before its look-again pace (an hour here) would have.
TEST_F(LightingThreadsTest, JoiningWakesTheSleepingSynchronisedThread) {
  LightingThreads sleepy{*session, preview, LightingPaces{.firstWait = 0ms, .noDevice = std::chrono::hours(1)}};
  ASSERT_TRUE(AttachMouse());
  SetSynchronised({3, 14, 0, 0, 0, 0, 255, 0});
  runners.emplace_back([&](std::stop_token) { sleepy.SynchronisedThread(stop); });
  std::this_thread::sleep_for(50ms);  // let it fall asleep: nobody is joined
  EXPECT_EQ(preview.Count(DeviceKind::kMouse), 0);

  session->SetAllSyncLighting();
  sleepy.SynchronisationChanged();
  runners.emplace_back([&](std::stop_token) { sleepy.MouseThread(stop); });
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 2));
  EXPECT_EQ(preview.Last(DeviceKind::kMouse)[0], (fx::FrameEntry{0, 255, 0, 255}));
}

TEST_F(LightingThreadsTest, EveryThreadEndsWhenStopped) {
  ASSERT_TRUE(AttachMouse());
  Run(&LightingThreads::KeyboardThread);
  Run(&LightingThreads::MouseThread);
  Run(&LightingThreads::MousepadThread);
  Run(&LightingThreads::HeadsetThread);
  Run(&LightingThreads::SynchronisedThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 1));
  // Joining is the check: a thread that does not end hangs the test until ctest's time-out.
  StopAll();
}

}  // namespace
}  // namespace korva::session
