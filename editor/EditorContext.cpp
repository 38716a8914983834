#include "editor/EditorContext.h"

#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/TabStops.h"
#include "editor/UndoBuffer.h"
#include "platform/Errors.h"

namespace vantorel {

int EditorContext::LineCount() const { return lines->Count(); }

std::string_view EditorContext::LineView(int y) const { return lines->View(y); }

long long EditorContext::TextLength() const {
  long long total = 0;
  for (int y = 0; y < LineCount(); ++y) total += static_cast<long long>(LineView(y).size()) + 2;
  return total > 0 ? total - 2 : 0;
}

int EditorContext::GetTabStop(int x, bool next) const { return vantorel::GetTabStop(behaviour.TabStops, x, next); }

void EditorContext::EndUpdate() {
  if (state.updateLock <= 0) throw EAssertionFailed(std::string(kAssertionFailure));
  if (--state.updateLock == 0) {
    view.FullRepaintPending = true;
    view.UpdateSize();
    notices.StatusChanged();
    view.RepaintAll();
  }
}

void EditorContext::ReleaseUpdate() noexcept {
  if (state.updateLock > 0 && --state.updateLock == 0) {
    view.FullRepaintPending = true;
    view.RepaintAll();
  }
}

void EditorContext::BeginUndoGroup() {
  ++undoGroupDepth;
  undo.Record<TBeginCompoundUndo>();
}

void EditorContext::EndUndoGroup() {
  undo.Record<TEndCompoundUndo>();
  --undoGroupDepth;
}

void EditorContext::CloseUndoGroupQuietly() noexcept {
  try {
    EndUndoGroup();
  } catch (...) {
    --undoGroupDepth;
  }
}

void EditorContext::PaintCaret(bool show) const { view.PaintCaret(show); }

bool EditorContext::DefersPaint() const noexcept { return view.settings.deferredPaint; }

// --- an edit of several steps ---

TEditorEdit::TEditorEdit(EditorContext& c, EditHolds holds) : c_(c), holds_(holds) {
  if (holds_.group && holds_.groupOutside) OpenGroup();
  c_.BeginUpdate();
  updating_ = true;
  // With the repaints deferred nothing is drawn while the edit runs, so the caret stays
  // as it is: the paint that follows hides it and puts it in its place.
  if (holds_.hideCaret && !c_.DefersPaint()) {
    c_.PaintCaret(false);
    caretHidden_ = true;
  }
  if (holds_.group && !holds_.groupOutside) OpenGroup();
}

TEditorEdit::~TEditorEdit() {
  if (grouped_ && !holds_.groupOutside) {
    grouped_ = false;
    c_.CloseUndoGroupQuietly();
  }
  if (holds_.caretBackFirst) ShowCaret();
  if (updating_) {
    updating_ = false;
    c_.ReleaseUpdate();
  }
  ShowCaret();
  if (grouped_) {
    grouped_ = false;
    c_.CloseUndoGroupQuietly();
  }
}

void TEditorEdit::OpenGroup() {
  if (grouped_) return;
  c_.BeginUndoGroup();
  grouped_ = true;
}

void TEditorEdit::CloseGroup() {
  if (!grouped_) return;
  grouped_ = false;
  c_.EndUndoGroup();
}

void TEditorEdit::EndUpdate() {
  if (!updating_) return;
  updating_ = false;
  c_.EndUpdate();
}

void TEditorEdit::ShowCaret() noexcept {
  if (!caretHidden_) return;
  caretHidden_ = false;
  c_.PaintCaret(true);
}

void TEditorEdit::End() {
  if (!holds_.groupOutside) CloseGroup();
  if (holds_.caretBackFirst) ShowCaret();
  EndUpdate();
  ShowCaret();
  if (holds_.groupOutside) CloseGroup();
}

}  // namespace vantorel
