// The colouring rules of a language as a table: the lexical style, the words of each
// class, the symbol characters and the number syntax; and the classification of a
// token under such a table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/Scanner.h"

namespace vantorel {

// The colour class a token gets; each is one entry of TColors.
enum class TokenClass : std::uint8_t {
  Comment,
  Number,
  Strings,
  Symbol,
  Reserved,
  Identifier,
  Declaration,
  Preproc,
  Statement,
  PlainText
};

// ASCII only: the rules read bytes of any code page.
namespace ascii {
constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsHexDigit(char c) noexcept { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
}  // namespace ascii

// Calls f with each word of a list: words are separated by characters below "!", and
// "#" starts a remark that runs to the end of its line.
template <class F>
void ForEachWord(std::string_view list, F&& f) {
  std::size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && static_cast<unsigned char>(list[i]) < '!') ++i;
    if (i < list.size() && list[i] == '#') {
      while (i < list.size() && list[i] != '\n') ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < list.size() && static_cast<unsigned char>(list[i]) >= '!') ++i;
    if (i > start) f(list.substr(start, i - start));
  }
}

// Words with a small value each, found without allocating: open addressing over the
// words' hashes, optionally ignoring the case of ASCII letters.
class WordTable {
 public:
  struct List {
    std::string_view words;
    std::uint8_t value;
  };
  // A word that comes twice keeps its first value (the tables' test forbids that).
  WordTable(std::initializer_list<List> lists, bool ignoreCase);
  // The word's value, or nullptr.
  const std::uint8_t* Find(std::string_view token) const noexcept;

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t offset = 0;
    std::uint16_t length = 0;  // 0: free
    std::uint8_t value = 0;
  };
  std::uint32_t Hash(std::string_view word) const noexcept;
  bool Equal(const Slot& s, std::string_view token) const noexcept;

  bool ignoreCase_;
  std::string text_;  // the words, folded when the case is ignored
  std::vector<Slot> slots_;
  std::size_t longest_ = 0;
};

// A word's value in a rule table: its class in the low bits, and flags telling what it
// says of the tokens around it.
inline constexpr std::uint8_t kClassBits = 0x0F;
// The name in front of it on the line is the one it declares (WndProc proc).
inline constexpr std::uint8_t kDeclaresName = 0x80;
// The line's first word, right in front of it, names data whatever that word's own class
// (size dd ?, xmm8 dd 0), unless it is an instruction (push dword ptr x).
inline constexpr std::uint8_t kNamesData = 0x40;
// An instruction that is also an assembly-time operator: inside an operand (not the
// line's first word, nor after a label's ":" or a prefix) it is coloured as the
// operators are, as Statement (1 shl 4, not 0).
inline constexpr std::uint8_t kOperatorInOperand = 0x20;
// The assembler's own label (@@:): in front of ":" at a line's start it keeps its class
// instead of being taken for a declared name.
inline constexpr std::uint8_t kNoLabel = 0x10;
constexpr std::uint8_t WordValue(TokenClass k, std::uint8_t flags = 0) noexcept {
  return static_cast<std::uint8_t>(static_cast<std::uint8_t>(k) | flags);
}

struct HighlightRules {
  TScanStyle scanStyle;
  WordTable words;
  std::string_view declarer;     // the token after this word is a declaration
  std::string_view significant;  // characters whose typing can open or close a construct
  std::array<bool, 256> symbols;
  bool (*isNumber)(std::string_view token);
  bool hexAfterZero;  // "x..." after a "0" is the rest of a hexadecimal number
  bool labels;        // a line's first word right before ":" is a declaration
  // A word right after a "." symbol is a structure's field (wc.style, [esi].RECT.left),
  // never one of the table's words.
  bool memberAfterDot;
};

using ReservedWordHook = std::function<void(std::string_view token, bool& reserved)>;

// The token's class under rules, given its kind and the token before it on the line; a
// reserved answer from the owner (when asked) takes the place of the word tables.
// wordFlags receives the flags of the token's table entry (0 when it has none).
TokenClass ClassifyToken(const HighlightRules& rules, TokenKind kind, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord, std::uint8_t* wordFlags = nullptr);

}  // namespace vantorel
