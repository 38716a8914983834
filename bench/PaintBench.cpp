// Painting the editor on the discarding surface: a full screen of 60 lines by 120
// columns (with the allocations per painted line once warm), and a scroll by one line
// (pixel shift plus the uncovered strip).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/BenchHost.h"
#include "editor/Editor.h"
#include "tests/support/EditorInternals.h"

std::size_t BenchAllocationCount() noexcept;

namespace vantorel {
namespace {

// Colours every fourth column differently, so a line is several runs as with a
// highlighter.
class ColouredEditor : public TEditor {
 public:
  using TEditor::TEditor;

 protected:
  void GetAttr(int, int colBeg, int colEnd) override {
    for (int c = std::max(colBeg, 0); c <= colEnd && c < MaxLineColumns; c += 8) {
      MutableLineAttrs()[static_cast<std::size_t>(c + 1)].ForeColor = Color::Rgb(0, 0, 128);
    }
  }
};

struct Screen {
  Screen() {
    host.client = Rect{0, 0, 32 + 120 * 8, 60 * 16};
    host.control = &editor;
    editor.SetGutterWidth(30);
    editor.SetRightMargin(100);
    editor.WindowCreated();
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i) {
      lines.push_back("        mov wc.lpszClassName,    offset FormClass   ; line " + std::to_string(i) +
                      std::string(static_cast<std::size_t>(i % 80), 'x'));
    }
    editor.Lines().Assign(lines);
  }
  BenchHost host;
  ColouredEditor editor{&host};
};

void BM_PaintFullScreen60x120(benchmark::State& state) {
  Screen screen;
  Inside(screen.editor).view.FullRepaintPending = true;
  screen.editor.Paint(screen.host.surface, screen.host.client);
  const std::size_t before = BenchAllocationCount();
  for (auto _ : state) {
    Inside(screen.editor).view.FullRepaintPending = true;
    screen.editor.Paint(screen.host.surface, screen.host.client);
  }
  const double lines = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)) *
                       static_cast<double>(screen.editor.VisibleLines());
  state.counters["allocs_per_line"] = static_cast<double>(BenchAllocationCount() - before) / lines;
}
BENCHMARK(BM_PaintFullScreen60x120)->Unit(benchmark::kMicrosecond);

void BM_ScrollOneLine(benchmark::State& state) {
  Screen screen;
  int top = 0;
  for (auto _ : state) {
    top = top >= 1000 ? 0 : top + 1;
    screen.editor.ScrollTo(0, top);
  }
}
BENCHMARK(BM_ScrollOneLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
