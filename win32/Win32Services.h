// The Win32 implementations of the system services the core uses: the file system,
// message boxes and processes.
#pragma once

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

class Win32FileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  std::string ReadFile(const std::string& path) override;

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

}  // namespace vantorel::win32
