// The partner walk of the bracket marks at its worst: the caret on the first line of a
// 1,000,000-line Masm32 source whose partner is on the last line (or the reverse), so
// one caret move reads the whole text through the editor's own line list. Bracket mode
// ("[" whose nested pairs fill the text) and word mode ("proc=endp", with nested
// procedures, case counting or not), beside the cost of reading every line. A frame
// is 16 ms; the counter `MB/s` is the text walked per second.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "bench/BenchHost.h"
#include "highlight/Brackets.h"

namespace vantorel {
namespace {

constexpr std::size_t kLines = 1000000;

// The body of a window procedure, repeated to fill the text between the outer pair.
constexpr std::array<std::string_view, 14> kBody = {
    "WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD",
    "    .if uMsg == WM_CREATE",
    "        invoke CreateWindowEx, 0, addr szEdit, NULL, WS_CHILD or WS_VISIBLE, "
    "10, 10, 200, 24, hWin, 500, hInstance, NULL",
    "        mov hEdit, eax",
    "    .elseif uMsg == WM_COMMAND",
    "        mov eax, wParam",
    "        mov ecx, dword ptr [ebx+4*esi]   ; the element of the table",
    "        lea edx, [ebp-(sizeof RECT)]",
    "",
    "    .elseif uMsg == WM_DESTROY",
    "        invoke PostQuitMessage, NULL",
    "    .endif",
    "    xor eax, eax",
    "WndProc endp",
};

class EditorLines : public BracketTextPort {
 public:
  explicit EditorLines(const TEditorStrings& lines) noexcept : lines_(lines) {}
  int LineCount() const override { return lines_.Count(); }
  std::string_view LineView(int y) const override { return lines_.View(y); }
  void RepaintLine(int) override {}

 private:
  const TEditorStrings& lines_;
};

struct LongSource {
  LongSource() {
    std::string text = "Outer proc    ; [\r\n";
    // Whole procedures only, so the nesting balances; the rest is padding.
    const std::size_t whole = (kLines - 2) / kBody.size() * kBody.size();
    for (std::size_t i = 0; i < kLines - 2; ++i) {
      text += i < whole ? kBody[i % kBody.size()] : std::string_view("    nop");
      text += "\r\n";
    }
    text += "Outer endp    ; ]\r\n";
    editor.Lines().SetTextStr(std::move(text));
    for (int i = 0; i < editor.Lines().Count(); ++i) bytes += static_cast<double>(editor.Lines().View(i).size());
  }
  BenchHost host;
  TEditor editor{&host};
  double bytes = 0;
};

LongSource& Source() {
  static LongSource source;
  return source;
}

// From the first line down to the last (up = 0), or from the last line up to the first.
void Walk(benchmark::State& state, int caretX, bool caseSensitive) {
  LongSource& source = Source();
  EditorLines lines(source.editor.Lines());
  const int last = static_cast<int>(kLines) - 1;
  const bool up = state.range(0) != 0;
  TBracketHighlighting marks;
  marks.Active = true;
  marks.CaseSensitiveWordPairs = caseSensitive;
  marks.SetWordPairs({"macro=endm", "proc=endp"});
  for (auto _ : state) {
    marks.UpdateBracketMarks(lines, true, caretX, up ? last : 0);
    if (marks.PartnerMark().BeginY != (up ? 0 : last)) {
      state.SkipWithError("the partner at the other end of the text was not found");
      break;
    }
  }
  state.counters["MB/s"] = benchmark::Counter(source.bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_BracketWalk(benchmark::State& state) { Walk(state, 16, true); }
void BM_WordPairWalk(benchmark::State& state) { Walk(state, 6, state.range(1) != 0); }

// The part of any walk that reading the lines costs: each line through the same port,
// its bytes untouched.
void BM_BracketWalkFloor(benchmark::State& state) {
  LongSource& source = Source();
  EditorLines lines(source.editor.Lines());
  const BracketTextPort& port = lines;
  for (auto _ : state) {
    std::size_t total = 0;
    for (int y = 0, count = port.LineCount(); y < count; ++y) total += port.LineView(y).size();
    benchmark::DoNotOptimize(total);
  }
  state.counters["MB/s"] = benchmark::Counter(source.bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_BracketWalkFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BracketWalk)->ArgName("up")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordPairWalk)
    ->ArgNames({"up", "caseSensitive"})
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantorel
