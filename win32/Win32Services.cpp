#include "win32/Win32Services.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "platform/Errors.h"

namespace vantorel::win32 {

// --- files ---

namespace {

std::wstring FullPathOf(const std::wstring& path) {
  const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return path;
  full.resize(got);
  return full;
}

// The form of a path the file functions accept. A short path goes as it is; a long one
// is made absolute and given the \\?\ form, which lifts the MAX_PATH limit (that form
// skips the system's own clean-up of the path, which GetFullPathNameW has done).
std::wstring ApiPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const std::wstring full = FullPathOf(wide);
  // Folders stop at MAX_PATH - 12 (room for an 8.3 name), files at MAX_PATH - 1.
  if (full.size() < MAX_PATH - 12) return wide;
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

[[noreturn]] void Fail(std::string_view format, const std::string& path, DWORD error) {
  throw EFileError(FormatText(format, {Narrow(FullPathOf(Widen(path))), SystemErrorMessage(error)}));
}

FileStatus Failed(DWORD error) {
  FileFault fault = FileFault::Other;
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: fault = FileFault::AccessDenied; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    // The target could not be removed; both files keep their names.
    case ERROR_UNABLE_TO_REMOVE_REPLACED: fault = FileFault::SharingViolation; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: fault = FileFault::NotFound; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: fault = FileFault::AlreadyExists; break;
    // The target is gone (or renamed to a name we are not told) and the replacement
    // still has its temporary name.
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: fault = FileFault::UnableToMoveReplacement; break;
    default: break;
  }
  return {fault, SystemErrorMessage(error)};
}

FileStatus LastError() { return Failed(::GetLastError()); }

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE file) : file_(file) {}
  FileStatus Write(std::string_view bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr)) return LastError();
      if (written == 0) return Failed(ERROR_WRITE_FAULT);
      done += written;
    }
    return {};
  }
  FileStatus FlushAndClose() override {
    if (!::FlushFileBuffers(file_.get())) return LastError();
    if (!file_.Close()) return LastError();
    return {};
  }

 private:
  HandleCloser file_;
};

OpenedFile Open(const std::string& path, DWORD share, DWORD disposition) {
  const HANDLE file =
      ::CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {LastError(), nullptr};
  return {{}, std::make_unique<Win32WritableFile>(file)};
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(ApiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(ApiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileBytes Win32FileSystem::ReadInPieces(const std::string& path, const ReadObserver& observer) {
  // The file is held only for the moment of reading and never stands in anyone's way:
  // a file that a build or another editor keeps open for writing opens here, and one
  // that another program replaces or deletes meanwhile may go (the open handle still
  // reads it). What is read is at most the size taken at the start, so a file growing
  // under the read is cut there, and one that shrinks ends where its data ends.
  HandleCloser file(::CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) Fail(kCannotOpenFile, path, ::GetLastError());
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) Fail(kCannotOpenFile, path, ::GetLastError());
  FileBytes bytes = FileBytes::Uninitialised(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size) {
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size - done, kReadPiece));
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data.get() + done, chunk, &got, nullptr)) Fail(kCannotOpenFile, path, ::GetLastError());
    if (got == 0) break;
    done += got;
    if (observer) observer(bytes.data.get(), done);
  }
  bytes.size = done;
  return bytes;
}

std::optional<FileStamp> Win32FileSystem::Stamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(ApiPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
  const FILETIME& written = data.ftLastWriteTime;
  return FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                   static_cast<std::int64_t>(join(written.dwHighDateTime, written.dwLowDateTime))};
}

std::string Win32FileSystem::FullPath(const std::string& path) { return Narrow(FullPathOf(Widen(path))); }

OpenedFile Win32FileSystem::CreateNew(const std::string& path) { return Open(path, 0, CREATE_NEW); }

OpenedFile Win32FileSystem::OpenExistingTruncated(const std::string& path) {
  // Windows refuses to write a read-only file; Wine, run by root, would not.
  if (IsReadOnly(path)) return {Failed(ERROR_ACCESS_DENIED), nullptr};
  // Whoever holds the file open for reading or writing keeps it.
  return Open(path, FILE_SHARE_READ | FILE_SHARE_WRITE, TRUNCATE_EXISTING);
}

