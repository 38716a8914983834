#include "highlight/Scanner.h"

#include <algorithm>
#include <cstring>

namespace vantorel {

namespace {

constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr void Mark(std::array<std::uint8_t, 256>& chars, std::string_view set, std::uint8_t cls) {
  for (const char c : set) chars[static_cast<unsigned char>(c)] |= cls;
}

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_";
constexpr std::string_view kDigits = "0123456789";

constexpr TScanTable MakeJavaTable() {
  TScanTable t;
  Mark(t.chars, "\n\r ", scanchar::Blank);
  Mark(t.chars, kLetters, scanchar::WordStart | scanchar::WordPart);
  Mark(t.chars, kDigits, scanchar::WordPart | scanchar::Digit | scanchar::NumberPart);
  Mark(t.chars, ".", scanchar::NumberPart);
  t.lineComment = "//";
  t.lineCommentStopsAtCR = true;
  t.blockOpen = "/*";
  t.blockClose = "*/";
  t.strayCloserIsComment = true;
  t.backslashEscapes = true;
  t.foldDoubledQuotes = true;
  Mark(t.chars, "/*", scanchar::CommentStart);
  return t;
}

// The assembler's words may hold @ $ ? (@@, @F, $, szText?); a number runs on through
// letters so that its radix suffix (0FFh) and a bad digit (12ab) stay in the token.
constexpr TScanTable MakeMasmTable() {
  TScanTable t;
  Mark(t.chars, "\n\r\t ", scanchar::Blank);
  Mark(t.chars, kLetters, scanchar::WordStart | scanchar::WordPart | scanchar::NumberPart);
  Mark(t.chars, "@$?", scanchar::WordStart | scanchar::WordPart | scanchar::NumberPart);
  Mark(t.chars, kDigits, scanchar::WordPart | scanchar::Digit | scanchar::NumberPart);
  Mark(t.chars, ".", scanchar::NumberPart);
  t.lineComment = ";";
  Mark(t.chars, ";", scanchar::CommentStart);
  t.dotWords = true;
  t.exponentSign = true;
  t.blockDirective = "comment";
  t.textLiterals = true;
  t.compareWords = ".if .elseif .while .until .untilcxz";
  t.dataWords =
      "db dw dd df dq dt byte sbyte word sword dword sdword fword qword sqword tbyte real4 real8 real10 oword "
      "mmword xmmword ymmword zmmword";
  t.textWords = "equ textequ catstr substr instr sizestr proc echo title subtitle subttl";
  t.fileNameWords = "include includelib";
  return t;
}

constexpr TScanTable kJavaTable = MakeJavaTable();
constexpr TScanTable kMasmTable = MakeMasmTable();

// Whether the text at p begins with s (p is NUL-terminated, so it stops at its end).
bool StartsWith(const char* p, std::string_view s) noexcept {
  for (const char c : s) {
    if (*p++ != c) return false;
  }
  return !s.empty();
}

bool SameWord(const char* p, std::string_view lowerWord) noexcept {
  for (std::size_t i = 0; i < lowerWord.size(); ++i) {
    if (p[i] == '\0' || Lower(p[i]) != lowerWord[i]) return false;
  }
  return true;
}

// Whether the word [begin, end) is one of the blank-separated words of list.
bool InList(const char* begin, const char* end, std::string_view list) noexcept {
  const auto length = static_cast<std::size_t>(end - begin);
  std::size_t i = 0;
  while (i < list.size()) {
    const std::size_t stop = std::min(list.find(' ', i), list.size());
    if (stop - i == length && SameWord(begin, list.substr(i, length))) return true;
    i = stop + 1;
  }
  return false;
}

// The end of a double-quoted string opened at open: one past the first double quote
// behind an even run of backslashes, or the NUL.
const char* EscapedStringEnd(const char* open) noexcept {
  const char* p = open + 1;
  for (; *p != '\0'; ++p) {
    if (*p != '"') continue;
    int slashes = 0;
    for (const char* b = p - 1; b > open && *b == '\\'; --b) ++slashes;
    if (slashes % 2 == 0) return p + 1;
  }
  return p;
}

// One past the closing quote of a literal opened at open (a doubled quote does not
// close it), or the NUL.
const char* LiteralEnd(const char* open) noexcept {
  const char quote = *open;
  const char* p = open + 1;
  while (*p != '\0') {
    if (*p == quote) {
      if (p[1] != quote) return p + 1;
      p += 2;
      continue;
    }
    ++p;
  }
  return p;
}

// One past the ">" that closes the text literal opened at open; literals nest and "!"
// takes the character after it as it is. An unclosed literal runs to the NUL.
const char* TextLiteralEnd(const char* open) noexcept {
  int depth = 0;
  const char* p = open;
  for (; *p != '\0'; ++p) {
    if (*p == '!' && p[1] != '\0') {
      ++p;
    } else if (*p == '<') {
      ++depth;
    } else if (*p == '>' && --depth == 0) {
      return p + 1;
    }
  }
  return p;
}

}  // namespace

const TScanTable& ScanTableOf(TScanStyle style) noexcept { return style == TScanStyle::Masm ? kMasmTable : kJavaTable; }

std::size_t BlockDirectiveDelimiter(const TScanTable& table, std::string_view line) noexcept {
  const std::string_view word = table.blockDirective;
  if (word.empty()) return std::string_view::npos;
  const auto blank = [&table](char c) { return (table.chars[static_cast<unsigned char>(c)] & scanchar::Blank) != 0; };
  std::size_t p = 0;
  while (p < line.size() && blank(line[p])) ++p;
  if (line.size() - p <= word.size()) return std::string_view::npos;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(line[p + i]) != word[i]) return std::string_view::npos;
  }
  p += word.size();
  if (!blank(line[p])) return std::string_view::npos;
  while (p < line.size() && blank(line[p])) ++p;
  // A control character is no delimiter: the line states keep the delimiter in a byte
  // whose low values mean other things.
  if (p == line.size() || static_cast<unsigned char>(line[p]) < '!') return std::string_view::npos;
  return p;
}

