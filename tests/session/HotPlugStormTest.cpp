// A hot-plug storm: the keyboard, mouse, mousepad and headset come and go at random moments while
// the watchers, the synchronisation readers and the lighting threads run, the devices raise their
// consumer reports, and the UI thread reads, flushes, uploads and changes the lighting. Nothing
// crashes or hangs; afterwards each device read again holds what the simulated device's memory
// holds; and a shutdown in the middle of another gust stops every thread within its bound.
//
// The storm lasts kStormLength, or KORVA_STORM_SECONDS seconds when that is set; its seed is
// kStormSeed, or KORVA_STORM_SEED.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceWatchers.h"
#include "device/SyncReaders.h"
#include "headset/AudioLibrary.h"
#include "keyboard/KeyboardImage.h"
#include "macro/MacroEdits.h"
#include "macro/MacroFiles.h"
#include "mouse/MouseImage.h"
#include "session/DeviceSession.h"
#include "session/KeyboardController.h"
#include "session/LightingThreads.h"
#include "session/MouseController.h"
#include "session/MousepadController.h"
#include "session/SessionHost.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/profile/TempFolder.h"

namespace korva::session {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kStormLength{10};
// The storm the shutdown comes in.
constexpr std::chrono::milliseconds kFinalGust{1000};
constexpr std::uint32_t kStormSeed = 4021;
// The shutdown bound: every thread has ended this long after the stop.
constexpr std::chrono::milliseconds kStopBound{10000};
// How long the devices plugged in after the storm may take to be found and read.
constexpr std::chrono::seconds kSettleBound{20};
// The longest pause between two moves of the storm.
constexpr int kMaxStormPauseMs = 25;

long EnvironmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return *end == '\0' && value > 0 ? value : fallback;
}

std::filesystem::path SourceFolder() {
  const char* dir = std::getenv("KORVA_SOURCE_DIR");
  return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

// The window's side of the session: a UI thread of its own making (the test's thread), fed through a
// queue. Send waits until the UI thread has handled the message, or until the sender is stopped.
class UiQueue final : public SessionHost {
 public:
  explicit UiQueue(std::function<void(WindowMessage)> handle) : handle_(std::move(handle)) {}

  void PostToUi(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    changed_.notify_all();
  }
  void PostMessage(WindowMessage message) override {
    PostToUi([this, message] { handle_(message); });
  }
  void SendMessage(WindowMessage message, std::stop_token stop) override {
    auto done = std::make_shared<bool>(false);
    PostToUi([this, message, done] {
      handle_(message);
      std::lock_guard lock(mutex_);
      *done = true;
      changed_.notify_all();
    });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, stop, [&] { return *done; });
  }
  void ShowDeviceTab(DeviceKind) override {}
  void DeviceArrived(const device::Arrival& arrival) override {
    present_[IndexOf(arrival.kind)] = true;
    ++arrivals_;
  }
  void DeviceRemoved(DeviceKind kind) override {
    present_[IndexOf(kind)] = false;
    ++removals_;
  }
  void ShowSameMode(DeviceKind, bool) override {}
  void DeviceChanged(DeviceKind) override {}
  void ClickReaction() override {}
  void ShowMessage(std::string_view) override {}

  // UI thread: runs the tasks that are due, waiting at most `wait` for the first one.
  void RunTasks(std::chrono::milliseconds wait) {
    std::deque<std::function<void()>> due;
    {
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, wait, [this] { return !tasks_.empty(); });
      due.swap(tasks_);
    }
    for (auto& task : due) task();
  }
  // UI thread: whether the window was last told that the device is there.
  bool Shown(DeviceKind kind) const { return present_[IndexOf(kind)]; }
  int Arrivals() const { return arrivals_; }
  int Removals() const { return removals_; }

 private:
  std::function<void(WindowMessage)> handle_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::deque<std::function<void()>> tasks_;
  std::array<bool, kDeviceKindCount> present_{};
  int arrivals_ = 0;  // UI thread
  int removals_ = 0;  // UI thread
};

class DiscardingPreview final : public LightingPreview {
 public:
  void ShowFrame(DeviceKind, std::span<const lighting::effects::FrameEntry>) override {}
};

