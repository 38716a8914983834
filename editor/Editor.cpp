#include "editor/Editor.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/TabStops.h"
#include "platform/Errors.h"

namespace vantorel {

TCustomEditorBase::TCustomEditorBase(WindowHost* host)
    : host_(host),
      undo_(std::make_unique<TUndoBuffer>(*this)),
      horz_(ScrollBarKind::Horizontal, host),
      vert_(ScrollBarKind::Vertical, host) {
  const auto onBar = [this](ScrollBarKind kind) {
    return [this, kind](ScrollCode code, int& position) {
      // Only these move the text; the others move just the bar.
      if (code == ScrollCode::LineUp || code == ScrollCode::LineDown || code == ScrollCode::PageUp ||
          code == ScrollCode::PageDown || code == ScrollCode::ThumbTrack) {
        Scroll(kind == ScrollBarKind::Vertical, position);
      }
    };
  };
  horz_.OnScroll = onBar(ScrollBarKind::Horizontal);
  vert_.OnScroll = onBar(ScrollBarKind::Vertical);
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
  if (Changes(scrollBars_, value) && host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::SetGutterWidth(int value) {
  if (!Changes(gutterWidth_, value)) return;
  UpdateEditorSize();
  RepaintAll();
}

void TCustomEditorBase::SetGutterColor(Color value) {
  if (Changes(gutterColor_, value)) PaintGutter();
}

void TCustomEditorBase::SetRightMarginVisible(bool value) {
  if (Changes(rightMarginVisible_, value)) RepaintAll();
}

void TCustomEditorBase::SetRightMargin(int value) {
  if (Changes(rightMargin_, value)) RepaintAll();
}

void TCustomEditorBase::SetRightMarginColor(Color value) {
  if (Changes(rightMarginColor_, value)) RepaintAll();
}

void TCustomEditorBase::SetSelForeColor(Color value) {
  if (Changes(selForeColor_, value) && HasSelection) RepaintAll();
}

void TCustomEditorBase::SetSelBackColor(Color value) {
  if (Changes(selBackColor_, value) && HasSelection) RepaintAll();
}

void TCustomEditorBase::SetInsertMode(bool value) {
  if (Changes(insertMode_, value)) StatusChanged();
}

void TCustomEditorBase::SetReadOnly(bool value) {
  if (!Changes(readOnly_, value)) return;
  if (host_ && host_->HasWindow()) host_->SetReadOnlyStyle(value);
  StatusChanged();
}

void TCustomEditorBase::SetFont(const FontDesc& value) {
  font_ = value;
  UpdateEditorSize();
  RepaintAll();
}

// --- locks and notifications ---

void TCustomEditorBase::BeginUpdate() { ++updateLock_; }

void TCustomEditorBase::EndUpdate() {
  if (updateLock_ <= 0) throw EAssertionFailed(std::string(kAssertionFailure));
  if (--updateLock_ == 0) {
    FullRepaintPending = true;
    UpdateEditorSize();
    StatusChanged();
    RepaintAll();
  }
}

void TCustomEditorBase::RepaintAll() {
  if (host_ && host_->HasWindow() && updateLock_ == 0) host_->InvalidateAll();
}

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
  fontCache_.clear();
  HasSelection = false;
  ExtendingSelection = false;
  UpdateBracketMarks();
  TextModified(0, 0, {}, 0);
  UpdateEditorView();
}

void TCustomEditorBase::TextModified(int, int, std::string_view, int) {}
void TCustomEditorBase::GetAttr(int, int, int) {}
void TCustomEditorBase::ChangeAttr(int, int, int) {}
void TCustomEditorBase::ApplyBracketMarks(int, int, int) {}
void TCustomEditorBase::UpdateBracketMarks() {}

int TCustomEditorBase::GetTabStop(int x, bool next) const { return vantorel::GetTabStop(TabStops, x, next); }

void TCustomEditorBase::KeyUp(int key, ShiftState shift) {
  if (OnKeyUp) OnKeyUp(key, shift);
}

void TCustomEditorBase::MouseUp(MouseButton button, ShiftState shift, Point at) {
  if (OnMouseUp) OnMouseUp(button, shift, at);
}

// ---------------------------------------------------------------------------

TCustomEditor::TCustomEditor(WindowHost* host)
    : TCustomEditorBase(host), lines_(std::make_unique<TEditorStrings>(static_cast<TEditorStringsOwner&>(*this))) {
  lines_->OnChange = [this] {
    if (UpdateLock() == 0) TextAllChanged();
  };
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

long long TCustomEditor::GetTextLength() const {
  long long total = 0;
  for (int y = 0; y < LineCount(); ++y) total += static_cast<long long>(lines_->View(y).size()) + 2;
  return total > 0 ? total - 2 : 0;
}

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
