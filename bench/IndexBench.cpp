// Reading declarations: one text of about 4 MB shaped like the Masm32 includes and
// programs (from the sources' generator the tests use), read whole, beside the floor
// of counting its lines. The counter `bytes/s` is the reading rate; the goal for the
// index over the whole include tree is 10 times the floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "index/Declarations.h"
#include "tests/support/MasmSourceGenerator.h"

namespace vantorel {
namespace {

const std::string& IncludeShapedText() {
  static const std::string text = [] {
    std::string all;
    for (unsigned seed = 0; all.size() < (4u << 20); ++seed) all += MasmSourceGenerator(seed).Source(400).text;
    return all;
  }();
  return text;
}

void BM_CountLinesFloor(benchmark::State& state) {
  const std::string& text = IncludeShapedText();
  for (auto _ : state) benchmark::DoNotOptimize(std::count(text.begin(), text.end(), '\n'));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CountLinesFloor)->Unit(benchmark::kMillisecond);

void BM_ReadDeclarations4MB(benchmark::State& state) {
  const std::string& text = IncludeShapedText();
  for (auto _ : state) benchmark::DoNotOptimize(ReadDeclarations(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadDeclarations4MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantorel
