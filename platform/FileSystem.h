// The file system as the core needs it: whole-file reads and a save that never loses
// the old file or the new text. Paths are UTF-8. Failures throw EFileError with the
// user-facing message.
//
// The port supplies small primitives (create, write, flush, replace, move, remove);
// the save itself, with every decision about what to keep when a step fails, is
// written once here (platform/FileSystem.cpp) so the code that ships is the code the
// unit tests drive.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
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

// Told after each piece of a read: the bytes and how many of them are read so far.
// The piece just read ends there and is still in the processor's cache, so whoever
// reads a file to scan it scans as it goes.
using ReadObserver = std::function<void(const char* bytes, std::size_t readSoFar)>;
// The piece a read asks the system for at once.
inline constexpr std::size_t kReadPiece = std::size_t{256} << 10;

// A whole file as read: storage that was not filled before the read wrote it, so a
// large file is touched once, by the read.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;

  std::string_view View() const noexcept { return {data.get(), size}; }
  // Room for size bytes, left as it is (the reader fills it).
  static FileBytes Uninitialised(std::size_t size) {
    return {size > 0 ? std::make_unique_for_overwrite<char[]>(size) : nullptr, size};
  }
  // A read of bytes in memory, in pieces of the given size, as a file would be read.
  static FileBytes CopyOf(std::string_view bytes, const ReadObserver& observer = nullptr,
                          std::size_t piece = kReadPiece) {
    FileBytes out = Uninitialised(bytes.size());
    for (std::size_t done = 0; done < bytes.size();) {
      const std::size_t n = std::min(piece, bytes.size() - done);
      std::memcpy(out.data.get() + done, bytes.data() + done, n);
      done += n;
      if (observer) observer(out.data.get(), done);
    }
    return out;
  }
};

// What tells one version of a file from the next without reading it: its size and the
// time of its last write, in the system's own units (only compared, never shown).
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t time = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
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
  FileBytes ReadFile(const std::string& path) { return ReadInPieces(path, nullptr); }
  // The same, telling the observer (when set) of each piece read.
  virtual FileBytes ReadInPieces(const std::string& path, const ReadObserver& observer) = 0;
  // The stamp of a regular file; nothing when there is none or it cannot be looked at.
  virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;

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
