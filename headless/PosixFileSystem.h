// The file system of the machine the tests run on: the primitives of the save, with
// the same messages as the Windows adapter.
#pragma once

#include "platform/FileSystem.h"

namespace vantorel {

class PosixFileSystem : public FileSystem {
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

}  // namespace vantorel
