// The files a source includes, found as the assembler finds them, each read once
// through the file-system port however often and however deep it is named, with the
// declarations of every one and a table of their names. Nothing on the disk is
// trusted: a missing, unreadable, huge or random file, includes in a circle or
// nested without end leave a usable tree and one line for the status bar each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/Declarations.h"
#include "index/NameTable.h"
#include "platform/CodePages.h"
#include "platform/FileSystem.h"

namespace vantorel {

struct IncludeSearch {
  std::string sourcePath;  // the open source's full path (UTF-8); empty for a text never saved
  std::string masmPath;    // the Masm32 folder of the settings (UTF-8), may be empty
};

struct IncludedFile {
  std::string path;  // full path, UTF-8
  FileStamp stamp;   // as it was before the file was read
  FileDeclarations declarations;
};

enum class IncludeFault {
  Missing,       // no file of that name in any folder searched
  Unreadable,    // the port could not read it, or said nothing about it
  TooLarge,      // past kMaxFileBytes: not read
  Cycle,         // files that include each other (read once each all the same)
  TooDeep,       // nested past kMaxDepth: the deeper files are not read
  TooManyFiles,  // past kMaxFiles files, or kMaxIncludeLines include lines
};

struct IncludeProblem {
  IncludeFault fault = IncludeFault::Missing;
  std::string message;  // one line for the status bar
};

// The messages name the include as written and the file and line (from 1) naming it.
inline constexpr std::string_view kIncludeNotFound = "Не найден include-файл %s (%s, строка %s)";
inline constexpr std::string_view kIncludeUnreadable = "Не удалось прочитать %s: %s (%s, строка %s)";
inline constexpr std::string_view kIncludeNoStamp = "нет сведений о файле";
inline constexpr std::string_view kIncludeTooLarge = "Include-файл %s больше %s МБ, не прочитан (%s, строка %s)";
inline constexpr std::string_view kIncludeCycle = "Include-файлы включают друг друга: %s (%s, строка %s)";
inline constexpr std::string_view kIncludeTooDeep =
    "Include-файлы вложены глубже %s уровней: %s и глубже не прочитаны (%s, строка %s)";
inline constexpr std::string_view kIncludeTooManyFiles =
    "Include-файлов больше %s: %s и дальше не прочитаны (%s, строка %s)";
inline constexpr std::string_view kIncludeTooManyLines =
    "Include-строк больше %s: %s и дальше не прочитаны (%s, строка %s)";
// The source's name in a message while it has none.
inline constexpr std::string_view kUnsavedSource = "текст без имени";

class IncludeTree {
 public:
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{64} << 20;
  static constexpr int kMaxDepth = 64;  // the source's own includes are at depth 1
  static constexpr std::size_t kMaxFiles = 4096;
  static constexpr std::size_t kMaxIncludeLines = 16384;

  // Reads every file reachable from the source's include lines (names as written, ANSI
  // bytes), each once, in the order the assembler would first meet them. Files of
  // previous whose stamp is unchanged are taken over, not read again.
  static IncludeTree Read(FileSystem& fs, CodePages& codePages, const IncludeSearch& search,
                          const std::vector<IncludeLine>& sourceIncludes, const IncludeTree* previous = nullptr);

  // True when a file read has another stamp now or is gone, when a file that could
  // not be read looks different, or when a file appeared where an include was looked
  // for and not found (which may change what that include names).
  bool Stale(FileSystem& fs) const;

  const std::vector<std::shared_ptr<const IncludedFile>>& Files() const noexcept { return files_; }
  const std::vector<IncludeProblem>& Problems() const noexcept { return problems_; }
  // The top-level declarations of Files(); an entry's file is an index into Files().
  const NameTable& Names() const noexcept { return names_; }

 private:
  friend class IncludeTreeReader;

  // A path whose stamp (nothing: it did not exist) decides whether the tree is stale.
  struct Watched {
    std::string path;
    std::optional<FileStamp> stamp;
  };

  std::vector<std::shared_ptr<const IncludedFile>> files_;
  std::vector<std::string> keys_;  // each file's path as compared (PathKey)
  std::vector<IncludeProblem> problems_;
  std::vector<Watched> watched_;
  NameTable names_;
};

}  // namespace vantorel
