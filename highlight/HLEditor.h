// THLEditor: the editor with syntax colouring. It colours each painted line from its
// tokens (GetAttr) and keeps, per line, what a construct running over several lines
// carries into it (LongStates), kept current by the editor's change reports.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Editor.h"
#include "highlight/Brackets.h"
#include "highlight/Colors.h"
#include "highlight/Completion.h"
#include "highlight/Rules.h"
#include "highlight/Scanner.h"

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

// What a construct opened on an earlier line carries into the start of a line.
namespace longstate {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t BlockComment = 2;
inline constexpr std::uint8_t String = 4;       // a string continued by a backslash
inline constexpr std::uint8_t Preprocessor = 6;  // a "#" line continued by a backslash
inline constexpr std::uint8_t Unknown = 255;     // computed when the line is painted
// Inside an assembler COMMENT block: the state is its delimiter's byte ("!" and up),
// but for the byte 255, which would read as Unknown and is kept as 1.
constexpr std::uint8_t DirectiveComment(char delimiter) noexcept {
  const auto byte = static_cast<std::uint8_t>(delimiter);
  return byte == Unknown ? 1 : byte;
}
constexpr char DirectiveCommentDelimiter(std::uint8_t state) noexcept {
  return static_cast<char>(state == 1 ? Unknown : state);
}
}  // namespace longstate

// Lines 0 to this one keep a state; later lines start with nothing carried in.
inline constexpr int kLastTrackedLine = 65536;
// How far below an edit the states are recomputed at once.
inline constexpr int kRescanWindow = 5000;

class THLEditor : public TEditor, public CompletionEvents {
 public:
  explicit THLEditor(WindowHost* host);

  THighlighter Highlighter() const noexcept { return highlighter_; }
  void SetHighlighter(THighlighter value);
  const TColors& Colors() const noexcept { return colors_; }
  void SetColors(const TColors& value);
  bool LongTokens() const noexcept { return longTokens_; }
  // Turning the tracking (or the colouring) back on computes the states anew: while it
  // was off, edits were not followed.
  void SetLongTokens(bool value);
  bool SyntaxHighlighting() const noexcept { return syntaxHighlighting_; }
  void SetSyntaxHighlighting(bool value);
  ReservedWordHook OnReservedWord;
  TBracketHighlighting& BracketHighlighting() noexcept { return brackets_; }
  void SetBracketHighlighting(const TBracketHighlighting& value) { brackets_.Assign(value); }

  // The owner has set every property: the states are computed from the top.
  void Loaded() { RescanLongStates(0); }

  // The state stored for the start of a line (Unknown when not yet computed).
  std::uint8_t StoredLongState(int line) const noexcept;
  // The state at the start of a line, computed when not yet known.
  std::uint8_t LongStateOfLine(int line);
  // Recomputes the states from line from (below 0: the whole text); true when one changed.
  bool RescanLongStates(int from);

  void TextModified(int x, int y, std::string_view text, TextAction action) override;

  TCompletion& Completion() noexcept { return completion_; }
  // The completion sees keys and typed characters first and closes its list when the
  // text is clicked or the focus goes.
  bool OfferKeyToCompletion(int& key, ShiftState shift) override;
  void OfferCharToCompletion(char ch) override { completion_.HandleKeyPress(ch); }
  void ShowCompletion(bool templates) override {
    completion_.OpenCompletion(templates ? TCompletion::TemplateMode : TCompletion::IdentifierMode);
  }
  void CloseCompletionList(bool apply) override { completion_.CloseList(apply); }
  void TimerTick(EditorTimer timer) override;

 protected:
  void GetAttr(int line, int colBeg, int colEnd) override;
  bool GetAttrFillsLine(int line) const override;
  void ApplyBracketMarks(int line, int colBeg, int colEnd) override;
  void UpdateBracketMarks() override;

 private:
  // What the bracket marks read of the editor.
  class MarksText : public BracketTextPort {
   public:
    explicit MarksText(THLEditor& editor) noexcept : e_(editor) {}
    int LineCount() const override { return e_.LineCount(); }
    std::string_view LineView(int y) const override { return e_.LineView(y); }
    void RepaintLine(int y) override { e_.RepaintLine(y); }

   private:
    THLEditor& e_;
  };

  bool TracksLongConstructs() const noexcept;
  const HighlightRules* Rules() const noexcept;
  // The state at the end of line, entered with state.
  std::uint8_t ScanLineState(int line, std::uint8_t state);
  std::uint8_t ScanCStyleLineState(int line, std::uint8_t state);
  std::uint8_t ScanDirectiveLineState(int line, std::uint8_t state) const;
  bool OpenStringAtEnd(int line);
  // Where the construct carried into line ends in it (its length when it does not).
  int LongConstructEnd(const HighlightRules& rules, std::string_view s, std::uint8_t state) const noexcept;
  const TSymbolColor& ColorOf(TokenClass k) const noexcept;

  THighlighter highlighter_ = THighlighter::hlPascal;
  TColors colors_;
  bool syntaxHighlighting_ = true;
  bool longTokens_ = true;
  TIParser parser_;
  std::vector<std::uint8_t> longStates_;
  // How many lines the text had when the states were last computed; entries for lines
  // below that are stale, and a report with another line count rescans.
  int statesLines_ = 1;
  std::string lineText_;  // the painted line, NUL-terminated for the scanner
  // OpenStringAtEnd of the line asked last, so a downward rescan does not climb again.
  int openLine_ = -1;
  bool openValue_ = false;
  TBracketHighlighting brackets_;
  MarksText marksText_{*this};
  TCompletion completion_{*this, *this};
};

}  // namespace vantorel
