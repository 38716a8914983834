// The assembler's rules (Masm32 sources): its words from the lists in highlight/masm,
// compared ignoring case, its number forms, labels, and the COMMENT directive, whose
// block runs over lines to the one that holds its delimiter again.
#include <algorithm>

#include "highlight/Languages.h"

namespace vantorel {

namespace {

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
    if (radix == 16) return ascii::IsHexDigit(c);
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
  if (t.empty() || !ascii::IsDigit(t[0])) return false;
  if (t.find('.') != std::string_view::npos) return IsMasmReal(t);
  const char suffix = ascii::Lower(t.back());
  if (ascii::IsDigit(suffix)) return AllDigits(t, 10);
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

std::array<bool, 256> SymbolsOf(std::string_view chars) {
  std::array<bool, 256> out{};
  for (const char c : chars) out[static_cast<unsigned char>(c)] = true;
  return out;
}

// Inside a COMMENT block the state is its delimiter's byte ("!" and up), but for the
// byte 255, which would read as Unknown and is kept as 1.
constexpr std::uint8_t DirectiveComment(char delimiter) noexcept {
  const auto byte = static_cast<std::uint8_t>(delimiter);
  return byte == longstate::Unknown ? 1 : byte;
}
constexpr char DirectiveCommentDelimiter(std::uint8_t state) noexcept {
  return static_cast<char>(state == 1 ? longstate::Unknown : state);
}

class Masm final : public Language {
 public:
  THighlighter Id() const noexcept override { return THighlighter::hlMasm; }
  const HighlightRules& Rules() const noexcept override { return MasmRules(); }

  // A COMMENT block takes in the whole line that holds its delimiter again, the line
  // that opens it included.
  std::uint8_t ScanLineState(const TextLines& text, int line, std::uint8_t state, ScanMemo&) const override {
    const std::string_view s = text.LineView(line);
    if (state != longstate::None) {
      return s.find(DirectiveCommentDelimiter(state)) == std::string_view::npos ? state : longstate::None;
    }
    const std::size_t at = BlockDirectiveDelimiter(ScanTableOf(Rules().scanStyle), s);
    if (at == std::string_view::npos || s.find(s[at], at + 1) != std::string_view::npos) return longstate::None;
    return DirectiveComment(s[at]);
  }
  int LongConstructEnd(std::string_view s, std::uint8_t) const noexcept override { return static_cast<int>(s.size()); }
};

}  // namespace

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
                                    true};
  return rules;
}

std::span<const WordList> MasmWordLists() { return kMasmLists; }
std::string_view MasmDeclarers() { return kDeclarers; }
std::string_view MasmOperatorInstructions() { return kOperatorInstructions; }

const Language& MasmLanguage() {
  static const Masm language;
  return language;
}

}  // namespace vantorel
