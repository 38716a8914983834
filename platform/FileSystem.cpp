#include "platform/FileSystem.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

#include "platform/Errors.h"

namespace vantorel {

namespace {

// Names taken by other files are skipped; past this many the folder is taken as full.
constexpr int kNameAttempts = 100;

[[noreturn]] void Fail(FileSystem& fs, const std::string& path, const FileStatus& status) {
  throw EFileError(FormatText(kCannotCreateFile, {fs.FullPath(path), status.reason}));
}

// The temporary file holds the only complete copy of the new text: it stays, and the
// user is told where it is.
[[noreturn]] void FailKeeping(FileSystem& fs, const std::string& path, const FileStatus& status,
                              const std::string& temp) {
  throw EFileError(FormatText(kNewTextKeptIn, {fs.FullPath(path), status.reason, fs.FullPath(temp)}));
}

FileStatus WriteAll(OpenedFile& opened, std::string_view bytes) {
  FileStatus status = opened.file->Write(bytes);
  if (status.ok()) status = opened.file->FlushAndClose();
  opened.file.reset();
  return status;
}

struct InPlaceResult {
  FileStatus status;
  bool touched = false;  // the old contents may be gone
};

// Writes the file over its old contents, the way a save that cannot replace the file
// has to: the file keeps its identity, its rights and any handles others hold on it.
InPlaceResult WriteInPlace(FileSystem& fs, const std::string& path, std::string_view bytes) {
  OpenedFile opened = fs.OpenExistingTruncated(path);
  if (!opened.status.ok()) return {opened.status, false};
  return {WriteAll(opened, bytes), true};
}

}  // namespace

std::string TemporaryNameBeside(const std::string& target) {
  static std::uint32_t next = std::random_device{}() ^
                              static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  next = next * 1664525u + 1013904223u;
  char name[16];
  std::snprintf(name, sizeof name, "vnt%08X.tmp", static_cast<unsigned>(next));
  const std::size_t slash = target.find_last_of("\\/:");
  return (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + name;
}

void FileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  const bool exists = FileExists(path);

  std::string temp;
  OpenedFile created;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temp = TemporaryNameBeside(path);
    created = CreateNew(temp);
    if (created.status.fault != FileFault::AlreadyExists) break;
  }
  if (!created.status.ok()) {
    // A folder that allows writing the file but no new one: write in place, as a
    // save without a temporary file always did.
    if (exists && created.status.fault == FileFault::AccessDenied) {
      const InPlaceResult inPlace = WriteInPlace(*this, path, bytes);
      if (inPlace.status.ok()) return;
      Fail(*this, path, inPlace.status);
    }
    Fail(*this, path, created.status);
  }

  // Until the temporary file is complete the old file is untouched and the
  // temporary one is worth nothing.
  if (const FileStatus written = WriteAll(created, bytes); !written.ok()) {
    Remove(temp);
    Fail(*this, path, written);
  }

  const FileStatus placed = exists ? Replace(path, temp) : Move(temp, path);
  if (placed.ok()) return;

  switch (placed.fault) {
    case FileFault::UnableToMoveReplacement:
    case FileFault::NotFound:
      // The old file is gone (or renamed out of the way, or removed by someone else
      // meanwhile): the temporary file is the only copy left, so it must reach the
      // target's name or stay where it is.
      if (!exists && placed.fault == FileFault::NotFound) break;  // the folder itself is missing
      if (const FileStatus moved = Move(temp, path); moved.ok()) return;
      if (!FileExists(temp)) Fail(*this, path, placed);  // it was the copy that went missing
      FailKeeping(*this, path, placed, temp);
    case FileFault::AccessDenied:
    case FileFault::SharingViolation:
      // The file is held open by a program that does not allow it to be removed, or
      // the folder allows no renames: write in place from the complete copy, and
      // remove the copy only once the file holds the new text.
      if (!exists) break;
      if (const InPlaceResult inPlace = WriteInPlace(*this, path, bytes); inPlace.status.ok()) {
        Remove(temp);  // the save succeeded; a copy that cannot be removed is harmless
        return;
      } else if (inPlace.touched) {
        FailKeeping(*this, path, inPlace.status, temp);
      } else {
        Remove(temp);
        Fail(*this, path, inPlace.status);
      }
    default:
      break;
  }
  // The old file (if any) is as it was: the temporary copy goes.
  Remove(temp);
  Fail(*this, path, placed);
}

}  // namespace vantorel
