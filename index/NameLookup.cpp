#include "index/NameLookup.h"

#include <algorithm>

namespace vantorel {

namespace {

constexpr bool IsNameChar(char c) noexcept {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '@' ||
         c == '$' || c == '?';
}
constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// How many steps of types and aliases are followed: a typedef of a typedef of a
// structure is as far as real programs go, and a cycle ends here.
constexpr int kMaxSteps = 8;

// The start of the run of name characters that ends at end.
std::size_t NameStart(std::string_view text, std::size_t end) noexcept {
  while (end > 0 && IsNameChar(text[end - 1])) --end;
  return end;
}

// The last name of a type as written ("PTR WNDCLASSEX" -> "WNDCLASSEX", "DWORD" ->
// "DWORD"); empty when it ends with something else.
std::string_view LastName(std::string_view type) noexcept {
  std::size_t end = type.size();
  while (end > 0 && IsBlank(type[end - 1])) --end;
  return type.substr(NameStart(type, end), end - NameStart(type, end));
}

// The first name inside a text ("WNDCLASSEX PTR [esi]" -> "WNDCLASSEX").
std::string_view FirstName(std::string_view text) noexcept {
  std::size_t from = 0;
  while (from < text.size() && !IsNameChar(text[from])) ++from;
  std::size_t end = from;
  while (end < text.size() && IsNameChar(text[end])) ++end;
  return text.substr(from, end - from);
}

}  // namespace

CompletionPlace PlaceBeforeCaret(std::string_view line, int caretX) {
  CompletionPlace place;
  if (caretX <= 0 || static_cast<std::size_t>(caretX) > line.size()) return place;
  const std::string_view before = line.substr(0, static_cast<std::size_t>(caretX));
  std::size_t at = NameStart(before, before.size());
  place.prefix = before.substr(at);
  // Back over ".name" links: each dot is preceded by a name, or by a parenthesis whose
  // first name is a type.
  while (at > 0 && before[at - 1] == '.') {
    const std::size_t dot = at - 1;
    if (dot > 0 && before[dot - 1] == ')') {
      int depth = 0;
      std::size_t open = dot - 1;
      for (;; --open) {
        if (before[open] == ')') ++depth;
        if (before[open] == '(' && --depth == 0) break;
        if (open == 0) return CompletionPlace{place.prefix, {}};
      }
      const std::string_view type = FirstName(before.substr(open + 1, dot - 1 - (open + 1)));
      if (type.empty()) return CompletionPlace{place.prefix, {}};
      place.path.insert(place.path.begin(), type);
      break;
    }
    const std::size_t start = NameStart(before, dot);
    // "[esi].name" and ".if": the name after such a dot is a name of its own.
    if (start == dot) break;
    place.path.insert(place.path.begin(), before.substr(start, dot - start));
    at = start;
  }
  return place;
}

const Declaration* MemberNamed(const Declaration& structure, std::string_view name) {
  const auto& members = structure.members;
  auto it = std::find_if(members.begin(), members.end(), [name](const Declaration& m) { return m.name == name; });
  if (it == members.end()) {
    it = std::find_if(members.begin(), members.end(), [name](const Declaration& m) { return SameName(m.name, name); });
  }
  return it == members.end() ? nullptr : &*it;
}

const Declaration* StructureOf(const Declaration* declaration, const FindDeclaration& find) {
  for (int step = 0; declaration && step < kMaxSteps; ++step) {
    switch (declaration->kind) {
      case DeclarationKind::Structure:
      case DeclarationKind::Union: return declaration;
      case DeclarationKind::Data:
      case DeclarationKind::Parameter:
      case DeclarationKind::External:
      case DeclarationKind::Typedef:
      case DeclarationKind::TextAlias:
      case DeclarationKind::Label: {
        const std::string_view next = LastName(declaration->type);
        if (next.empty() || next == declaration->name) return nullptr;
        declaration = find(next);
        break;
      }
      default: return nullptr;
    }
  }
  return nullptr;
}

const Declaration* StructureAtEndOf(const std::vector<std::string_view>& path, const FindDeclaration& find) {
  if (path.empty()) return nullptr;
  const Declaration* at = StructureOf(find(path.front()), find);
  for (std::size_t i = 1; at && i < path.size(); ++i) {
    const Declaration* member = MemberNamed(*at, path[i]);
    at = member ? StructureOf(member, find) : nullptr;
  }
  return at;
}

}  // namespace vantorel
