// Reading declarations: one text of about 4 MB shaped like the Masm32 includes and
// programs (from the sources' generator the tests use), read whole, beside the floor
// of counting its lines. The counter `bytes/s` is the reading rate.
//
// The include tree: a generated tree the size of the Masm32 include folder (about 340
// files, 4.2 MB) in an in-memory file system, read from a source that includes its top
// file, beside the floor of reading every file through the same port and counting its
// lines. Goals: `per_floor` 10 or less, under 100 ms, `memory_per_byte` (the heap the
// tree holds over the bytes it read) 3 or less.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "app/CodeHints.h"
#include "bench/BenchHost.h"
#include "bench/HeapCount.h"
#include "highlight/HLEditor.h"
#include "headless/IconvCodePages.h"
#include "headless/MemoryFileSystem.h"
#include "index/Declarations.h"
#include "index/IncludeTree.h"
#include "tests/support/IncludeTreeGenerator.h"
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

struct FullTree {
  FullTree() : generated(IncludeTreeGenerator(1).Generate({})) {
    for (const auto& [path, bytes] : generated.files) fs.Put(path, bytes);
    for (std::size_t i = 0; i < generated.sourceIncludes.size(); ++i)
      includes.push_back(IncludeLine{generated.sourceIncludes[i], static_cast<int>(i)});
  }
  GeneratedIncludeTree generated;
  MemoryFileSystem fs;
  std::vector<IncludeLine> includes;
};

FullTree& Tree() {
  static FullTree tree;
  return tree;
}

// Every file the tree reaches, read through the port, its LF bytes counted.
std::size_t ReadTreeFloor(FullTree& tree) {
  std::size_t lines = 0;
  for (const std::string& path : tree.generated.reached) {
    const FileBytes bytes = tree.fs.ReadFile(path);
    const char* p = bytes.data.get();
    const char* const end = p + bytes.size;
    while (const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
      ++lines;
      p = static_cast<const char*>(hit) + 1;
    }
  }
  return lines;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <typename Run>
double SecondsOf(Run&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_IncludeTreeFloor(benchmark::State& state) {
  FullTree& tree = Tree();
  for (auto _ : state) benchmark::DoNotOptimize(ReadTreeFloor(tree));
  state.counters["files"] = static_cast<double>(tree.generated.reached.size());
  state.counters["MB"] = static_cast<double>(tree.generated.reachedBytes) / 1e6;
}
BENCHMARK(BM_IncludeTreeFloor)->Unit(benchmark::kMillisecond);

// Each read of the tree is timed beside the floor run just before it, so both see the
// same load of the machine: per_floor is the median of the reads over the median of
// the floors.
void BM_IncludeTree(benchmark::State& state) {
  FullTree& tree = Tree();
  IconvCodePages pages;
  const IncludeSearch search{tree.generated.sourcePath, tree.generated.masmPath};
  std::vector<double> reads;
  std::vector<double> floors;
  std::size_t held = 0;
  std::size_t names = 0;
  for (auto _ : state) {
    floors.push_back(SecondsOf([&] { benchmark::DoNotOptimize(ReadTreeFloor(tree)); }));
    const std::size_t before = BenchHeapNow();
    IncludeTree read;
    const double seconds = SecondsOf([&] { read = IncludeTree::Read(tree.fs, pages, search, tree.includes); });
    held = BenchHeapNow() - before;
    names = read.Names().Entries().size();
    state.SetIterationTime(seconds);
    reads.push_back(seconds);
  }
  const double floor = Median(floors);
  const double bytes = static_cast<double>(tree.generated.reachedBytes);
  state.counters["floor_ms"] = floor * 1e3;
  state.counters["per_floor"] = floor > 0 ? Median(reads) / floor : 0;
  state.counters["held_MB"] = static_cast<double>(held) / 1e6;
  state.counters["memory_per_byte"] = static_cast<double>(held) / bytes;
  state.counters["names"] = static_cast<double>(names);
}
BENCHMARK(BM_IncludeTree)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The editor with the code hints on over the whole generated tree: a source of the
// tree's include lines and lines more, its index read, the includes' names there.
struct HintedEditor {
  explicit HintedEditor(int extraLines) {
    FullTree& tree = Tree();
    host.Show(editor);
    std::string text;
    for (const IncludeLine& include : tree.includes) text += "include " + include.name + "\r\n";
    for (int i = 0; i < extraLines; ++i) text += "        mov eax, dword ptr [ebx+" + std::to_string(i % 977) + "]\r\n";
    text += "    invoke \r\n";
    editor.Lines().SetTextStr(std::move(text));
    hints.Update();
    hints.Indexer().WaitIdle();
    editor.Completion().SetSource(&hints);
  }
  ~HintedEditor() { editor.Completion().SetSource(nullptr); }
  // The caret after "invoke " on the last line.
  void CaretAtInvoke() { editor.SetCaret(11, editor.LineCount() - 1); }

  IconvCodePages pages;
  BenchHost host;
  THLEditor editor{&host};
  TCodeHints hints{editor.Lines(), Tree().fs, pages,
                   [] { return IncludeSearch{Tree().generated.sourcePath, Tree().generated.masmPath}; }, nullptr};
};

// Ctrl+Space after "invoke ": every name of the tree and the source in the list.
void BM_CompletionOpensOverTheTree(benchmark::State& state) {
  HintedEditor hinted(0);
  hinted.CaretAtInvoke();
  for (auto _ : state) {
    hinted.editor.Completion().OpenCompletion(TCompletion::IdentifierMode);
    state.PauseTiming();
    state.counters["items"] = hinted.editor.Completion().List().Count();
    hinted.editor.Completion().CloseList(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CompletionOpensOverTheTree)->Unit(benchmark::kMillisecond);

// A letter typed with that list open: the list narrows to the names beginning with it.
void BM_CompletionNarrowsByALetter(benchmark::State& state) {
  HintedEditor hinted(0);
  for (auto _ : state) {
    state.PauseTiming();
    hinted.CaretAtInvoke();
    hinted.editor.Completion().OpenCompletion(TCompletion::IdentifierMode);
    state.ResumeTiming();
    char ch = 'C';
    hinted.editor.KeyPress(ch);
    state.PauseTiming();
    state.counters["items"] = hinted.editor.Completion().List().Count();
    hinted.editor.Completion().CloseList(false);
    hinted.editor.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CompletionNarrowsByALetter)->Unit(benchmark::kMillisecond);

// A character typed in the middle of a 1,000,000-line source with the code hints on:
// the index only hears the change, nothing is read (the floor is BM_TypeCharacter on
// as many lines, without them).
void BM_TypeCharacterWithCodeHints(benchmark::State& state) {
  HintedEditor hinted(1000000);
  hinted.editor.SetCaret(3, 500000);
  int typed = 0;
  for (auto _ : state) {
    char ch = 'a';
    hinted.editor.KeyPress(ch);
    hinted.host.UpdateNow();
    if (++typed == 200) {
      state.PauseTiming();
      hinted.editor.Undo();
      hinted.hints.Update();
      typed = 0;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_TypeCharacterWithCodeHints)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
