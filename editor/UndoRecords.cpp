// How each undo record takes its change back. A record runs at the buffer's undo
// pointer; records with runs gather the records right before them of exactly their
// class, take the whole run back at once and leave the pointer on its earliest record.
// Positions are set without a caret record of their own.
#include <algorithm>
#include <string>
#include <string_view>

#include "editor/CaretCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/TextEdits.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

namespace {

// Where the last character of text ends up when the text is placed at (x, y): a line
// further for every LF, and on its last line the column of its last character (-1
// when the text ends with a line break).
TextPoint EndOfText(int x, int y, std::string_view text) {
  const std::size_t lastBreak = text.rfind('\n');
  if (lastBreak == std::string_view::npos) return {x + static_cast<int>(text.size()) - 1, y};
  int breaks = 0;
  for (const char c : text) breaks += c == '\n' ? 1 : 0;
  return {static_cast<int>(text.size() - lastBreak) - 2, y + breaks};
}

// The texts of the records first to last, oldest first or newest first.
template <class R>
std::string JoinTexts(const TUndoBuffer& buffer, int first, int last, bool newestFirst) {
  std::size_t size = 0;
  for (int i = first; i <= last; ++i) size += static_cast<const R&>(buffer.Item(i)).Text.size();
  std::string text;
  text.reserve(size);
  if (newestFirst) {
    for (int i = last; i >= first; --i) text += static_cast<const R&>(buffer.Item(i)).Text;
  } else {
    for (int i = first; i <= last; ++i) text += static_cast<const R&>(buffer.Item(i)).Text;
  }
  return text;
}

// Calls undo(begin, end) for each stretch of the run first..last whose records continue
// one another (continues(before, at)), newest stretch first. A run of one class may
// jump (Enter in overwrite mode moves on without a record of its own); each stretch is
// taken back where it happened.
template <class R, class Continues, class UndoStretch>
void ForEachStretch(const TUndoBuffer& buffer, int first, int last, Continues continues, UndoStretch undo) {
  for (int end = last; end >= first;) {
    int begin = end;
    while (begin > first && continues(static_cast<const R&>(buffer.Item(begin - 1)),
                                       static_cast<const R&>(buffer.Item(begin)))) {
      --begin;
    }
    undo(begin, end);
    end = begin - 1;
  }
}


}  // namespace

void TCaretUndo::Undo(TUndoBuffer& buffer, TEditorStrings&) {
  const int first = RunStart(buffer, buffer.UndoPointer());
  const TCaretUndo& from = At<TCaretUndo>(buffer, first);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

// A stretch of block changes with plain caret moves among them goes back in one: the
// block as it was before the earliest change, the caret where the earliest move found it.
void TSelectUndo::Undo(TUndoBuffer& buffer, TEditorStrings&) {
  int first = buffer.UndoPointer();
  int earliestSelect = first;
  int earliestCaret = -1;
  while (first > 0) {
    const UndoClass before = buffer.Item(first - 1).Class();
    if (before == Class()) {
      earliestSelect = first - 1;
    } else if (before == UndoClass::Caret) {
      earliestCaret = first - 1;
    } else {
      break;
    }
    --first;
  }
  const TSelectUndo& select = At<TSelectUndo>(buffer, earliestSelect);
  RestoreSelectionCopy(c_.selection, select.SavedSelection);
  const TCaretUndo& caret = earliestCaret >= 0 ? At<TCaretUndo>(buffer, earliestCaret) : select;
  c_.caretOps->SetCaretInternal(caret.X, caret.Y);
  MovePointer(buffer, first);
}

// Typed text, tab blanks: the run is one stretch of text from its first record on.
// A run is taken back in stretches of records that continue each other's text,
// newest first: an Insert record that starts somewhere else (a line added below the
// text by Enter in overwrite mode) is its own stretch, so no text between the two is
// taken for part of the run.
void TInsertUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  ForEachStretch<TInsertUndo>(
      buffer, first, last,
      [](const TInsertUndo& before, const TInsertUndo& at) {
        const TextPoint stop = EndOfText(before.X, before.Y, before.Text);
        return at.X == stop.x + 1 && at.Y == stop.y;
      },
      [&](int begin, int end) {
        const std::string text = JoinTexts<TInsertUndo>(buffer, begin, end, false);
        const TInsertUndo& from = At<TInsertUndo>(buffer, begin);
        const TextPoint stop = EndOfText(from.X, from.Y, text);
        EditText(c_, [&] { lines.DeleteText(from.X, from.Y, stop.x, stop.y); },
                 {from.X, from.Y, text, TextAction::StreamDelete});
      });
  const TInsertUndo& from = At<TInsertUndo>(buffer, first);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

// The appended lines are removed by the indexes they got, newest first. The caret stays
// where the records of its step put it: these records only made its line exist.
void TReLineUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  const TReLineUndo& from = At<TReLineUndo>(buffer, first);
  const std::string text = JoinTexts<TReLineUndo>(buffer, first, last, false);
  EditText(
      c_,
      [&] {
        TEditorPaintLock paint(c_);
        for (int i = last; i >= first; --i) {
          const int line = At<TReLineUndo>(buffer, i).Line;
          if (line >= 0 && line < lines.Count()) lines.Delete(line);
        }
      },
      {from.X, std::max(from.Line - 1, 0), text, TextAction::StreamDelete});
  MovePointer(buffer, first);
}

