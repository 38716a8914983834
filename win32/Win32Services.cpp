#include "win32/Win32Services.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "platform/Errors.h"

namespace vantorel::win32 {

// --- files ---

namespace {

std::string FullPath(const std::string& path) {
  const std::wstring wpath = Widen(path);
  const DWORD n = ::GetFullPathNameW(wpath.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(wpath.c_str(), n, full.data(), nullptr);
  full.resize(got);
  return Narrow(full);
}

[[noreturn]] void Fail(std::string_view format, const std::string& path, DWORD error) {
  throw EFileError(FormatText(format, {FullPath(path), SystemErrorMessage(error)}));
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 2 && path[1] == L':') return path.substr(0, 3);
  return path.substr(0, slash);
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32FileSystem::ReadFile(const std::string& path) {
  HandleCloser file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) Fail(kCannotOpenFile, path, ::GetLastError());
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) Fail(kCannotOpenFile, path, ::GetLastError());
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) Fail(kCannotOpenFile, path, ::GetLastError());
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

void Win32FileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  const std::wstring target = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    Fail(kCannotCreateFile, path, ERROR_ACCESS_DENIED);
  }
  wchar_t temp[MAX_PATH + 16];
  if (!::GetTempFileNameW(FolderOf(target).c_str(), L"vnt", 0, temp)) Fail(kCannotCreateFile, path, ::GetLastError());
  const auto failWith = [&](DWORD error) {
    ::DeleteFileW(temp);
    Fail(kCannotCreateFile, path, error ? error : ERROR_WRITE_FAULT);
  };
  {
    HandleCloser file(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) failWith(::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD error = ::GetLastError();
        file.Close();
        failWith(error);
      }
      done += written;
    }
    if (!::FlushFileBuffers(file.get())) {
      const DWORD error = ::GetLastError();
      file.Close();
      failWith(error);
    }
    if (!file.Close()) failWith(::GetLastError());
  }
  // Replacing keeps the old file's attributes, rights and links; a new file is moved
  // into place.
  const bool replaced = exists ? ::ReplaceFileW(target.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                                nullptr, nullptr) != 0
                               : ::MoveFileExW(temp, target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) failWith(::GetLastError());
}

// --- message boxes ---

MessageResult Win32Dialogs::ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                                       MessageIcon icon) {
  UINT flags = 0;
  switch (buttons) {
    case MessageButtons::Ok: flags |= MB_OK; break;
    case MessageButtons::YesNo: flags |= MB_YESNO; break;
    case MessageButtons::YesNoCancel: flags |= MB_YESNOCANCEL; break;
    case MessageButtons::OkCancel: flags |= MB_OKCANCEL; break;
  }
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: flags |= MB_ICONWARNING; break;
    case MessageIcon::Question: flags |= MB_ICONQUESTION; break;
    case MessageIcon::Error: flags |= MB_ICONERROR; break;
  }
  switch (::MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), flags)) {
    case IDYES: return MessageResult::Yes;
    case IDNO: return MessageResult::No;
    case IDCANCEL: return MessageResult::Cancel;
    default: return MessageResult::Ok;
  }
}

std::optional<std::string> Win32Dialogs::FileDialog(const FileDialogDesc& desc, bool save) {
  // The filter is pairs of NUL-ended strings, ended by one more NUL.
  std::wstring filter;
  for (const auto& [description, patterns] : desc.filters) {
    filter += Widen(description);
    filter += L'\0';
    filter += Widen(patterns);
    filter += L'\0';
  }
  filter += L'\0';
  const std::wstring title = Widen(desc.title);
  const std::wstring ext = Widen(desc.defaultExt);
  const std::wstring dir = Widen(desc.initialDir);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(desc.filterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!(save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn))) return std::nullopt;
  return Narrow(file.data());
}

std::optional<std::string> Win32Dialogs::OpenFile(const FileDialogDesc& desc) { return FileDialog(desc, false); }
std::optional<std::string> Win32Dialogs::SaveFile(const FileDialogDesc& desc) { return FileDialog(desc, true); }

// --- processes ---

bool Win32Processes::ChangeDirectory(const std::string& dir) {
  return ::SetCurrentDirectoryW(Widen(dir).c_str()) != 0;
}

bool Win32Processes::StartCommand(const std::string& commandLine) {
  // As WinExec does: the command line as it stands, a normal window, no waiting.
  std::wstring line = Widen(commandLine);
  line.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

void Win32Processes::ProcessMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace vantorel::win32
