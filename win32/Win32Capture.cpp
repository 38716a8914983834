#include "win32/Win32Capture.h"

#include <algorithm>
#include <utility>

#include "app/BuildOutput.h"

namespace vantorel::win32 {

namespace {

constexpr wchar_t kCaptureClassName[] = L"TBuildCapture";
// The reader has left lines or the end.
constexpr UINT kDeliver = WM_APP + 0x210;
// How long the reader sleeps when the pipe is empty and the command still runs. The
// pipe is polled rather than read until it breaks: a process the command leaves
// behind may hold its write end for ever.
constexpr DWORD kPollMs = 15;

class KernelHandle {
 public:
  explicit KernelHandle(HANDLE h = nullptr) noexcept : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~KernelHandle() noexcept {
    if (h_) ::CloseHandle(h_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  HANDLE get() const noexcept { return h_; }
  HANDLE* out() noexcept { return &h_; }
  HANDLE release() noexcept { return std::exchange(h_, nullptr); }
  void reset() noexcept {
    if (h_) ::CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_;
};

void Close(HANDLE& h) noexcept {
  if (h) ::CloseHandle(h);
  h = nullptr;
}

// The system's own interpreter, not a cmd.exe that happens to lie in the source's
// folder (the current directory, which CreateProcess would search first).
std::wstring Interpreter() {
  wchar_t dir[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"cmd.exe";
  return std::wstring(dir, n) + L"\\cmd.exe";
}

std::string Reason(std::string_view what) { return std::string(what) + ". " + SystemErrorMessage(::GetLastError()); }

}  // namespace

Win32CapturedProcesses::Win32CapturedProcesses() noexcept = default;

Win32CapturedProcesses::~Win32CapturedProcesses() {
  EndCaptured();
  DestroyOwnWindow();
}

std::optional<std::string> Win32CapturedProcesses::StartCaptured(const std::string& commandLine,
                                                                  CaptureListener& listener) {
  EndCaptured();
  if (!hwnd_) {
    RegisterClassOnce(kCaptureClassName, {.cursor = nullptr});
    CreateWindowOrThrow("build capture", 0, kCaptureClassName, L"", 0, Rect{}, HWND_MESSAGE, nullptr, this);
  }

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  KernelHandle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.out(), writeEnd.out(), &inherited, 0)) return Reason("CreatePipe");
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  KernelHandle nul(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                 0, nullptr));
  if (!nul.get()) return Reason("NUL");
  KernelHandle job(::CreateJobObjectW(nullptr, nullptr));
  if (job.get()) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  KernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop.get()) return Reason("CreateEvent");

  std::wstring line = L"\"" + Interpreter() + L"\" /c " + Widen(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul.get();
  si.hStdOutput = writeEnd.get();
  si.hStdError = writeEnd.get();
  PROCESS_INFORMATION pi{};
  // Suspended until it is in the job, so nothing it starts escapes the job.
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                        nullptr, &si, &pi)) {
    return Reason("cmd.exe");
  }
  KernelHandle process(pi.hProcess);
  KernelHandle mainThread(pi.hThread);
  // Without a job (a system that refuses one) the interpreter alone can be ended.
  if (job.get() && !::AssignProcessToJobObject(job.get(), pi.hProcess)) Close(*job.out());
  ::ResumeThread(pi.hThread);
  writeEnd.reset();  // only the command holds the write end now, so the pipe breaks when it ends

  {
    ::AcquireSRWLockExclusive(&lock_);
    pending_.clear();
    posted_ = false;
    ended_ = false;
    ::ReleaseSRWLockExclusive(&lock_);
  }
  job_ = job.release();
  process_ = process.release();
  pipe_ = readEnd.release();
  stop_ = stop.release();
  listener_ = &listener;
  thread_ = ::CreateThread(nullptr, 0, &ReaderThread, this, 0, nullptr);
  if (!thread_) {
    const std::string reason = Reason("CreateThread");
    EndCaptured();
    return reason;
  }
  return std::nullopt;
}