// Only blanks still standing where they were added, at the very end of the line, are
// taken away; a later record's undo that already cut them leaves nothing to do.
void TReLinePadUndo::Undo(TUndoBuffer&, TEditorStrings& lines) {
  EditText(c_, [&] { lines.RemovePadding(Y, X, static_cast<int>(Text.size())); },
           {X, Y, Text, TextAction::StreamDelete});
}

void TInsertColumnUndo::Undo(TUndoBuffer&, TEditorStrings& lines) {
  EditText(
      c_,
      [&] {
        TEditorPaintLock paint(c_);
        int line = Y;
        ForEachLine(Text, false, [&](std::string_view piece) {
          if (line < lines.Count()) {
            std::string s(lines.View(line));
            if (static_cast<std::size_t>(X) < s.size()) s.erase(static_cast<std::size_t>(X), piece.size());
            lines.SetLineText(line, std::move(s));
          }
          ++line;
        });
      },
      {X, Y, Text, TextAction::StreamDelete});
  c_.caretOps->SetCaretInternal(X, Y);
}

void TUnindentColumnUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  int minX = BlockX;
  int minY = BlockY;
  EditTextReportedAfter(
      c_,
      [&] {
        for (int i = last; i >= first; --i) {
          const TUnindentColumnUndo& record = At<TUnindentColumnUndo>(buffer, i);
          lines.InsertColumnText(record.BlockX, record.BlockY, record.Text);
          minX = std::min(minX, record.BlockX);
          minY = std::min(minY, record.BlockY);
        }
      },
      // The report names the topmost line as it now reads.
      [&] {
        return ReadReport{minX, minY, minY >= 0 && minY < lines.Count() ? std::string(lines.View(minY)) : std::string(),
                          TextAction::StreamInsert};
      });
  const TUnindentColumnUndo& from = At<TUnindentColumnUndo>(buffer, first);
  RestoreSelectionCopy(c_.selection, from.SavedSelection);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

// Deleted characters come back at the column where they were deleted, in text order.
// Delete presses at one caret position form a stretch; their texts go back there.
void TDeleteUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  ForEachStretch<TDeleteUndo>(
      buffer, first, last, [](const TDeleteUndo& before, const TDeleteUndo& at) { return before.X == at.X && before.Y == at.Y; },
      [&](int begin, int end) {
        const std::string text = JoinTexts<TDeleteUndo>(buffer, begin, end, false);
        const TDeleteUndo& from = At<TDeleteUndo>(buffer, begin);
        EditText(c_, [&] { lines.InsertText(from.X, from.Y, text); }, {from.X, from.Y, text, TextAction::StreamInsert});
      });
  const TDeleteUndo& from = At<TDeleteUndo>(buffer, first);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

// Each record names its own line, so they go back one by one, at the end of the line
// as the records after them left it. A line that no longer exists, or is not as long
// as it was without its blanks, is not given them, and the caret is left to the
// records around them.
void TDeleteTrailUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  for (int i = last; i >= first; --i) {
    const TDeleteTrailUndo& record = At<TDeleteTrailUndo>(buffer, i);
    if (record.Y < 0 || record.Y >= lines.Count()) continue;
    const int at = record.X - static_cast<int>(record.Text.size());
    // Stored as they were: putting them back through the line operations would cut
    // them off again.
    EditText(c_, [&] { lines.RestoreTrailingBlanks(record.Y, at, record.Text); },
             {at, record.Y, record.Text, TextAction::StreamInsert});
  }
  MovePointer(buffer, first);
}

