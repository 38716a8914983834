// The editor's undo records and the buffer that keeps them in the order they were
// made. Each record notes the editor's Modified flag when it is made, so taking it
// back can restore that flag; some also keep a copy of the selection.
//
// Undo takes back one step: the newest record and the records before it of exactly
// the same class, everything between a begin and an end marker, transparent records
// met on the way, and the unindents inside a run of backspaces. A record's own Undo
// takes back its whole run (it and the records right before it of its class) at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/Selection.h"

namespace vantorel {

struct EditorContext;
class TEditorStrings;
class TUndoBuffer;

// Exact class identity of a record: two records belong to one run only when their
// classes are the same, a subclass counting as a different class. Each record class
// has its own value; only the class itself passes it to its base.
enum class UndoClass {
  Caret,
  Select,
  Unselect,
  BeginCompound,
  EndCompound,
  Insert,
  ReLine,
  InsertTab,
  InsertColumn,
  UnindentColumn,
  Delete,
  DeleteTrail,
  ReLinePad,
  Backspace,
  BackspaceUnindent,
  DeleteLine,
  DeleteSelected,
  Replace,
  Overwrite,
};

// Writes a record's selection copy back to the editor and marks its lines for the
// repaint; the lines already marked stay marked.
void RestoreSelectionCopy(Selection& block, const Selection& saved);

class TUndo {
 public:
  virtual ~TUndo() = default;
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;

  UndoClass Class() const noexcept { return class_; }
  bool ModifiedAtCreation() const noexcept { return modified_; }
  // Records that never end an undo step of their own: they go with their neighbour.
  bool IsTransparent() const noexcept {
    return class_ == UndoClass::ReLine || class_ == UndoClass::DeleteTrail || class_ == UndoClass::ReLinePad;
  }
  // A step that begins with a backspace goes on through backspace unindents.
  bool OpensBackspaceStep() const noexcept { return class_ == UndoClass::Backspace; }
  bool JoinsBackspaceStep() const noexcept { return class_ == UndoClass::BackspaceUnindent; }
  // The selection as it was when the record was made, for the records that keep one.
  virtual const Selection* SelectionCopy() const noexcept { return nullptr; }

  // Takes back this record, which lies at the buffer's undo pointer, and the rest of
  // its run where its class has runs; leaves the pointer on the earliest record it
  // took back. Markers take back nothing.
  virtual void Undo(TUndoBuffer& buffer, TEditorStrings& lines);

 protected:
  TUndo(EditorContext& editor, UndoClass cls);

  // The earliest index of the run that ends at index.
  static int RunStart(const TUndoBuffer& buffer, int index);
  static void MovePointer(TUndoBuffer& buffer, int index);
  template <class R>
  static const R& At(const TUndoBuffer& buffer, int index);
  EditorContext& c_;

 private:
  UndoClass class_;
  bool modified_;
};

// A caret position before a move; the base of the text records, whose X and Y say
// where their text was.
class TCaretUndo : public TUndo {
 public:
  TCaretUndo(EditorContext& editor, int x, int y) : TCaretUndo(editor, x, y, UndoClass::Caret) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  int X;
  int Y;

 protected:
  TCaretUndo(EditorContext& editor, int x, int y, UndoClass cls) : TUndo(editor, cls), X(x), Y(y) {}
};

// The caret and a copy of the whole selection state before the block changed.
class TSelectUndo : public TCaretUndo {
 public:
  TSelectUndo(EditorContext& editor, int x, int y) : TSelectUndo(editor, x, y, UndoClass::Select) {}
  const Selection* SelectionCopy() const noexcept override { return &SavedSelection; }
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  Selection SavedSelection;

 protected:
  TSelectUndo(EditorContext& editor, int x, int y, UndoClass cls);
};

class TUnselectUndo : public TSelectUndo {
 public:
  TUnselectUndo(EditorContext& editor, int x, int y) : TSelectUndo(editor, x, y, UndoClass::Unselect) {}
};

// The markers that make everything between them one undo step.
class TBeginCompoundUndo : public TUndo {
 public:
  explicit TBeginCompoundUndo(EditorContext& editor) : TUndo(editor, UndoClass::BeginCompound) {}

 protected:
  TBeginCompoundUndo(EditorContext& editor, UndoClass cls) : TUndo(editor, cls) {}
};

class TEndCompoundUndo : public TBeginCompoundUndo {
 public:
  explicit TEndCompoundUndo(EditorContext& editor) : TBeginCompoundUndo(editor, UndoClass::EndCompound) {}
};

// Text inserted as a stream at (X, Y).
class TInsertUndo : public TCaretUndo {
 public:
  TInsertUndo(EditorContext& editor, int x, int y, std::string text)
      : TInsertUndo(editor, x, y, std::move(text), UndoClass::Insert) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  std::string Text;

