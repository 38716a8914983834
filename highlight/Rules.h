// The colouring rules of the languages the highlighter knows, as tables: the lexical
// style, the words of each class, the symbol characters, the number syntax and the
// constructs that run over lines. A further language is one more table.
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

// How lines carry constructs into the lines below them.
enum class LongConstructs : std::uint8_t {
  CStyle,          // block comments, backslash-continued strings and "#" lines
  BlockDirective,  // a directive whose delimiter closes it on a later line
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
  LongConstructs longConstructs;
  // A word right after a "." symbol is a structure's field (wc.style, [esi].RECT.left),
  // never one of the table's words.
  bool memberAfterDot;
};
const HighlightRules& JavaRules();
const HighlightRules& MasmRules();

// The assembler's word lists as compiled in, for the tables' checks.
struct WordList {
  std::string_view name;
  std::string_view words;
  TokenClass cls;
};
std::span<const WordList> MasmWordLists();
// The directives that declare the name in front of them, and the instructions that are
// also operators (each also in a list above).
std::string_view MasmDeclarers();
std::string_view MasmOperatorInstructions();

using ReservedWordHook = std::function<void(std::string_view token, bool& reserved)>;

// The token's class under rules, given its kind and the token before it on the line; a
// reserved answer from the owner (when asked) takes the place of the word tables.
// wordFlags receives the flags of the token's table entry (0 when it has none).
TokenClass ClassifyToken(const HighlightRules& rules, TokenKind kind, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord, std::uint8_t* wordFlags = nullptr);
// The same for a Java token, whose kind is read from its text.
TokenClass ClassifyToken(const HighlightRules& rules, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord);

}  // namespace vantorel
