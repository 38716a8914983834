// Typing and the text commands: a typed character in insert or overwrite mode, Enter
// with automatic indentation, the word moves and word deletion, Backspace that
// unindents, Delete, Tab and BackTab with stops taken from the lines above, and line
// deletion. No tab character is ever stored and no trailing blank is kept.
#pragma once

#include <string_view>

namespace vantorel {

struct EditorContext;

// Letters A-Z and a-z, digits and the backspace code: what the completion is shown
// after the change rather than before it.
bool IsIdentifierCharacter(char c) noexcept;

class TypingCommands {
 public:
  explicit TypingCommands(EditorContext& context) noexcept : c_(context) {}

  void TypeCharacter(char ch);
  // The text commands; true when the caller must not place the caret afterwards.
  bool RunEditCommand(int code, int& x, bool& caretUndo, int& y);

  int GetSmartTabStop(int x, int y, bool forward) const;
  int UnindentStop(int x, int y) const;
  int IndentOfLineAbove(int line) const;

 private:
  void ClearSelectionForTyping();
  // Erases a block and takes the caret where the erase left it; false without a block.
  bool EraseBlock(int& x, bool& caretUndo, int& y);
  void TypePrintable(char ch);
  void Enter();
  void SplitLine(int& nx, int& y);
  void EnterOverwriting();
  void MoveToNextLine(int& nx, int& ny);
  bool WordLeft(int code, int& x, bool& caretUndo, int y);
  void WordRight(int code, int& x, bool& caretUndo, int& y);
  void SelectWord(int& x, bool& caretUndo, int y);
  void Backspace(int& x, bool& caretUndo, int& y);
  void DeleteChar(int& x, bool& caretUndo, int& y);
  void Tab(bool forward, int& x, bool& caretUndo);
  bool DeleteLine(int y);
  std::string_view Line(int y) const;

  EditorContext& c_;
};

}  // namespace vantorel
