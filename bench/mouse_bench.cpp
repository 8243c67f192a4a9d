// The mouse's full read (ReadMouseAll, the 69 exchanges of an arrival) against the simulated mouse
// with the USB report interval of 1 ms. The wall time per read is reported as a ratio to the floor
// of two report intervals per exchange (the request out, the answer back): "floor_ratio" near 1
// means the mouse code adds next to nothing to what the bus itself takes. EndTransfer's fixed
// 10 ms pause is counted in the time, not in the floor. The simulator charges an interval for each
// request going out and one for each answer coming back, as the bus does, so about 1.07 (138
// intervals plus the pause, over 138) is the best it allows.

#include <benchmark/benchmark.h>

#include <chrono>

#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "mouse/MouseImage.h"
#include "mouse/MouseTransfer.h"
#include "sim/SimBus.h"

namespace korva::mouse {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::microseconds kReportInterval{1000};

void BM_ReadMouseAll(benchmark::State& state) {
  sim::SimBus bus;
  device::HidDevice mouse(bus);
  const int id = bus.Plug(sim::SimDeviceKind::kMouse);
  bus.SetReportInterval(id, kReportInterval);
  for (const device::HidInterfaceInfo& c : bus.Collections(id)) {
    if (c.usagePage == device::kVendorUsagePage && c.usage == device::kVendorUsage) mouse.link.devicePath = c;
  }
  mouse.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
  if (!device::OpenLink(mouse.link)) {
    state.SkipWithError("cannot open the simulated mouse");
    return;
  }
  mouse.connected = true;

  Clock::duration total{};
  for (auto _ : state) {
    MouseImage image;  // a fresh image per arrival, as the watcher reads into
    const auto start = Clock::now();
    const MouseTransferResult result = ReadMouseAll(mouse, image);
    total += Clock::now() - start;
    if (!result.ok()) {
      state.SkipWithError("the full read failed");
      break;
    }
    benchmark::DoNotOptimize(image);
  }
  const double iterations = static_cast<double>(state.iterations());
  // The exchanges the simulator logged, so the count is measured rather than assumed.
  const double exchanges = static_cast<double>(bus.Requests(id).size()) / iterations;
  const double floorSeconds = exchanges * 2 * std::chrono::duration<double>(kReportInterval).count();
  const double seconds = std::chrono::duration<double>(total).count() / iterations;
  state.counters["exchanges"] = exchanges;
  state.counters["floor_ms"] = floorSeconds * 1e3;
  state.counters["floor_ratio"] = seconds / floorSeconds;
  device::CloseLink(mouse.link);
}
BENCHMARK(BM_ReadMouseAll)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korva::mouse
