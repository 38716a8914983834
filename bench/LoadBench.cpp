// Loading a large source file into the editor's line list, against the floor of
// reading the same file with read() and counting its lines with memchr. Reports time
// and the peak of heap memory each takes, and at the end the load's time and peak
// against their targets; the same for one-line files each loaded once in a process of
// its own.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/Floor.h"
#include "bench/HeapCount.h"
#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"
#include "headless/PosixFileSystem.h"

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
  state.counters["peak_MB"] = static_cast<double>(BenchHeapPeak() - before) / 1e6;
  state.counters["peak_per_file"] = static_cast<double>(BenchHeapPeak() - before) / fileSize;
  state.SetBytesProcessed(static_cast<std::int64_t>(static_cast<double>(state.iterations()) * fileSize));
}

// The floor: read() the file into a buffer and count its LF bytes with memchr.
void BM_ReadAndMemchrCount(benchmark::State& state) {
  const std::size_t before = BenchHeapNow();
  BenchResetHeapPeak();
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
  const std::size_t before = BenchHeapNow();
  BenchResetHeapPeak();
  // The floor's buffer is freed before each load begins and is smaller than the
  // load's peak, so the peak is the load's.
  state.counters["lines"] = LoadAgainstFloor(state, SourceFile());
  ReportPeak(state, before);
}
BENCHMARK(BM_LoadIntoLineList)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadOnlyTabs(benchmark::State& state) { LoadAgainstFloor(state, TabsFile(state.range(0) == 0)); }
BENCHMARK(BM_LoadOnlyTabs)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- one load in a fresh process ---
// A process's first load pays for memory the process never had; in a process that
// loaded before, freed memory is reused and hides that cost. So each iteration runs
// this program again to load the file once, with the floor measured just before in the
// same process: load_per_floor is the median of the loads over the median of the
// floors, peak_per_file the median of the load's heap peaks over the file's size and
// peak_per_text over the loaded text's (a tab loads as several blanks).

constexpr double kFreshTimeTarget = 2.0;
constexpr std::string_view kLoadOnceOption = "--load-once=";
const char* gProgram = nullptr;  // this program, to run again

struct LoadOnceFigures {
  double floor = 0;
  double load = 0;
  double peak = 0;  // bytes
  double text = 0;  // bytes of the lines as loaded
};

// In the process of its own: prints the figures of one load.
int LoadOnce(const std::string& file) {
  PosixFileSystem fs;
  HeadlessWindowHost host;
  host.hasWindow = false;
  LoadOnceFigures f;
  f.floor = SecondsOf([&] { benchmark::DoNotOptimize(ReadAndCountLines(file)); });
  const std::size_t before = BenchHeapNow();
  BenchResetHeapPeak();
  {
    TEditor editor(&host);
    f.load = SecondsOf([&] { editor.Lines().LoadFromFile(fs, file); });
    f.peak = static_cast<double>(BenchHeapPeak() - before);
    for (int i = 0; i < editor.Lines().Count(); ++i) f.text += static_cast<double>(editor.Lines().View(i).size());
  }
  std::printf("%.9f %.9f %.0f %.0f\n", f.floor, f.load, f.peak, f.text);
  return 0;
}

std::optional<LoadOnceFigures> RunLoadOnce(const std::string& file) {
  int out[2];
  if (::pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string option = std::string(kLoadOnceOption) + file;
  char* const args[] = {const_cast<char*>(gProgram), const_cast<char*>(option.c_str()), nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, gProgram, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string reply;
  char buffer[256];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  LoadOnceFigures f;
  if (std::sscanf(reply.c_str(), "%lf %lf %lf %lf", &f.floor, &f.load, &f.peak, &f.text) != 4) return std::nullopt;
  return f;
}

void BM_LoadInFreshProcess(benchmark::State& state, bool tabs) {
  const std::string& file = tabs ? TabsFile(true) : SingleLine10MB();
  std::vector<double> floors, loads, peaks;
  double text = 0;
  for (auto _ : state) {
    const std::optional<LoadOnceFigures> f = RunLoadOnce(file);
    if (!f) {
      state.SkipWithError("the load in a process of its own failed");
      break;
    }
    state.SetIterationTime(f->load);
    floors.push_back(f->floor);
    loads.push_back(f->load);
    peaks.push_back(f->peak);
    text = f->text;
  }
  const double floor = Median(floors);
  const double size = static_cast<double>(std::filesystem::file_size(file));
  state.counters["load_per_floor"] = floor > 0 ? Median(loads) / floor : 0;
  state.counters["peak_per_file"] = Median(peaks) / size;
  state.counters["peak_per_text"] = text > 0 ? Median(peaks) / text : 0;
}
BENCHMARK_CAPTURE(BM_LoadInFreshProcess, line_10MB, false)
    ->UseManualTime()
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadInFreshProcess, tabs_line_1MB, true)
    ->UseManualTime()
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

// Prints the results as usual and, at the end, the load against the floor: its time
// over the floor's and its peak heap over the file's size, each with its target.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median row, which comes after the single runs, is the
      // figure; the mean, deviation and variation rows are no ratios to compare.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      if (run.run_name.function_name.starts_with("BM_LoadInFreshProcess")) {
        fresh_.push_back(run);
        continue;
      }
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
    for (const Run& run : fresh_) {
      const auto figure = [&run](const char* name) {
        const auto it = run.counters.find(name);
        return it == run.counters.end() ? 0.0 : it->second.value;
      };
      const double time = figure("load_per_floor");
      const double peak = figure("peak_per_file");
      std::printf("%s: time / floor %.2f (target <= %.2f) %s, peak heap / file %.2f (target <= %.2f) %s, "
                  "/ loaded text %.2f\n",
                  run.run_name.function_name.c_str(), time, kFreshTimeTarget, time <= kFreshTimeTarget ? "ok" : "OVER TARGET",
                  peak, kPeakTarget, peak <= kPeakTarget ? "ok" : "OVER TARGET", figure("peak_per_text"));
    }
    if (!time_ || !peak_) return;
    std::printf("load time / read()+memchr count: %.2f (target <= %.2f) %s\n", *time_, kTimeTarget,
                *time_ <= kTimeTarget ? "ok" : "OVER TARGET");
    std::printf("load peak heap / file size:      %.2f (target <= %.2f) %s\n", *peak_, kPeakTarget,
                *peak_ <= kPeakTarget ? "ok" : "OVER TARGET");
  }

 private:
  std::optional<double> time_;
  std::optional<double> peak_;
  std::vector<Run> fresh_;
};

}  // namespace
}  // namespace vantorel

int main(int argc, char** argv) {
  vantorel::gProgram = argv[0];
  if (argc == 2 && std::string_view(argv[1]).starts_with(vantorel::kLoadOnceOption)) {
    return vantorel::LoadOnce(std::string(std::string_view(argv[1]).substr(vantorel::kLoadOnceOption.size())));
  }
  benchmark::Initialize(&argc, argv);
  vantorel::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
