#include "editor/Editor.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/TabStops.h"
#include "platform/Errors.h"

namespace vantorel {

TCustomEditorBase::TCustomEditorBase(WindowHost* host)
    : host_(host),
      context_(undo_, caret_, selection_, view_, state_, Modified, UndoGroupDepth, *this, *this, *this, host),
      view_(*this, host) {
  context_.caretOps = &caretOps_;
  context_.mouse = &mouse_;
  context_.commands = &commands_;
}

TCustomEditorBase::~TCustomEditorBase() = default;

// --- settings with effects ---

namespace {
// Stores a setting; true when it changed, so its effect is due.
template <class T>
bool Changes(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TCustomEditorBase::SetBorderStyle(TBorderStyle value) {
  if (Changes(borderStyle_, value) && host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::SetScrollBars(TScrollStyle value) {
  if (Changes(view_.settings.scrollBars, value) && host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::SetGutterWidth(int value) {
  if (!Changes(view_.settings.gutterWidth, value)) return;
  view_.UpdateSize();
  view_.RepaintAll();
}

void TCustomEditorBase::SetGutterColor(Color value) {
  if (Changes(view_.settings.gutterColor, value)) view_.PaintGutter();
}

void TCustomEditorBase::SetRightMarginVisible(bool value) {
  if (Changes(view_.settings.rightMarginVisible, value)) view_.RepaintAll();
}

void TCustomEditorBase::SetRightMargin(int value) {
  if (Changes(view_.settings.rightMargin, value)) view_.RepaintAll();
}

void TCustomEditorBase::SetRightMarginColor(Color value) {
  if (Changes(view_.settings.rightMarginColor, value)) view_.RepaintAll();
}

void TCustomEditorBase::SetSelForeColor(Color value) {
  if (Changes(view_.settings.selForeColor, value) && HasSelection()) view_.RepaintAll();
}

void TCustomEditorBase::SetSelBackColor(Color value) {
  if (Changes(view_.settings.selBackColor, value) && HasSelection()) view_.RepaintAll();
}

void TCustomEditorBase::SetBackColor(Color value) {
  if (Changes(view_.settings.backColor, value)) view_.RepaintAll();
}

void TCustomEditorBase::SetInsertMode(bool value) {
  if (Changes(state_.insertMode, value)) StatusChanged();
}

void TCustomEditorBase::SetReadOnly(bool value) {
  if (!Changes(state_.readOnly, value)) return;
  if (host_ && host_->HasWindow()) host_->SetReadOnlyStyle(value);
  StatusChanged();
}

void TCustomEditorBase::SetCursor(TCursor value) {
  if (Changes(cursor_, value) && host_ && host_->HasWindow()) host_->RefreshCursor();
}

void TCustomEditorBase::SetTabStop(bool value) {
  if (Changes(tabStop_, value) && host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::SetCtl3D(bool value) {
  if (Changes(ctl3D_, value) && host_ && host_->HasWindow()) host_->RecreateWindow();
}

EditorWindowStyle TCustomEditorBase::WindowStyle() const noexcept {
  const TScrollStyle bars = ScrollBars();
  const bool single = borderStyle_ == TBorderStyle::bsSingle;
  EditorWindowStyle style;
  style.border = single && !ctl3D_;
  style.clientEdge = single && ctl3D_;
  style.tabStop = tabStop_;
  style.vscroll = bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth;
  style.hscroll = bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth;
  style.readOnly = state_.readOnly;
  return style;
}

void TCustomEditorBase::SetFont(const FontDesc& value) {
  view_.settings.font = value;
  view_.UpdateSize();
  view_.RepaintAll();
}

// --- locks and notifications ---

void TCustomEditorBase::Changed() {
  Modified = true;
  if (OnChange) OnChange();
  StatusChanged();
}

void TCustomEditorBase::StatusChanged() {
  UpdateBracketMarks();
  if (OnChangeStatus) OnChangeStatus();
}

void TCustomEditorBase::TextAllChanged() {
  view_.ForgetFonts();
  selection_.Clear();
  UpdateBracketMarks();
  TextModified(0, 0, {}, TextAction::AllChanged);
  view_.UpdateView();
}

void TCustomEditorBase::TextModified(int, int, std::string_view, TextAction) {}
void TCustomEditorBase::GetAttr(int, int, int) {}
void TCustomEditorBase::ChangeAttr(int, int, int) {}
void TCustomEditorBase::ApplyBracketMarks(int, int, int) {}
void TCustomEditorBase::UpdateBracketMarks() {}

void TCustomEditorBase::DecorateLine(int line, int colBeg, int colEnd) {
  GetAttr(line, colBeg, colEnd);
  ApplyBracketMarks(line, colBeg, colEnd);
  if (OnGetLineAttr) {
    std::string text(LineView(line));
    OnGetLineAttr(text, line, view_.MutableLineAttrs());
  }
}

void TCustomEditorBase::GutterPainted(Surface& canvas) {
  if (OnPaintGutter) OnPaintGutter(canvas);
}

void TCustomEditorBase::Scrolled() {
  if (OnScroll) OnScroll();
}

int TCustomEditorBase::GetTabStop(int x, bool next) const { return context_.GetTabStop(x, next); }

void TCustomEditorBase::FocusLost() {
  context_.CloseCompletionList(false);
  if (host_) host_->DestroyCaret();
}

void TCustomEditorBase::KeyUp(int key, ShiftState shift) {
  if (OnKeyUp) OnKeyUp(key, shift);
}

void TCustomEditorBase::TimerTick(EditorTimer timer) {
  if (timer == EditorTimer::AutoScroll) mouse_.AutoScrollTick();
}

std::intptr_t TCustomEditorBase::EditMessage(EditMessageKind kind) {
  switch (kind) {
    case EditMessageKind::Copy: PostCommand(ec::Copy); return 0;
    case EditMessageKind::Cut:
      if (!ReadOnly()) PostCommand(ec::Cut);
      return 0;
    case EditMessageKind::Paste:
      if (!ReadOnly()) PostCommand(ec::Paste);
      return 0;
    case EditMessageKind::Clear:
      if (ReadOnly()) return 1;
      context_.blocks->EraseSelection();
      return 0;
    case EditMessageKind::Undo: undo_.Undo(context_.Lines()); return 1;
    case EditMessageKind::CanUndo: return undo_.CanUndo() ? 1 : 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------

TCustomEditor::TCustomEditor(WindowHost* host)
    : TCustomEditorBase(host),
      lines_(std::make_unique<TEditorStrings>(static_cast<TEditorStringsOwner&>(*this), context_.undo)) {
  context_.lines = lines_.get();
  context_.typing = &typing_;
  context_.blocks = &blocks_;
}

TCustomEditor::~TCustomEditor() = default;

bool TCustomEditor::GetLineText(int y, std::string& s) const {
  if (y < 0 || y >= LineCount()) {
    s.clear();
    return false;
  }
  s = lines_->Get(y);
  return true;
}

long long TCustomEditor::GetTextLength() const { return context_.TextLength(); }

int TCustomEditor::CopyTextForMessage(char* buffer, long long size) const {
  if (buffer == nullptr || size <= 0) return 0;
  const std::string text = lines_->GetTextStr();
  const long long room = std::min<long long>(size - 1, INT_MAX);
  const std::size_t n = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(text.size()), room));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int TCustomEditor::TextLengthForMessage() const {
  return static_cast<int>(std::min<long long>(GetTextLength(), INT_MAX));
}

}  // namespace vantorel
