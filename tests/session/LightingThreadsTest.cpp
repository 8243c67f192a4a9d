// The lighting threads over the session's simulated devices: what reaches the preview and the
// devices' streams, the system's sleep, the synchronised lighting, and the stop.

#include "session/LightingThreads.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
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
    if (!frame.empty()) firsts_[IndexOf(kind)].push_back(frame.front());
    ++counts_[IndexOf(kind)];
    changed_.notify_all();
  }
  // Frames are counted from here on (from the start until the first mark): a thread may write its
  // frame before the test asks for it, and a still frame is not written again.
  void Mark(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    marks_[IndexOf(kind)] = counts_[IndexOf(kind)];
  }
  // Waits until `kind` got `n` frames since the mark; false after 5 s.
  bool WaitForFrames(DeviceKind kind, int n) {
    std::unique_lock lock(mutex_);
    const int target = marks_[IndexOf(kind)] + n;
    return changed_.wait_for(lock, 5s, [&] { return counts_[IndexOf(kind)] >= target; });
  }
  std::vector<fx::FrameEntry> Last(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    return frames_[IndexOf(kind)];
  }
  // Entry 0 of every frame shown, in order.
  std::vector<fx::FrameEntry> Firsts(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    return firsts_[IndexOf(kind)];
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
  std::array<int, kDeviceKindCount> marks_{};
  std::array<std::vector<fx::FrameEntry>, kDeviceKindCount> firsts_;
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
  template <class Pred>
  static bool WaitUntil(Pred pred) {
    for (int n = 0; n < 500 && !pred(); ++n) std::this_thread::sleep_for(10ms);
    return pred();
  }
  int StreamRequests(int id) const {
    int n = 0;
    for (const sim::SimRequest& request : bus.Requests(id)) n += korva::test::Decode(request).code == 0x12 ? 1 : 0;
    return n;
  }

  // Threads with paces of the test's own, living until the runners have been joined.
  LightingThreads& WithPaces(LightingPaces paces) { return paced.emplace(*session, preview, paces); }

  RecordingPreview preview;
  LightingThreads threads{*session, preview, LightingPaces{.firstWait = 0ms}};
  std::optional<LightingThreads> paced;
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
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
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
  const auto showsGreen = [&](DeviceKind kind) {
    return WaitUntil([&] {
      const std::vector<fx::FrameEntry> frame = preview.Last(kind);
      return !frame.empty() && frame[0] == fx::FrameEntry{0, 255, 0, 255};
    });
  };
  EXPECT_TRUE(showsGreen(DeviceKind::kKeyboard));
  EXPECT_TRUE(showsGreen(DeviceKind::kMouse));
  StopAll();
  const std::vector<std::uint8_t> stream = bus.Firmware(keyboard).LightingFrame();
  ASSERT_GE(stream.size(), 3u);
  EXPECT_EQ(stream[0], 0);
  EXPECT_EQ(stream[1], 254);
}

// A device that leaves the synchronised lighting (here as a settings write makes it leave) wakes its
// own thread at once: its look-again pace is an hour here.
TEST_F(LightingThreadsTest, LeavingTheSynchronisedLightingWakesTheDevicesThread) {
  LightingThreads& sleepy = WithPaces(LightingPaces{.firstWait = 0ms, .still = std::chrono::hours(1)});
  const int keyboard = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(keyboard, 0);
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 255, 0, 0});
  SetSynchronised({3, 14, 0, 0, 0, 0, 255, 0});
  session->SetAllSyncLighting();
  runners.emplace_back([&](std::stop_token) { sleepy.KeyboardThread(stop); });
  runners.emplace_back([&](std::stop_token) { sleepy.SynchronisedThread(stop); });
  const auto shows = [&](fx::FrameEntry entry) {
    return WaitUntil([&] {
      const std::vector<fx::FrameEntry> frame = preview.Last(DeviceKind::kKeyboard);
      return !frame.empty() && frame[0] == entry;
    });
  };
  ASSERT_TRUE(shows({0, 255, 0, 255}));

  session->Device(DeviceKind::kKeyboard).LeaveSynchronisedLighting();
  EXPECT_TRUE(shows({255, 0, 0, 255}));
}

// With devices present but none joined the synchronised thread sleeps; joining (it rings the
// lighting bell) wakes it at once, long before its look-again pace (an hour here) would have.
TEST_F(LightingThreadsTest, JoiningWakesTheSleepingSynchronisedThread) {
  LightingThreads& sleepy = WithPaces(
      LightingPaces{.firstWait = 0ms, .noDevice = std::chrono::hours(1), .still = std::chrono::hours(1)});
  ASSERT_TRUE(AttachMouse());
  SetSynchronised({3, 14, 0, 0, 0, 0, 255, 0});
  runners.emplace_back([&](std::stop_token) { sleepy.SynchronisedThread(stop); });
  std::this_thread::sleep_for(50ms);  // let it fall asleep: nobody is joined
  EXPECT_EQ(preview.Count(DeviceKind::kMouse), 0);

  session->SetAllSyncLighting();
  runners.emplace_back([&](std::stop_token) { sleepy.MouseThread(stop); });
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<fx::FrameEntry> frame = preview.Last(DeviceKind::kMouse);
    return !frame.empty() && frame[0] == fx::FrameEntry{0, 255, 0, 255};
  }));
}

