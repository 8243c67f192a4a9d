// The command exchange against the simulated mouse with the USB report interval of 1 ms. Each
// benchmark reports its wall time per iteration as a ratio to the floor of two report intervals
// per exchange (the request out, the answer back): "floor_ratio" near 1 means the host adds next to
// nothing to what the bus itself takes; the simulator charges both intervals, so no run can go below
// 1. EndTransfer's fixed 10 ms pause is counted in the time, not in the floor (about 1.07 is the
// best the full read allows).

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "sim/SimBus.h"

namespace korva::device {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::microseconds kReportInterval{1000};

// A simulated mouse with its vendor collection open, as its watcher leaves it after arrival.
struct OpenMouse {
  sim::SimBus bus;
  HidDevice device{bus};
  int id = bus.Plug(sim::SimDeviceKind::kMouse);

  bool Open() {
    bus.SetReportInterval(id, kReportInterval);
    for (const HidInterfaceInfo& c : bus.Collections(id)) {
      if (c.usagePage == kVendorUsagePage && c.usage == kVendorUsage) device.link.devicePath = c;
    }
    device.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
    if (!OpenLink(device.link)) return false;
    device.connected = true;
    return true;
  }
};

// Runs `body` once per iteration and reports the time against the floor of the exchanges the
// simulator logged (so the count is measured, not assumed).
template <typename Body>
void RunAgainstFloor(benchmark::State& state, OpenMouse& mouse, Body body) {
  mouse.bus.ClearRequests(mouse.id);
  Clock::duration total{};
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!body()) {
      state.SkipWithError("an exchange failed");
      return;
    }
    total += Clock::now() - start;
  }
  const double iterations = static_cast<double>(state.iterations());
  const double exchanges = static_cast<double>(mouse.bus.Requests(mouse.id).size()) / iterations;
  const double floorSeconds = exchanges * 2 * std::chrono::duration<double>(kReportInterval).count();
  const double seconds = std::chrono::duration<double>(total).count() / iterations;
  state.counters["exchanges"] = exchanges;
  state.counters["floor_ms"] = floorSeconds * 1e3;
  state.counters["floor_ratio"] = seconds / floorSeconds;
}

void BM_ReadBank512(benchmark::State& state) {
  OpenMouse mouse;
  if (!mouse.Open()) {
    state.SkipWithError("cannot open the simulated mouse");
    return;
  }
  std::vector<std::uint8_t> bank(512);
  RunAgainstFloor(state, mouse, [&] { return ReadBank(mouse.device, 2, bank) == kResultOk; });
}
BENCHMARK(BM_ReadBank512)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

// What the mouse's full read at arrival sends: 69 exchanges.
bool FullMouseRead(HidDevice& device) {
  std::array<std::uint8_t, kInfoSize> info{};
  std::array<std::uint8_t, 56> record{};
  std::array<std::uint8_t, 1> active{};
  std::vector<std::uint8_t> block(512);
  bool ok = BeginTransfer(device) == kResultOk && ReadInfo(device, info) == kResultOk;
  for (std::uint16_t n = 0; n < 5; ++n) ok = ok && ReadSettings(device, n * 64, record) == kResultOk;
  ok = ok && ReadSettings(device, 0, active) == kResultOk && ReadDefaultBlock(device, block) == kResultOk;
  for (int bank = 0; bank <= 4; ++bank) ok = ok && ReadBank(device, bank, block) == kResultOk;
  return ok && EndTransfer(device) == kResultOk;
}

void BM_FullMouseRead(benchmark::State& state) {
  OpenMouse mouse;
  if (!mouse.Open()) {
    state.SkipWithError("cannot open the simulated mouse");
    return;
  }
  RunAgainstFloor(state, mouse, [&] { return FullMouseRead(mouse.device); });
}
BENCHMARK(BM_FullMouseRead)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korva::device
