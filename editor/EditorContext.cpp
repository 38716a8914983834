#include "editor/EditorContext.h"

#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/TabStops.h"
#include "editor/Typing.h"
#include "editor/UndoBuffer.h"
#include "platform/Errors.h"

namespace vantorel {

int EditorContext::LineCount() const { return lines->Count(); }

bool EditorContext::CompletionContinuesWord(char ch) const {
  return completion ? completion->ContinuesWord(ch) : IsIdentifierCharacter(ch);
}

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

// --- an edit of several steps ---

TEditorEdit::TEditorEdit(EditorContext& c, EditHolds holds) : c_(c), holds_(holds) {
  if (holds_.group && holds_.groupOutside) OpenGroup();
  update_.emplace(c_);
  if (holds_.group && !holds_.groupOutside) OpenGroup();
}

TEditorEdit::~TEditorEdit() {
  if (!holds_.groupOutside) group_.reset();
  update_.reset();
  group_.reset();
}

void TEditorEdit::OpenGroup() {
  if (!group_) group_.emplace(c_);
}

void TEditorEdit::CloseGroup() {
  if (group_) group_->End();
}

void TEditorEdit::End() {
  if (!holds_.groupOutside) CloseGroup();
  if (update_) update_->End();
  if (holds_.groupOutside) CloseGroup();
}

}  // namespace vantorel
