// The lighting renderers: time per rendered frame of every mode of every device, with and without
// multicolour, and of packing a frame into its device stream. A lighting thread renders one frame
// per pass, 2 ms apart at the quickest (the keyboard's wave at speed 0), so a frame's cost is best
// read against that: "frame_share" is the CPU time per frame over 2 ms, the share of the quickest
// frame period that rendering takes.

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>

#include "lighting/effects/HeadsetEffects.h"
#include "lighting/effects/KeyboardEffects.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/MousepadEffects.h"
#include "lighting/effects/StreamPacking.h"
#include "lighting/effects/SyncEffects.h"

namespace korva::lighting::effects {
namespace {

constexpr double kQuickestFrameNs = 2e6;

LightingSettings BenchRecord(const benchmark::State& state) {
  return {static_cast<std::uint8_t>(state.range(0)), 10,  3,   1,
          static_cast<std::uint8_t>(state.range(1)), 200, 100, 50};
}

// Per-thread CPU time, so the figure holds on a machine busy with other work.
struct CpuTimer {
  static std::chrono::nanoseconds Now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds{t.tv_sec} + std::chrono::nanoseconds{t.tv_nsec};
  }
  std::chrono::nanoseconds start = Now();
};

void Report(benchmark::State& state, const CpuTimer& timer) {
  const double frames = static_cast<double>(state.iterations());
  const double ns = static_cast<double>((CpuTimer::Now() - timer.start).count());
  state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["frame_share"] = ns / frames / kQuickestFrameNs;
}

void BM_KeyboardFrame(benchmark::State& state) {
  const LightingSettings record = BenchRecord(state);
  std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> sets{};
  sets.fill(90);
  KeyboardAnimation animation;
  SeedKeyboardMode(animation, record.mode);
  KeyboardFrame frame{};
  KeyboardFrame preview{};
  int n = 0;
  const CpuTimer timer;
  for (auto _ : state) {
    // The click ripple moves on the 10 ms tick and new clicks keep it busy.
    TickKeyboardClock(animation);
    TickKeyboardClock(animation);
    if (++n % 16 == 0) ClickKeyboardKey(animation, record.mode, static_cast<std::uint8_t>(n % 120));
    benchmark::DoNotOptimize(RenderKeyboard({record, sets, 1}, animation, frame, preview));
    benchmark::DoNotOptimize(frame);
    benchmark::DoNotOptimize(preview);
  }
  Report(state, timer);
}
BENCHMARK(BM_KeyboardFrame)->ArgsProduct({benchmark::CreateDenseRange(0, kKeyboardLastMode, 1), {0, 1}});

void BM_MouseFrame(benchmark::State& state) {
  const LightingSettings record = BenchRecord(state);
  MouseAnimation animation;
  StartMouseRing(animation, record.direction);
  MouseFrame frame{};
  auto now = EffectClock::time_point{};
  int n = 0;
  const CpuTimer timer;
  for (auto _ : state) {
    now += std::chrono::milliseconds{20};
    benchmark::DoNotOptimize(RenderMouse({record, ++n % 8 == 0, now}, animation, frame));
    benchmark::DoNotOptimize(frame);
  }
  Report(state, timer);
}
BENCHMARK(BM_MouseFrame)->ArgsProduct({benchmark::CreateDenseRange(0, kMouseLastMode, 1), {0, 1}});

void BM_MousepadFrame(benchmark::State& state) {
  const LightingSettings record = BenchRecord(state);
  MousepadAnimation animation;
  ResetMousepadAnimation(animation);
  MousepadFrame frame{};
  auto now = EffectClock::time_point{};
  int n = 0;
  const CpuTimer timer;
  for (auto _ : state) {
    now += std::chrono::milliseconds{20};
    benchmark::DoNotOptimize(RenderMousepad({record, ++n % 8 == 0, now}, animation, frame));
    benchmark::DoNotOptimize(frame);
  }
  Report(state, timer);
}
BENCHMARK(BM_MousepadFrame)->ArgsProduct({benchmark::CreateDenseRange(0, kMousepadLastMode, 1), {0, 1}});

void BM_HeadsetFrame(benchmark::State& state) {
  const LightingSettings record = BenchRecord(state);
  HeadsetAnimation animation;
  HeadsetFrame frame{};
  const CpuTimer timer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderHeadset(record, animation, frame));
    benchmark::DoNotOptimize(frame);
  }
  Report(state, timer);
}
BENCHMARK(BM_HeadsetFrame)->ArgsProduct({benchmark::CreateDenseRange(0, kHeadsetLastMode, 1), {0, 1}});

// All four devices joined: the most the synchronised lighting renders per pass.
void BM_SynchronisedFrame(benchmark::State& state) {
  const LightingSettings record = BenchRecord(state);
  SyncAnimation animation;
  KeyboardFrame keyboard{};
  MouseFrame mouse{};
  MousepadFrame mousepad{};
  HeadsetFrame headset{};
  const CpuTimer timer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderSynchronised(record, animation, {&keyboard, &mouse, &mousepad, &headset}));
    benchmark::DoNotOptimize(keyboard);
    benchmark::DoNotOptimize(headset);
  }
  Report(state, timer);
}
BENCHMARK(BM_SynchronisedFrame)->ArgsProduct({benchmark::CreateDenseRange(0, kSyncLastMode, 1), {0, 1}});

template <std::size_t N>
Frame<N> BenchFrame() {
  Frame<N> frame{};
  for (std::size_t i = 0; i < N; ++i) {
    frame[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i), 200,
                static_cast<std::uint8_t>(255 - i)};
  }
  return frame;
}

template <std::size_t N, typename Pack>
void PackBench(benchmark::State& state, Pack pack) {
  Frame<N> frame = BenchFrame<N>();
  const CpuTimer timer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(frame);
    benchmark::DoNotOptimize(pack(frame));
  }
  Report(state, timer);
}

void BM_PackKeyboardStream(benchmark::State& state) {
  PackBench<kKeyboardEntries>(state, PackKeyboardStream);
}
void BM_PackMouseStream(benchmark::State& state) {
  PackBench<kMouseEntries>(state, PackMouseStream);
}
void BM_PackMousepadStream(benchmark::State& state) {
  PackBench<kMousepadEntries>(state, PackMousepadStream);
}
void BM_PackHeadsetPairList(benchmark::State& state) {
  PackBench<kHeadsetEntries>(state, PackHeadsetPairList);
}
BENCHMARK(BM_PackKeyboardStream);
BENCHMARK(BM_PackMouseStream);
BENCHMARK(BM_PackMousepadStream);
BENCHMARK(BM_PackHeadsetPairList);

}  // namespace
}  // namespace korva::lighting::effects