FileStatus Win32FileSystem::Replace(const std::string& target, const std::string& replacement) {
  if (IsReadOnly(target)) return Failed(ERROR_ACCESS_DENIED);
  const std::wstring wtarget = ApiPath(target);
  // A file that another program holds open without delete sharing cannot be replaced.
  // Asking first keeps the replace from starting work it cannot finish: Wine's, for
  // one, moves the target aside through a temporary file of its own and leaves that
  // file behind when the move is refused.
  {
    HandleCloser probe(::CreateFileW(wtarget.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe.get() == INVALID_HANDLE_VALUE) return LastError();
  }
  // Replacing keeps the old file's attributes, rights and links.
  if (!::ReplaceFileW(wtarget.c_str(), ApiPath(replacement).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
    return LastError();
  }
  return {};
}

FileStatus Win32FileSystem::Move(const std::string& from, const std::string& to) {
  if (!::MoveFileExW(ApiPath(from).c_str(), ApiPath(to).c_str(), MOVEFILE_WRITE_THROUGH)) return LastError();
  return {};
}

FileStatus Win32FileSystem::Remove(const std::string& path) {
  if (!::DeleteFileW(ApiPath(path).c_str())) return LastError();
  return {};
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
  // A current folder of MAX_PATH characters or more (with its final backslash) is
  // refused by Windows, or where long paths are enabled, makes every program started
  // from it fail; Wine takes it silently. Refused here alike.
  std::wstring full = FullPathOf(Widen(dir));
  if (!full.empty() && full.back() != L'\\') full.push_back(L'\\');
  if (full.size() >= MAX_PATH) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
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

// --- folder and font dialogs ---

std::optional<std::string> Win32Dialogs::BrowseForFolder(const std::string& title) {
  const std::wstring wideTitle = Widen(title);
  wchar_t display[MAX_PATH] = L"";
  BROWSEINFOW info{};
  info.hwndOwner = owner_;
  info.pszDisplayName = display;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = L"";
  const BOOL ok = ::SHGetPathFromIDListW(chosen, path);
  ::CoTaskMemFree(chosen);
  if (!ok) return std::nullopt;
  return Narrow(path);
}

std::optional<FontDesc> Win32Dialogs::PickFont(const FontDesc& initial) {
  LOGFONTW font{};
  font.lfHeight = initial.height;
  font.lfWeight = HasStyle(initial.style, FontStyle::Bold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = HasStyle(initial.style, FontStyle::Italic);
  font.lfUnderline = HasStyle(initial.style, FontStyle::Underline);
  font.lfStrikeOut = HasStyle(initial.style, FontStyle::StrikeOut);
  font.lfCharSet = initial.charset;
  const std::wstring name = Widen(initial.name).substr(0, LF_FACESIZE - 1);
  std::memcpy(font.lfFaceName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner_;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  cf.rgbColors = ToCOLORREF(initial.color);
  if (!::ChooseFontW(&cf)) return std::nullopt;
  FontDesc chosen;
  chosen.name = Narrow(font.lfFaceName);
  chosen.height = font.lfHeight;
  chosen.style = FontStyle::None;
  if (font.lfWeight >= FW_SEMIBOLD) chosen.style = chosen.style | FontStyle::Bold;
  if (font.lfItalic) chosen.style = chosen.style | FontStyle::Italic;
  if (font.lfUnderline) chosen.style = chosen.style | FontStyle::Underline;
  if (font.lfStrikeOut) chosen.style = chosen.style | FontStyle::StrikeOut;
  chosen.color = Color{static_cast<std::uint32_t>(cf.rgbColors & 0x00FFFFFFu)};
  chosen.charset = font.lfCharSet;
  return chosen;
}

// --- code pages ---

namespace {

std::string Converted(std::string_view in, BOOL(WINAPI* convert)(LPCSTR, LPSTR, DWORD)) {
  std::string out(in.size(), '\0');
  if (!in.empty()) convert(in.data(), out.data(), static_cast<DWORD>(in.size()));
  return out;
}

}  // namespace

std::string Win32CodePages::WinToDos(std::string_view ansi) { return Converted(ansi, ::CharToOemBuffA); }
std::string Win32CodePages::DosToWin(std::string_view oem) { return Converted(oem, ::OemToCharBuffA); }

std::string Win32CodePages::LowerCase(std::string_view ansi) {
  std::string out(ansi);
  if (!out.empty()) ::CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string Win32CodePages::UpperCase(std::string_view ansi) {
  std::string out(ansi);
  if (!out.empty()) ::CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::optional<std::string> Win32CodePages::AnsiFromUtf8(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return std::string();
  BOOL lost = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, &lost);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                        nullptr, &lost);
  if (lost || size <= 0) return std::nullopt;
  return out;
}

std::string Win32CodePages::Utf8FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return std::string();
  const int size = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (size <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
  return Narrow(wide);
}

void Win32Shell::Open(const std::string& path) noexcept {
  try {
    ::ShellExecuteW(owner_, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  } catch (...) {
    // Not reported: a help file that cannot be shown leaves the program as it was.
  }
}

}  // namespace vantorel::win32
