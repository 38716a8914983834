// The editor's view: the cell grid, scrolling, painting lines as runs of equal
// attributes, the gutter, the right margin and the caret.
#include <algorithm>
#include <cstdlib>

#include "editor/Editor.h"

namespace vantorel {

Rect TCustomEditorBase::CellRect(int column, int line) const noexcept {
  const int left = TextLeft() + 1 + column * cellWidth_;
  const int top = line * cellHeight_;
  return Rect{left, top, left + cellWidth_, top + cellHeight_};
}

void TCustomEditorBase::WindowCreated() {
  const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
  const bool horizontal = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
  vert_.SetHasWindow(vertical);
  horz_.SetHasWindow(horizontal);
  FullRepaintPending = true;
  UpdateEditorSize();
}

void TCustomEditorBase::UpdateEditorSize() {
  if (!host_ || !host_->HasWindow()) return;
  Surface* canvas = host_->Canvas();
  if (!canvas) return;
  canvas->SetFont(font_);
  fontCache_.clear();
  cellHeight_ = std::max(canvas->MeasureText("W").y + 1, 1);
  cellWidth_ = std::max(canvas->MeasureText("WW").x / 2, 1);
  std::fill(charAdvances_.begin(), charAdvances_.end(), cellWidth_);

  const Rect client = host_->ClientRect();
  visibleColumns_ = std::max(client.Width() - TextLeft(), 0) / cellWidth_;
  visibleLines_ = std::max(client.Height(), 0) / cellHeight_;

  if (LineCount() != storedLineCount_) storedLineCount_ = std::max(LineCount(), 1);
  horz_.SetMax(MaxLineColumns - 1);
  horz_.SetPage(visibleColumns_);
  vert_.SetPage(visibleLines_);
  horz_.LargeChange = std::max(visibleColumns_, 1);
  vert_.LargeChange = std::max(visibleLines_, 1);
  vert_.SetMax(std::max(1, storedLineCount_ + visibleLines_ - 2));
  PaintGutter();
}

void TCustomEditorBase::UpdateEditorView() {
  UpdateEditorSize();
  if (host_ && host_->IsShowing() && updateLock_ == 0) host_->InvalidateAll();
}

// --- scrolling ---

void TCustomEditorBase::ScrollTo(int column, int line) {
  column = std::max(column, 0);
  line = std::max(line, 0);
  if (column != LeftColumn) {
    horz_.SetPosition(column);
    Scroll(false, column);
  }
  if (line != TopLine) {
    vert_.SetPosition(line);
    Scroll(true, line);
  }
}

void TCustomEditorBase::Scroll(bool vertical, int position) {
  if (updateLock_ > 0) {
    (vertical ? TopLine : LeftColumn) = position;
    return;
  }
  PaintCaret(false);
  const Rect client = host_ ? host_->ClientRect() : Rect{};
  if (vertical) {
    const int d = (TopLine - position) * cellHeight_;
    TopLine = position;
    if (host_ && host_->HasWindow()) {
      if (std::abs(d) < client.Height()) {
        const Rect area{0, 0, client.right, visibleLines_ * cellHeight_};
        const Rect clip{area.left, area.top, area.right, area.bottom + cellHeight_};
        host_->ScrollPixels(0, d, area, clip);
        const Rect strip = d < 0 ? Rect{0, area.bottom + d, client.right, area.bottom + cellHeight_}
                                 : Rect{0, 0, client.right, d + cellHeight_};
        host_->Invalidate(strip);
      } else {
        host_->InvalidateAll();
      }
    }
  } else {
    const int d = (LeftColumn - position) * cellWidth_;
    LeftColumn = position;
    if (host_ && host_->HasWindow()) {
      if (std::abs(d) < std::max(client.Width() - TextLeft(), 0)) {
        const Rect area{TextLeft(), 0, TextLeft() + visibleColumns_ * cellWidth_, client.bottom};
        const Rect clip{area.left, area.top, area.right + cellWidth_, area.bottom};
        host_->ScrollPixels(d, 0, area, clip);
        const Rect strip = d < 0 ? Rect{area.right + d, 0, area.right + cellWidth_, client.bottom}
                                 : Rect{area.left, 0, area.left + d + cellWidth_, client.bottom};
        host_->Invalidate(strip);
      } else {
        host_->InvalidateAll();
      }
    }
  }
  if (host_ && host_->HasWindow()) host_->UpdateNow();
  DrawRightMargin();
  PaintCaret(true);
  if (OnScroll) OnScroll();
}

void TCustomEditorBase::ScrollMessage(ScrollBarKind kind, ScrollCode code) {
  (kind == ScrollBarKind::Vertical ? vert_ : horz_).ScrollMessage(code);
}

// --- painting ---

void TCustomEditorBase::Paint(Surface& surface, const Rect& clip) {
  if (updateLock_ > 0) return;
  PaintCaret(false);
  const Rect client = host_ ? host_->ClientRect() : clip;
  Rect r{clip.left - gutterWidth_, clip.top, clip.right - gutterWidth_, clip.bottom};
  if (FullRepaintPending) r = Rect{0, 0, client.Width() - gutterWidth_, client.Height()};
  const int firstColumn = r.left / cellWidth_;
  const int lastColumn = r.right / cellWidth_ + 1;
  const int firstRow = r.top / cellHeight_;
  const int lastRow = r.bottom / cellHeight_ + 1;
  for (int row = firstRow; row <= lastRow; ++row) {
    PaintLineOn(surface, TopLine + row, LeftColumn + firstColumn - 1, LeftColumn + lastColumn);
  }
  PaintCaret(true);
  PaintGutter();
  FullRepaintPending = false;
}

void TCustomEditorBase::PaintLine(int line, int colBeg, int colEnd) {
  if (updateLock_ > 0 || !host_) return;
  if (Surface* canvas = host_->Canvas()) {
    PaintCaret(false);
    PaintLineOn(*canvas, line, colBeg, colEnd);
    PaintCaret(true);
  }
}

void TCustomEditorBase::PaintLineOn(Surface& surface, int line, int colBeg, int colEnd) {
  if (line < TopLine || line > TopLine + visibleLines_) return;
  colBeg = std::max(colBeg, LeftColumn);
  if (colEnd < 0 || colEnd > LeftColumn + visibleColumns_) colEnd = LeftColumn + visibleColumns_;
  colEnd = std::min(colEnd, MaxLineColumns - 1);
  int painted = colBeg;
  const int top = (line - TopLine) * cellHeight_;
  if (line < 0 || line >= LineCount()) {
    surface.FillRect(Rect{TextLeft(), top, TextLeft() + 1, top + cellHeight_}, BackColor);
  } else {
    PaintLineText(surface, line, colBeg, painted, colEnd);
  }
  const bool selectedBreak = HasSelection && SelBlockFormat != TSelBlockFormat::bfColumn && SelBeginY <= line &&
                             line < SelEndY;
  const int cells = LeftColumn + visibleColumns_ - painted + 2;
  if (cells > 0) {
    const int left = CellLeft(painted);
    surface.FillRect(Rect{left, top, left + cells * cellWidth_, top + cellHeight_},
                     selectedBreak ? selBackColor_ : BackColor);
  }
  DrawRightMarginOn(surface);
}

void TCustomEditorBase::PaintLineText(Surface& surface, int line, int colBeg, int& painted, int colEnd) {
  const std::string_view text = LineView(line);
  GetLineAttr(line, colBeg, colEnd);
  const int top = (line - TopLine) * cellHeight_;
  const Color edge = lineAttrs_[static_cast<std::size_t>(std::clamp(LeftColumn, 0, MaxLineColumns - 1) + 1)].BackColor;
  surface.FillRect(Rect{TextLeft(), top, TextLeft() + 1, top + cellHeight_}, edge);
  while (painted < colEnd) {
    const TLineAttr& a = lineAttrs_[static_cast<std::size_t>(painted + 1)];
    int last = painted;
    while (last < colEnd && lineAttrs_[static_cast<std::size_t>(last + 2)] == a) ++last;
    runText_.clear();
    for (int column = painted; column <= last; ++column) {
      runText_ += static_cast<std::size_t>(column) < text.size() ? text[static_cast<std::size_t>(column)] : ' ';
    }
    const int left = CellLeft(painted);
    const int right = CellLeft(last + 1);
    surface.SetFont(CachedFont(a.ForeColor, a.Style));
    surface.FillRect(Rect{left, top + cellHeight_ - 1, right, top + cellHeight_}, a.BackColor);
    surface.DrawTextRun(left, top, runText_, charAdvances_.data(), a.ForeColor, a.BackColor);
    if (a.BorderColor != clNone) surface.DrawFrame(Rect{left - 1, top, right, top + cellHeight_}, a.BorderColor);
    painted = last + 1;
  }
}

const FontDesc& TCustomEditorBase::CachedFont(Color color, FontStyle style) {
  for (const FontDesc& f : fontCache_) {
    if (f.color == color && f.style == style) return f;
  }
  FontDesc f = font_;
  f.color = color;
  f.style = style;
  fontCache_.push_back(f);
  return fontCache_.back();
}

void TCustomEditorBase::GetLineAttr(int line, int colBeg, int colEnd) {
  colBeg = std::max(colBeg, 0);
  colEnd = std::min(colEnd, MaxLineColumns);
  const TLineAttr plain{font_.color, BackColor, font_.style, clNone};
  for (int column = colBeg; column <= colEnd && column + 1 <= MaxLineColumns; ++column) {
    lineAttrs_[static_cast<std::size_t>(column + 1)] = plain;
  }
  GetAttr(line, colBeg, colEnd);
  ApplyBracketMarks(line, colBeg, colEnd);
  if (OnGetLineAttr) {
    std::string text(LineView(line));
    OnGetLineAttr(text, line, lineAttrs_);
  }
  ApplySelection(line, colBeg, colEnd);
  ChangeAttr(line, colBeg, colEnd);
}

void TCustomEditorBase::ApplySelection(int line, int colBeg, int colEnd) {
  if (!HasSelection || line < SelBeginY || line > SelEndY) return;
  int from;
  int to;
  const int lastOfEnd = SelBlockFormat == TSelBlockFormat::bfInclusive ? SelEndX : SelEndX - 1;
  if (SelBlockFormat == TSelBlockFormat::bfColumn) {
    from = SelBeginX;
    to = SelEndX;
  } else if (SelBeginY == SelEndY) {
    from = SelBeginX;
    to = lastOfEnd;
  } else if (line == SelBeginY) {
    from = SelBeginX;
    to = colEnd;
  } else if (line == SelEndY) {
    from = colBeg;
    to = lastOfEnd;
  } else {
    from = colBeg;
    to = colEnd;
  }
  from = std::max(from, colBeg);
  to = std::min({to, colEnd, MaxLineColumns - 1});
  for (int column = from; column <= to; ++column) {
    TLineAttr& a = lineAttrs_[static_cast<std::size_t>(column + 1)];
    a.ForeColor = selForeColor_;
    a.BackColor = selBackColor_;
    a.BorderColor = clNone;
  }
}

void TCustomEditorBase::PaintGutter() {
  if (!host_ || !host_->HasWindow() || updateLock_ > 0) return;
  Surface* canvas = host_->Canvas();
  if (!canvas) return;
  const int height = host_->ClientRect().Height();
  canvas->FillRect(Rect{0, 0, gutterWidth_, height}, gutterColor_);
  canvas->DrawLine(Point{gutterWidth_ - 2, 0}, Point{gutterWidth_ - 2, height}, BackColor, 1);
  canvas->DrawLine(Point{gutterWidth_ + 1, 0}, Point{gutterWidth_ + 1, height}, BackColor, 2);
  canvas->DrawLine(Point{gutterWidth_ - 1, 0}, Point{gutterWidth_ - 1, height}, clGray, 1);
  if (OnPaintGutter) OnPaintGutter(*canvas);
}

void TCustomEditorBase::DrawRightMargin() {
  if (!host_ || !host_->HasWindow() || updateLock_ > 0) return;
  if (Surface* canvas = host_->Canvas()) DrawRightMarginOn(*canvas);
}

void TCustomEditorBase::DrawRightMarginOn(Surface& surface) {
  if (!rightMarginVisible_ || LeftColumn >= rightMargin_ || rightMargin_ >= LastVisibleColumn() + 3) return;
  const int x = CellLeft(rightMargin_);
  const int height = host_ ? host_->ClientRect().Height() : 0;
  surface.DrawLine(Point{x, 0}, Point{x, height}, rightMarginColor_, 1);
}

// --- caret ---

void TCustomEditorBase::PaintCaret(bool show) {
  if (HideCaret || !host_ || !host_->HasWindow()) return;
  if (!show) {
    host_->HideCaret();
    return;
  }
  if (!host_->Focused()) return;
  const Rect r = CellRect(CaretX - LeftColumn, CaretY - TopLine);
  host_->SetCaretPos(r.left < 0 || r.left < gutterWidth_ ? kCaretOutOfSight : Point{r.left - 1, r.top + 1});
  host_->ShowCaret();
}

void TCustomEditorBase::FocusReceived() {
  if (!host_) return;
  host_->CreateCaret(2, cellHeight_ - 2);
  PaintCaret(true);
}

void TCustomEditorBase::FocusLost() {
  if (host_) host_->DestroyCaret();
}

}  // namespace vantorel
