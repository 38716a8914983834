// The Java rules: case-sensitive keywords, "function" declaring the name after it,
// Pascal-like numbers ($ for hexadecimal) beside the 0x of C, and C-style block
// comments, strings and preprocessor lines running over lines.
#include <algorithm>

#include "highlight/Languages.h"

namespace vantorel {

namespace {

bool IsInteger(std::string_view t) {
  if (t.empty() || t == "$" || t == "-") return false;
  const bool hex = t.front() == '$';
  if (t.front() == '-' || hex) t.remove_prefix(1);
  return std::all_of(t.begin(), t.end(), [hex](char c) { return hex ? ascii::IsHexDigit(c) : ascii::IsDigit(c); });
}

bool IsDecimal(std::string_view t) {
  if (t.empty() || t == "." || t == "-") return false;
  if (t.front() == '-') t.remove_prefix(1);
  int dots = 0;
  for (const char c : t) {
    if (c == '.') {
      if (++dots > 1) return false;
    } else if (!ascii::IsDigit(c)) {
      return false;
    }
  }
  return true;
}

bool IsJavaNumber(std::string_view t) { return IsInteger(t) || IsDecimal(t); }

constexpr std::string_view kJavaKeywords =
    " abstract delegate if boolean do implements break double import byte else instanceof case extends int "
    "catch false interface char final long class finally multicast continue float default for native "
    "short transient new static true null super try package switch void private synchronized volatile "
    "protected this while public throw return throws ";

TokenKind JavaKindOf(std::string_view t) noexcept {
  if (t.empty()) return TokenKind::End;
  if (t.size() > 1 && t[0] == '/' && (t[1] == '/' || t[1] == '*')) return TokenKind::Comment;
  if (t[0] == '\'' || t[0] == '"') return TokenKind::String;
  if (ascii::IsDigit(t[0])) return TokenKind::Number;
  if ((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z') || t[0] == '_') return TokenKind::Word;
  return TokenKind::Other;
}

// Block comments as its scan table cuts them, strings in double quotes.
class Java final : public CStyleLanguage {
 public:
  explicit Java(const TScanTable& table = ScanTableOf(JavaRules().scanStyle))
      : CStyleLanguage({table.blockOpen, table.blockClose, '"', '\\', '#'}) {}
  THighlighter Id() const noexcept override { return THighlighter::hlJava; }
  const HighlightRules& Rules() const noexcept override { return JavaRules(); }
};

}  // namespace

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
      false};
  return rules;
}

TokenClass ClassifyToken(const HighlightRules& rules, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord) {
  return ClassifyToken(rules, JavaKindOf(token), token, prev, onReservedWord);
}

const Language& JavaLanguage() {
  static const Java language;
  return language;
}

}  // namespace vantorel