 protected:
  TInsertUndo(EditorContext& editor, int x, int y, std::string text, UndoClass cls)
      : TCaretUndo(editor, x, y, cls), Text(std::move(text)) {}
};

// A line appended so that the caret's line exists; its text is CR LF, X the length of
// the line above it and Y the caret's line. Line is the index the appended line got,
// made right before it is appended, so taking it back removes exactly that line.
class TReLineUndo : public TInsertUndo {
 public:
  TReLineUndo(EditorContext& editor, int x, int y);
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  int Line;
};

// The blanks ReLine adds to the caret's line so that the caret's column exists; X is
// where they begin. Transparent like an appended line: undone with the step next to
// it, so what the line had at its end before (kept by the records around it) is not
// covered by blanks it never had.
class TReLinePadUndo : public TInsertUndo {
 public:
  TReLinePadUndo(EditorContext& editor, int x, int y, std::string blanks)
      : TInsertUndo(editor, x, y, std::move(blanks), UndoClass::ReLinePad) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
};

// The blanks of a tab typed in insert mode.
class TInsertTabUndo : public TInsertUndo {
 public:
  TInsertTabUndo(EditorContext& editor, int x, int y, std::string blanks)
      : TInsertUndo(editor, x, y, std::move(blanks), UndoClass::InsertTab) {}
};

// A column block inserted with its top-left corner at (X, Y): one piece per line.
class TInsertColumnUndo : public TInsertUndo {
 public:
  TInsertColumnUndo(EditorContext& editor, int x, int y, std::string block)
      : TInsertUndo(editor, x, y, std::move(block), UndoClass::InsertColumn) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
};

// Blanks removed as a column block whose top-left corner was (BlockX, BlockY); X and
// Y are the caret.
class TUnindentColumnUndo : public TInsertUndo {
 public:
  TUnindentColumnUndo(EditorContext& editor, int x, int y, int blockX, int blockY, std::string block);
  const Selection* SelectionCopy() const noexcept override { return &SavedSelection; }
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  int BlockX;
  int BlockY;
  Selection SavedSelection;
};

// A character deleted at the caret (X, Y), or CR LF for a joined line.
class TDeleteUndo : public TInsertUndo {
 public:
  TDeleteUndo(EditorContext& editor, int x, int y, std::string text)
      : TDeleteUndo(editor, x, y, std::move(text), UndoClass::Delete) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;

 protected:
  TDeleteUndo(EditorContext& editor, int x, int y, std::string text, UndoClass cls)
      : TInsertUndo(editor, x, y, std::move(text), cls) {}
};

// Blanks cut from the end of a line, kept for their undo: their bytes, or, when they are
// nothing but spaces (a long line of blanks), their count and a run of spaces shared
// with the line list to show them by, so that cutting them copies nothing.
class TrailingBlanks {
 public:
  TrailingBlanks() = default;
  explicit TrailingBlanks(std::string bytes)
      : bytes_(std::move(bytes)), onlySpaces_(bytes_.find_first_not_of(' ') == std::string::npos) {}
  // count spaces; run holds at least that many.
  TrailingBlanks(std::shared_ptr<const char[]> run, std::size_t count) noexcept
      : run_(std::move(run)), count_(count), onlySpaces_(true) {}

  std::size_t size() const noexcept { return run_ ? count_ : bytes_.size(); }
  // Spaces alone may come back without being written again: the line list keeps the
  // spaces it cut behind a line's end, or shows a line of them from its shared run.
  bool OnlySpaces() const noexcept { return onlySpaces_; }
  operator std::string_view() const noexcept { return run_ ? std::string_view(run_.get(), count_) : bytes_; }
  friend bool operator==(const TrailingBlanks& a, std::string_view b) noexcept { return std::string_view(a) == b; }

