// Painting one XP-look button: the push button's face with its ring and outline,
// repainted with the gradients kept, beside the floor of copying the face's pixels
// once; and what a paint that rebuilt its gradient every time would cost. The
// allocations per repaint are counted through the benchmarks' operator new.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/BenchHost.h"
#include "xpbuttons/Gradient.h"
#include "xpbuttons/XPButton.h"

std::size_t BenchAllocationCount() noexcept;

namespace vantorel {
namespace {

class BenchButtonWindow : public ButtonWindow {
 public:
  Rect ClientRect() const override { return Rect{0, 0, 75, 25}; }
  void Repaint() override {}
  bool Focused() const override { return true; }
  bool CanFocus() const override { return true; }
  void TakeFocus() override {}
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  bool MouseCaptured() const override { return false; }
  void StartTimer(int) override {}
  void StopTimer() override {}
  Point ScreenOrigin() const override { return {}; }
  bool PointerOver() const override { return false; }
  Color ParentColor() const override { return clGray; }
};

// The floor: the face's 75 x 25 pixels copied once.
void BM_ButtonFaceFloor(benchmark::State& state) {
  const std::vector<std::uint32_t> face(75 * 25, 0xFFFFFFFFu);
  std::vector<std::uint32_t> screen(75 * 25);
  for (auto _ : state) {
    std::copy(face.begin(), face.end(), screen.begin());
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ButtonFaceFloor);

void BM_PaintPushButton(benchmark::State& state) {
  BenchButtonWindow window;
  TXPButton button(&window);
  button.Caption = "Сохранить";
  DiscardingSurface surface;
  button.Paint(surface);  // the gradients are made once
  const std::size_t before = BenchAllocationCount();
  for (auto _ : state) button.Paint(surface);
  state.counters["allocs_per_paint"] = static_cast<double>(BenchAllocationCount() - before) /
                                       static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_PaintPushButton);

// A face and a ring painted anew, as a paint that kept nothing would.
void BM_PaintGradientsAnew(benchmark::State& state) {
  PixelImage face;
  PixelImage ring;
  for (auto _ : state) {
    PaintGradient(69, 19, Color::Rgb(255, 255, 255), Color::Rgb(239, 235, 231), 255, 1, true, face,
                  DefaultGradientRandom());
    PaintGradient(75, 25, Color::Rgb(206, 231, 255), Color::Rgb(109, 132, 239), 16, 1, true, ring,
                  DefaultGradientRandom());
    benchmark::DoNotOptimize(face.pixels.data());
    benchmark::DoNotOptimize(ring.pixels.data());
  }
}
BENCHMARK(BM_PaintGradientsAnew);

}  // namespace
}  // namespace vantorel
