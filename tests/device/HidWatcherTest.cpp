// The keyboard, mouse, mousepad and headset watchers, one cycle at a time on the test thread, against
// the simulated bus and a host that stands in for the session: arrival work and its order, removal and the tab chosen after it,
// the same-mode check box, the wake-up of the first pass, rejected collections, enumeration failures.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/device/WatcherFixture.h"

namespace korva::device::test {
namespace {

using Type = HostEvent::Type;
using sim::SimDeviceKind;

// What a test compares of an event: its type, device and arrival record.
struct Step {
  Type type = Type::kWake;
  std::optional<DeviceKind> kind;
  Arrival arrival;
  bool operator==(const Step&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Step& s) {
  static const char* const kTypes[] = {"Read", "ShowTab",   "Arrival", "Removal", "SameMode",
                                       "Wake", "SendBegin", "SendEnd", "Click"};
  os << kTypes[static_cast<int>(s.type)] << "(" << (s.kind ? DeviceKindName(*s.kind) : "none");
  if (s.type == Type::kRead || s.type == Type::kArrival) {
    os << ", model " << s.arrival.keyboardModel << ", deng " << s.arrival.profileDengSelect.value_or(-1)
       << ", select " << s.arrival.profileSelect.value_or(-1);
  }
  return os << ")";
}

std::vector<Step> Steps(const std::vector<HostEvent>& events) {
  std::vector<Step> steps;
  for (const HostEvent& e : events) steps.push_back({e.type, e.kind, e.arrival});
  return steps;
}

Arrival MakeArrival(DeviceKind kind, int model, std::optional<int> deng, std::optional<int> select) {
  Arrival a;
  a.kind = kind;
  a.keyboardModel = model;
  a.profileDengSelect = deng;
  a.profileSelect = select;
  return a;
}

Step Do(Type type, std::optional<DeviceKind> kind, Arrival arrival = {}) {
  return {type, kind, arrival};
}

HidWatcherKind WatcherOf(SimDeviceKind kind) {
  switch (kind) {
    case SimDeviceKind::kMouse:
      return HidWatcherKind::kMouse;
    case SimDeviceKind::kMousepad:
      return HidWatcherKind::kMousepad;
    default:
      return HidWatcherKind::kKeyboard;
  }
}

// ---------------------------------------------------------------------------------------------
// Arrival work: order, the read under the lock, the stored profile selections.

struct ArrivalRow {
  std::string name;
  SimDeviceKind plugged;
  std::vector<Step> expected;
};
void PrintTo(const ArrivalRow& row, std::ostream* os) {
  *os << row.name;
}

class ArrivalTest : public WatcherFixture, public testing::WithParamInterface<ArrivalRow> {};

TEST_P(ArrivalTest, RunsTheArrivalWorkInOrderWithTheReadUnderTheLock) {
  for (DeviceKind kind : {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad}) {
    host.SetSelection(kind, StoredSelection::kLight, 2);
    host.SetSelection(kind, StoredSelection::kKey, 3);
  }
  const ArrivalRow& row = GetParam();
  bus.Plug(row.plugged);
  HidWatcher watcher(WatcherOf(row.plugged), start);

  EXPECT_EQ(watcher.RunCycle(stop), start.paces.connected);

  EXPECT_EQ(Steps(host.Events()), row.expected);
  const std::vector<HostEvent> reads = host.EventsOf(Type::kRead);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_TRUE(reads[0].lockTakenByAnotherThread) << "the arrival read must run under the device lock";
  EXPECT_TRUE(reads[0].connectedAtRead) << "connected is set before the read, so its exchanges go out";
  EXPECT_EQ(reads[0].exchangeResult, kResultOk);
  ASSERT_TRUE(reads[0].kind);
  const DeviceKind kind = *reads[0].kind;
  EXPECT_TRUE(host.TabVisible(kind));
  EXPECT_EQ(host.SelectedTab(), kind);
}

const Arrival kKeyboard0Read = MakeArrival(DeviceKind::kKeyboard, 0, std::nullopt, std::nullopt);
const Arrival kKeyboard1Read = MakeArrival(DeviceKind::kKeyboard, 1, std::nullopt, std::nullopt);

INSTANTIATE_TEST_SUITE_P(
    EachDevice, ArrivalTest,
    testing::Values(
        ArrivalRow{"keyboard_tab_pause_read_selections",
                   SimDeviceKind::kKeyboard,
                   {Do(Type::kShowTab, DeviceKind::kKeyboard),
                    Do(Type::kRead, DeviceKind::kKeyboard, kKeyboard0Read),
                    Do(Type::kArrival, DeviceKind::kKeyboard, MakeArrival(DeviceKind::kKeyboard, 0, 2, 3)),
                    Do(Type::kWake, kNoDevice)}},
        ArrivalRow{"second_keyboard_model_is_accepted_as_model_1",
                   SimDeviceKind::kKeyboardModel1,
                   {Do(Type::kShowTab, DeviceKind::kKeyboard),
                    Do(Type::kRead, DeviceKind::kKeyboard, kKeyboard1Read),
                    Do(Type::kArrival, DeviceKind::kKeyboard, MakeArrival(DeviceKind::kKeyboard, 1, 2, 3)),
                    Do(Type::kWake, kNoDevice)}},
        ArrivalRow{"mouse_light_profile_before_read_tab_last",
                   SimDeviceKind::kMouse,
                   {Do(Type::kRead, DeviceKind::kMouse, MakeArrival(DeviceKind::kMouse, -1, 2, std::nullopt)),
                    Do(Type::kArrival, DeviceKind::kMouse, MakeArrival(DeviceKind::kMouse, -1, 2, 3)),
                    Do(Type::kShowTab, DeviceKind::kMouse), Do(Type::kWake, kNoDevice)}},
        ArrivalRow{"mousepad_read_then_tab_once",
                   SimDeviceKind::kMousepad,
                   {Do(Type::kRead, DeviceKind::kMousepad,
                       MakeArrival(DeviceKind::kMousepad, -1, std::nullopt, std::nullopt)),
                    Do(Type::kArrival, DeviceKind::kMousepad,
                       MakeArrival(DeviceKind::kMousepad, -1, 2, std::nullopt)),
                    Do(Type::kShowTab, DeviceKind::kMousepad), Do(Type::kWake, kNoDevice)}}),
    [](const testing::TestParamInfo<ArrivalRow>& info) { return info.param.name; });

TEST_F(WatcherFixture, HeadsetArrivalShowsItsTabAndSelectsTheStoredProfile) {
  host.SetSelection(DeviceKind::kHeadset, StoredSelection::kKey, 4);
  headsetDevice.syncLighting = true;
  host.SetHeadsetPresent(true);
  HeadsetWatcher watcher(start);

  EXPECT_EQ(watcher.RunCycle(), start.paces.headset);

  EXPECT_EQ(Steps(host.Events()),
            (std::vector<Step>{Do(Type::kShowTab, DeviceKind::kHeadset),
                               Do(Type::kArrival, DeviceKind::kHeadset,
                                  MakeArrival(DeviceKind::kHeadset, -1, std::nullopt, 4)),
                               Do(Type::kWake, kNoDevice)}));
  EXPECT_TRUE(headsetDevice.connected);
  EXPECT_FALSE(headsetDevice.syncLighting);
}

// With a presence signal the headset watcher does not ask every few milliseconds: it asks once,
// then again when the signal rings (the headset came) or a HID device comes (its same-mode button).
TEST_F(WatcherFixture, HeadsetWatcherWithAPresenceSignalAsksOnlyWhenSignalled) {
  const WakeFd presence;
  host.presenceSignal = &presence;
  StopEvent threadStop;
  std::thread thread([&] { HeadsetWatcher(start).Run(threadStop); });

  ASSERT_TRUE(host.WaitFor(Type::kWake));
  std::this_thread::sleep_for(20 * start.paces.headset);
  EXPECT_EQ(host.PresenceQueries(), 1) << "no signal, no query";

  host.SetHeadsetPresent(true);
  presence.Ring();
  EXPECT_TRUE(host.WaitFor(Type::kArrival));

  bus.Plug(SimDeviceKind::kMouse);
  HidWatcher(HidWatcherKind::kMouse, start).RunCycle(stop);
  const auto headsetSameMode = [&] {
    for (const HostEvent& e : host.EventsOf(Type::kSameMode)) {
      if (e.kind == DeviceKind::kHeadset && e.visible) return true;
    }
    return false;
  };
  for (int i = 0; i < 1000 && !headsetSameMode(); ++i) std::this_thread::sleep_for(start.paces.headset);
  EXPECT_TRUE(headsetSameMode()) << "the mouse's arrival woke the headset watcher";

  threadStop.Set();
  thread.join();
}

// An absent device is looked for when the bus signals a change, not at every pause of the watcher
// (10 ms here): the idle program does not enumerate over and over.
TEST_F(WatcherFixture, AnAbsentDeviceIsLookedForWhenTheBusChanges) {
  start.paces.absent = 10ms;
  StopEvent threadStop;
  std::thread thread([&] { HidWatcher(HidWatcherKind::kMouse, start).Run(threadStop); });
  std::this_thread::sleep_for(30 * start.paces.absent);
  EXPECT_LE(backend.Enumerations(), 2) << "one search at start, none while nothing changes";

  bus.Plug(SimDeviceKind::kMouse);
  EXPECT_TRUE(host.WaitFor(Type::kArrival));
  threadStop.Set();
  thread.join();
}

// A connected device is not asked after at every pause either (10 ms here): its removal and the
// other devices' arrivals (its same-mode button) come as signs.
TEST_F(WatcherFixture, AConnectedDeviceIsLookedAtWhenTheBusOrTheOtherDevicesChange) {
  start.paces.connected = 10ms;
  const int mouseId = bus.Plug(SimDeviceKind::kMouse);
  StopEvent threadStop;
  std::thread thread([&] { HidWatcher(HidWatcherKind::kMouse, start).Run(threadStop); });
  ASSERT_TRUE(host.WaitFor(Type::kArrival));
  const int looks = backend.PresenceLooks();
  std::this_thread::sleep_for(30 * start.paces.connected);
  EXPECT_LE(backend.PresenceLooks(), looks + 2) << "nothing changed";

  const std::size_t sameMode = host.EventsOf(Type::kSameMode).size();
  keyboard.connected = true;
  start.connectionChanged.Ring();
  EXPECT_TRUE(host.WaitFor(Type::kSameMode, sameMode + 1)) << "another device came: the same-mode button shows";

  bus.Unplug(mouseId);
  EXPECT_TRUE(host.WaitFor(Type::kRemoval));
  threadStop.Set();
  thread.join();
}

// ---------------------------------------------------------------------------------------------
// Removal and the tab the window shows next.

struct RemovalRow {
  std::string name;
  std::vector<DeviceKind> present;  // connected before the removal
  DeviceKind selected;              // tab selected by the user before the removal
  DeviceKind removed;
  TabChoice expected;
  DeviceKind selectedAfter;
};
void PrintTo(const RemovalRow& row, std::ostream* os) {
  *os << row.name;
}

class RemovalTest : public WatcherFixture, public testing::WithParamInterface<RemovalRow> {
 protected:
  std::map<DeviceKind, int> ids;
};

TEST_P(RemovalTest, HidesTheTabAndSelectsByPreference) {
  const RemovalRow& row = GetParam();
  HidWatcher keyboardWatcher(HidWatcherKind::kKeyboard, start);
  HidWatcher mouseWatcher(HidWatcherKind::kMouse, start);
  HidWatcher mousepadWatcher(HidWatcherKind::kMousepad, start);
  HeadsetWatcher headsetWatcher(start);
  auto cycle = [&](DeviceKind kind) {
    switch (kind) {
      case DeviceKind::kKeyboard:
        keyboardWatcher.RunCycle(stop);
        break;
      case DeviceKind::kMouse:
        mouseWatcher.RunCycle(stop);
        break;
      case DeviceKind::kMousepad:
        mousepadWatcher.RunCycle(stop);
        break;
      default:
        headsetWatcher.RunCycle();
        break;
    }
  };
  for (DeviceKind kind : row.present) {
    switch (kind) {
      case DeviceKind::kKeyboard:
        ids[kind] = bus.Plug(SimDeviceKind::kKeyboard);
        break;
      case DeviceKind::kMouse:
        ids[kind] = bus.Plug(SimDeviceKind::kMouse);
        break;
      case DeviceKind::kMousepad:
        ids[kind] = bus.Plug(SimDeviceKind::kMousepad);
        break;
      default:
        host.SetHeadsetPresent(true);
        break;
    }
    cycle(kind);
  }
  ASSERT_EQ(host.EventsOf(Type::kArrival).size(), row.present.size());
  host.SelectTab(row.selected);
  HidDevice& removed = row.removed == DeviceKind::kKeyboard   ? keyboard
                       : row.removed == DeviceKind::kMouse    ? mouse
                       : row.removed == DeviceKind::kMousepad ? mousepad
                                                              : headsetDevice;
  removed.syncLighting = true;
  host.ClearEvents();

  if (row.removed == DeviceKind::kHeadset) {
    host.SetHeadsetPresent(false);
  } else {
    bus.Unplug(ids[row.removed]);
  }
  cycle(row.removed);

  const std::vector<HostEvent> removals = host.EventsOf(Type::kRemoval);
  ASSERT_EQ(removals.size(), 1u);
  EXPECT_EQ(removals[0].kind, row.removed);
  EXPECT_EQ(removals[0].choice, row.expected);
  EXPECT_EQ(host.SelectedTab(), row.selectedAfter);
  EXPECT_FALSE(host.TabVisible(row.removed));
  EXPECT_EQ(host.WindowHidden(), row.expected.action == TabChoice::Action::kHideWindow);
  EXPECT_FALSE(removed.connected);
  EXPECT_FALSE(removed.syncLighting);
  EXPECT_FALSE(removed.link.IsOpen()) << "the vanished node is released at once";
}

using Action = TabChoice::Action;
INSTANTIATE_TEST_SUITE_P(Cases, RemovalTest,
                         testing::Values(RemovalRow{"keyboard_gone_mouse_and_headset_stay_selects_ms_tab",
                                                    {DeviceKind::kKeyboard, DeviceKind::kMouse,
                                                     DeviceKind::kHeadset},
                                                    DeviceKind::kKeyboard,
                                                    DeviceKind::kKeyboard,
                                                    {Action::kSelectTab, DeviceKind::kMouse},
                                                    DeviceKind::kMouse},
                                         RemovalRow{"last_device_gone_hides_the_window",
                                                    {DeviceKind::kMouse},
                                                    DeviceKind::kMouse,
                                                    DeviceKind::kMouse,
                                                    {Action::kHideWindow},
                                                    DeviceKind::kMouse},
                                         RemovalRow{"headset_gone_while_ms_tab_selected_keeps_the_selection",
                                                    {DeviceKind::kMouse, DeviceKind::kHeadset},
                                                    DeviceKind::kMouse,
                                                    DeviceKind::kHeadset,
                                                    {Action::kKeepSelection},
                                                    DeviceKind::kMouse},
                                         RemovalRow{"headset_gone_while_hs_tab_selected_selects_mp_tab",
                                                    {DeviceKind::kMousepad, DeviceKind::kHeadset},
                                                    DeviceKind::kHeadset,
                                                    DeviceKind::kHeadset,
                                                    {Action::kSelectTab, DeviceKind::kMousepad},
                                                    DeviceKind::kMousepad},
                                         RemovalRow{"mousepad_gone_with_only_the_headset_left_selects_hs_tab",
                                                    {DeviceKind::kMousepad, DeviceKind::kHeadset},
                                                    DeviceKind::kMousepad,
                                                    DeviceKind::kMousepad,
                                                    {Action::kSelectTab, DeviceKind::kHeadset},
                                                    DeviceKind::kHeadset},
                                         RemovalRow{"only_headset_gone_hides_the_window",
                                                    {DeviceKind::kHeadset},
                                                    DeviceKind::kHeadset,
                                                    DeviceKind::kHeadset,
                                                    {Action::kHideWindow},
                                                    DeviceKind::kHeadset}),
                         [](const testing::TestParamInfo<RemovalRow>& info) { return info.param.name; });

TEST_F(WatcherFixture, ReplugAfterRemovalArrivesAgainOnANewPath) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  HidWatcher watcher(HidWatcherKind::kMouse, start);
  watcher.RunCycle(stop);
  const std::string firstPath = mouse.link.devicePath.path;
  bus.Unplug(id);
  EXPECT_EQ(watcher.RunCycle(stop), start.paces.absent);
  ASSERT_TRUE(bus.Replug(id));
  EXPECT_EQ(watcher.RunCycle(stop), start.paces.connected);

