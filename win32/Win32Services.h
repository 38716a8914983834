// The Win32 implementations of the system services the core uses: the file system,
// message boxes and the common dialogs, processes, the code pages and the shell.
#pragma once

#include "platform/CodePages.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

class Win32FileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  FileBytes ReadInPieces(const std::string& path, const ReadObserver& observer) override;
  std::optional<FileStamp> Stamp(const std::string& path) override;

  std::string FullPath(const std::string& path) override;
  OpenedFile CreateNew(const std::string& path) override;
  OpenedFile OpenExistingTruncated(const std::string& path) override;
  FileStatus Replace(const std::string& target, const std::string& replacement) override;
  FileStatus Move(const std::string& from, const std::string& to) override;
  FileStatus Remove(const std::string& path) override;
};

class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                           MessageIcon icon) override;
  std::optional<std::string> OpenFile(const FileDialogDesc& desc) override;
  std::optional<std::string> SaveFile(const FileDialogDesc& desc) override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  std::optional<FontDesc> PickFont(const FontDesc& initial) override;

 private:
  std::optional<std::string> FileDialog(const FileDialogDesc& desc, bool save);
  HWND owner_;
};

class Win32Processes : public Processes {
 public:
  bool ChangeDirectory(const std::string& dir) override;
  bool StartCommand(const std::string& commandLine) override;
  void ProcessMessages() override;
};

// The system's ANSI and OEM code pages (CharToOemBuffA, OemToCharBuffA, CharLowerBuffA).
class Win32CodePages : public CodePages {
 public:
  std::string WinToDos(std::string_view ansi) override;
  std::string DosToWin(std::string_view oem) override;
  std::string LowerCase(std::string_view ansi) override;
  std::string UpperCase(std::string_view ansi) override;
  std::optional<std::string> AnsiFromUtf8(std::string_view utf8) override;
  std::string Utf8FromAnsi(std::string_view ansi) override;
};

class Win32Shell : public Shell {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void Open(const std::string& path) noexcept override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace vantorel::win32
