// The editor's undo records and the buffer that keeps them in the order they were
// made. Each record notes the editor's Modified flag when it is made, so taking it
// back can restore that flag.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/Selection.h"

namespace vantorel {

class TCustomEditorBase;

// Exact class identity of a record: two records belong to one run only when their
// classes are the same, a subclass counting as a different class.
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
  Backspace,
  BackspaceUnindent,
  DeleteLine,
  DeleteSelected,
  Replace,
  Overwrite,
};

class TUndo {
 public:
  TUndo(TCustomEditorBase& editor, UndoClass cls);
  virtual ~TUndo() = default;
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;

  UndoClass Class() const noexcept { return class_; }
  bool ModifiedAtCreation() const noexcept { return modified_; }
  // Records that never end an undo step of their own.
  bool IsTransparent() const noexcept { return class_ == UndoClass::ReLine || class_ == UndoClass::DeleteTrail; }

 protected:
  TCustomEditorBase& editor_;

 private:
  UndoClass class_;
  bool modified_;
};

// A caret position before a move; the base of the text records, whose X and Y say
// where their text was.
class TCaretUndo : public TUndo {
 public:
  TCaretUndo(TCustomEditorBase& editor, int x, int y, UndoClass cls = UndoClass::Caret)
      : TUndo(editor, cls), X(x), Y(y) {}
  int X;
  int Y;
};

// The caret and a copy of the whole selection state before the block changed.
class TSelectUndo : public TCaretUndo {
 public:
  TSelectUndo(TCustomEditorBase& editor, int x, int y, UndoClass cls = UndoClass::Select);
  Selection SavedSelection;
};

class TUnselectUndo : public TSelectUndo {
 public:
  TUnselectUndo(TCustomEditorBase& editor, int x, int y) : TSelectUndo(editor, x, y, UndoClass::Unselect) {}
};

// The markers that make everything between them one undo step.
class TBeginCompoundUndo : public TUndo {
 public:
  explicit TBeginCompoundUndo(TCustomEditorBase& editor, UndoClass cls = UndoClass::BeginCompound)
      : TUndo(editor, cls) {}
};

class TEndCompoundUndo : public TBeginCompoundUndo {
 public:
  explicit TEndCompoundUndo(TCustomEditorBase& editor) : TBeginCompoundUndo(editor, UndoClass::EndCompound) {}
};

class TInsertUndo : public TCaretUndo {
 public:
  TInsertUndo(TCustomEditorBase& editor, int x, int y, std::string text, UndoClass cls = UndoClass::Insert)
      : TCaretUndo(editor, x, y, cls), Text(std::move(text)) {}
  std::string Text;
};

// A line appended so that the caret's line exists; its text is CR LF.
class TReLineUndo : public TInsertUndo {
 public:
  TReLineUndo(TCustomEditorBase& editor, int x, int y) : TInsertUndo(editor, x, y, "\r\n", UndoClass::ReLine) {}
};

class TDeleteUndo : public TInsertUndo {
 public:
  TDeleteUndo(TCustomEditorBase& editor, int x, int y, std::string text, UndoClass cls = UndoClass::Delete)
      : TInsertUndo(editor, x, y, std::move(text), cls) {}
};

// Trailing blanks cut from a stored line: Y is the line, X its length before.
class TDeleteTrailUndo : public TDeleteUndo {
 public:
  TDeleteTrailUndo(TCustomEditorBase& editor, int x, int y, std::string blanks)
      : TDeleteUndo(editor, x, y, std::move(blanks), UndoClass::DeleteTrail) {}
};

class TInsertTabUndo : public TInsertUndo {
 public:
  TInsertTabUndo(TCustomEditorBase& editor, int x, int y, std::string blanks)
      : TInsertUndo(editor, x, y, std::move(blanks), UndoClass::InsertTab) {}
};

class TInsertColumnUndo : public TInsertUndo {
 public:
  TInsertColumnUndo(TCustomEditorBase& editor, int x, int y, std::string block)
      : TInsertUndo(editor, x, y, std::move(block), UndoClass::InsertColumn) {}
};

class TUnindentColumnUndo : public TInsertUndo {
 public:
  TUnindentColumnUndo(TCustomEditorBase& editor, int x, int y, int blockX, int blockY, std::string block);
  int BlockX;
  int BlockY;
  Selection SavedSelection;
};

class TBackspaceUndo : public TDeleteUndo {
 public:
  TBackspaceUndo(TCustomEditorBase& editor, int x, int y, std::string text)
      : TDeleteUndo(editor, x, y, std::move(text), UndoClass::Backspace) {}
};

class TBackspaceUnindentUndo : public TDeleteUndo {
 public:
  TBackspaceUnindentUndo(TCustomEditorBase& editor, int x, int y, std::string blanks)
      : TDeleteUndo(editor, x, y, std::move(blanks), UndoClass::BackspaceUnindent) {}
};

class TDeleteLineUndo : public TInsertUndo {
 public:
  TDeleteLineUndo(TCustomEditorBase& editor, int x, int y, std::string line)
      : TInsertUndo(editor, x, y, std::move(line), UndoClass::DeleteLine) {}
};

class TDeleteSelectedUndo : public TDeleteUndo {
 public:
  TDeleteSelectedUndo(TCustomEditorBase& editor, int x, int y, std::string text);
  Selection SavedSelection;
};

class TOverwriteUndo : public TCaretUndo {
 public:
  TOverwriteUndo(TCustomEditorBase& editor, int x, int y, std::string oldText, std::string newText)
      : TCaretUndo(editor, x, y, UndoClass::Overwrite), OldText(std::move(oldText)), NewText(std::move(newText)) {}
  std::string OldText;
  std::string NewText;
};

class TUndoBuffer {
 public:
  explicit TUndoBuffer(TCustomEditorBase& editor) : editor_(editor) {}
  TUndoBuffer(const TUndoBuffer&) = delete;
  TUndoBuffer& operator=(const TUndoBuffer&) = delete;

  // Makes a record of class R and adds it.
  template <class R, class... Args>
  void Record(Args&&... args) {
    AddRecord(std::make_unique<R>(editor_, std::forward<Args>(args)...));
  }
  // Drops the undone records behind the pointer and appends this one; while an undo
  // runs, records are not kept.
  void AddRecord(std::unique_ptr<TUndo> record);
  void Clear();

  int Count() const noexcept { return static_cast<int>(records_.size()); }
  const TUndo& Item(int index) const { return *records_.at(static_cast<std::size_t>(index)); }
  int UndoPointer() const noexcept { return undoPointer_; }
  bool Undoing() const noexcept { return undoing_; }
  // The record the next undo starts with, or nullptr.
  const TUndo* LastRecord() const noexcept;
  bool CanUndo() const noexcept { return LastRecord() != nullptr; }

 private:
  TCustomEditorBase& editor_;
  std::vector<std::unique_ptr<TUndo>> records_;
  int undoPointer_ = -1;
  bool undoing_ = false;
};

}  // namespace vantorel
