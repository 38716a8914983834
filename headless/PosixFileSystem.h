// The file system of the machine the tests run on, with the same messages and the
// same replace-after-write saving as the Windows adapter.
#pragma once

#include "platform/FileSystem.h"

namespace vantorel {

class PosixFileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  std::string ReadFile(const std::string& path) override;
  void WriteFile(const std::string& path, std::string_view bytes) override;
};

}  // namespace vantorel
