// A language the highlighter colours: its colouring rules and how its lines carry a
// construct (a block comment, a continued string, a directive's block) into the lines
// below. One shared object per language, without state of its own: what a pass over
// the lines may remember is the caller's (ScanMemo).
#pragma once

#include <cstdint>
#include <string_view>

#include "highlight/Rules.h"

namespace vantorel {

enum class THighlighter {
  hlNone,
  hlPascal,
  hlCBuilder,
  hlSql,
  hlPython,
  hlJava,
  hlVB,
  hlHtml,
  hlPerl,
  hlIni,
  hlCocoR,
  hlPhp,
  hlNQC,
  hlCSharp,
  hlSyntaxHighlighter,
  hlMasm  // the assembler's rules (Masm32 sources)
};

// What a construct opened on an earlier line carries into the start of a line. Beside
// these a language may use values of its own (not Unknown).
namespace longstate {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t BlockComment = 2;
inline constexpr std::uint8_t String = 4;        // a string continued at the line's end
inline constexpr std::uint8_t Preprocessor = 6;  // a preprocessor line continued at its end
inline constexpr std::uint8_t Unknown = 255;     // computed when the line is painted
}  // namespace longstate

// The text as the line states read it.
class TextLines {
 public:
  virtual ~TextLines() = default;
  virtual int LineCount() const = 0;
  // The stored line without its line end; it stays valid until the text changes.
  virtual std::string_view LineView(int y) const = 0;
};

// The line asked last in one pass over the lines, and what was found for it; forgotten
// whenever the text changes.
struct ScanMemo {
  int line = -1;
  bool value = false;
  void Forget() noexcept { line = -1; }
};

class Language {
 public:
  virtual ~Language() = default;
  virtual THighlighter Id() const noexcept = 0;
  // The scan style, word tables and the rest of the colouring.
  virtual const HighlightRules& Rules() const noexcept = 0;
  // The state line ends in, entered with state.
  virtual std::uint8_t ScanLineState(const TextLines& text, int line, std::uint8_t state, ScanMemo& memo) const = 0;
  // The offset of the last character of the construct that state carries into the
  // line s, or the length of s when it does not end there.
  virtual int LongConstructEnd(std::string_view s, std::uint8_t state) const noexcept = 0;
};

// The constructs of a C-like language that run over lines.
struct CStyleSyntax {
  std::string_view blockOpen;  // a block comment's opener and closer
  std::string_view blockClose;
  char quote;         // opens and closes a string
  char escape;        // escapes a quote; as a line's last non-blank, continues the line
  char preprocessor;  // as a line's first non-blank, makes it a preprocessor line
};

// Block comments, strings and preprocessor lines continued by the escape character:
// the states BlockComment, String and Preprocessor.
class CStyleLanguage : public Language {
 public:
  explicit CStyleLanguage(const CStyleSyntax& syntax) noexcept : syntax_(syntax) {}
  std::uint8_t ScanLineState(const TextLines& text, int line, std::uint8_t state, ScanMemo& memo) const override;
  int LongConstructEnd(std::string_view s, std::uint8_t state) const noexcept override;

 private:
  bool Escaped(std::string_view s, std::size_t q) const noexcept;
  bool OpenStringAtEnd(const TextLines& text, int line, ScanMemo& memo) const;

  CStyleSyntax syntax_;
};

}  // namespace vantorel
