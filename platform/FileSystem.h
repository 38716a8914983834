// The file system as the core needs it: whole-file reads and a save that never loses
// the old file or the new text. Paths are UTF-8. Failures throw EFileError with the
// user-facing message.
//
// The port supplies small primitives (create, write, flush, replace, move, remove);
// the save itself, with every decision about what to keep when a step fails, is
// written once here (platform/FileSystem.cpp) so the code that ships is the code the
// unit tests drive.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vantorel {

inline constexpr std::string_view kCannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file \"%s\". %s";
// A save that could not finish and left the only complete copy of the new text in
// the temporary file: the user is told its full path.
inline constexpr std::string_view kNewTextKeptIn = "Cannot create file \"%s\". %s The new text is in \"%s\".";

// Why a primitive failed, as far as the save's decisions need to know.
enum class FileFault {
  None,
  AccessDenied,      // no right to create, write, delete or rename (or a read-only file)
  SharingViolation,  // another program holds the file open without the sharing needed
  NotFound,          // the file or its folder does not exist
  AlreadyExists,     // a new file was asked for and the name is taken
  // A replace stopped half-way: the old file is gone or renamed, and the replacement
  // still has its own name.
  UnableToMoveReplacement,
  Other,
};

struct FileStatus {
  FileFault fault = FileFault::None;
  std::string reason;  // the system's description of the failure
  bool ok() const noexcept { return fault == FileFault::None; }
};

// A file open for writing. Destroying it without FlushAndClose closes it as it is.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual FileStatus Write(std::string_view bytes) = 0;
  // Pushes the bytes to the disk and closes the file.
  virtual FileStatus FlushAndClose() = 0;
};

struct OpenedFile {
  FileStatus status;
  std::unique_ptr<WritableFile> file;  // set when status is ok
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when a regular file (not a folder) exists at the path.
  virtual bool FileExists(const std::string& path) = 0;
  // The whole file. Throws EFileError "Cannot open file "<full path>". <reason>".
  virtual std::string ReadFile(const std::string& path) = 0;

  // Writes the bytes so that at every moment either the old file or the complete new
  // text is on disk: a temporary file beside the target is written and flushed, then
  // replaces the target. Where the replace is refused (the file is held open, the
  // folder allows no new files) the file is written in place. Throws EFileError
  // "Cannot create file "<full path>". <reason>", or kNewTextKeptIn when the new text
  // was left in the temporary file.
  void WriteFile(const std::string& path, std::string_view bytes);

  // --- primitives of the port ---
  // The absolute form of a path, as messages show it.
  virtual std::string FullPath(const std::string& path) = 0;
  // Creates a new empty file; AlreadyExists when the name is taken.
  virtual OpenedFile CreateNew(const std::string& path) = 0;
  // Opens an existing file for writing and empties it.
  virtual OpenedFile OpenExistingTruncated(const std::string& path) = 0;
  // Puts the replacement's contents in the target's place, keeping the target's
  // attributes and rights; on success the replacement's name is gone.
  virtual FileStatus Replace(const std::string& target, const std::string& replacement) = 0;
  // Renames a file to a name that must not exist yet.
  virtual FileStatus Move(const std::string& from, const std::string& to) = 0;
  virtual FileStatus Remove(const std::string& path) = 0;
};

// The name of a temporary file in the target's folder: short, so that it fits where
// the target's name fits, and different at each call.
std::string TemporaryNameBeside(const std::string& target);

}  // namespace vantorel
