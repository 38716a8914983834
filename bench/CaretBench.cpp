// One keystroke of caret movement or selection, the whole road: the key-down through
// the key table and the dispatcher, the caret and selection model, the view's
// scrolling, and the repaint of what the step marked (as WM_PAINT would) on a
// surface that draws nothing. Run on 1,000 and 1,000,000 lines: the cost of a step
// must not grow with the text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchHost.h"
#include "editor/KeyTable.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

struct KeyScreen {
  explicit KeyScreen(int lines) {
    host.Show(editor);
    std::string text;
    for (int i = 0; i < lines; ++i) text += "        mov eax, dword ptr [ebx+" + std::to_string(i % 977) + "]\r\n";
    editor.Lines().SetTextStr(std::move(text));
    editor.SetCaret(3, lines / 2);
    host.UpdateNow();
  }
  void Key(int key, ShiftState shift = {}) {
    editor.KeyDown(key, shift);
    host.UpdateNow();
  }
  BenchHost host;
  TEditor editor{&host};
};

ShiftState With(bool shift, bool ctrl) {
  ShiftState s;
  s.shift = shift;
  s.ctrl = ctrl;
  return s;
}

// The iterations alternate between two keys whose moves undo each other, so the
// caret stays where it started however long the run; the time is that of one step.
void RunSteps(benchmark::State& state, int there, int back, ShiftState shift) {
  KeyScreen screen(static_cast<int>(state.range(0)));
  bool forth = true;
  for (auto _ : state) {
    screen.Key(forth ? there : back, shift);
    forth = !forth;
  }
}

void BM_KeyDownUp(benchmark::State& state) { RunSteps(state, vk::Down, vk::Up, {}); }
void BM_KeyEndHome(benchmark::State& state) { RunSteps(state, vk::End, vk::Home, {}); }
void BM_KeyCtrlEndCtrlHome(benchmark::State& state) { RunSteps(state, vk::End, vk::Home, With(false, true)); }
void BM_KeyShiftDownShiftUp(benchmark::State& state) { RunSteps(state, vk::Down, vk::Up, With(true, false)); }

BENCHMARK(BM_KeyDownUp)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyEndHome)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyCtrlEndCtrlHome)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyShiftDownShiftUp)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel

namespace vantorel {
namespace {

// One typed character in the middle of the text: the character message, its undo
// record, the line change and the repaint of the line. The typed text is taken back
// now and then outside the timing, so the line stays short.
void BM_TypeCharacter(benchmark::State& state) {
  KeyScreen screen(static_cast<int>(state.range(0)));
  int typed = 0;
  for (auto _ : state) {
    char ch = 'a';
    screen.editor.KeyPress(ch);
    screen.host.UpdateNow();
    if (++typed == 200) {
      state.PauseTiming();
      screen.editor.Undo();
      Inside(screen.editor).undo.Clear();
      typed = 0;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_TypeCharacter)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Undoing a run of 100,000 typed characters, an Enter after every 999 so the lines stay
// within the columns the caret can reach. Typed in a row they are one undo step.
void BM_Undo100000TypedCharacters(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    KeyScreen screen(1000);
    for (int i = 0; i < 100000; ++i) {
      char ch = i % 1000 == 999 ? '\r' : static_cast<char>('a' + i % 26);
      screen.editor.KeyPress(ch);
    }
    state.ResumeTiming();
    screen.editor.Undo();
    benchmark::DoNotOptimize(screen.editor.LineCount());
  }
}
BENCHMARK(BM_Undo100000TypedCharacters)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vantorel
