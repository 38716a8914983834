#include "editor/Editor.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/TabStops.h"
#include "platform/Errors.h"

namespace vantorel {

TCustomEditorBase::TCustomEditorBase(WindowHost* host) : host_(host), undo_(std::make_unique<TUndoBuffer>(*this)) {}

TCustomEditorBase::~TCustomEditorBase() = default;

void TCustomEditorBase::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  if (host_ && host_->HasWindow()) host_->RecreateWindow();
}

void TCustomEditorBase::BeginUpdate() { ++updateLock_; }

void TCustomEditorBase::EndUpdate() {
  if (updateLock_ <= 0) throw EAssertionFailed(std::string(kAssertionFailure));
  if (--updateLock_ == 0) {
    UpdateEditorSize();
    StatusChanged();
    if (host_ && host_->HasWindow()) host_->InvalidateAll();
  }
}

void TCustomEditorBase::Changed() {
  Modified = true;
  if (OnChange) OnChange();
  StatusChanged();
}

void TCustomEditorBase::StatusChanged() {
  if (OnChangeStatus) OnChangeStatus();
}

void TCustomEditorBase::TextAllChanged() {
  TextModified(0, 0, {}, 0);
  UpdateEditorView();
}

void TCustomEditorBase::TextModified(int, int, std::string_view, int) {}

void TCustomEditorBase::UpdateEditorSize() {
  // The cell grid is measured when the control paints (it needs the window's device).
}

void TCustomEditorBase::UpdateEditorView() {
  UpdateEditorSize();
  if (host_ && host_->IsShowing() && updateLock_ == 0) host_->InvalidateAll();
}

int TCustomEditorBase::GetTabStop(int x, bool next) const { return vantorel::GetTabStop(TabStops, x, next); }

void TCustomEditorBase::MeasureCells(Surface& surface) {
  surface.SetFont(Font);
  const Point ww = surface.MeasureText("WW");
  const Point w = surface.MeasureText("W");
  cellWidth_ = std::max(ww.x / 2, 1);
  cellHeight_ = std::max(w.y + 1, 1);
}

void TCustomEditorBase::Paint(Surface& surface, const Rect& clip) {
  if (updateLock_ > 0) return;
  MeasureCells(surface);
  const Rect client = host_ ? host_->ClientRect() : clip;
  surface.FillRect(Rect{0, 0, GutterWidth, client.bottom}, GutterColor);
  surface.FillRect(Rect{GutterWidth, 0, client.right, client.bottom}, BackColor);
  std::vector<int> adv(MaxLineColumns + 1, cellWidth_);
  const int firstRow = std::max(clip.top / cellHeight_, 0);
  const int lastRow = clip.bottom / cellHeight_ + 1;
  for (int row = firstRow; row <= lastRow; ++row) {
    const int y = TopLine + row;
    if (y < 0 || y >= LineCount()) break;
    std::string_view text = LineView(y);
    if (static_cast<int>(text.size()) <= LeftColumn) continue;
    text.remove_prefix(static_cast<std::size_t>(LeftColumn));
    text = text.substr(0, MaxLineColumns);
    surface.DrawTextRun(TextLeft() + 1, row * cellHeight_, text, adv.data(), Font.color, BackColor);
  }
}

void TCustomEditorBase::KeyUp(int key, ShiftState shift) {
  if (OnKeyUp) OnKeyUp(key, shift);
}

void TCustomEditorBase::MouseUp(MouseButton button, ShiftState shift, Point at) {
  if (OnMouseUp) OnMouseUp(button, shift, at);
}

// ---------------------------------------------------------------------------

TCustomEditor::TCustomEditor(WindowHost* host)
    : TCustomEditorBase(host), lines_(std::make_unique<TEditorStrings>(*this)) {
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