  EXPECT_TRUE(mouse.connected);
  EXPECT_NE(mouse.link.devicePath.path, firstPath);
  EXPECT_EQ(host.EventsOf(Type::kArrival).size(), 2u);
  EXPECT_EQ(host.EventsOf(Type::kRemoval).size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Same-mode check box: shown exactly when another device is connected, posted only on change.

TEST_F(WatcherFixture, SameModeCheckBoxFollowsTheOtherDevices) {
  bus.Plug(SimDeviceKind::kMouse);
  HidWatcher mouseWatcher(HidWatcherKind::kMouse, start);
  HidWatcher keyboardWatcher(HidWatcherKind::kKeyboard, start);
  HeadsetWatcher headsetWatcher(start);
  mouseWatcher.RunCycle(stop);  // arrival
  mouseWatcher.RunCycle(stop);
  mouseWatcher.RunCycle(stop);
  const int keyboardId = bus.Plug(SimDeviceKind::kKeyboard);
  keyboardWatcher.RunCycle(stop);
  mouseWatcher.RunCycle(stop);
  host.SetHeadsetPresent(true);
  headsetWatcher.RunCycle();  // arrival
  headsetWatcher.RunCycle();
  bus.Unplug(keyboardId);
  keyboardWatcher.RunCycle(stop);
  mouseWatcher.RunCycle(stop);  // the headset is still there
  host.SetHeadsetPresent(false);
  headsetWatcher.RunCycle();
  mouseWatcher.RunCycle(stop);

  std::vector<std::pair<DeviceKind, bool>> shown;
  for (const HostEvent& e : host.EventsOf(Type::kSameMode)) shown.emplace_back(e.kind.value(), e.visible);
  EXPECT_EQ(shown, (std::vector<std::pair<DeviceKind, bool>>{{DeviceKind::kMouse, false},
                                                             {DeviceKind::kMouse, true},
                                                             {DeviceKind::kHeadset, true},
                                                             {DeviceKind::kMouse, false}}));
}

// ---------------------------------------------------------------------------------------------
// Wake-up after the first pass.

TEST_F(WatcherFixture, OnlyTheFirstPassWakesTheWindow) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  HidWatcher watcher(HidWatcherKind::kMouse, start);
  watcher.RunCycle(stop);
  bus.Unplug(id);
  watcher.RunCycle(stop);
  ASSERT_TRUE(bus.Replug(id));
  watcher.RunCycle(stop);

  EXPECT_EQ(host.EventsOf(Type::kArrival).size(), 2u);
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 1u);
}

TEST_F(WatcherFixture, FirstPassWithoutTheDeviceDoesNotWakeAndLaterArrivalsDoNot) {
  HidWatcher watcher(HidWatcherKind::kKeyboard, start);
  watcher.RunCycle(stop);
  bus.Plug(SimDeviceKind::kKeyboard);
  watcher.RunCycle(stop);

  EXPECT_EQ(host.EventsOf(Type::kArrival).size(), 1u);
  EXPECT_TRUE(host.EventsOf(Type::kWake).empty());
}

TEST_F(WatcherFixture, HeadsetWatcherWakesAfterItsFirstCycleOnly) {
  HeadsetWatcher watcher(start);
  watcher.RunCycle();
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 1u) << "posted whether or not the headset is there";
  host.SetHeadsetPresent(true);
  watcher.RunCycle();
  watcher.RunCycle();
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 1u);
  EXPECT_EQ(host.EventsOf(Type::kArrival).size(), 1u);
}

