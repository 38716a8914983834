// Loading a large source file into the editor's line list, against the floor of
// reading the same file and counting its lines. Reports time and the peak of heap
// memory each takes, and at the end the ratio of the two times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"
#include "headless/PosixFileSystem.h"

// --- heap accounting: current and peak bytes held through operator new ---
namespace {
std::atomic<std::size_t> gCurrent{0};
std::atomic<std::size_t> gPeak{0};

void* Allocate(std::size_t size) {
  void* p = std::malloc(size + sizeof(std::max_align_t));
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  const std::size_t now = gCurrent += size;
  std::size_t peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(p) + sizeof(std::max_align_t);
}

void Release(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - sizeof(std::max_align_t);
  gCurrent -= *static_cast<std::size_t*>(block);
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace vantorel {
namespace {

// About 50 MB of Masm32-style source with CR LF line ends, about 1.2 million lines.
const std::string& SourceFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "vantorel-bench-50mb-v2.asm").string();
    if (std::filesystem::exists(p) && std::filesystem::file_size(p) > 49'000'000) return p;
    // Average line 42 bytes with its CR LF; one line in twelve is indented by tabs.
    static const char* const kLines[] = {
        "    invoke  CreateWindowEx, 0, ADDR szClassName, ADDR szDisplayName, \\",
        "            WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 696, 405,",
        "    mov     eax, [ebp+8]",
        "    .if uMsg == WM_COMMAND",
        "        push    esi",
        "    ; the window procedure answers the messages it knows",
        "",
        "WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD",
        "\tcall\tDefWindowProc",
        "    xor     eax, eax",
        "    .endif",
        "szClassName db \"TestWindowClass\", 0",
    };
    std::string text;
    text.reserve(51'000'000);
    for (std::size_t i = 0; text.size() < 50'000'000; ++i) {
      text += kLines[i % std::size(kLines)];
      text += "\r\n";
    }
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }();
  return path;
}

void ReportPeak(benchmark::State& state, std::size_t before) {
  const double fileSize = static_cast<double>(std::filesystem::file_size(SourceFile()));
  state.counters["peak_MB"] = static_cast<double>(gPeak.load() - before) / 1e6;
  state.counters["peak_per_file"] = static_cast<double>(gPeak.load() - before) / fileSize;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize));
}

void BM_PlainReadAndCountLines(benchmark::State& state) {
  PosixFileSystem fs;
  const std::size_t before = gCurrent.load();
  gPeak = before;
  for (auto _ : state) {
    const std::string bytes = fs.ReadFile(SourceFile());
    benchmark::DoNotOptimize(std::count(bytes.begin(), bytes.end(), '\n'));
  }
  ReportPeak(state, before);
}
BENCHMARK(BM_PlainReadAndCountLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadIntoLineList(benchmark::State& state) {
  PosixFileSystem fs;
  HeadlessWindowHost host;
  host.hasWindow = false;
  const std::size_t before = gCurrent.load();
  gPeak = before;
  int lines = 0;
  for (auto _ : state) {
    TEditor editor(&host);
    editor.Lines().LoadFromFile(fs, SourceFile());
    lines = editor.Lines().Count();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = lines;
  ReportPeak(state, before);
}
BENCHMARK(BM_LoadIntoLineList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the results as usual and, at the end, the load time over the plain read.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto plain = times_.find("BM_PlainReadAndCountLines/min_time:2.000");
    const auto load = times_.find("BM_LoadIntoLineList/min_time:2.000");
    if (plain != times_.end() && load != times_.end() && plain->second > 0) {
      std::printf("load / plain read and count: %.2f\n", load->second / plain->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace vantorel

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vantorel::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
