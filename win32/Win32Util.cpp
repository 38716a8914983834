#include "win32/Win32Util.h"

#include <memory>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Errors.h"

namespace vantorel::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

COLORREF ToCOLORREF(Color color) noexcept {
  if (color.IsSystem()) return ::GetSysColor(color.SystemIndex());
  return static_cast<COLORREF>(color.value & 0x00FFFFFFu);
}

std::string SystemErrorMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  // The system's buffer is freed also when copying it fails.
  const std::unique_ptr<wchar_t, decltype(&::LocalFree)> owned(buffer, &::LocalFree);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : L"Error " + std::to_wstring(error);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return Narrow(text);
}

void ThrowApiError(std::string_view what, std::string_view call, DWORD error) {
  std::string text(what);
  text.append(" (").append(call).append(").");
  if (error != ERROR_SUCCESS) text.append(" ").append(SystemErrorMessage(error));
  throw Exception(text);
}

HMENU CreateMenuOrThrow(bool popup) {
  ::SetLastError(ERROR_SUCCESS);
  HMENU menu = popup ? ::CreatePopupMenu() : ::CreateMenu();
  if (!menu) ThrowApiError("Cannot build the menu", popup ? "CreatePopupMenu" : "CreateMenu", ::GetLastError());
  return menu;
}

void AppendMenuOrThrow(HMENU menu, UINT flags, UINT_PTR idOrPopup, const wchar_t* text) {
  ::SetLastError(ERROR_SUCCESS);
  if (!::AppendMenuW(menu, flags, idOrPopup, text)) ThrowApiError("Cannot build the menu", "AppendMenuW", ::GetLastError());
}

WindowDC::WindowDC(HWND hwnd) : hwnd_(hwnd), dc_((::SetLastError(ERROR_SUCCESS), ::GetDC(hwnd))) {
  if (!dc_) ThrowApiError("Cannot draw in the window", "GetDC", ::GetLastError());
}

void ShowError(HWND owner, const char* text) noexcept {
  try {
    ::MessageBoxW(owner, Widen(text).c_str(), Widen(kErrorCaption).c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {
    ::MessageBoxW(owner, L"Out of memory", L"Vantorel", MB_OK | MB_ICONERROR);
  }
}

}  // namespace vantorel::win32