// At start the headset watcher's first wake-up waits for the HID watchers' first searches: a mouse
// plugged in is found (and the window woken for it) before the wake-up that would otherwise warn
// that no device is there. A search that finds nothing counts too.
TEST_F(WatcherFixture, TheHeadsetsFirstWakeUpWaitsForTheFirstSearches) {
  WatcherStart starting{Devices(), host};
  bus.Plug(SimDeviceKind::kMouse);
  HeadsetWatcher headset(starting);
  HidWatcher keyboardWatcher(HidWatcherKind::kKeyboard, starting);
  HidWatcher mouseWatcher(HidWatcherKind::kMouse, starting);
  HidWatcher mousepadWatcher(HidWatcherKind::kMousepad, starting);

  headset.RunCycle();
  EXPECT_TRUE(host.EventsOf(Type::kWake).empty()) << "no HID watcher has looked yet";
  const std::uint64_t rings = starting.connectionChanged.Rings();
  keyboardWatcher.RunCycle(stop);
  mouseWatcher.RunCycle(stop);
  EXPECT_GT(starting.connectionChanged.Rings(), rings) << "a first search wakes the headset watcher";
  headset.RunCycle();
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 1u) << "only the mouse's own wake-up";
  EXPECT_TRUE(mouse.connected);

  mousepadWatcher.RunCycle(stop);
  headset.RunCycle();
  headset.RunCycle();
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 2u) << "the headset's, once";
}

