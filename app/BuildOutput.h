// Build output in the window: the reading of the Masm32 tools' messages (assembler,
// linker, resource compiler and the compatible assemblers), the pane's lines, and the
// build that feeds them and takes the user from an error line to its source line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/MainLayout.h"
#include "app/MainWindowPort.h"
#include "app/OutputPane.h"
#include "highlight/HLEditor.h"
#include "platform/CapturedProcesses.h"
#include "platform/CodePages.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace vantorel {

// What one output line says: an error, a warning or plain text, and the source
// position it names, if any ("file.asm(12) : ..."). Line numbers count from 1.
struct ToolMessage {
  PaneLineKind kind = PaneLineKind::Text;
  std::string_view file;  // a view into the parsed line; empty when none is named
  int line = 0;           // 0: no line number
  bool HasPosition() const noexcept { return line > 0 && !file.empty(); }
};

ToolMessage ParseToolMessage(std::string_view line);

// Cuts a byte stream into lines at LF (a CR before it, or left at a line's end, is
// dropped). A line longer than kMaxLineBytes is cut there, so output without line
// ends cannot grow one line without bound.
class TLineSplitter {
 public:
  static constexpr std::size_t kMaxLineBytes = 4096;
  void Feed(std::string_view bytes, std::vector<std::string>& out);
  // The last line when it had no line end.
  void Finish(std::vector<std::string>& out);

 private:
  void Emit(std::vector<std::string>& out);
  std::string pending_;
};

// F4 and Shift+F4 step through the lines with a position while the pane shows.
std::span<const Accelerator> BuildOutputKeys();

inline constexpr std::string_view kBuildRunning = "Сборка...";
inline constexpr std::string_view kBuildSucceeded = "Готово, код %s";
inline constexpr std::string_view kBuildFailed = "Ошибки, код %s";
inline constexpr std::string_view kBuildNotStarted = "Сборка не запущена";
inline constexpr std::string_view kBuildBusy = "Сборка уже идёт: новая не запущена";
inline constexpr std::string_view kCannotStartBuild = "Не удалось запустить сборку: %s";
inline constexpr std::string_view kOtherFile = "Строка из другого файла, он не открыт: %s";
inline constexpr std::string_view kBuildStopped = "Остановлено";

// The build whose output the pane shows: started by the build command with the option
// on, it fills the pane as the lines come, reports its end in panel 4, and opens a
// line's source position in the editor. It owns the pane's rules: hidden until a build
// starts, hidden again by Escape, its close mark or the option going off; its height
// set by dragging its top edge and kept in storedHeight (pixels, 0 for the default).
class TBuildOutput : public CaptureListener, public OutputPaneOwner {
 public:
  TBuildOutput(MainWindowPort& window, THLEditor& memo, FileSystem& fs, CodePages& codePages,
               CapturedProcesses& capture, PaneWindow& pane, std::int32_t& storedHeight,
               std::function<void()> caretMoved);
  ~TBuildOutput() override;
  TBuildOutput(const TBuildOutput&) = delete;
  TBuildOutput& operator=(const TBuildOutput&) = delete;

  // True from the build command's first step until the command has ended.
  bool Busy() const noexcept { return preparing_ || running_; }
  // The build command is under way (saving, before the start); cleared by Start or
  // by the guard's end when nothing was started.
  class Preparing {
   public:
    explicit Preparing(TBuildOutput& owner) : owner_(owner) { owner_.preparing_ = true; }
    ~Preparing() { owner_.preparing_ = false; }
    Preparing(const Preparing&) = delete;
    Preparing& operator=(const Preparing&) = delete;

   private:
    TBuildOutput& owner_;
  };
  // A second build while one runs: a beep and a note, nothing else.
  void Refuse();
  // Empties the pane and starts the command line; folder (UTF-8, as the current file's
  // path) is the current directory it runs in, against which relative names resolve.
  void Start(const std::string& commandLine, const std::string& folder);
  // Ends a running build and everything it started (the program closes).
  void Stop() noexcept;
  // The user stops the build: it ends with everything it started, and panel 4 and the
  // pane say so. A beep when none runs.
  void StopByUser();
  bool PaneVisible() const noexcept { return paneVisible_; }
  void ShowPane(bool visible);
  // The pane's height in the editor's place of space pixels; the space is kept for the
  // drags that follow.
  int PaneHeight(int space);
  // F4 (forward) and Shift+F4: the next or previous line with a position.
  void Step(bool forward);
  // The editor's font changed; the pane follows.
  void FontChanged();
  const TOutputLines& Lines() const noexcept { return lines_; }

  // CaptureListener
  void CapturedLines(std::vector<std::string>& lines) override;
  void CaptureEnded(int exitCode) override;
  // OutputPaneOwner
  void LineOpened(int index) override;
  void PaneClosed() override;
  void PaneDragged(int height) override;

 private:
  int AddNote(std::string text);
  // The pane's height for wanted pixels in the editor's place at the last layout.
  int HeightFor(int wanted) const;
  OutputLine ReadToolLine(std::string raw);
  // The full path (UTF-8) of a file a tool named in the ANSI page.
  std::string FullPath(std::string_view ansiName) const;
  bool FileExists(const std::string& path);
  bool IsOpenFile(const std::string& path);

  MainWindowPort& window_;
  THLEditor& memo_;
  FileSystem& fs_;
  CodePages& codePages_;
  CapturedProcesses& capture_;
  PaneWindow& paneWindow_;
  std::int32_t& storedHeight_;
  std::function<void()> caretMoved_;
  TOutputLines lines_;
  TOutputPane pane_;
  std::string folder_;
  // The files this build's lines named, looked up once each.
  std::unordered_map<std::string, bool> existing_;
  bool preparing_ = false;
  bool running_ = false;
  bool paneVisible_ = false;
  int space_ = 0;  // the editor's place at the last layout
};

}  // namespace vantorel
