// Colouring: a full screen of Masm32-style source with the Java rules beside the same
// screen painted plain (the floor, measured in the same run), and with the assembler's
// rules as a ratio over the Java rules; a rescan of every tracked line's state; and a
// typed key in the middle of a 1,000,000-line text from the key to the repaint: a letter
// rescans nothing, a "*" rescans the window below its line.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/BenchHost.h"
#include "highlight/HLEditor.h"
#include "tests/support/EditorInternals.h"

std::size_t BenchAllocationCount() noexcept;

namespace vantorel {
namespace {

// Source lines of the shapes a Masm32 program has, comments, strings and numbers among
// them.
std::string MasmText(int lines) {
  static const char* const kShapes[] = {
      "    invoke MessageBox, NULL, addr szText, addr szTitle, MB_OK   ; show it",
      "    .if uMsg == WM_CREATE",
      "        mov eax, dword ptr [ebx+4*ecx]",
      "  szTitle db \"Vantorel\", 0Dh, 0Ah, 0",
      "    push 0FFh",
      "    /* a block comment */ xor eax, eax",
      "    .endif",
      "WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD",
  };
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += kShapes[i % 8];
    text += "\r\n";
  }
  return text;
}

template <class Editor>
struct Screen {
  explicit Screen(int lines, THighlighter rules = THighlighter::hlJava) {
    host.Show(editor);
    if constexpr (std::is_same_v<Editor, THLEditor>) editor.SetHighlighter(rules);
    editor.Lines().SetTextStr(MasmText(lines));
    host.UpdateNow();
  }
  BenchHost host;
  Editor editor{&host};
};

// With the allocations per painted line once warm, counted through the benchmarks'
// operator new.
template <class Editor>
void PaintFullScreen(benchmark::State& state) {
  Screen<Editor> screen(2000);
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
void BM_PaintPlainMasmScreen60x120(benchmark::State& state) { PaintFullScreen<TEditor>(state); }
void BM_PaintColouredMasmScreen60x120(benchmark::State& state) { PaintFullScreen<THLEditor>(state); }
BENCHMARK(BM_PaintPlainMasmScreen60x120)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintColouredMasmScreen60x120)->Unit(benchmark::kMicrosecond);

// The same screen with the assembler's rules; its time is theirs alone, and over_java
// is their cost over the Java rules' (target 1.5 or less), both painted in every
// iteration so that the machine's load weighs on both alike.
void BM_PaintMasmRulesScreen60x120(benchmark::State& state) {
  Screen<THLEditor> masm(2000, THighlighter::hlMasm);
  Screen<THLEditor> java(2000, THighlighter::hlJava);
  const auto paint = [](Screen<THLEditor>& screen) {
    Inside(screen.editor).view.FullRepaintPending = true;
    screen.editor.Paint(screen.host.surface, screen.host.client);
  };
  paint(masm);
  paint(java);
  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> masmTime{0};
  std::chrono::duration<double> javaTime{0};
  std::size_t allocations = 0;
  for (auto _ : state) {
    const std::size_t before = BenchAllocationCount();
    const auto start = Clock::now();
    paint(masm);
    const auto middle = Clock::now();
    allocations += BenchAllocationCount() - before;
    paint(java);
    const auto end = Clock::now();
    masmTime += middle - start;
    javaTime += end - middle;
    state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
  }
  const double lines = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)) *
                       static_cast<double>(masm.editor.VisibleLines());
  state.counters["allocs_per_line"] = static_cast<double>(allocations) / lines;
  state.counters["over_java"] = javaTime.count() > 0 ? masmTime.count() / javaTime.count() : 0;
}
BENCHMARK(BM_PaintMasmRulesScreen60x120)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RescanAllTrackedLines(benchmark::State& state) {
  Screen<THLEditor> screen(kLastTrackedLine + 1);
  for (auto _ : state) benchmark::DoNotOptimize(screen.editor.RescanLongStates(-1));
}
BENCHMARK(BM_RescanAllTrackedLines)->Unit(benchmark::kMillisecond);

// The character is typed at the start of a line in the middle of the text and taken
// back every 50 characters outside the timing, so the line stays inside the screen:
// past its right edge every key would scroll and recolour all 60 visible lines.
void TypeInTheMiddle(benchmark::State& state, char typed) {
  Screen<THLEditor> screen(1000000);
  screen.editor.SetCaret(4, 30000);
  screen.host.UpdateNow();
  int count = 0;
  for (auto _ : state) {
    char ch = typed;
    screen.editor.KeyPress(ch);
    screen.host.UpdateNow();
    if (++count == 50) {
      state.PauseTiming();
      screen.editor.Undo();
      Inside(screen.editor).undo.Clear();
      screen.host.UpdateNow();
      count = 0;
      state.ResumeTiming();
    }
  }
}
void BM_TypeLetterIn1000000ColouredLines(benchmark::State& state) { TypeInTheMiddle(state, 'a'); }
void BM_TypeStarIn1000000ColouredLines(benchmark::State& state) { TypeInTheMiddle(state, '*'); }
BENCHMARK(BM_TypeLetterIn1000000ColouredLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeStarIn1000000ColouredLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
