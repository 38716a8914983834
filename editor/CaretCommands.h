// The caret and selection operations of the editor: moving the caret with the view
// following it, growing and setting the block, addressing the text by character
// offsets (a line break counts two), and selecting the word under the caret. They
// work on the editor's model and ask its view to scroll and repaint; every user-
// visible caret move goes through SetCaret.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "editor/EditorTypes.h"

namespace vantorel {

struct EditorContext;

// Word characters are every byte but these.
bool IsWordSeparator(char c) noexcept;
// The word around the 1-based position p of t: its first position and the position
// after it, 1-based. A separator under p right after a word gives that word; a
// separator between separators gives itself, one character long. Nothing when p lies
// outside t.
struct WordSpan {
  int begin;
  int end;
};
std::optional<WordSpan> FindWord(std::string_view t, int p) noexcept;
// The 1-based position of the first character of line that is not a blank; its
// length + 1 when it is empty or all blanks.
int FirstNonBlank(std::string_view line) noexcept;

class CaretCommands {
 public:
  explicit CaretCommands(EditorContext& context) noexcept : c_(context) {}

  void SetCaretInternal(int x, int y);
  void SetCaret(int x, int y);
  // The cell under a client pixel, limited to the visible columns and the text's lines.
  TextPoint MouseToCaret(int x, int y) const;
  void EnsureLineVisible(int line);

  void ExtendSelection(int x, int y);
  void SelectionChanged();
  void Deselect();
  void SelectRange(int beginX, int beginY, int endX, int endY);
  void SelectAll();
  void SetSelBlockFormat(TSelBlockFormat format);
  void RepaintDirtyLines();

  int SelStart() const;
  int SelLength() const;
  void SetSelStart(int offset);
  void SetSelLength(int length);
  int PositionToOffset(int x, int y) const;
  TextPoint OffsetToPosition(int offset) const;
  void SelectWordAtCaret();

  // EM_GETSEL: the block's start and end offsets, and the packed message result
  // (start low, end high, or -1 when either exceeds 65535).
  struct SelOffsets {
    int start;
    int end;
    std::intptr_t result;
  };
  SelOffsets GetSel() const;
  // EM_GETSEL's answer as another program receives it: each offset stored through its
  // pointer when that is given (also when the packed result cannot hold it).
  std::intptr_t AnswerGetSel(std::uint32_t* start, std::uint32_t* end) const;
  // EM_SETSEL: (0, -1) selects everything.
  void SetSel(int start, int end);

 private:
  int LineLength(int y) const;
  // Offsets beyond the text name its end; negative ones its start.
  TextPoint PositionInText(int offset) const;

  EditorContext& c_;
};

}  // namespace vantorel
