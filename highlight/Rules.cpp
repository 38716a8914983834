#include "highlight/Rules.h"

#include <algorithm>
#include <bit>

namespace vantorel {

namespace {

constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) noexcept { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// --- Java ---

bool IsInteger(std::string_view t) {
  if (t.empty() || t == "$" || t == "-") return false;
  const bool hex = t.front() == '$';
  if (t.front() == '-' || hex) t.remove_prefix(1);
  return std::all_of(t.begin(), t.end(), [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); });
}

bool IsDecimal(std::string_view t) {
  if (t.empty() || t == "." || t == "-") return false;
  if (t.front() == '-') t.remove_prefix(1);
  int dots = 0;
  for (const char c : t) {
    if (c == '.') {
      if (++dots > 1) return false;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

bool IsJavaNumber(std::string_view t) { return IsInteger(t) || IsDecimal(t); }

std::array<bool, 256> SymbolsOf(std::string_view chars) {
  std::array<bool, 256> out{};
  for (const char c : chars) out[static_cast<unsigned char>(c)] = true;
  return out;
}

constexpr std::string_view kJavaKeywords =
    " abstract delegate if boolean do implements break double import byte else instanceof case extends int "
    "catch false interface char final long class finally multicast continue float default for native "
    "short transient new static true null super try package switch void private synchronized volatile "
    "protected this while public throw return throws ";

// --- the assembler ---

constexpr std::string_view kInstructions =
#include "highlight/masm/Instructions.inc"
    ;
constexpr std::string_view kRegisters =
#include "highlight/masm/Registers.inc"
    ;
constexpr std::string_view kDirectives =
#include "highlight/masm/Directives.inc"
    ;
constexpr std::string_view kHighLevel =
#include "highlight/masm/HighLevel.inc"
    ;
constexpr std::string_view kDeclarers =
#include "highlight/masm/Declarers.inc"
    ;
constexpr std::string_view kPredefined =
#include "highlight/masm/Predefined.inc"
    ;
// Each is an instruction, and the bitwise operator of the same name inside an operand.
constexpr std::string_view kOperatorInstructions = "and or xor not shl shr";

constexpr WordList kMasmLists[] = {
    {"instructions", kInstructions, TokenClass::Reserved},
    {"registers", kRegisters, TokenClass::Preproc},
    {"directives", kDirectives, TokenClass::Statement},
    {"high-level macros", kHighLevel, TokenClass::Statement},
    {"predefined symbols", kPredefined, TokenClass::Statement},
};

bool AllDigits(std::string_view t, int radix) {
  return !t.empty() && std::all_of(t.begin(), t.end(), [radix](char c) {
    if (radix == 16) return IsHexDigit(c);
    return c >= '0' && c < '0' + radix;
  });
}

// digits "." digits, then an optional exponent with an optional sign.
bool IsMasmReal(std::string_view t) {
  const std::size_t dot = t.find('.');
  if (!AllDigits(t.substr(0, dot), 10)) return false;
  std::string_view rest = t.substr(dot + 1);
  const std::size_t e = rest.find_first_of("eE");
  if (e == std::string_view::npos) return rest.empty() || AllDigits(rest, 10);
  if (e > 0 && !AllDigits(rest.substr(0, e), 10)) return false;
  std::string_view exponent = rest.substr(e + 1);
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.remove_prefix(1);
  return AllDigits(exponent, 10);
}

// The assembler's number forms in the default radix 10: 123, 123d/t, 0FFh (a digit
// first), 1010b/y, 17o/q, 3F800000r (a real's bits) and reals such as 1.5e3.
bool IsMasmNumber(std::string_view t) {
  if (t.empty() || !IsDigit(t[0])) return false;
  if (t.find('.') != std::string_view::npos) return IsMasmReal(t);
  const char suffix = Lower(t.back());
  if (IsDigit(suffix)) return AllDigits(t, 10);
  const std::string_view body = t.substr(0, t.size() - 1);
  switch (suffix) {
    case 'h':
    case 'r': return AllDigits(body, 16);
    case 'b':
    case 'y': return AllDigits(body, 2);
    case 'o':
    case 'q': return AllDigits(body, 8);
    case 'd':
    case 't': return AllDigits(body, 10);
    default: return false;
  }
}

WordTable MasmWords() {
  // The flagged words go first; as a word keeps its first value, their entries in the
  // lists below add nothing. The data directives are the scanner's, which open a data
  // definition's initialiser.
  return WordTable(
      {
          {kDeclarers, WordValue(TokenClass::Statement, kDeclaresName)},
          {ScanTableOf(TScanStyle::Masm).dataWords, WordValue(TokenClass::Statement, kNamesData)},
          {kOperatorInstructions, WordValue(TokenClass::Reserved, kOperatorInOperand)},
          {kPredefined, WordValue(TokenClass::Statement, kNoLabel)},
          {kInstructions, WordValue(TokenClass::Reserved)},
          {kRegisters, WordValue(TokenClass::Preproc)},
          {kDirectives, WordValue(TokenClass::Statement)},
          {kHighLevel, WordValue(TokenClass::Statement)},
      },
      true);
}

TokenKind JavaKindOf(std::string_view t) noexcept {
  if (t.empty()) return TokenKind::End;
  if (t.size() > 1 && t[0] == '/' && (t[1] == '/' || t[1] == '*')) return TokenKind::Comment;
  if (t[0] == '\'' || t[0] == '"') return TokenKind::String;
  if (IsDigit(t[0])) return TokenKind::Number;
  if ((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z') || t[0] == '_') return TokenKind::Word;
  return TokenKind::Other;
}

}  // namespace

WordTable::WordTable(std::initializer_list<List> lists, bool ignoreCase) : ignoreCase_(ignoreCase) {
  std::size_t count = 0;
  for (const List& list : lists) ForEachWord(list.words, [&count](std::string_view) { ++count; });
  slots_.resize(std::bit_ceil(std::max<std::size_t>(count * 2, 16)));
  const std::size_t mask = slots_.size() - 1;
  for (const List& list : lists) {
    ForEachWord(list.words, [&](std::string_view word) {
      if (Find(word) != nullptr) return;
      Slot s;
      s.hash = Hash(word);
      s.offset = static_cast<std::uint32_t>(text_.size());
      s.length = static_cast<std::uint16_t>(word.size());
      s.value = list.value;
      for (const char c : word) text_ += ignoreCase_ ? Lower(c) : c;
      std::size_t i = s.hash & mask;
      while (slots_[i].length != 0) i = (i + 1) & mask;
      slots_[i] = s;
      longest_ = std::max(longest_, word.size());
    });
  }
}

std::uint32_t WordTable::Hash(std::string_view word) const noexcept {
  std::uint32_t h = 2166136261u;
  for (const char c : word) {
    h ^= static_cast<unsigned char>(ignoreCase_ ? Lower(c) : c);
    h *= 16777619u;
  }
  return h;
}

bool WordTable::Equal(const Slot& s, std::string_view token) const noexcept {
  if (s.length != token.size()) return false;
  const char* w = text_.data() + s.offset;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if ((ignoreCase_ ? Lower(token[i]) : token[i]) != w[i]) return false;
  }
  return true;
}

const std::uint8_t* WordTable::Find(std::string_view token) const noexcept {
  if (token.empty() || token.size() > longest_) return nullptr;
  const std::uint32_t h = Hash(token);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = h & mask; slots_[i].length != 0; i = (i + 1) & mask) {
    if (slots_[i].hash == h && Equal(slots_[i], token)) return &slots_[i].value;
  }
  return nullptr;
}

const HighlightRules& JavaRules() {
  static const HighlightRules rules{
      TScanStyle::Java,
      WordTable({{kJavaKeywords, WordValue(TokenClass::Reserved)}}, false),
      "function",
      "\r*/\\ ",
      [] {
        std::array<bool, 256> s{};
        for (int c = 0; c < 256; ++c) {
          s[static_cast<std::size_t>(c)] = c == 35 || (c >= 37 && c <= 47) || (c >= 58 && c <= 62) || c == 64 ||
                                           (c >= 91 && c <= 94) || (c >= 123 && c <= 126);
        }
        return s;
      }(),
      &IsJavaNumber,
      true,
      false,
      LongConstructs::CStyle,
      false};
  return rules;
}

const HighlightRules& MasmRules() {
  // Only a new line can carry a COMMENT block into lines it did not reach before; a
  // change inside one line is followed through that line's own state.
  static const HighlightRules rules{TScanStyle::Masm,
                                    MasmWords(),
                                    {},
                                    "\r",
                                    SymbolsOf("()[]{}+-*/,:.=<>!&|~%\\?$"),
                                    &IsMasmNumber,
                                    false,
                                    true,
                                    LongConstructs::BlockDirective,
                                    true};
  return rules;
}

std::span<const WordList> MasmWordLists() { return kMasmLists; }
std::string_view MasmDeclarers() { return kDeclarers; }
std::string_view MasmOperatorInstructions() { return kOperatorInstructions; }

TokenClass ClassifyToken(const HighlightRules& rules, TokenKind kind, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord, std::uint8_t* wordFlags) {
  if (wordFlags) *wordFlags = 0;
  if (onReservedWord) {
    bool reserved = false;
    onReservedWord(token, reserved);
    if (reserved) return TokenClass::Reserved;
  } else {
    if (kind == TokenKind::Word && !(rules.memberAfterDot && prev == ".")) {
      if (const std::uint8_t* value = rules.words.Find(token)) {
        if (wordFlags) *wordFlags = *value & ~kClassBits;
        if ((*value & kOperatorInOperand) != 0 && !prev.empty() && prev != ":") {
          // After a prefix (lock and ...) it is still the instruction; after another
          // of its kind (xor not 0) an operator.
          const std::uint8_t* before = rules.words.Find(prev);
          if (before == nullptr || static_cast<TokenClass>(*before & kClassBits) != TokenClass::Reserved ||
              (*before & kOperatorInOperand) != 0) {
            return TokenClass::Statement;
          }
        }
        return static_cast<TokenClass>(*value & kClassBits);
      }
    }
    if (!rules.declarer.empty() && prev == rules.declarer) return TokenClass::Declaration;
  }
  switch (kind) {
    case TokenKind::Comment: return TokenClass::Comment;
    case TokenKind::String:
    case TokenKind::FileName: return TokenClass::Strings;
    case TokenKind::Text: return TokenClass::PlainText;
    case TokenKind::Number: return rules.isNumber(token) ? TokenClass::Number : TokenClass::Identifier;
    default: break;
  }
  if (token.size() == 1 && rules.symbols[static_cast<unsigned char>(token[0])]) return TokenClass::Symbol;
  if (rules.hexAfterZero && prev == "0" && !token.empty() && (token[0] == 'x' || token[0] == 'X')) {
    return TokenClass::Number;
  }
  return TokenClass::Identifier;
}

TokenClass ClassifyToken(const HighlightRules& rules, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord) {
  return ClassifyToken(rules, JavaKindOf(token), token, prev, onReservedWord);
}

}  // namespace vantorel