TIParser::TIParser() : table_(&ScanTableOf(ScanStyle)), history_(10) {}

void TIParser::SetHistoryCapacity(int capacity) {
  history_.resize(static_cast<std::size_t>(std::max(capacity, 1)));
  next_ = 0;
}

const char* TIParser::CommentEnd(const char* p) const noexcept {
  const TScanTable& t = *table_;
  if ((t.chars[static_cast<unsigned char>(*p)] & scanchar::CommentStart) == 0) return nullptr;
  if (StartsWith(p, t.lineComment)) {
    const char* cr = t.lineCommentStopsAtCR ? std::strchr(p + t.lineComment.size(), '\r') : nullptr;
    return cr ? cr : p + std::strlen(p);
  }
  if (StartsWith(p, t.blockOpen)) {
    const char* close = std::strstr(p + t.blockOpen.size(), t.blockClose.data());
    return close ? close + t.blockClose.size() : p + std::strlen(p);
  }
  // A closer where a token begins: nothing after it can be trusted as code.
  if (t.strayCloserIsComment && StartsWith(p, t.blockClose)) return p + std::strlen(p);
  return nullptr;
}

// Asked only when a "<" comes, so that the lines without one pay nothing for the word
// lists; the answer holds for the rest of the line, as the words it reads lie before.
bool TIParser::InInitialiser() noexcept {
  if (initialiser_ < 0) {
    const TScanTable& t = *table_;
    const auto any = [this](std::string_view list) {
      for (int i = 0; i < leadingWords_; ++i) {
        if (InList(leading_[i].begin, leading_[i].end, list)) return true;
      }
      return false;
    };
    bool data = !t.dataWords.empty() && any(t.dataWords);
    if (!data && !t.dataWords.empty() && leadingWords_ == 2 && third_ != ',' && third_ != ':' && third_ != '=') {
      data = !any(t.textWords);
    }
    initialiser_ = data ? 1 : 0;
  }
  return initialiser_ == 1;
}

const std::string& TIParser::Record(const char* begin, const char* end, TokenKind kind) {
  Entry& e = history_[static_cast<std::size_t>(next_)];
  e.text.assign(begin, end);
  e.start = static_cast<int>(begin - textStart_);
  e.end = static_cast<int>(end - textStart_);
  e.kind = kind;
  if (++next_ == HistoryCapacity()) next_ = 0;
  return e.text;
}

