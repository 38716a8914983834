#include "editor/UndoBuffer.h"

#include <algorithm>
#include <optional>

#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"

namespace vantorel {

namespace {

// The selection fields a record's copy holds; the dirty range is not one of them.
bool SameSelection(const Selection& a, const Selection& b) noexcept {
  return a.HasBlock() == b.HasBlock() && a.Extending() == b.Extending() && a.Format() == b.Format() &&
         a.Begin() == b.Begin() && a.End() == b.End() && a.Anchor() == b.Anchor() &&
         a.LineModeBeginX() == b.LineModeBeginX() && a.LineModeEndX() == b.LineModeEndX();
}

// Records that change only the caret, the selection or the grouping.
bool LeavesTextAlone(UndoClass cls) noexcept {
  switch (cls) {
    case UndoClass::Caret:
    case UndoClass::Select:
    case UndoClass::Unselect:
    case UndoClass::BeginCompound:
    case UndoClass::EndCompound:
      return true;
    default:
      return false;
  }
}

bool IsTransparentClass(UndoClass cls) noexcept {
  return cls == UndoClass::ReLine || cls == UndoClass::DeleteTrail || cls == UndoClass::ReLinePad;
}

}  // namespace

TUndo::TUndo(EditorContext& editor, UndoClass cls) : c_(editor), class_(cls), modified_(c_.modified) {}

TSelectUndo::TSelectUndo(EditorContext& editor, int x, int y, UndoClass cls)
    : TCaretUndo(editor, x, y, cls), SavedSelection(c_.selection) {}

TReLineUndo::TReLineUndo(EditorContext& editor, int x, int y)
    : TInsertUndo(editor, x, y, "\r\n", UndoClass::ReLine), Line(c_.LineCount()) {}

TUnindentColumnUndo::TUnindentColumnUndo(EditorContext& editor, int x, int y, int blockX, int blockY,
                                         std::string block)
    : TInsertUndo(editor, x, y, std::move(block), UndoClass::UnindentColumn),
      BlockX(blockX),
      BlockY(blockY),
      SavedSelection(c_.selection) {}

TDeleteSelectedUndo::TDeleteSelectedUndo(EditorContext& editor, int x, int y, std::string text)
    : TDeleteUndo(editor, x, y, std::move(text), UndoClass::DeleteSelected),
      SavedSelection(c_.selection) {}

int TUndo::RunStart(const TUndoBuffer& buffer, int index) {
  const UndoClass cls = buffer.Item(index).Class();
  while (index > 0 && buffer.Item(index - 1).Class() == cls) --index;
  return index;
}

void TUndo::MovePointer(TUndoBuffer& buffer, int index) { buffer.undoPointer_ = index; }

void RestoreSelectionCopy(Selection& block, const Selection& saved) {
  const int first = block.DirtyFirstLine();
  const int last = block.DirtyLastLine();
  block = saved;
  block.SetDirty(first, last);
  block.WidenDirty(saved.Begin().y, saved.End().y);
}

void TUndo::Undo(TUndoBuffer&, TEditorStrings&) {}

// --- the buffer ---

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

void TUndoBuffer::UndoStep(TEditorStrings& lines, bool& onlyCaret) {
  const TUndo* newest = LastRecord();
  if (newest == nullptr) return;
  // The class that holds the step together; none inside a group once its begin marker
  // was passed, so the step ends right before it.
  std::optional<UndoClass> stepClass = newest->Class();
  int depth = 0;
  while (LastRecord() != nullptr) {
    TUndo* record = records_[static_cast<std::size_t>(undoPointer_)].get();
    const bool sameClass = stepClass && record->Class() == *stepClass;
    const bool backspaceStep = stepClass == UndoClass::Backspace && record->JoinsBackspaceStep();
    if (!sameClass && !record->IsTransparent() && depth <= 0 && !backspaceStep) break;
    if (record->Class() == UndoClass::BeginCompound) {
      --depth;
      stepClass.reset();
    } else if (record->Class() == UndoClass::EndCompound) {
      ++depth;
    }
    record->Undo(*this, lines);
    if (const TUndo* earliest = LastRecord()) {
      if (const Selection* copy = earliest->SelectionCopy()) RestoreSelectionCopy(c_.selection, *copy);
      c_.modified = earliest->ModifiedAtCreation();
    }
    --undoPointer_;
    if (!LeavesTextAlone(record->Class())) onlyCaret = false;
    if (stepClass && IsTransparentClass(*stepClass)) {
      const TUndo* next = LastRecord();
      stepClass = next ? std::optional<UndoClass>(next->Class()) : std::nullopt;
    }
  }
}

void TUndoBuffer::Undo(TEditorStrings& lines) {
  if (undoing_) return;
  const TEditorStrings::OriginScope origin(lines, ChangeOrigin::Undo);
  const Selection before = c_.selection;
  const bool wasModified = c_.modified;
  bool onlyCaret = true;
  undoing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{undoing_};

  // What the user is shown once the records ran, also after one of them failed: the
  // text may have changed up to there.
  const auto report = [&] {
    if (!c_.modified) onlyCaret = true;
    const Selection& now = c_.selection;
    if (!SameSelection(now, before)) {
      const int first = std::max(std::min(before.Begin().y, now.Begin().y), c_.view.TopLine());
      const int last = std::min(std::max(before.End().y, now.End().y), c_.view.LastVisibleLine());
      for (int line = first; line <= last; ++line) c_.view.RepaintLine(line);
    }
    c_.view.UpdateView();
    if (c_.state.updateLock != 0) return;
    if (!onlyCaret) {
      c_.notices.Changed();
    } else if (wasModified) {
      c_.notices.StatusChanged();
    }
  };
  try {
    UndoStep(lines, onlyCaret);
  } catch (...) {
    try {
      report();
    } catch (...) {
      // The record's error is the one the user needs to see.
    }
    throw;
  }
  report();
}

}  // namespace vantorel
