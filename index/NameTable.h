// The names an index offers to completion and hints: the top-level declarations of a
// list of files, sorted by name with Latin letters of either case alike, so that the
// names beginning with what was typed are one run of the table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "index/Declarations.h"

namespace vantorel {

// Names as the lists order them: Latin letters folded (the assembler's own case rule
// knows no other letters), then shorter first; CompareFolded gives -1, 0 or 1.
int CompareFolded(std::string_view a, std::string_view b) noexcept;
bool StartsWithName(std::string_view name, std::string_view prefix) noexcept;
bool SameName(std::string_view a, std::string_view b) noexcept;
// Folded first, then by the bytes.
bool NameBefore(std::string_view a, std::string_view b) noexcept;

struct NameEntry {
  const Declaration* declaration = nullptr;
  std::uint32_t file = 0;  // the index of the declaring file in the list the table was made of
};

class NameTable {
 public:
  NameTable() = default;
  // The declarations of each file, in the files' order; they must outlive the table.
  // Ties of the case-blind order go by the names' bytes, then by file and line order.
  explicit NameTable(std::span<const std::vector<Declaration>* const> files);

  std::span<const NameEntry> Entries() const noexcept { return entries_; }
  // Every name that begins with the prefix, Latin letters of either case alike.
  std::span<const NameEntry> WithPrefix(std::string_view prefix) const noexcept;
  // The first name written exactly so; failing that, the first that differs only in
  // the case of Latin letters; nullptr when there is none.
  const NameEntry* Find(std::string_view name) const noexcept;

 private:
  std::vector<NameEntry> entries_;
};

}  // namespace vantorel
