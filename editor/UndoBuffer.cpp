#include "editor/UndoBuffer.h"

#include "editor/Editor.h"

namespace vantorel {

TUndo::TUndo(TCustomEditorBase& editor, UndoClass cls) : editor_(editor), class_(cls), modified_(editor.Modified) {}

TSelectUndo::TSelectUndo(TCustomEditorBase& editor, int x, int y, UndoClass cls)
    : TCaretUndo(editor, x, y, cls), SavedSelection(editor.SelectionModel()) {}

TDeleteSelectedUndo::TDeleteSelectedUndo(TCustomEditorBase& editor, int x, int y, std::string text)
    : TDeleteUndo(editor, x, y, std::move(text), UndoClass::DeleteSelected), SavedSelection(editor.SelectionModel()) {}

TUnindentColumnUndo::TUnindentColumnUndo(TCustomEditorBase& editor, int x, int y, int blockX, int blockY,
                                         std::string block)
    : TInsertUndo(editor, x, y, std::move(block), UndoClass::UnindentColumn),
      BlockX(blockX),
      BlockY(blockY),
      SavedSelection(editor.SelectionModel()) {}

void TUndoBuffer::AddRecord(std::unique_ptr<TUndo> record) {
  if (undoing_) return;
  records_.resize(static_cast<std::size_t>(undoPointer_ + 1));
  records_.push_back(std::move(record));
  undoPointer_ = static_cast<int>(records_.size()) - 1;
}

void TUndoBuffer::Clear() {
  records_.clear();
  undoPointer_ = -1;
}

const TUndo* TUndoBuffer::LastRecord() const noexcept {
  if (undoPointer_ < 0 || undoPointer_ >= static_cast<int>(records_.size())) return nullptr;
  return records_[static_cast<std::size_t>(undoPointer_)].get();
}

}  // namespace vantorel
