// Loading a large source file into the editor's line list, against the floor of
// reading the same file with read() and counting its lines with memchr. Reports time
// and the peak of heap memory each takes, and at the end the load's time and peak
// against their targets.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench/Floor.h"
#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"
#include "headless/PosixFileSystem.h"

// --- heap accounting: current and peak bytes held through operator new ---
namespace {
std::atomic<std::size_t> gCurrent{0};
std::atomic<std::size_t> gPeak{0};
std::atomic<std::size_t> gAllocations{0};

void* Allocate(std::size_t size) {
  void* p = std::malloc(size + sizeof(std::max_align_t));
  if (!p) throw std::bad_alloc();
  ++gAllocations;
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

std::size_t BenchAllocationCount() noexcept { return gAllocations.load(); }

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

// The ratios the load is held to, against the floor below run beside it.
constexpr double kTimeTarget = 1.25;
constexpr double kPeakTarget = 1.3;

void ReportPeak(benchmark::State& state, std::size_t before) {
  const double fileSize = static_cast<double>(std::filesystem::file_size(SourceFile()));
  state.counters["peak_MB"] = static_cast<double>(gPeak.load() - before) / 1e6;
  state.counters["peak_per_file"] = static_cast<double>(gPeak.load() - before) / fileSize;
  state.SetBytesProcessed(static_cast<std::int64_t>(static_cast<double>(state.iterations()) * fileSize));
}

// The floor: read() the file into a buffer and count its LF bytes with memchr.
void BM_ReadAndMemchrCount(benchmark::State& state) {
  const std::size_t before = gCurrent.load();
  gPeak = before;
  for (auto _ : state) {
    const std::optional<std::size_t> lines = ReadAndCountLines(SourceFile());
    if (!lines) {
      state.SkipWithError("cannot open the source");
      break;
    }
    benchmark::DoNotOptimize(lines);
  }
  ReportPeak(state, before);
}
BENCHMARK(BM_ReadAndMemchrCount)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Files of nothing but tabs: one line of 1 MB (oneLine), or 10 MB in lines of 64 tabs.
const std::string& TabsFile(bool oneLine) {
  static std::string paths[2];
  std::string& path = paths[oneLine ? 0 : 1];
  if (path.empty()) {
    path = (std::filesystem::temp_directory_path() / (oneLine ? "vantorel-bench-tabs-line.asm" : "vantorel-bench-tabs-lines.asm")).string();
    std::string text;
    if (oneLine) {
      text.assign(1'000'000, '\t');
      text += "\r\n";
    } else {
      const std::string line = std::string(64, '\t') + "\r\n";
      while (text.size() < 10'000'000) text += line;
    }
    std::ofstream(path, std::ios::binary) << text;
  }
  return path;
}

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Loads the file into a line list in every iteration, each load timed against the
// floor of the same file run just before it, so that both see the same load of the
// machine: load_per_floor is the median of the loads over the median of the floors.
// Returns the lines of the last load.
int LoadAgainstFloor(benchmark::State& state, const std::string& file) {
  PosixFileSystem fs;
  HeadlessWindowHost host;
  host.hasWindow = false;
  std::vector<double> loads;
  std::vector<double> floors;
  int lines = 0;
  for (auto _ : state) {
    floors.push_back(SecondsOf([&] { benchmark::DoNotOptimize(ReadAndCountLines(file)); }));
    const double seconds = SecondsOf([&] {
      TEditor editor(&host);
      editor.Lines().LoadFromFile(fs, file);
      lines = editor.Lines().Count();
      benchmark::DoNotOptimize(lines);
    });
    state.SetIterationTime(seconds);
    loads.push_back(seconds);
  }
  const double floor = Median(floors);
  state.counters["load_per_floor"] = floor > 0 ? Median(loads) / floor : 0;
  return lines;
}

void BM_LoadIntoLineList(benchmark::State& state) {
  const std::size_t before = gCurrent.load();
  gPeak = before;
  // The floor's buffer is freed before each load begins and is smaller than the
  // load's peak, so the peak is the load's.
  state.counters["lines"] = LoadAgainstFloor(state, SourceFile());
  ReportPeak(state, before);
}
BENCHMARK(BM_LoadIntoLineList)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadOnlyTabs(benchmark::State& state) { LoadAgainstFloor(state, TabsFile(state.range(0) == 0)); }
BENCHMARK(BM_LoadOnlyTabs)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Prints the results as usual and, at the end, the load against the floor: its time
// over the floor's and its peak heap over the file's size, each with its target.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median row, which comes after the single runs, is the
      // figure; the mean, deviation and variation rows are no ratios to compare.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      if (run.run_name.function_name != "BM_LoadIntoLineList") continue;
      const auto time = run.counters.find("load_per_floor");
      const auto peak = run.counters.find("peak_per_file");
      if (time != run.counters.end()) time_ = time->second.value;
      if (peak != run.counters.end()) peak_ = peak->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (!time_ || !peak_) return;
    std::printf("load time / read()+memchr count: %.2f (target <= %.2f) %s\n", *time_, kTimeTarget,
                *time_ <= kTimeTarget ? "ok" : "OVER TARGET");
    std::printf("load peak heap / file size:      %.2f (target <= %.2f) %s\n", *peak_, kPeakTarget,
                *peak_ <= kPeakTarget ? "ok" : "OVER TARGET");
  }

 private:
  std::optional<double> time_;
  std::optional<double> peak_;
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