// A device that went and came back while its still frame slept gets the frame again at once: the
// watchers' connection bell wakes the thread, long before its safety look (an hour here).
TEST_F(LightingThreadsTest, ADeviceThatCameBackWakesItsStillFrame) {
  LightingThreads& sleepy = WithPaces(LightingPaces{.firstWait = 0ms, .still = std::chrono::hours(1)});
  ASSERT_GE(Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard), 0);
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 255, 0, 0});
  runners.emplace_back([&](std::stop_token) { sleepy.KeyboardThread(stop); });
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));

  preview.Mark(DeviceKind::kKeyboard);
  const device::ConnectionBell& bell = session->WatcherStartBlock().connectionChanged;
  session->Device(DeviceKind::kKeyboard).connected = false;
  bell.Ring();
  session->Device(DeviceKind::kKeyboard).connected = true;
  bell.Ring();
  EXPECT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
}

// A static colour is written once; its thread then sleeps (the stream-every-pass pace at speed 0
// would have written it dozens of times meanwhile) until something it renders from changes: the
// record, the system waking up.
TEST_F(LightingThreadsTest, AStillFrameIsWrittenAgainOnlyWhenSomethingChanges) {
  const int keyboard = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(keyboard, 0);
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 255, 0, 0});
  Run(&LightingThreads::KeyboardThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(preview.Count(DeviceKind::kKeyboard), 1);
  const int streamed = StreamRequests(keyboard);
  EXPECT_GT(streamed, 0);

  preview.Mark(DeviceKind::kKeyboard);
  SetRecord(DeviceKind::kKeyboard, {3, 14, 0, 0, 0, 0, 0, 255});
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
  EXPECT_EQ(preview.Last(DeviceKind::kKeyboard)[0], (fx::FrameEntry{0, 0, 255, 255}));
  // The preview is given the frame before the stream goes out.
  ASSERT_TRUE(WaitUntil([&] { return StreamRequests(keyboard) > streamed; }));
  const int afterColour = StreamRequests(keyboard);

  // Asleep: shown, not streamed; awake again: streamed again.
  preview.Mark(DeviceKind::kKeyboard);
  session->SetSystemAwake(false);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
  preview.Mark(DeviceKind::kKeyboard);
  session->SetSystemAwake(true);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kKeyboard, 1));
  StopAll();
  EXPECT_GT(StreamRequests(keyboard), afterColour);
}

// The click flash waits dark for a click: the click wakes the mouse's thread, the flash shows and
// ends, and the thread sleeps again on the dark frame.
TEST_F(LightingThreadsTest, AClickWakesAWaitingClickFlash) {
  ASSERT_TRUE(AttachMouse());
  SetRecord(DeviceKind::kMouse, {6, 14, 0, 0, 0, 255, 255, 255});
  Run(&LightingThreads::MouseThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 1));
  EXPECT_EQ(preview.Last(DeviceKind::kMouse)[0].red, 0);
  const int dark = preview.Count(DeviceKind::kMouse);

  preview.Mark(DeviceKind::kMouse);
  threads.Clicked();
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 1));
  // The flash lasts 100 ms at about 53 ms a pass: a few frames, the last one dark again.
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 3));
  EXPECT_GT(preview.Firsts(DeviceKind::kMouse).at(static_cast<std::size_t>(dark)).red, 0)
      << "the first frame after the click flashes";
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(preview.Last(DeviceKind::kMouse)[0].red, 0);
  EXPECT_LE(preview.Count(DeviceKind::kMouse), dark + 5);
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

// The headset's frame over its chip's I2C bus: the wave as one 78-byte list of (register, value)
// pairs to each LED controller, every other mode as LED 0's colour to the registers 0x20..0x22 of
// each controller, one byte a write; each channel scaled by the entry's brightness, at most 247.
class HeadsetFrameWriteTest : public LightingThreadsTest {
 protected:
  void PlugHeadset() {
    chip->SetPresent(true);
    session->Device(DeviceKind::kHeadset).connected = true;
  }
  // Runs the headset thread until the chip took `writes` more I2C writes, then stops it.
  std::vector<sim::SimI2cWrite> WritesOf(const lighting::LightingSettings& record, std::uint64_t writes) {
    SetRecord(DeviceKind::kHeadset, record);
    const std::uint64_t before = chip->I2cWriteCount();
    chip->ClearLogs();
    Run(&LightingThreads::HeadsetThread);
    EXPECT_TRUE(chip->WaitForI2cWrites(before + writes, 5s));
    StopAll();
    std::vector<sim::SimI2cWrite> log = chip->I2cLog();
    if (log.size() > writes) log.resize(writes);
    return log;
  }
  // Six single-byte writes: 0x20, 0x21, 0x22 of 0x11, then of 0x22; each `value` when given.
  static void ExpectColourWrites(const std::vector<sim::SimI2cWrite>& log, std::optional<std::uint8_t> value) {
    ASSERT_EQ(log.size(), 6u);
    for (std::size_t n = 0; n < 6; ++n) {
      EXPECT_EQ(log[n].kind, sim::SimI2cWrite::Kind::kRegisters);
      EXPECT_EQ(log[n].address, n < 3 ? 0x11 : 0x22);
      EXPECT_EQ(log[n].reg, 0x20 + static_cast<int>(n % 3));
      ASSERT_EQ(log[n].data.size(), 1u);
      EXPECT_LE(log[n].data[0], 247);
      if (value) {
        EXPECT_EQ(log[n].data[0], *value);
      }
    }
  }
};