// The removed characters, newest first, are in text order and go back left of where
// the newest key was pressed.
// Backspaces continue one another when each removed the character left of the one
// before, or joined the line above once the caret reached column 0.
void TBackspaceUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  ForEachStretch<TBackspaceUndo>(
      buffer, first, last,
      [](const TBackspaceUndo& before, const TBackspaceUndo& at) {
        return (at.Y == before.Y && at.X == before.X - 1) || (at.Y == before.Y - 1 && before.X == 1);
      },
      [&](int begin, int end) {
        const std::string text = JoinTexts<TBackspaceUndo>(buffer, begin, end, true);
        const TBackspaceUndo& newest = At<TBackspaceUndo>(buffer, end);
        EditText(c_, [&] { lines.InsertText(newest.X - 1, newest.Y, text); },
                 {newest.X - 1, newest.Y, text, TextAction::StreamInsert});
      });
  const TBackspaceUndo& from = At<TBackspaceUndo>(buffer, first);
  if (from.Text == "\n" || from.Text == "\r") {
    c_.caretOps->SetCaretInternal(0, from.Y + 1);
  } else {
    c_.caretOps->SetCaretInternal(from.X, from.Y);
  }
  MovePointer(buffer, first);
}

void TBackspaceUnindentUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  ForEachStretch<TBackspaceUnindentUndo>(
      buffer, first, last,
      [](const TBackspaceUnindentUndo& before, const TBackspaceUnindentUndo& at) {
        return at.Y == before.Y && at.X == before.X - static_cast<int>(before.Text.size());
      },
      [&](int begin, int end) {
        const std::string text = JoinTexts<TBackspaceUnindentUndo>(buffer, begin, end, true);
        const TBackspaceUnindentUndo& from = At<TBackspaceUnindentUndo>(buffer, begin);
        const int at = from.X - static_cast<int>(text.size());
        EditText(c_, [&] { lines.InsertText(at, from.Y, text); }, {at, from.Y, text, TextAction::StreamInsert});
      });
  const TBackspaceUnindentUndo& from = At<TBackspaceUnindentUndo>(buffer, first);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

void TDeleteLineUndo::Undo(TUndoBuffer&, TEditorStrings& lines) {
  {
    // Reported before the paint lock is down.
    TEditorPaintLock paint(c_);
    EditText(c_, [&] { lines.Insert(Y, Text); }, {X, Y, Text, TextAction::StreamInsert});
  }
  c_.caretOps->SetCaretInternal(X, Y);
}

void TDeleteSelectedUndo::Undo(TUndoBuffer&, TEditorStrings& lines) {
  const Selection& block = SavedSelection;
  const TextPoint begin = block.Begin();
  if (block.Format() == TSelBlockFormat::bfColumn) {
    EditText(c_, [&] { lines.InsertColumnText(begin.x, begin.y, Text); },
             {begin.x, begin.y, Text, TextAction::ColumnInsert});
  } else {
    EditText(c_, [&] { lines.InsertText(begin.x, begin.y, Text); }, {begin.x, begin.y, Text, TextAction::StreamInsert});
  }
  RestoreSelectionCopy(c_.selection, block);
  c_.caretOps->SetCaretInternal(X, Y);
}

void TReplaceUndo::Undo(TUndoBuffer&, TEditorStrings& lines) {
  const TextPoint end = EndOfText(BeginX, BeginY, NewText);
  EditText(c_, [&] { lines.ReplaceText(BeginX, BeginY, end.x, end.y, OldText); },
           {BeginX, BeginY, OldText, TextAction::Replace});
  c_.caretOps->SetCaretInternal(X, Y);
}

// The old text takes the new one's place in one step, so that a NUL or another control
// character just before it is not cut off as trailing while the line is in between.
// Each character of the run goes back where it was typed, newest first: Enter in
// overwrite mode moves to the next line without a record of its own, so a run may
// span lines.
void TOverwriteUndo::Undo(TUndoBuffer& buffer, TEditorStrings& lines) {
  const int last = buffer.UndoPointer();
  const int first = RunStart(buffer, last);
  for (int i = last; i >= first; --i) {
    const TOverwriteUndo& record = At<TOverwriteUndo>(buffer, i);
    const TextPoint end = EndOfText(record.X, record.Y, record.NewText);
    EditText(c_, [&] { lines.ReplaceText(record.X, record.Y, end.x, end.y, record.OldText); },
             {record.X, record.Y, record.OldText, TextAction::Replace});
  }
  const TOverwriteUndo& from = At<TOverwriteUndo>(buffer, first);
  c_.caretOps->SetCaretInternal(from.X, from.Y);
  MovePointer(buffer, first);
}

}  // namespace vantorel
