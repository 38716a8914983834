// Files in memory under Windows paths, for the index's tests and benchmark: names are
// compared as Windows compares them (either separator, letters of any case, Cyrillic
// included), every read is counted per file, a file's stamp is set by the test or
// moves on with each change, and a file can be made to fail its reads. Only reading is
// served; the save's primitives refuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace vantorel {

class MemoryFileSystem : public FileSystem {
 public:
  // Adds or replaces a file; its stamp is its size and a time later than any before.
  void Put(const std::string& path, std::string bytes) {
    File& file = files_[Key(path)];
    file.path = path;
    file.stamp = FileStamp{bytes.size(), ++clock_};
    file.bytes = std::move(bytes);
    file.failure.reset();
  }
  void SetStamp(const std::string& path, FileStamp stamp) { At(path).stamp = stamp; }
  // Reads of the file throw EFileError with this reason until it is put again.
  void FailReads(const std::string& path, std::string reason) { At(path).failure = std::move(reason); }
  void Erase(const std::string& path) { files_.erase(Key(path)); }

  // The reads asked of a file (failed ones too) since the last ResetCounts.
  int Reads(const std::string& path) const {
    const auto it = files_.find(Key(path));
    return it == files_.end() ? 0 : it->second.reads;
  }
  int TotalReads() const {
    int total = 0;
    for (const auto& entry : files_) total += entry.second.reads;
    return total;
  }
  void ResetCounts() {
    for (auto& entry : files_) entry.second.reads = 0;
  }
  // Every file as it was put: its path and bytes.
  template <typename Visit>
  void ForEachFile(Visit&& visit) const {
    for (const auto& entry : files_) visit(entry.second.path, std::string_view(entry.second.bytes));
  }

  bool FileExists(const std::string& path) override { return files_.count(Key(path)) != 0; }
  FileBytes ReadInPieces(const std::string& path, const ReadObserver& observer) override {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) throw EFileError(FormatText(kCannotOpenFile, {path, "The system cannot find the file."}));
    File& file = it->second;
    ++file.reads;
    if (file.failure) throw EFileError(FormatText(kCannotOpenFile, {path, *file.failure}));
    return FileBytes::CopyOf(file.bytes, observer);
  }
  std::optional<FileStamp> Stamp(const std::string& path) override {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.stamp;
  }
  std::string FullPath(const std::string& path) override { return path; }
  OpenedFile CreateNew(const std::string&) override { return {Refused(), nullptr}; }
  OpenedFile OpenExistingTruncated(const std::string&) override { return {Refused(), nullptr}; }
  FileStatus Replace(const std::string&, const std::string&) override { return Refused(); }
  FileStatus Move(const std::string&, const std::string&) override { return Refused(); }
  FileStatus Remove(const std::string&) override { return Refused(); }

  // The name under which Windows would find the file: backslashes, and the lower case
  // of Latin and Cyrillic letters (UTF-8).
  static std::string Key(std::string_view path) {
    std::string key;
    key.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
      const auto c = static_cast<unsigned char>(path[i]);
      if (c == '/') {
        key += '\\';
      } else if (c >= 'A' && c <= 'Z') {
        key += static_cast<char>(c + 32);
      } else if ((c == 0xD0 || c == 0xD1) && i + 1 < path.size() && (path[i + 1] & 0xC0) == 0x80) {
        const auto next = static_cast<unsigned char>(path[i + 1]);
        char32_t u = ((c & 0x1Fu) << 6) | (next & 0x3Fu);
        if (u >= 0x410 && u <= 0x42F)
          u += 0x20;  // А..Я
        else if (u >= 0x400 && u <= 0x40F)
          u += 0x50;  // Ѐ..Џ, Ё among them
        key += static_cast<char>(0xC0 | (u >> 6));
        key += static_cast<char>(0x80 | (u & 0x3F));
        ++i;
      } else {
        key += static_cast<char>(c);
      }
    }
    return key;
  }

 private:
  struct File {
    std::string path;
    std::string bytes;
    FileStamp stamp;
    std::optional<std::string> failure;
    int reads = 0;
  };

  static FileStatus Refused() { return {FileFault::Other, "This file system is read only."}; }
  File& At(const std::string& path) {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) throw EFileError(FormatText(kCannotOpenFile, {path, "The system cannot find the file."}));
    return it->second;
  }

  std::unordered_map<std::string, File> files_;
  std::int64_t clock_ = 0;
};

}  // namespace vantorel