// ---------------------------------------------------------------------------------------------
// Collections that are not the device, and enumeration failures.

struct WatcherRow {
  std::string name;
  HidWatcherKind watcher;
};
void PrintTo(const WatcherRow& row, std::ostream* os) {
  *os << row.name;
}

class ForeignDeviceTest : public WatcherFixture, public testing::WithParamInterface<WatcherRow> {};

TEST_P(ForeignDeviceTest, IsOpenedRejectedAndClosedOnEverySearch) {
  const std::uint16_t foreignProduct = sim::ProductIdOf(SimDeviceKind::kForeign);
  bus.Plug(SimDeviceKind::kForeign);
  HidWatcher watcher(GetParam().watcher, start);
  for (int search = 1; search <= 3; ++search) {
    EXPECT_EQ(watcher.RunCycle(stop), start.paces.absent);
    EXPECT_EQ(backend.CountOpens(foreignProduct, false), search);
    EXPECT_EQ(backend.CountHeld(foreignProduct), 0) << "search " << search;
  }
  EXPECT_TRUE(host.Events().empty());
}

INSTANTIATE_TEST_SUITE_P(EachHidWatcher, ForeignDeviceTest,
                         testing::Values(WatcherRow{"keyboard", HidWatcherKind::kKeyboard},
                                         WatcherRow{"mouse", HidWatcherKind::kMouse},
                                         WatcherRow{"mousepad", HidWatcherKind::kMousepad}),
                         [](const testing::TestParamInfo<WatcherRow>& info) { return info.param.name; });

