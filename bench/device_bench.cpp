// The command exchange against the simulated mouse with the USB report interval of 1 ms. Each
// benchmark reports its wall time per iteration as a ratio to the floor of two report intervals
// per exchange (the request out, the answer back): "floor_ratio" near 1 means the host adds next to
// nothing to what the bus itself takes; the simulator charges both intervals, so no run can go below
// 1. EndTransfer's fixed 10 ms pause is counted in the time, not in the floor (about 1.07 is the
// best the full read allows).
//
// Each also reports what the process spends around the bus: "cpu_us", the CPU time of all its threads
// per iteration, and "wakeups", their voluntary context switches per iteration (every sleep of a
// thread that has to be woken again). The keyboard's frame stream runs with a reader on the consumer
// collection, as the synchronisation reader listens in the program: the node hands it every answer.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <atomic>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "lighting/effects/StreamPacking.h"
#include "sim/SimBus.h"

namespace korva::device {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::microseconds kReportInterval{1000};

// A simulated device (the mouse unless told) with its vendor collection open, as its watcher leaves
// it after arrival.
struct OpenMouse {
  explicit OpenMouse(sim::SimDeviceKind kind = sim::SimDeviceKind::kMouse) : id(bus.Plug(kind)) {}

  sim::SimBus bus;
  HidDevice device{bus};
  int id;

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
double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long VoluntarySwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nvcsw;
}

template <typename Body>
void RunAgainstFloor(benchmark::State& state, OpenMouse& mouse, Body body) {
  mouse.bus.ClearRequests(mouse.id);
  Clock::duration total{};
  const double cpu0 = ProcessCpuSeconds();
  const long switches0 = VoluntarySwitches();
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
  state.counters["cpu_us"] = (ProcessCpuSeconds() - cpu0) * 1e6 / iterations;
  state.counters["wakeups"] = static_cast<double>(VoluntarySwitches() - switches0) / iterations;
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

// A reader of every input report of the consumer collection's node until it is closed, as the
// synchronisation reader listens beside the lighting stream.
class NodeListener {
 public:
  explicit NodeListener(sim::SimBus& bus, int id) {
    for (const HidInterfaceInfo& c : bus.Collections(id)) {
      if (c.usagePage == kConsumerUsagePage) connection_ = bus.Open(c, {.wantRead = true});
    }
    if (connection_) thread_ = std::thread([this] { Listen(); });
  }
  ~NodeListener() {
    if (!connection_) return;
    stop_ = true;
    connection_->Abort();
    thread_.join();
  }
  NodeListener(const NodeListener&) = delete;
  NodeListener& operator=(const NodeListener&) = delete;
  bool Listening() const { return connection_ != nullptr; }

 private:
  void Listen() {
    std::array<std::uint8_t, 64> buffer{};
    while (!stop_) {
      std::size_t n = 0;
      if (connection_->Read(buffer, 5000, n) == HidIoStatus::kFailed) return;
    }
  }

  std::unique_ptr<HidConnection> connection_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// One keyboard lighting frame (378 bytes, seven exchanges) streamed, as the keyboard's lighting
// thread writes it every pass.
void BM_KeyboardFrameStream(benchmark::State& state) {
  OpenMouse keyboard(sim::SimDeviceKind::kKeyboard);
  if (!keyboard.Open()) {
    state.SkipWithError("cannot open the simulated keyboard");
    return;
  }
  NodeListener listener(keyboard.bus, keyboard.id);
  if (!listener.Listening()) {
    state.SkipWithError("cannot open the keyboard's consumer collection");
    return;
  }
  lighting::effects::KeyboardFrame frame{};
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = {static_cast<std::uint8_t>(i), 40, 200, 255};
  const auto stream = lighting::effects::PackKeyboardStream(frame);
  RunAgainstFloor(state, keyboard, [&] { return StreamLighting(keyboard.device, stream) == kResultOk; });
}
BENCHMARK(BM_KeyboardFrameStream)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korva::device
