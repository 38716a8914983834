#include "index/NameTable.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vantorel {

namespace {

// Only Latin letters are folded: the assembler's own case rule (OPTION CASEMAP) knows
// no other letters, and a byte of the ANSI page means different letters on different
// systems.
constexpr unsigned char Fold(char c) noexcept {
  const auto b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

// A name's folded bytes, kept apart in one buffer while the table is sorted, with its
// first sixteen as two numbers that order as the bytes do: most comparisons of the sort
// end there, and the others are one memcmp.
struct Sortable {
  std::uint64_t high;
  std::uint64_t low;
  std::uint32_t offset;  // of the folded name in the buffer
  std::uint32_t size;
  std::uint32_t order;  // grows with the file and the declaration's place in it
};

std::uint64_t Lead(const unsigned char* folded, std::size_t size) noexcept {
  std::uint64_t lead = 0;
  for (std::size_t i = 0; i < 8; ++i) lead = (lead << 8) | (i < size ? folded[i] : 0u);
  return lead;
}

std::string_view NameOf(const NameEntry& entry) noexcept { return entry.declaration->name; }

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) noexcept {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(a[i]);
    const unsigned char y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool StartsWithName(std::string_view name, std::string_view prefix) noexcept {
  return name.size() >= prefix.size() && CompareFolded(name.substr(0, prefix.size()), prefix) == 0;
}

bool SameName(std::string_view a, std::string_view b) noexcept { return CompareFolded(a, b) == 0; }

bool NameBefore(std::string_view a, std::string_view b) noexcept {
  const int folded = CompareFolded(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

NameTable::NameTable(std::span<const std::vector<Declaration>* const> files) {
  std::size_t count = 0;
  std::size_t bytes = 0;
  for (const std::vector<Declaration>* declarations : files) {
    count += declarations->size();
    for (const Declaration& declaration : *declarations) bytes += declaration.name.size();
  }
  std::vector<NameEntry> byOrder;
  byOrder.reserve(count);
  std::vector<unsigned char> folded(bytes);
  std::vector<Sortable> sorting;
  sorting.reserve(count);
  std::size_t at = 0;
  for (std::size_t file = 0; file < files.size(); ++file) {
    for (const Declaration& declaration : *files[file]) {
      const std::string_view name = declaration.name;
      unsigned char* const start = folded.data() + at;
      for (std::size_t i = 0; i < name.size(); ++i) start[i] = Fold(name[i]);
      const std::uint64_t low = name.size() > 8 ? Lead(start + 8, name.size() - 8) : 0;
      sorting.push_back(Sortable{Lead(start, name.size()), low, static_cast<std::uint32_t>(at),
                                 static_cast<std::uint32_t>(name.size()), static_cast<std::uint32_t>(byOrder.size())});
      byOrder.push_back(NameEntry{&declaration, static_cast<std::uint32_t>(file)});
      at += name.size();
    }
  }
  const unsigned char* const base = folded.data();
  std::sort(sorting.begin(), sorting.end(), [&](const Sortable& a, const Sortable& b) noexcept {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    if (a.size > 16 && b.size > 16) {
      const std::size_t n = std::min(a.size, b.size) - 16;
      if (const int c = std::memcmp(base + a.offset + 16, base + b.offset + 16, n); c != 0) return c < 0;
    }
    if (a.size != b.size) return a.size < b.size;
    const std::string_view x = byOrder[a.order].declaration->name;
    const std::string_view y = byOrder[b.order].declaration->name;
    if (const int exact = x.compare(y); exact != 0) return exact < 0;
    return a.order < b.order;
  });
  entries_.reserve(count);
  for (const Sortable& s : sorting) entries_.push_back(byOrder[s.order]);
}

std::span<const NameEntry> NameTable::WithPrefix(std::string_view prefix) const noexcept {
  const auto first = std::partition_point(entries_.begin(), entries_.end(),
                                          [&](const NameEntry& e) { return CompareFolded(NameOf(e), prefix) < 0; });
  const auto last = std::partition_point(first, entries_.end(),
                                         [&](const NameEntry& e) { return StartsWithName(NameOf(e), prefix); });
  return {first, last};
}

const NameEntry* NameTable::Find(std::string_view name) const noexcept {
  const auto first = std::partition_point(entries_.begin(), entries_.end(),
                                          [&](const NameEntry& e) { return CompareFolded(NameOf(e), name) < 0; });
  const auto last = std::partition_point(first, entries_.end(),
                                         [&](const NameEntry& e) { return CompareFolded(NameOf(e), name) == 0; });
  if (first == last) return nullptr;
  // Within names equal but for case, the exact bytes decide the order.
  const auto exact = std::partition_point(first, last, [&](const NameEntry& e) { return NameOf(e) < name; });
  return &*(exact != last && NameOf(*exact) == name ? exact : first);
}

}  // namespace vantorel
