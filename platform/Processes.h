// Starting other programs, as the build and run commands do.
#pragma once

#include <string>

namespace vantorel {

class Processes {
 public:
  virtual ~Processes() = default;
  // Changes the process's current directory; false when it cannot.
  virtual bool ChangeDirectory(const std::string& dir) = 0;
  // Starts a command line in a normal window and returns at once, without waiting;
  // false when it could not be started.
  virtual bool StartCommand(const std::string& commandLine) = 0;
  // Lets the window messages that are waiting be handled (so the window repaints).
  virtual void ProcessMessages() = 0;
};

}  // namespace vantorel