// Threads started with their own stop events, stopped all at once.
class Threads {
 public:
  ~Threads() { StopAll(); }
  void Start(std::function<void(const StopEvent&)> entry) {
    stops_.push_back(std::make_unique<StopEvent>());
    threads_.emplace_back([entry = std::move(entry), &stop = *stops_.back()] { entry(stop); });
  }
  // Sets every stop event, then joins; true when all had ended within `bound`.
  bool StopAll(std::chrono::milliseconds bound = kStopBound) {
    for (auto& stop : stops_) stop->Set();
    auto joined = std::async(std::launch::async, [this] {
      for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
    });
    const bool inTime = joined.wait_for(bound) == std::future_status::ready;
    joined.wait();  // never leaves a thread running on what the test is about to destroy
    threads_.clear();
    stops_.clear();
    return inTime;
  }

 private:
  std::vector<std::unique_ptr<StopEvent>> stops_;
  std::vector<std::thread> threads_;
};

template <std::size_t N, std::size_t M>
void ExpectSameBytes(const std::array<std::uint8_t, N>& image, const std::array<std::uint8_t, M>& device,
                     std::size_t from, std::size_t to, const std::string& what) {
  ASSERT_LE(to, std::min(N, M)) << what;
  for (std::size_t i = from; i < to; ++i) {
    if (image[i] == device[i]) continue;
    ADD_FAILURE() << what << ", byte " << i << ": the image holds " << int{image[i]} << ", the device "
                  << int{device[i]};
    return;
  }
}

class HotPlugStormTest : public testing::Test {
 protected:
  HotPlugStormTest() {
    chip->SetPresent(true);
    audio.Bind(chip);
    SessionOptions options(folders);
    options.defaultsFolder = profile::DefaultFilesFolder(SourceFolder());
    // Short paces: many arrivals and removals within the storm.
    options.paces.connected = 5ms;
    options.paces.absent = 20ms;
    options.paces.keyboardSettle = 5ms;
    options.paces.readerRead = 50ms;
    options.paces.readerSearch = 20ms;
    session = std::make_unique<DeviceSession>(bus, audio, options);
    session->SetHost(&ui);
    session->Initialise();
    lighting = std::make_unique<LightingThreads>(
        *session, preview,
        LightingPaces{.firstWait = 5ms, .stopCheck = 1ms, .absent = 20ms, .noDevice = 20ms});
    // A macro, so that the key uploads send a macro block too.
    for (DeviceKind kind : {DeviceKind::kKeyboard, DeviceKind::kMouse}) {
      const macro::MacroLibrary library{folders.GetDeviceFolder(kind), kind};
      EXPECT_TRUE(macro::AddMacro(library).ok());
      EXPECT_TRUE(macro::SaveMacro(
          library, macro::LoadMacroIndex(library).value().front(),
          std::vector<macro::MacroAction>(
              30, {20, macro::step_kind::kKey | macro::step_kind::kPressBit, 0x04, 1, "keyboard_key_A"})));
    }
    ids = {bus.Plug(sim::SimDeviceKind::kKeyboard), bus.Plug(sim::SimDeviceKind::kMouse),
           bus.Plug(sim::SimDeviceKind::kMousepad)};
  }
  ~HotPlugStormTest() override {
    threads.StopAll();
    ui.RunTasks(0ms);
    session->SetHost(nullptr);
  }

  // The window's handling of the messages the readers send.
  void Handle(WindowMessage message) {
    switch (message) {
      case WindowMessage::WM_KB_RELOAD:
        return session->ReadAll(DeviceKind::kKeyboard);
      case WindowMessage::WM_KB_PROFILE:
        return session->ReloadProfile(DeviceKind::kKeyboard);
      case WindowMessage::WM_MS_RELOAD:
        return session->ReadAll(DeviceKind::kMouse);
      case WindowMessage::WM_MS_PROFILE:
        return session->ReloadProfile(DeviceKind::kMouse);
      case WindowMessage::WM_MP_RELOAD:
        return session->ReadAll(DeviceKind::kMousepad);
      case WindowMessage::WM_MP_PROFILE:
        return session->ReloadProfile(DeviceKind::kMousepad);
      default:
        return;
    }
  }

  void StartThreads() {
    const device::WatcherStart& start = session->WatcherStartBlock();
    for (auto entry :
         {&device::KeyboardWatcherThread, &device::MouseWatcherThread, &device::MousepadWatcherThread,
          &device::HeadsetWatcherThread, &device::MouseSyncReaderThread, &device::KeyboardSyncReaderThread}) {
      threads.Start([entry, &start](const StopEvent& stop) { entry(start, stop); });
    }
    for (auto entry :
         {&LightingThreads::KeyboardThread, &LightingThreads::MouseThread, &LightingThreads::MousepadThread,
          &LightingThreads::HeadsetThread, &LightingThreads::SynchronisedThread}) {
      threads.Start([this, entry](const StopEvent& stop) { (lighting.get()->*entry)(stop); });
    }
  }