const char* TIParser::TokenEndAt(const char* p, TokenKind& kind) noexcept {
  const TScanTable& t = *table_;
  const auto is = [&t](char ch, std::uint8_t cls) { return (t.chars[static_cast<unsigned char>(ch)] & cls) != 0; };
  const char c = *p;
  const char* end = p + 1;
  kind = TokenKind::Other;
  // Only the token right after a file-name word can be the name.
  const bool fileName = fileNameNext_;
  fileNameNext_ = false;
  if (c == '\0') {
    kind = TokenKind::End;
    return p;
  }
  if (tokens_ == 2) third_ = c;
  if (fileName && c != '\'' && c != '"' && c != '<') {
    // Up to a line comment, without the blanks before it.
    const char* stop = t.lineComment.empty() ? nullptr : std::strstr(p, t.lineComment.data());
    end = stop ? stop : p + std::strlen(p);
    while (end > p + 1 && is(end[-1], scanchar::Blank)) --end;
    kind = TokenKind::FileName;
  } else if (is(c, scanchar::Digit)) {
    for (;;) {
      if (is(*end, scanchar::NumberPart)) {
        ++end;
      } else if (t.exponentSign && (*end == '+' || *end == '-') && (end[-1] == 'e' || end[-1] == 'E') &&
                 is(end[1], scanchar::Digit) && std::memchr(p, '.', static_cast<std::size_t>(end - p)) != nullptr) {
        end += 2;
      } else {
        break;
      }
    }
    kind = TokenKind::Number;
  } else if (is(c, scanchar::WordStart)) {
    while (is(*end, scanchar::WordPart)) ++end;
    kind = TokenKind::Word;
    if (tokens_ == 0 && !t.fileNameWords.empty()) fileNameNext_ = InList(p, end, t.fileNameWords);
    if (tokens_ < 2 && leadingWords_ == tokens_) leading_[leadingWords_++] = {p, end};
  } else if (c == '.' && t.dotWords && is(*end, scanchar::WordPart) &&
             (p == textStart_ || !(is(p[-1], scanchar::WordPart) || p[-1] == ']' || p[-1] == ')'))) {
    while (is(*end, scanchar::WordPart)) ++end;
    kind = TokenKind::Word;
    if (!compares_ && !t.compareWords.empty()) compares_ = InList(p, end, t.compareWords);
  } else if (c == '\'') {
    end = LiteralEnd(p);
    kind = TokenKind::String;
  } else if (c == '"') {
    end = t.backslashEscapes ? EscapedStringEnd(p) : LiteralEnd(p);
    kind = TokenKind::String;
  } else if (c == '<' && t.textLiterals && !compares_ && !InInitialiser()) {
    end = TextLiteralEnd(p);
    kind = TokenKind::Text;
  }
  return end;
}

const std::string& TIParser::NextToken() {
  const TScanTable& t = *table_;
  const auto blank = [&t](char c) { return (t.chars[static_cast<unsigned char>(c)] & scanchar::Blank) != 0; };
  const char* p = scanPos_;
  while (blank(*p)) ++p;
  if (tokens_ == 0 && !t.blockDirective.empty() && Lower(*p) == t.blockDirective[0] &&
      BlockDirectiveDelimiter(t, p) != std::string_view::npos) {
    // The directive, its delimiter and all behind them are one comment.
    const char* end = p + std::strlen(p);
    scanPos_ = end;
    ++tokens_;
    if (KeepComments) return Record(p, end, TokenKind::Comment);
    p = end;
  }
  for (const char* end = CommentEnd(p); end != nullptr; end = CommentEnd(p)) {
    const bool stray = StartsWith(p, t.blockClose);
    if (KeepComments) {
      scanPos_ = end;
      ++tokens_;
      // What follows a stray closer is no comment to the colouring.
      return Record(p, end, stray ? TokenKind::Other : TokenKind::Comment);
    }
    p = end;
    while (blank(*p)) ++p;
  }
  TokenKind kind;
  const char* end = TokenEndAt(p, kind);
  scanPos_ = end;
  ++tokens_;
  const std::string& text = Record(p, end, kind);
  if (kind == TokenKind::String && *p == '\'' && t.foldDoubledQuotes) {
    // Each doubled quote inside the literal stands for one quote.
    std::string& folded = history_[static_cast<std::size_t>(next_ == 0 ? HistoryCapacity() - 1 : next_ - 1)].text;
    for (std::size_t i = 1; i + 1 < folded.size(); ++i) {
      if (folded[i] == '\'') folded.erase(i, 1);
    }
  }
  return text;
}

}  // namespace vantorel
