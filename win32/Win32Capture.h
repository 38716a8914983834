// The captured build command on Windows: "cmd.exe /c" with a pipe for its output, the
// null device for its input and no console window, inside a job object that ends the
// whole process tree. A reader thread cuts the output into lines and posts them to a
// message-only window of the UI thread, which hands them to the listener.
#pragma once

#include <string>
#include <vector>

#include "platform/CapturedProcesses.h"
#include "win32/WindowClass.h"

namespace vantorel::win32 {

class Win32CapturedProcesses : public CapturedProcesses, private OwnWindow {
 public:
  Win32CapturedProcesses() noexcept;
  ~Win32CapturedProcesses() override;

  std::optional<std::string> StartCaptured(const std::string& commandLine, CaptureListener& listener) override;
  void EndCaptured() noexcept override;

 private:
  // The message-only window that receives the reader's posts.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  static DWORD WINAPI ReaderThread(void* self);
  void Read();
  // Hands lines to the UI thread (reader side); end is set with the last of them.
  void Post(std::vector<std::string>& lines, bool end, int exitCode);
  // On the UI thread: what the reader left, then the end.
  void Deliver();
  // Waits for the reader and closes the handles of the command.
  void Release() noexcept;

  CaptureListener* listener_ = nullptr;
  HANDLE job_ = nullptr;
  HANDLE process_ = nullptr;
  HANDLE pipe_ = nullptr;  // the read end
  HANDLE stop_ = nullptr;  // set when the program ends the command
  HANDLE thread_ = nullptr;

  SRWLOCK lock_ = SRWLOCK_INIT;  // guards the fields below
  std::vector<std::string> pending_;
  bool posted_ = false;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace vantorel::win32
