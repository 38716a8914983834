// Reading a build's output: 100,000 lines in the mix a Masm32 build of a large project
// writes (banners, "Assembling:" lines, assembler errors and warnings with long paths,
// linker and resource compiler messages), read one by one as the pane receives them.
// Goal: the whole batch under 20 ms. BM_CutAndReadOutput adds cutting the byte stream
// into lines, as the capture does before the pane sees them. The counter `lines/s`
// is the parsing rate.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/BuildOutput.h"

namespace vantorel {
namespace {

constexpr int kLines = 100000;

constexpr std::array<std::string_view, 12> kShapes = {
    " Assembling: C:\\masm32\\projects\\big project\\src\\window procedures.asm",
    "C:\\masm32\\projects\\big project\\src\\window procedures.asm(1234) : error A2008: syntax error : mov",
    "C:\\masm32\\projects\\big project\\src\\window procedures.asm(77) : warning A4011: multiple .MODEL directives",
    "C:\\masm32\\projects\\big project\\src\\macros.asm(10): Macro Called From",
    "window procedures.obj : error LNK2001: unresolved external symbol _CreateWindowExA@48",
    "LINK : fatal error LNK1104: cannot open file \"big project.exe\"",
    "rsrc.rc (12): error RC2104 : undefined keyword or key name: IDI_MAIN",
    "hello.asm(123) : Error A2102: Symbol not defined : hInstance",
    "Microsoft (R) Macro Assembler Version 6.14.8444",
    "Copyright (C) Microsoft Corp 1981-1997.  All rights reserved.",
    "Press any key to continue . . .",
    "",
};

std::vector<std::string> OutputLines() {
  std::vector<std::string> lines;
  lines.reserve(kLines);
  for (int i = 0; i < kLines; ++i) lines.emplace_back(kShapes[static_cast<std::size_t>(i) % kShapes.size()]);
  return lines;
}

void BM_ReadOutputLines(benchmark::State& state) {
  const std::vector<std::string> lines = OutputLines();
  for (auto _ : state) {
    int positions = 0;
    for (const std::string& line : lines) positions += ParseToolMessage(line).HasPosition();
    benchmark::DoNotOptimize(positions);
  }
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kLines) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadOutputLines)->Unit(benchmark::kMillisecond);

void BM_CutAndReadOutput(benchmark::State& state) {
  std::string stream;
  for (const std::string& line : OutputLines()) stream += line + "\r\n";
  std::vector<std::string> lines;
  lines.reserve(kLines);
  for (auto _ : state) {
    lines.clear();
    TLineSplitter splitter;
    // The reader's pipe reads are at most 8 KB.
    for (std::size_t at = 0; at < stream.size(); at += 8192) {
      splitter.Feed(std::string_view(stream).substr(at, 8192), lines);
    }
    splitter.Finish(lines);
    int positions = 0;
    for (const std::string& line : lines) positions += ParseToolMessage(line).HasPosition();
    benchmark::DoNotOptimize(positions);
  }
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kLines) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CutAndReadOutput)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantorel
