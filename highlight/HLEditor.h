// THLEditor: the editor with syntax colouring. It colours each painted line from its
// tokens (GetAttr) under the rules of a language of the table (Highlighter), and keeps,
// per line, what a construct running over several lines carries into it (LongStates,
// in LineStates), kept current by the editor's change reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/Editor.h"
#include "highlight/Brackets.h"
#include "highlight/Colors.h"
#include "highlight/Completion.h"
#include "highlight/Languages.h"
#include "highlight/LineStates.h"
#include "highlight/Scanner.h"

namespace vantorel {

class THLEditor : public TEditor, public CompletionEvents, private CompletionHooks {
 public:
  explicit THLEditor(WindowHost* host);
  ~THLEditor() override;
  THLEditor(const THLEditor&) = delete;
  THLEditor& operator=(const THLEditor&) = delete;

  THighlighter Highlighter() const noexcept { return highlighter_; }
  void SetHighlighter(THighlighter value);
  const TColors& Colors() const noexcept { return colors_; }
  void SetColors(const TColors& value);
  bool LongTokens() const noexcept { return states_.LongTokens(); }
  // Turning the tracking (or the colouring) back on computes the states anew: while it
  // was off, edits were not followed.
  void SetLongTokens(bool value);
  bool SyntaxHighlighting() const noexcept { return states_.SyntaxHighlighting(); }
  void SetSyntaxHighlighting(bool value);
  ReservedWordHook OnReservedWord;
  TBracketHighlighting& BracketHighlighting() noexcept { return brackets_; }
  void SetBracketHighlighting(const TBracketHighlighting& value) { brackets_.Assign(value); }

  // The owner has set every property: the states are computed from the top.
  void Loaded() { RescanLongStates(0); }

  // The line states, as LineStates keeps them.
  std::uint8_t StoredLongState(int line) const noexcept { return states_.StoredLongState(line); }
  std::uint8_t LongStateOfLine(int line) { return states_.LongStateOfLine(line); }
  bool RescanLongStates(int from) { return states_.RescanLongStates(from); }

  void TextModified(int x, int y, std::string_view text, TextAction action) override;

  TCompletion& Completion() noexcept { return completion_; }
  void TimerTick(EditorTimer timer) override;

 protected:
  void GetAttr(int line, int colBeg, int colEnd) override;
  bool GetAttrFillsLine(int line) const override;
  void ApplyBracketMarks(int line, int colBeg, int colEnd) override;
  void UpdateBracketMarks() override;

 private:
  // The completion sees keys and typed characters first and closes its list when the
  // text is clicked or the focus goes.
  bool OfferKey(int& key, ShiftState shift) override;
  void OfferChar(char ch) override { completion_.HandleKeyPress(ch); }
  bool ContinuesWord(char ch) const override { return completion_.IsWordCharacter(ch); }
  void Show(bool templates) override {
    completion_.OpenCompletion(templates ? TCompletion::TemplateMode : TCompletion::IdentifierMode);
  }
  void Close(bool apply) override { completion_.CloseList(apply); }

  // What the line states and the bracket marks read of the editor.
  class EditorText : public TextLines, public BracketTextPort {
   public:
    explicit EditorText(THLEditor& editor) noexcept : e_(editor) {}
    int LineCount() const override { return e_.LineCount(); }
    std::string_view LineView(int y) const override { return e_.LineView(y); }
    void RepaintLine(int y) override { e_.RepaintLine(y); }

   private:
    THLEditor& e_;
  };

  const TSymbolColor& ColorOf(TokenClass k) const noexcept;

  THighlighter highlighter_ = THighlighter::hlPascal;
  TColors colors_;
  TIParser parser_;
  std::string lineText_;  // the painted line, NUL-terminated for the scanner
  EditorText text_{*this};
  LineStates states_{text_};
  TBracketHighlighting brackets_;
  TCompletion completion_{context_, *this};
};

}  // namespace vantorel
