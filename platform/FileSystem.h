// The file system as the core needs it: whole-file reads and writes of byte strings.
// Paths are UTF-8. Failures throw EFileError with the user-facing message.
#pragma once

#include <string>
#include <string_view>

namespace vantorel {

inline constexpr std::string_view kCannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file \"%s\". %s";

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when a regular file (not a folder) exists at the path.
  virtual bool FileExists(const std::string& path) = 0;
  // The whole file. Throws EFileError "Cannot open file "<full path>". <reason>".
  virtual std::string ReadFile(const std::string& path) = 0;
  // Writes the bytes to a temporary file beside the target, then replaces the target,
  // so a failure never destroys the old file. Throws EFileError
  // "Cannot create file "<full path>". <reason>".
  virtual void WriteFile(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace vantorel