TEST_F(WatcherFixture, OtherKorvaDevicesAreNotTakenForTheMouse) {
  bus.Plug(SimDeviceKind::kKeyboard);
  bus.Plug(SimDeviceKind::kMousepad);
  bus.Plug(SimDeviceKind::kForeign);
  HidWatcher(HidWatcherKind::kMouse, start).RunCycle(stop);
  EXPECT_FALSE(mouse.connected);
  EXPECT_FALSE(mouse.link.IsOpen());
  for (const OpenRecord& r : backend.Opens()) EXPECT_TRUE(r.released) << r.collection.path;
}

TEST_F(WatcherFixture, EnumerationFailureIsRetriedOnTheNextCycle) {
  bus.Plug(SimDeviceKind::kMouse);
  bus.FailEnumerations(2);
  HidWatcher watcher(HidWatcherKind::kMouse, start);

  EXPECT_EQ(watcher.RunCycle(stop), start.paces.absent);
  EXPECT_EQ(watcher.RunCycle(stop), start.paces.absent);
  EXPECT_FALSE(mouse.connected);
  EXPECT_TRUE(host.Events().empty());

  EXPECT_EQ(watcher.RunCycle(stop), start.paces.connected);
  EXPECT_TRUE(mouse.connected);
  EXPECT_EQ(host.EventsOf(Type::kArrival).size(), 1u);
  // The first search that could look is the first pass.
  EXPECT_EQ(host.EventsOf(Type::kWake).size(), 1u);
}

}  // namespace
}  // namespace korva::device::test