void Win32CapturedProcesses::EndCaptured() noexcept {
  listener_ = nullptr;
  if (!process_) return;
  if (stop_) ::SetEvent(stop_);
  if (job_) {
    ::TerminateJobObject(job_, 1);
  } else {
    ::TerminateProcess(process_, 1);
  }
  Release();
  ::AcquireSRWLockExclusive(&lock_);
  pending_.clear();
  ended_ = false;
  ::ReleaseSRWLockExclusive(&lock_);
}

void Win32CapturedProcesses::Release() noexcept {
  if (thread_) {
    ::WaitForSingleObject(thread_, INFINITE);
    Close(thread_);
  }
  Close(pipe_);
  Close(stop_);
  Close(process_);
  Close(job_);  // with the limit set, closing it ends whatever is left in it
}

DWORD WINAPI Win32CapturedProcesses::ReaderThread(void* self) {
  static_cast<Win32CapturedProcesses*>(self)->Read();
  return 0;
}

void Win32CapturedProcesses::Read() {
  TLineSplitter splitter;
  std::vector<std::string> lines;
  char buffer[8192];
  bool exited = false;
  try {
    for (;;) {
      DWORD available = 0;
      if (!::PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr)) break;  // every writer has gone
      if (available > 0) {
        DWORD got = 0;
        if (!::ReadFile(pipe_, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0) break;
        splitter.Feed(std::string_view(buffer, got), lines);
        if (!lines.empty()) Post(lines, false, 0);
        continue;
      }
      if (exited) break;  // the pipe was drained after the interpreter ended
      const HANDLE waits[] = {stop_, process_};
      const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, kPollMs);
      if (woke == WAIT_OBJECT_0) return;  // ended by the program: nothing more is told
      if (woke == WAIT_OBJECT_0 + 1) exited = true;
    }
    splitter.Finish(lines);
    const HANDLE waits[] = {stop_, process_};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    Post(lines, true, static_cast<int>(code));
  } catch (...) {
    // Out of memory while cutting lines: the build is reported as failed.
    std::vector<std::string> none;
    Post(none, true, -1);
  }
}

void Win32CapturedProcesses::Post(std::vector<std::string>& lines, bool end, int exitCode) {
  bool post = false;
  ::AcquireSRWLockExclusive(&lock_);
  try {
    if (pending_.empty()) {
      pending_.swap(lines);
    } else {
      pending_.insert(pending_.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
    }
  } catch (...) {
    ::ReleaseSRWLockExclusive(&lock_);
    throw;
  }
  lines.clear();
  if (end) {
    ended_ = true;
    exitCode_ = exitCode;
  }
  post = !posted_;
  posted_ = true;
  ::ReleaseSRWLockExclusive(&lock_);
  if (post) ::PostMessageW(hwnd_, kDeliver, 0, 0);
}

void Win32CapturedProcesses::Deliver() {
  std::vector<std::string> lines;
  bool ended = false;
  int exitCode = 0;
  ::AcquireSRWLockExclusive(&lock_);
  lines.swap(pending_);
  std::swap(ended, ended_);
  exitCode = exitCode_;
  posted_ = false;
  ::ReleaseSRWLockExclusive(&lock_);
  CaptureListener* listener = listener_;
  if (!listener) return;
  if (ended) {
    // The reader has finished; the command's handles can go before the listener hears
    // of the end (it may start the next build from there).
    Release();
    listener_ = nullptr;
  }
  try {
    if (!lines.empty()) listener->CapturedLines(lines);
  } catch (...) {
    // The end is told all the same, or the build would stay running for ever.
    if (ended) listener->CaptureEnded(exitCode);
    throw;
  }
  if (ended) listener->CaptureEnded(exitCode);
}

LRESULT Win32CapturedProcesses::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kDeliver) {
    Deliver();
    return 0;
  }
  HWND hwnd = hwnd_;
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace vantorel::win32
