// The lighting preview's painting: the keyboard's 126 device keys, each with a new tint every
// frame, painted once the tints of the effect have been seen (the cache is warm). Reports keys
// painted per second, that rate as a multiple of what the preview needs, and how many tints had
// to be made while warm (0 is the aim: a warm frame only draws cached pixmaps).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/controls/DeviceKeyButton.h"
#include "ui/controls/LightTintCache.h"

namespace {

constexpr int kKeys = 126;
// The floor: the preview changes every key up to 20 times a second.
constexpr double kNeededKeysPerSecond = 20.0 * kKeys;

void EnsureApplication() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korva_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

void BM_PaintPreviewKeysWarm(benchmark::State& state) {
  EnsureApplication();
  auto lights = std::make_shared<korva::ui::controls::LightTintCache>();
  QWidget board;
  // The shipped skin's key caps: no bevel, a thin border.
  board.setStyleSheet(QStringLiteral(
      "QPushButton { background: transparent; border: 1px solid #313846; border-radius: 3px; padding: 0; }"));
  board.resize(21 * 28, 6 * 28);
  std::vector<korva::ui::CDeviceKeyButtonUI*> keys;
  for (int i = 0; i < kKeys; ++i) {
    auto* key = new korva::ui::CDeviceKeyButtonUI(lights, &board);
    key->setGeometry((i % 21) * 28, (i / 21) * 28, 24, 24);
    keys.push_back(key);
  }
  QImage target(board.size(), QImage::Format_ARGB32_Premultiplied);
  int frame = 0;
  // A wave across the keys walking a wheel of 120 hues, as the keyboard's effects do.
  auto paintFrame = [&] {
    for (int i = 0; i < kKeys; ++i) {
      keys[static_cast<std::size_t>(i)]->changerColor = QColor::fromHsv((frame * 15 + i * 3) % 360, 255, 255);
      keys[static_cast<std::size_t>(i)]->changerAlpha = 60 + (frame + i) % 190;
    }
    board.render(&target);
    ++frame;
  };
  for (int i = 0; i < 48; ++i) paintFrame();
  const quint64 madeWarm = lights->Made();
  for (auto _ : state) paintFrame();
  state.counters["keys/s"] = benchmark::Counter(
      static_cast<double>(kKeys) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["x_of_need"] = benchmark::Counter(
      static_cast<double>(kKeys) * static_cast<double>(state.iterations()) / kNeededKeysPerSecond,
      benchmark::Counter::kIsRate);
  state.counters["tints_made_warm"] = static_cast<double>(lights->Made() - madeWarm);
  state.counters["cache_KiB"] = static_cast<double>(lights->Bytes()) / 1024.0;
}
BENCHMARK(BM_PaintPreviewKeysWarm)->Unit(benchmark::kMillisecond);

}  // namespace
