// Runs the real vantorel.exe under Wine on a virtual display for the end-to-end tests.
// One X display and one freshly booted Wine prefix serve the whole test run; every
// WineSession works on its own copy of that prefix (an empty registry, an empty drive
// C:) with its own wineserver, and removes it again when it ends, failed test or not.
//
// The program is watched and driven through vdriver.exe (see tests/e2e/win32), the
// registry through Wine's reg.exe and the keyboard and mouse through xdotool.
//
// Environment: VANTOREL_E2E_DISPLAY=1 runs on the display in DISPLAY instead of a
// private Xvfb (any other value names the display); VANTOREL_E2E_KEEP=1 keeps each
// session's folder (prefix, program output) until the next run and prints where it is.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace vantorel::e2e {

struct CommandResult {
  int exitCode = -1;  // -1 when the command was killed after its time-out
  std::string out;    // standard output without its trailing line ends
  std::string err;
};

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};
void PrintTo(const ScreenRect& rect, std::ostream* out);

struct RegistryValue {
  std::string type;  // "REG_DWORD", "REG_SZ", ...
  std::string data;  // as reg.exe shows it ("0x2b8" for a DWORD)
};

struct EditorText {
  long count = -1;   // what WM_GETTEXT returned
  long length = -1;  // what WM_GETTEXTLENGTH returned
  std::string bytes;
};

// The settings key the program reads at start and writes at close.
inline constexpr std::string_view kSettingsKey = R"(HKLM\SOFTWARE\Tovik\Kelpra)";

class WineSession {
 public:
  WineSession();
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // This session's prefix and its drive C:.
  const std::filesystem::path& Prefix() const { return prefix_; }
  std::filesystem::path DriveC() const { return prefix_ / "drive_c"; }

  // Writes a file below drive C: ("my files\\a.asm", folders made as needed) and
  // returns its Windows path ("C:\\my files\\a.asm").
  std::string PutFile(std::string_view windowsRelativePath, std::string_view bytes);

  // Starts vantorel.exe with these arguments and waits until its main window shows.
  ::testing::AssertionResult Start(const std::vector<std::string>& args = {});
  // Starts it without waiting for anything.
  ::testing::AssertionResult Launch(const std::vector<std::string>& args = {});
  bool Running();
  // Waits for the program's process to end.
  bool WaitForExit(std::chrono::milliseconds timeout);
  // Ends the program and everything else in the prefix.
  void Stop();

  // Runs one vdriver.exe command. Non-ASCII arguments are fine.
  CommandResult Driver(const std::vector<std::string>& args);
  // Runs a vdriver.exe command that must succeed and returns its output (a failure
  // is recorded in the test and gives "").
  std::string Ask(const std::vector<std::string>& args);
  // Starts a vdriver.exe command that goes on running (such as "hold") and returns
  // once it has printed its first line; it ends with the session at the latest.
  ::testing::AssertionResult DriverInBackground(const std::vector<std::string>& args);

  std::optional<ScreenRect> Rect(std::string_view what);  // "main", "editor", "status"
  std::string Panel(int index);
  std::optional<EditorText> ReadEditorText();

  // reg.exe with these arguments ("query", ...). reg.exe reads and writes text
  // through the Unix and console code pages: keep values ASCII.
  CommandResult Reg(const std::vector<std::string>& args);
  std::optional<RegistryValue> RegQuery(std::string_view name);
  std::optional<std::uint32_t> RegDword(std::string_view name);
  bool RegAddDword(std::string_view name, std::uint32_t value);
  bool RegAddString(std::string_view name, std::string_view value);

  CommandResult Xdotool(const std::vector<std::string>& args);
  // Gives the main window the X input focus so that xdotool's keys reach it.
  bool FocusMainWindow();
  // Saves the screen, or the given part of it, as an image.
  bool Screenshot(const std::filesystem::path& file, std::optional<ScreenRect> part = std::nullopt);

  // Polls until the predicate holds; false when the time ran out.
  static bool WaitUntil(const std::function<bool()>& predicate,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10),
                        std::chrono::milliseconds interval = std::chrono::milliseconds(100));

  // What the program wrote to its standard output and error so far.
  std::string ProgramLog() const;

  // Where screenshots and other files for people to look at go.
  static std::filesystem::path ArtifactsDir();

 private:
  CommandResult Wine(const std::vector<std::string>& args, std::chrono::milliseconds timeout);
  std::vector<std::string> Environment() const;

  std::filesystem::path dir_;     // this session's temporary folder
  std::filesystem::path prefix_;  // dir_/prefix
  pid_t program_ = -1;
  std::vector<pid_t> background_;  // driver commands started by DriverInBackground
  int commands_ = 0;              // numbers the output files of the commands run
};

}  // namespace vantorel::e2e
