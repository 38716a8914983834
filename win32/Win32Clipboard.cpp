#include "win32/Win32Clipboard.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"

namespace vantorel::win32 {

namespace {

// Another program may hold the clipboard for a moment: opening is tried a few times.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) noexcept {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = ::OpenClipboard(owner) != 0;
      if (!open_) ::Sleep(10);
    }
  }
  ~OpenClipboardScope() noexcept {
    if (open_) ::CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool IsOpen() const noexcept { return open_; }

 private:
  bool open_ = false;
};

class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory) noexcept : memory_(memory), data_(::GlobalLock(memory)) {}
  ~GlobalLockScope() noexcept {
    if (data_) ::GlobalUnlock(memory_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  const char* Data() const noexcept { return static_cast<const char*>(data_); }
  char* MutableData() noexcept { return static_cast<char*>(data_); }

 private:
  HGLOBAL memory_;
  void* data_;
};

inline void FreeGlobal(HGLOBAL memory) noexcept { ::GlobalFree(memory); }

// Global memory until the clipboard takes it over.
using GlobalMemory = OwnedHandle<HGLOBAL, &FreeGlobal>;

}  // namespace

void Win32Clipboard::Put(UINT format, std::string_view bytes, bool empty) {
  constexpr const char* kCannotWrite = "Cannot write to the clipboard";
  // The data is complete before the clipboard is opened: a failure here leaves the
  // clipboard as it was, and it is held open only for the moment of the exchange.
  GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, std::max<std::size_t>(bytes.size(), 1)));
  if (!memory) ThrowApiError(kCannotWrite, "GlobalAlloc", ::GetLastError());
  {
    GlobalLockScope lock(memory.get());
    if (!lock.MutableData()) ThrowApiError(kCannotWrite, "GlobalLock", ::GetLastError());
    std::memcpy(lock.MutableData(), bytes.data(), bytes.size());
  }
  OpenClipboardScope clipboard(owner_);
  if (!clipboard.IsOpen()) ThrowApiError("Cannot open clipboard", "OpenClipboard", ::GetLastError());
  if (empty && !::EmptyClipboard()) ThrowApiError(kCannotWrite, "EmptyClipboard", ::GetLastError());
  if (!::SetClipboardData(format, memory.get())) ThrowApiError(kCannotWrite, "SetClipboardData", ::GetLastError());
  memory.release();  // the system's now
}

void Win32Clipboard::SetText(std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  Put(CF_TEXT, bytes, true);
}

void Win32Clipboard::SetBlockType(std::uint8_t type) {
  if (!blockTypeFormat_) return;
  const char byte = static_cast<char>(type);
  Put(blockTypeFormat_, std::string_view(&byte, 1), false);
}

std::optional<std::string> Win32Clipboard::Text() {
  OpenClipboardScope clipboard(owner_);
  if (!clipboard.IsOpen()) return std::nullopt;
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  GlobalLockScope lock(data);
  if (!lock.Data()) return std::nullopt;
  // Read no further than the system says the block is, NUL or not.
  const std::size_t size = ::GlobalSize(data);
  const void* nul = std::memchr(lock.Data(), '\0', size);
  return std::string(lock.Data(), nul ? static_cast<const char*>(nul) - lock.Data() : size);
}

std::optional<std::uint8_t> Win32Clipboard::BlockType() {
  if (!blockTypeFormat_) return std::nullopt;
  OpenClipboardScope clipboard(owner_);
  if (!clipboard.IsOpen() || !::IsClipboardFormatAvailable(blockTypeFormat_)) return std::nullopt;
  HANDLE data = ::GetClipboardData(blockTypeFormat_);
  if (!data || ::GlobalSize(data) < 1) return std::nullopt;
  GlobalLockScope lock(data);
  if (!lock.Data()) return std::nullopt;
  return static_cast<std::uint8_t>(lock.Data()[0]);
}

}  // namespace vantorel::win32