  // The storm's thread: plugs, unplugs and presses at random moments until stopped.
  void Storm(const StopEvent& stop, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    while (!stop.Wait(std::chrono::milliseconds(below(kMaxStormPauseMs + 1)))) {
      const int device = below(4);
      switch (below(6)) {
        case 0:
        case 1:
          TogglePlug(device);
          break;
        case 2:
          bus.RaiseConsumerReport(ids[static_cast<std::size_t>(below(2))],
                                  static_cast<std::uint16_t>(0x0401 + below(3)));
          break;
        case 3:
          bus.PressProfileButton(ids[static_cast<std::size_t>(below(3))]);
          break;
        case 4:
          bus.PressStageButton(ids[1]);
          break;
        default:
          break;  // a quiet moment
      }
    }
  }
  void TogglePlug(int device) {
    if (device == 3) {
      chip->SetPresent(!chip->IsPresent());
      return;
    }
    const int id = ids[static_cast<std::size_t>(device)];
    if (bus.IsPlugged(id)) {
      bus.Unplug(id);
    } else {
      bus.Replug(id);
    }
  }

  // One move of the UI thread: what the pages and timers do.
  void UiMove(std::mt19937& random) {
    auto below = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const DeviceKind kinds[] = {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad};
    switch (below(7)) {
      case 0:
        session->ReadAll(kinds[below(3)]);
        break;
      case 1:
        session->Keyboard().MarkDeferredWrite();
        session->Mouse().Model().MarkPendingWrite();
        session->Mousepad().LightingEdited();
        session->FlushDeferredWrites();
        break;
      case 2:
        session->UploadKeyboard();
        break;
      case 3:
        session->Mouse().SaveKeys();
        break;
      case 4: {
        const DeviceKind kind = kAllDeviceKinds[static_cast<std::size_t>(below(kDeviceKindCount))];
        lighting::LightingSnapshot records = session->Read();
        lighting::LightingSettings& record = records.devices[IndexOf(kind)];
        record.mode = static_cast<std::uint8_t>(1 + below(6));
        record.brightness = static_cast<std::uint8_t>(below(15));
        record.speed = static_cast<std::uint8_t>(below(15));
        session->Write(records);
        lighting->ModeSelected(kind, record.mode, record.direction);
        break;
      }
      case 5:
        session->SetAllSyncLighting();
        break;
      default:
        session->ReloadProfile(kinds[below(3)]);
        break;
    }
  }