 private:
  std::string bytes_;
  std::shared_ptr<const char[]> run_;
  std::size_t count_ = 0;
  bool onlySpaces_ = false;
};

// Trailing blanks cut from a stored line: Y is the line, X its length before.
class TDeleteTrailUndo : public TCaretUndo {
 public:
  TDeleteTrailUndo(EditorContext& editor, int x, int y, TrailingBlanks blanks)
      : TCaretUndo(editor, x, y, UndoClass::DeleteTrail), Text(std::move(blanks)) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  TrailingBlanks Text;
};

// One character removed left of the caret, or LF for a line joined to the one above;
// X and Y are the caret before the key (for a join: the upper line's length + 1, and
// the upper line).
class TBackspaceUndo : public TDeleteUndo {
 public:
  TBackspaceUndo(EditorContext& editor, int x, int y, std::string text)
      : TDeleteUndo(editor, x, y, std::move(text), UndoClass::Backspace) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
};

// Several blanks removed left of the caret (X, Y) by one key.
class TBackspaceUnindentUndo : public TDeleteUndo {
 public:
  TBackspaceUnindentUndo(EditorContext& editor, int x, int y, std::string blanks)
      : TDeleteUndo(editor, x, y, std::move(blanks), UndoClass::BackspaceUnindent) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
};

// A whole line deleted: Text is the line, Y its index, X the caret's column.
class TDeleteLineUndo : public TInsertUndo {
 public:
  TDeleteLineUndo(EditorContext& editor, int x, int y, std::string line)
      : TInsertUndo(editor, x, y, std::move(line), UndoClass::DeleteLine) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
};

// The text of an erased block, with the caret and the block as they were.
class TDeleteSelectedUndo : public TDeleteUndo {
 public:
  TDeleteSelectedUndo(EditorContext& editor, int x, int y, std::string text);
  const Selection* SelectionCopy() const noexcept override { return &SavedSelection; }
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  Selection SavedSelection;
};

// OldText at (BeginX, BeginY) replaced by NewText; X and Y are the caret.
class TReplaceUndo : public TCaretUndo {
 public:
  TReplaceUndo(EditorContext& editor, int x, int y, int beginX, int beginY, std::string oldText,
               std::string newText)
      : TCaretUndo(editor, x, y, UndoClass::Replace),
        BeginX(beginX),
        BeginY(beginY),
        OldText(std::move(oldText)),
        NewText(std::move(newText)) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  int BeginX;
  int BeginY;
  std::string OldText;
  std::string NewText;
};

// A character typed over OldText at (X, Y) in overwrite mode; OldText is empty when the
// caret was at or past the line's end.
class TOverwriteUndo : public TCaretUndo {
 public:
  TOverwriteUndo(EditorContext& editor, int x, int y, std::string oldText, std::string newText)
      : TCaretUndo(editor, x, y, UndoClass::Overwrite), OldText(std::move(oldText)), NewText(std::move(newText)) {}
  void Undo(TUndoBuffer& buffer, TEditorStrings& lines) override;
  std::string OldText;
  std::string NewText;
};

class TUndoBuffer {
 public:
  explicit TUndoBuffer(EditorContext& editor) : c_(editor) {}
  TUndoBuffer(const TUndoBuffer&) = delete;
  TUndoBuffer& operator=(const TUndoBuffer&) = delete;

  // Makes a record of class R and adds it.
  template <class R, class... Args>
  void Record(Args&&... args) {
    if (undoing_) return;
    AddRecord(std::make_unique<R>(c_, std::forward<Args>(args)...));
  }
  // Drops the undone records behind the pointer and appends this one; while an undo
  // runs, records are not kept.
  void AddRecord(std::unique_ptr<TUndo> record);
  void Clear();

  // Takes back the newest step on the text lines (see the file's head), then reports:
  // a change of the text through Changed, else a Modified flag that was set through
  // StatusChanged. Nothing while an undo runs. A record that fails ends the step
  // there; its error goes on to the caller.
  void Undo(TEditorStrings& lines);

  int Count() const noexcept { return static_cast<int>(records_.size()); }
  const TUndo& Item(int index) const { return *records_.at(static_cast<std::size_t>(index)); }
  int UndoPointer() const noexcept { return undoPointer_; }
  bool Undoing() const noexcept { return undoing_; }
  // The record the next undo starts with, or nullptr.
  const TUndo* LastRecord() const noexcept;
  bool CanUndo() const noexcept { return LastRecord() != nullptr; }

 private:
  friend class TUndo;

  // Runs the records of one step; clears onlyCaret when one of them changed the text.
  void UndoStep(TEditorStrings& lines, bool& onlyCaret);

  EditorContext& c_;
  std::vector<std::unique_ptr<TUndo>> records_;
  int undoPointer_ = -1;
  bool undoing_ = false;
};

template <class R>
const R& TUndo::At(const TUndoBuffer& buffer, int index) {
  return static_cast<const R&>(buffer.Item(index));
}

}  // namespace vantorel