TEST_F(HeadsetFrameWriteTest, TheWaveGoesAsOneListToEachController) {
  PlugHeadset();
  // Static white at level 14 renders entries (255, 255, 255, 255); the wave is what decides the
  // write, so the same colour is checked through mode 0 with a single colour.
  const std::vector<sim::SimI2cWrite> log = WritesOf({0, 14, 0, 1, 0, 255, 255, 255}, 2);
  ASSERT_EQ(log.size(), 2u);
  for (std::size_t n = 0; n < 2; ++n) {
    const sim::SimI2cWrite& write = log[n];
    EXPECT_EQ(write.kind, sim::SimI2cWrite::Kind::kByMode);
    EXPECT_EQ(write.address, n == 0 ? 0x11 : 0x22);
    EXPECT_EQ(write.mode, 0xAA);
    EXPECT_EQ(write.modeParameter, 0);
    EXPECT_EQ(write.entrySize, 2);
    EXPECT_EQ(write.timeoutMs, 1000);
    EXPECT_EQ(write.flags, 0);
    ASSERT_EQ(write.data.size(), 78u);
    for (std::size_t i = 0; i < 13; ++i) {
      EXPECT_EQ(write.data[2 * i], 0x30 + i);
      EXPECT_EQ(write.data[26 + 2 * i], 0x40 + i);
      EXPECT_EQ(write.data[52 + 2 * i], 0x50 + i);
      EXPECT_LE(write.data[2 * i + 1], 247);
    }
  }
  EXPECT_EQ(log[0].data, log[1].data) << "both controllers take the same list";
}

// Breathing (mode 2) and static (mode 3) write only the registers 0x20..0x22 of 0x11, then of
// 0x22; static white at the brightness entry 255 writes 247 per channel.
TEST_F(HeadsetFrameWriteTest, BreathingWritesOnlyTheColourRegisters) {
  PlugHeadset();
  ExpectColourWrites(WritesOf({2, 14, 0, 0, 0, 255, 255, 255}, 6), std::nullopt);
}

TEST_F(HeadsetFrameWriteTest, StaticWhiteAtFullBrightnessWrites247PerChannel) {
  PlugHeadset();
  ExpectColourWrites(WritesOf({3, 14, 0, 0, 0, 255, 255, 255}, 6), 247);
}

TEST_F(HeadsetFrameWriteTest, AnAbsentHeadsetGetsNoCall) {
  SetRecord(DeviceKind::kHeadset, {3, 14, 0, 0, 0, 255, 0, 0});
  Run(&LightingThreads::HeadsetThread);
  ASSERT_TRUE(AttachMouse());
  Run(&LightingThreads::MouseThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kMouse, 3));
  EXPECT_EQ(chip->I2cWriteCount(), 0u);
  EXPECT_TRUE(chip->CallLog().empty());
}

TEST_F(HeadsetFrameWriteTest, AsleepThePreviewMovesButTheHeadsetIsLeftAlone) {
  PlugHeadset();
  session->SetSystemAwake(false);
  SetRecord(DeviceKind::kHeadset, {3, 14, 0, 0, 0, 255, 0, 0});
  Run(&LightingThreads::HeadsetThread);
  ASSERT_TRUE(preview.WaitForFrames(DeviceKind::kHeadset, 1));
  EXPECT_EQ(preview.Last(DeviceKind::kHeadset)[0], (fx::FrameEntry{255, 0, 0, 255}));
  EXPECT_EQ(chip->I2cWriteCount(), 0u);
}

// A synchronised headset gets the synchronised frame, written by its mode's rule.
TEST_F(HeadsetFrameWriteTest, TheSynchronisedThreadWritesTheHeadsetToo) {
  PlugHeadset();
  SetRecord(DeviceKind::kHeadset, {3, 14, 0, 0, 0, 0, 0, 0});
  SetSynchronised({3, 14, 0, 0, 0, 0, 0, 255});
  session->SetAllSyncLighting();
  Run(&LightingThreads::SynchronisedThread);
  ASSERT_TRUE(chip->WaitForI2cWrites(6, 5s));
  StopAll();
  EXPECT_EQ(chip->I2cRegister(0x22, 0x22), 247);
  EXPECT_EQ(chip->I2cRegister(0x22, 0x20), 0);
}

}  // namespace
}  // namespace korva::session
