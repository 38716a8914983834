// Build commands whose output the program shows: run through the command interpreter
// with their output captured line by line, and ended together with everything they
// started.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantorel {

// Hears a captured command, always on the UI thread and in the order it wrote.
class CaptureListener {
 public:
  virtual ~CaptureListener() = default;
  // Lines the command wrote, in the console's (OEM) code page, without line ends.
  virtual void CapturedLines(std::vector<std::string>& lines) = 0;
  // The command ended; every line it wrote has been delivered before this.
  virtual void CaptureEnded(int exitCode) = 0;
};

class CapturedProcesses {
 public:
  virtual ~CapturedProcesses() = default;
  // Starts "cmd.exe /c commandLine" in the current directory: standard input from the
  // null device (so a batch file's pause returns at once), standard output and
  // standard error into one pipe, no console window. Returns the reason when it could
  // not be started, nothing when it runs. One command runs at a time.
  virtual std::optional<std::string> StartCaptured(const std::string& commandLine, CaptureListener& listener) = 0;
  // Ends the running command and every process it started; the listener hears
  // nothing more. Nothing happens when none runs.
  virtual void EndCaptured() noexcept = 0;
};

}  // namespace vantorel