  // The UI thread at work while the storm's thread plugs and presses.
  void StormWhileUiWorks(std::chrono::seconds length, std::uint32_t seed, std::mt19937& random) {
    Threads storm;
    storm.Start([this, seed](const StopEvent& stop) { Storm(stop, seed); });
    for (const auto end = Clock::now() + length; Clock::now() < end;) UiStep(random);
    ASSERT_TRUE(storm.StopAll());
  }
  void UiStep(std::mt19937& random) {
    ui.RunTasks(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 10)(random)));
    UiMove(random);
  }

  bool AllShown() const {
    for (DeviceKind kind : kAllDeviceKinds)
      if (!session->Device(kind).connected || !ui.Shown(kind)) return false;
    return true;
  }

  void ExpectImagesMatchDevices() {
    const keyboard::KeyboardImage& kb = session->Keyboard().Image();
    const sim::SimFirmware& kbDevice = bus.Firmware(ids[0]);
    ExpectSameBytes(kb.info, kbDevice.Info(), 0, keyboard::kKeyboardInfoSize, "keyboard information");
    ExpectSameBytes(kb.banks[0], kbDevice.Bank(0), 0, kb.KeyCount() * 3, "keyboard bank 0");
    ExpectSameBytes(kb.records[0], kbDevice.Record(0), 1, keyboard::kKeyboardRecordTransferSize,
                    "keyboard record at address 0");

    const mouse::MouseImage& ms = session->Mouse().Model().image();
    const sim::SimFirmware& msDevice = bus.Firmware(ids[1]);
    ExpectSameBytes(ms.info.bytes, msDevice.Info(), 0, mouse::MouseDeviceInfo::kSize, "mouse information");
    EXPECT_EQ(ms.active.ActiveProfile(), msDevice.ActiveProfile());
    ExpectSameBytes(ms.active.bytes, msDevice.Record(msDevice.ActiveProfile()), 1,
                    mouse::MouseActiveSettings::kSize, "mouse active settings");
    for (int n = 0; n < sim::kSimProfileCount; ++n) {
      const std::string which = "mouse record " + std::to_string(n);
      const auto& record = ms.records[static_cast<std::size_t>(n)].bytes;
      // Slot 0's settings bytes are the light profile's: the active settings, checked above. Bytes 23
      // and 24 are the desktop's pointer speed and wheel lines, which only the light profile keeps.
      if (n > 0)
        ExpectSameBytes(record, msDevice.Record(n), 1, mouse::MouseProfileRecord::kPointerSpeed, which);
      ExpectSameBytes(record, msDevice.Record(n), mouse::MouseProfileRecord::kWheelLines + 1,
                      mouse::kMouseRecordTransferSize, which);
      ExpectSameBytes(ms.banks[static_cast<std::size_t>(n)].bytes, msDevice.Bank(n), 0,
                      mouse::MouseKeyBank::kSize, "mouse bank " + std::to_string(n));
    }

    const mousepad::MousepadImage& mp = session->Mousepad().Image();
    const sim::SimFirmware& mpDevice = bus.Firmware(ids[2]);
    EXPECT_EQ(mp.active.ActiveProfile(), mpDevice.ActiveProfile());
    ExpectSameBytes(mp.active.bytes, mpDevice.Record(mpDevice.ActiveProfile()), 1,
                    mousepad::MousepadActiveSettings::kSize, "mousepad active settings");
    for (int n = 0; n < sim::kSimProfileCount; ++n) {
      ExpectSameBytes(mp.records[static_cast<std::size_t>(n)].bytes, mpDevice.Record(n), 1,
                      mousepad::kMousepadRecordTransferSize, "mousepad record " + std::to_string(n));
    }
  }

  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  sim::SimBus bus;
  std::shared_ptr<sim::SimulatedHeadsetChip> chip = std::make_shared<sim::SimulatedHeadsetChip>();
  headset::AudioLibrary audio;
  UiQueue ui{[this](WindowMessage message) { Handle(message); }};
  std::unique_ptr<DeviceSession> session;
  DiscardingPreview preview;
  std::unique_ptr<LightingThreads> lighting;
  std::array<int, 3> ids{};  // keyboard, mouse, mousepad
  Threads threads;
};

TEST_F(HotPlugStormTest, DevicesComingAndGoingLeaveEveryThreadStoppableAndEveryImageTrue) {
  const auto length = std::chrono::seconds(EnvironmentNumber("KORVA_STORM_SECONDS", kStormLength.count()));
  const auto seed = static_cast<std::uint32_t>(EnvironmentNumber("KORVA_STORM_SEED", kStormSeed));
  SCOPED_TRACE("storm seed " + std::to_string(seed));
  StartThreads();
  std::mt19937 random(seed + 1);
  StormWhileUiWorks(length, seed, random);
  // The session saw the devices come and go, not a storm that passed it by.
  EXPECT_GT(ui.Removals(), 0);
  RecordProperty("arrivals", ui.Arrivals());
  RecordProperty("removals", ui.Removals());

  // Everything back on the bus; the watchers find it and the UI thread takes the arrivals.
  for (int id : ids)
    if (!bus.IsPlugged(id)) bus.Replug(id);
  chip->SetPresent(true);
  for (const auto end = Clock::now() + kSettleBound; !AllShown() && Clock::now() < end;) ui.RunTasks(10ms);
  ASSERT_TRUE(AllShown()) << "a device plugged in after the storm was not taken";

  for (DeviceKind kind : {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad}) {
    const DeviceOutcome read = session->Controller(kind).ReadAll();
    EXPECT_TRUE(read.changed) << DeviceKindName(kind) << " could not be read after the storm";
  }
  ExpectImagesMatchDevices();

  // The shutdown comes in the middle of a storm, with transfers in flight.
  Threads storm;
  storm.Start([this, seed](const StopEvent& stop) { Storm(stop, seed + 2); });
  for (const auto end = Clock::now() + kFinalGust; Clock::now() < end;) UiStep(random);
  EXPECT_TRUE(threads.StopAll()) << "a thread took longer than " << kStopBound.count() << " ms to stop";
  storm.StopAll();
}

}  // namespace
}  // namespace korva::session
