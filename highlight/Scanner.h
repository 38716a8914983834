// TIParser: cuts one NUL-terminated line into tokens, one per call, and remembers the
// latest tokens with their offsets so that the highlighter colours exactly their
// characters. What a token is comes from the lexical table of the scan style; the
// scanner knows nothing of colours, word classes or line states.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// The lexical rules: Java, the assembler's, and Other, which scans as Java does.
enum class TScanStyle { Java, Masm, Other };

// What the scanner cut; the classification of a token starts from it.
enum class TokenKind : std::uint8_t {
  End,       // the empty token at the end of the text
  Word,      // an identifier, keyword or directive
  Number,    // a digit and what may follow it in a number (not yet checked as one)
  String,    // a quoted literal, closed or running to the end
  Comment,   // a comment, a stray block closer included
  Text,      // an assembler text literal in angle brackets
  FileName,  // the argument of a directive that names a file
  Other      // any other single character
};

// Character classes of a lexical table.
namespace scanchar {
inline constexpr std::uint8_t Blank = 1;
inline constexpr std::uint8_t WordStart = 2;
inline constexpr std::uint8_t WordPart = 4;
inline constexpr std::uint8_t Digit = 8;
inline constexpr std::uint8_t NumberPart = 16;
inline constexpr std::uint8_t CommentStart = 32;  // the first character of a comment opener or closer
}  // namespace scanchar

// One language's lexical rules as data. Word lists are blank-separated and compared
// ignoring the case of ASCII letters.
struct TScanTable {
  std::array<std::uint8_t, 256> chars{};
  std::string_view lineComment;       // runs to the end of the text (or to its CR, below)
  bool lineCommentStopsAtCR = false;
  std::string_view blockOpen;         // empty: the language has no block comments
  std::string_view blockClose;
  bool strayCloserIsComment = false;  // a closer where a token begins takes the rest
  bool backslashEscapes = false;      // in double quotes; otherwise a doubled quote is one
  bool foldDoubledQuotes = false;     // the text of a '...' token keeps one of each doubled quote
  // "." and a word character start a word where no operand ends right before the dot
  // (a directive such as .data, not a member access such as wc.style).
  bool dotWords = false;
  bool exponentSign = false;          // a number with a "." takes a sign after its e
  // A line whose first word is this opens a comment that runs to the line holding the
  // character after the word (its delimiter) a second time.
  std::string_view blockDirective;
  // "<" opens a text literal, except after one of these words on the line (the
  // conditions of the high-level macros, where it compares).
  bool textLiterals = false;
  std::string_view compareWords;
  // Nor in a data definition, where "<" and ">" bracket a structure's initialiser
  // (rc RECT <0, 0, 100, 100>): a line whose first or second word is one of
  // dataWords, or whose first two words (neither of them one of textWords) are followed
  // by anything but "," ":" "=" (wc WNDCLASSEX <>, pts POINT 8 DUP (<>)). A macro's
  // arguments are comma-separated, so "<" stays text there, as after equ.
  std::string_view dataWords;
  std::string_view textWords;
  // As a line's first word, these take the rest of the line up to a line comment as
  // one token, a file name (whose dots and backslashes are no operators).
  std::string_view fileNameWords;
};
const TScanTable& ScanTableOf(TScanStyle style) noexcept;

// Where the delimiter of a block directive opened by this line stands, or npos when the
// line opens none (its first word is another, or nothing follows it).
std::size_t BlockDirectiveDelimiter(const TScanTable& table, std::string_view line) noexcept;

class TIParser {
 public:
  TIParser();

  TScanStyle ScanStyle = TScanStyle::Java;
  // True: a comment is a token; false: comments are skipped like blanks.
  bool KeepComments = false;

  // Aims the scanner at a text that stays unchanged while it is scanned; the style's
  // table is taken now.
  void SetText(const char* text) noexcept {
    textStart_ = text;
    scanPos_ = text;
    table_ = &ScanTableOf(ScanStyle);
    tokens_ = 0;
    compares_ = false;
    fileNameNext_ = false;
    leadingWords_ = 0;
    third_ = '\0';
    initialiser_ = -1;
  }
  const char* TextStart() const noexcept { return textStart_; }
  const char* ScanPos() const noexcept { return scanPos_; }
  // The caller may move on before asking for tokens (past a carried-in comment).
  void SetScanPos(const char* at) noexcept { scanPos_ = at; }

  // The next token; empty at the end of the text. Every call writes one history entry;
  // the reference stays valid until the ring slot is written again.
  const std::string& NextToken();
  // Offsets of the first character of, and one past, the i-th most recent token.
  int TokenStart(int i) const noexcept { return slot(i).start; }
  int TokenEnd(int i) const noexcept { return slot(i).end; }
  const std::string& TokenText(int i) const noexcept { return slot(i).text; }
  TokenKind Kind(int i) const noexcept { return slot(i).kind; }

  int HistoryCapacity() const noexcept { return static_cast<int>(history_.size()); }
  // Grows or shrinks the ring to that size (at least one entry) and starts it again.
  void SetHistoryCapacity(int capacity);

 private:
  struct Entry {
    std::string text;
    int start = 0;
    int end = 0;
    TokenKind kind = TokenKind::End;
  };
  // Asked for several times a token while a line is coloured: kept inline.
  const Entry& slot(int i) const noexcept {
    const int n = HistoryCapacity();
    int at = next_ - 1 - (i < n ? i : i % n);
    if (at < 0) at += n;
    return history_[static_cast<std::size_t>(at)];
  }
  // Where a comment starting at p ends, or nullptr when none starts there.
  const char* CommentEnd(const char* p) const noexcept;
  // The end of the token that starts at p, and its kind.
  const char* TokenEndAt(const char* p, TokenKind& kind) noexcept;
  bool InInitialiser() noexcept;
  const std::string& Record(const char* begin, const char* end, TokenKind kind);

  const char* textStart_ = "";
  const char* scanPos_ = textStart_;
  const TScanTable* table_;
  int tokens_ = 0;             // tokens cut from this text so far
  bool compares_ = false;      // a comparing word came: "<" is an operator from here on
  bool fileNameNext_ = false;  // the next token is a file name
  // The words the line began with (up to two) and the first character of its third
  // token: whether the line is a data definition, whose "<" brackets an initialiser
  // (-1: not asked yet).
  struct Word {
    const char* begin;
    const char* end;
  };
  Word leading_[2]{};
  int leadingWords_ = 0;
  char third_ = '\0';
  int initialiser_ = -1;
  std::vector<Entry> history_;
  int next_ = 0;
};

}  // namespace vantorel
