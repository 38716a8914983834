// Large inputs the whole way a user takes them: load the file, go to its end (the
// DocumentEnd command, Ctrl+End), type a character and nine more, undo them (Ctrl+Z:
// one step takes the typed run back), save over the file through the real save
// (temporary file, flush, replace). Three inputs: a
// 200 MB Masm32-like source (one line in eight tab-indented), a single 10 MB line, and
// two million short lines. Each step is timed on its own and shown in seconds,
// with its ratio to the floor measured in the same iteration: read() of the same file
// and a memchr count of its lines. A step is meant to take under a second;
// `over_1s` counts the steps of a run that did not. The run stops with an error when
// the saved file differs from the text as loaded, beyond what the editor documents:
// tabs became blanks on load, and the edited line may lose its trailing blanks.
//
// Every name starts with BM_Large, so `--benchmark_filter=BM_Large` runs these alone
// and `--benchmark_filter=-BM_Large` leaves them out.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "bench/BenchFiles.h"
#include "bench/BenchHost.h"
#include "bench/Floor.h"
#include "editor/KeyTable.h"
#include "headless/PosixFileSystem.h"
#include "highlight/HLEditor.h"

namespace vantorel {
namespace {

// About 200 MB of Masm32-style source with CR LF line ends: one line in eight indented
// by tabs, comments in Windows-1251, numbers that vary, and a last line with trailing
// blanks, where the caret lands at the end of the text.
constexpr std::size_t k200MB = 200'000'000;
const std::string& Source200MB() {
  static const std::string path = GeneratedFile("vantorel-bench-large-200mb-v1.asm", k200MB, [] {
    static const char* const kLines[] = {
        "    invoke  CreateWindowEx, 0, ADDR szClassName, ADDR szDisplayName, \\",
        "            WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 696, 405,",
        "    mov     eax, [ebp+",
        "    .if uMsg == WM_COMMAND",
        "        push    esi",
        "    ; \xEE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xF1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE9 \xEE\xEA\xED\xE0",
        "",
        "\tcall\tDefWindowProc",
        "WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD",
        "    xor     eax, eax   ",
        "    .endif",
        "szClassName db \"TestWindowClass\", 0",
        "    lea     edx, [esi+ecx*4+",
        "    cmp     ecx, 65535",
        "    jne     @@loop_",
        "\t\tret",
    };
    const std::string last = "end start   \r\n";
    std::string text;
    text.reserve(k200MB + 100);
    for (std::size_t i = 0; text.size() < k200MB - last.size() - 100; ++i) {
      const std::string_view line = kLines[i % std::size(kLines)];
      text += line;
      if (line.ends_with('+') || line.ends_with('_')) text += std::to_string(i % 4096) + "]";
      text += "\r\n";
    }
    text.append(k200MB - last.size() - text.size() - 2, ';');  // one comment line pads to the size
    text += "\r\n" + last;
    return text;
  });
  return path;
}

// Two million short lines, one in twelve tab-indented.
constexpr int k2MLines = 2'000'000;
const std::string& TwoMillionLines() {
  static const char* const kLines[] = {"    mov eax, ebx", "    inc ecx", "\tpush edx", "    ret",
                                       "@@:",              "    nop",     "    pop edx", "    add eax, 4",
                                       "",                 "    dec ecx", "    jnz @B",  "    db 0"};
  std::size_t size = 0;
  for (int i = 0; i < k2MLines; ++i) size += std::strlen(kLines[i % std::size(kLines)]) + 2;
  static const std::string path = GeneratedFile("vantorel-bench-large-2m-lines-v1.asm", size, [] {
    std::string text;
    for (int i = 0; i < k2MLines; ++i) {
      text += kLines[i % std::size(kLines)];
      text += "\r\n";
    }
    return text;
  });
  return path;
}

using Clock = std::chrono::steady_clock;
double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The floor: read() the whole file and count its LF bytes with memchr.
double FloorMs(const std::string& path, std::size_t& lines) {
  const Clock::time_point start = Clock::now();
  const std::optional<std::size_t> counted = ReadAndCountLines(path);
  if (!counted) return -1;
  lines = *counted;
  return MillisecondsSince(start);
}

// What the file is expected to load as, written back: every tab as `blanks` blanks,
// every line ended by CR LF (the inputs here have no other line breaks).
std::string ExpectedSavedText(const std::string& path, int blanks) {
  PosixFileSystem fs;
  const FileBytes file = fs.ReadFile(path);
  const std::string_view bytes = file.View();
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (const char c : bytes) {
    if (c == '\t') {
      out.append(static_cast<std::size_t>(blanks), ' ');
    } else {
      out += c;
    }
  }
  return out;
}

// The saved text equals the loaded one, but for the edited line, which may have lost
// its trailing blanks. Returns the number of blanks lost, or -1 for any other change.
long long BlanksLost(std::string_view loaded, std::string_view saved, int editedLine) {
  if (loaded == saved) return 0;
  std::size_t from = 0;
  for (int y = 0; y < editedLine; ++y) {
    from = loaded.find("\r\n", from);
    if (from == std::string_view::npos) return -1;
    from += 2;
  }
  const std::size_t to = loaded.find("\r\n", from);
  if (to == std::string_view::npos) return -1;
  std::string_view line = loaded.substr(from, to - from);
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
  const std::size_t lost = (to - from) - line.size();
  if (saved.size() + lost != loaded.size()) return -1;
  const bool same = saved.substr(0, from + line.size()) == loaded.substr(0, from + line.size()) &&
                    saved.substr(from + line.size()) == loaded.substr(to);
  return same ? static_cast<long long>(lost) : -1;
}

// The editor as the main window sets it up, on a screen of 120 columns by 60 lines.
struct Screen {
  Screen() {
    host.client = Rect{0, 0, 32 + 120 * 8, 60 * 16};
    host.control = &editor;
    host.focused = true;
    editor.SetScrollBars(TScrollStyle::ssVertical);
    editor.SetGutterWidth(30);
    editor.SetRightMargin(100);
    editor.TabStops = "3 5";
    editor.SetFont(FontDesc{"Courier New", -15, FontStyle::None, clWindowText});
    editor.SetHighlighter(THighlighter::hlJava);
    editor.WindowCreated();
    editor.FocusReceived();
  }
  BenchHost host;
  THLEditor editor{&host};
};

// Characters typed after the first one, each timed on average.
constexpr int kMoreCharacters = 9;

struct Steps {
  double floor = 0, load = 0, end = 0, type = 0, more = 0, undo = 0, save = 0, writeFloor = 0;
};

// write() and fsync() of the same number of bytes to a new file: what any save costs
// on this disk.
double WriteFloorMs(const std::string& path, const std::string& bytes) {
  const Clock::time_point start = Clock::now();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return -1;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::fsync(fd);
  ::close(fd);
  return MillisecondsSince(start);
}

void RunLarge(benchmark::State& state, const std::string& path) {
  PosixFileSystem fs;
  const std::string target = BenchTempPath("vantorel-bench-large-saved.asm");
  const std::string scratch = BenchTempPath("vantorel-bench-large-write-floor.bin");
  Steps sum;
  double worst = 0;
  int over = 0;
  long long lost = 0;
  std::size_t fileLines = 0;
  bool loadChecked = false;
  for (auto _ : state) {
    Steps s;
    s.floor = FloorMs(path, fileLines);
    {
      Screen screen;
      THLEditor& editor = screen.editor;
      Clock::time_point t = Clock::now();
      editor.Lines().LoadFromFile(fs, path);
      screen.host.UpdateNow();
      s.load = MillisecondsSince(t);

      const std::string loaded = editor.Lines().GetTextStr();
      if (!loadChecked) {
        if (loaded != ExpectedSavedText(path, editor.GetTabStop(0, true)) ||
            static_cast<std::size_t>(editor.LineCount()) != fileLines) {
          state.SkipWithError("the text as loaded differs from the file with its tabs expanded");
          break;
        }
        loadChecked = true;
      }

      t = Clock::now();
      editor.RunCommand(ec::DocumentEnd);
      screen.host.UpdateNow();
      s.end = MillisecondsSince(t);
      const int line = editor.CaretY();
      if (line != editor.LineCount() - 1) {
        state.SkipWithError("DocumentEnd left the caret off the last line");
        break;
      }

      const std::size_t before = editor.LineView(line).size();
      t = Clock::now();
      char ch = 'x';
      editor.KeyPress(ch);
      screen.host.UpdateNow();
      s.type = MillisecondsSince(t);
      if (editor.LineView(line).size() != before + 1) {
        state.SkipWithError("the typed character is not in the line");
        break;
      }
      // The first character makes the line the editor's own; the next ones go into it
      // where it is. `more` is one of them on average.
      t = Clock::now();
      for (int i = 0; i < kMoreCharacters; ++i) {
        editor.KeyPress(ch);
        screen.host.UpdateNow();
      }
      s.more = MillisecondsSince(t) / kMoreCharacters;

      t = Clock::now();
      editor.RunCommand(ec::Undo);
      screen.host.UpdateNow();
      s.undo = MillisecondsSince(t);
      if (editor.LineView(line).size() != before) {
        state.SkipWithError("one undo did not take the typed characters back");
        break;
      }

      // The save goes over an existing file, as Ctrl+S does for a file opened before.
      std::ofstream(target, std::ios::binary) << "old";
      t = Clock::now();
      editor.Lines().SaveToFile(fs, target);
      s.save = MillisecondsSince(t);

      const long long blanks = BlanksLost(loaded, fs.ReadFile(target).View(), line);
      if (blanks < 0) {
        state.SkipWithError("the saved file differs from the text as loaded");
        break;
      }
      lost = blanks;
      s.writeFloor = WriteFloorMs(scratch, loaded);
    }
    state.SetIterationTime((s.load + s.end + s.type + s.more + s.undo + s.save) / 1000);
    for (const double step : {s.load, s.end, s.type, s.more, s.undo, s.save}) {
      worst = std::max(worst, step);
      over += step >= 1000 ? 1 : 0;
    }
    sum.floor += s.floor;
    sum.load += s.load;
    sum.end += s.end;
    sum.type += s.type;
    sum.more += s.more;
    sum.undo += s.undo;
    sum.save += s.save;
    sum.writeFloor += s.writeFloor;
  }
  std::filesystem::remove(target);
  std::filesystem::remove(scratch);
  const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  // In seconds: the console shows 0.0042 as 4.2m.
  const auto seconds = [&](const char* name, double total) { state.counters[name] = total / n / 1000; };
  const auto ratio = [&](const char* name, double total) {
    state.counters[name] = sum.floor > 0 ? total / sum.floor : 0;
  };
  seconds("floor_s", sum.floor);
  seconds("wfloor_s", sum.writeFloor);
  const std::pair<const char*, double> steps[] = {
      {"load", sum.load}, {"end", sum.end}, {"type", sum.type}, {"more", sum.more}, {"undo", sum.undo}, {"save", sum.save}};
  for (const auto& [step, total] : steps) {
    seconds((std::string(step) + "_s").c_str(), total);
    ratio((std::string(step) + "/floor").c_str(), total);
  }
  state.counters["save/wfloor"] = sum.writeFloor > 0 ? sum.save / sum.writeFloor : 0;
  state.counters["worst_s"] = worst / 1000;
  state.counters["over_1s"] = over;
  state.counters["blanks_lost"] = static_cast<double>(lost);
  state.counters["lines"] = static_cast<double>(fileLines);
}

void BM_Large200MBSource(benchmark::State& state) { RunLarge(state, Source200MB()); }
void BM_Large10MBLine(benchmark::State& state) { RunLarge(state, SingleLine10MB()); }
void BM_Large2MLines(benchmark::State& state) { RunLarge(state, TwoMillionLines()); }

// Typing in a line of two million blanks (a megabyte of tabs two blanks wide) and taking
// it back: the caret at column 1024, nine characters typed, one Undo timed, which must
// give the line back byte for byte. The typing cuts the blanks behind the characters;
// the undo brings them back and takes the characters out.
void BM_LargeUndoInBlankLine(benchmark::State& state) {
  PosixFileSystem fs;
  const std::string& path = TabsFile(true);
  double type = 0;
  double undo = 0;
  for (auto _ : state) {
    Screen screen;
    THLEditor& editor = screen.editor;
    editor.Lines().LoadFromFile(fs, path);
    screen.host.UpdateNow();
    const std::string loaded(editor.LineView(0));
    if (loaded != std::string(2'000'000, ' ')) {
      state.SkipWithError("the line of tabs did not load as two million blanks");
      break;
    }
    editor.SetCaret(1024, 0);
    Clock::time_point t = Clock::now();
    for (int i = 0; i < kMoreCharacters; ++i) {
      char ch = 'x';
      editor.KeyPress(ch);
      screen.host.UpdateNow();
    }
    type += MillisecondsSince(t);
    if (editor.LineView(0) != std::string(1024, ' ') + std::string(kMoreCharacters, 'x')) {
      state.SkipWithError("the typed characters are not where the caret was");
      break;
    }
    t = Clock::now();
    editor.RunCommand(ec::Undo);
    screen.host.UpdateNow();
    const double ms = MillisecondsSince(t);
    undo += ms;
    state.SetIterationTime(ms / 1000);
    if (editor.LineView(0) != loaded) {
      state.SkipWithError("one undo did not give the line back byte for byte");
      break;
    }
  }
  const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["type_s"] = type / n / kMoreCharacters / 1000;
  state.counters["undo_s"] = undo / n / 1000;
}

BENCHMARK(BM_Large200MBSource)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Large10MBLine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Large2MLines)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeUndoInBlankLine)->UseManualTime()->Iterations(10)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
