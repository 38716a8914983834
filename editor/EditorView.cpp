#include "editor/EditorView.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantorel {

EditorView::EditorView(ViewClient& client, WindowHost* host)
    : client_(client), host_(host), horz_(ScrollBarKind::Horizontal, host), vert_(ScrollBarKind::Vertical, host) {
  const auto onBar = [this](bool vertical) {
    return [this, vertical](ScrollCode code, int& position) {
      // Only these move the text; the others move just the bar.
      if (code == ScrollCode::LineUp || code == ScrollCode::LineDown || code == ScrollCode::PageUp ||
          code == ScrollCode::PageDown || code == ScrollCode::ThumbTrack) {
        Scroll(vertical, position);
      }
    };
  };
  horz_.OnScroll = onBar(false);
  vert_.OnScroll = onBar(true);
  // The bars take their values before the paint, with the pixels: one gutter pixel
  // marked brings that paint, which redraws the gutter anyway.
  const auto defer = [this] {
    if (!HasWindow()) return false;
    RequestPaint(Rect{0, 0, 1, 1});
    return true;
  };
  horz_.Defer = defer;
  vert_.Defer = defer;
}

bool EditorView::HasWindow() const { return host_ && host_->HasWindow(); }

bool EditorView::CanDraw() const { return HasWindow() && !client_.PaintLocked(); }

Rect EditorView::CellRect(int column, int line) const noexcept {
  const int left = TextLeft() + 1 + column * cellWidth_;
  const int top = line * cellHeight_;
  return Rect{left, top, left + cellWidth_, top + cellHeight_};
}

void EditorView::WindowCreated() {
  const TScrollStyle bars = settings.scrollBars;
  vert_.SetHasWindow(bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth);
  horz_.SetHasWindow(bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth);
  FullRepaintPending = true;
  UpdateSize();
}

void EditorView::UpdateSize() {
  if (!host_ || !host_->HasWindow()) return;
  Surface* canvas = host_->Canvas();
  if (!canvas) return;
  canvas->SetFont(settings.font);
  fontCache_.clear();
  cellHeight_ = std::max(canvas->MeasureText("W").y + 1, 1);
  cellWidth_ = std::max(canvas->MeasureText("WW").x / 2, 1);
  std::fill(charAdvances_.begin(), charAdvances_.end(), cellWidth_);

  const Rect client = host_->ClientRect();
  visibleColumns_ = std::max(client.Width() - TextLeft(), 0) / cellWidth_;
  visibleLines_ = std::max(client.Height(), 0) / cellHeight_;

  const int lines = client_.LineCount();
  if (lines != storedLineCount_) storedLineCount_ = std::max(lines, 1);
  horz_.SetMax(MaxLineColumns - 1);
  horz_.SetPage(visibleColumns_);
  vert_.SetPage(visibleLines_);
  horz_.LargeChange = std::max(visibleColumns_, 1);
  vert_.LargeChange = std::max(visibleLines_, 1);
  vert_.SetMax(std::max(1, storedLineCount_ + visibleLines_ - 2));
  // A shorter text takes the bar's range down and its position with it; the first
  // shown line follows, or the view would show lines below what the bar says (after
  // deleting lines while scrolled far below the text).
  if (topLine_ > vert_.Position()) Scroll(true, vert_.Position());
  PaintGutter();
}

void EditorView::UpdateView() {
  UpdateSize();
  if (host_ && host_->IsShowing() && !client_.PaintLocked()) host_->InvalidateAll();
}

void EditorView::RepaintAll() {
  if (CanDraw()) host_->InvalidateAll();
}

// --- scrolling ---

void EditorView::ScrollTo(int column, int line) {
  column = std::max(column, 0);
  line = std::max(line, 0);
  if (column != leftColumn_) {
    horz_.SetPosition(column);
    Scroll(false, column);
  }
  if (line != topLine_) {
    vert_.SetPosition(line);
    Scroll(true, line);
  }
}

namespace {
// A rectangle from a range along the scrolled axis and one across it.
Rect Span(bool vertical, int from, int to, int crossFrom, int crossTo) {
  return vertical ? Rect{crossFrom, from, crossTo, to} : Rect{from, crossFrom, to, crossTo};
}
}  // namespace

void EditorView::Scroll(bool vertical, int position) {
  int& first = vertical ? topLine_ : leftColumn_;
  if (client_.PaintLocked()) {
    first = position;
    client_.Scrolled();
    return;
  }
  const int d = (first - position) * (vertical ? cellHeight_ : cellWidth_);
  first = position;
  if (HasWindow()) {
    // The position changes now; the pixels move once, before the next paint, so a
    // burst of scrolls moves them once.
    (vertical ? pendingDy_ : pendingDx_) += d;
    RequestPaint(AreaMovedBy(vertical, d).uncovered);
  }
  client_.Scrolled();
}

// The text area a scroll moves: along the axis from the top (lines) or the gutter's
// edge (columns) over the visible cells; across it the whole client area. Empty when
// a move of d leaves nothing of it on the screen.
EditorView::ScrollArea EditorView::AreaMovedBy(bool vertical, int d) const {
  const int cell = vertical ? cellHeight_ : cellWidth_;
  const Rect client = host_->ClientRect();
  const int start = vertical ? 0 : TextLeft();
  const int room = vertical ? client.Height() : std::max(client.Width() - TextLeft(), 0);
  const int cross = vertical ? client.right : client.bottom;
  if (std::abs(d) >= room) return ScrollArea{{}, {}, client};
  const int end = start + (vertical ? visibleLines_ : visibleColumns_) * cell;
  // The half-visible cell after the last whole one moves along.
  return ScrollArea{Span(vertical, start, end, 0, cross), Span(vertical, start, end + cell, 0, cross),
                    d < 0 ? Span(vertical, end + d, end + cell, 0, cross)
                          : Span(vertical, start, start + d + cell, 0, cross)};
}

void EditorView::ShiftPixels(bool vertical, int d) {
  const ScrollArea a = AreaMovedBy(vertical, d);
  if (a.area.Width() > 0) {
    host_->ScrollPixels(vertical ? 0 : d, vertical ? d : 0, a.area, a.clip);
    host_->Invalidate(a.uncovered);
  } else {
    host_->InvalidateAll();
  }
}

void EditorView::ScrollMessage(ScrollBarKind kind, ScrollCode code) {
  (kind == ScrollBarKind::Vertical ? vert_ : horz_).ScrollMessage(code);
}

// --- painting ---

void EditorView::RequestPaint(const Rect& rect) {
  if (paintRequested_) return;
  // A mark on nothing would bring no paint, and the repaints waiting for it would be lost.
  const Rect marked = rect.Width() > 0 && rect.Height() > 0 ? rect : host_->ClientRect();
  if (marked.Width() <= 0 || marked.Height() <= 0) return;
  paintRequested_ = true;
  host_->Invalidate(marked);
}

Rect EditorView::LineRect(int line) const {
  const int top = (line - topLine_) * cellHeight_;
  return Rect{TextLeft(), top, host_->ClientRect().right, top + cellHeight_};
}

void EditorView::PrepareToPaint() {
  horz_.Flush();
  vert_.Flush();
  if (!paintRequested_ || !HasWindow()) return;
  paintRequested_ = false;
  const int dx = std::exchange(pendingDx_, 0);
  const int dy = std::exchange(pendingDy_, 0);
  // Columns first, as a scroll to a point moves them first.
  if (dx != 0) ShiftPixels(false, dx);
  if (dy != 0) ShiftPixels(true, dy);
  // Marked where the lines are now, after the moves.
  for (const int line : dirtyLines_) {
    if (line >= topLine_ && line <= topLine_ + visibleLines_) host_->Invalidate(LineRect(line));
  }
  dirtyLines_.clear();
}

void EditorView::Paint(Surface& surface, const Rect& clip) {
  if (client_.PaintLocked()) return;
  PaintCaret(false);
  const int gutter = settings.gutterWidth;
  const Rect client = host_ ? host_->ClientRect() : clip;
  Rect r{clip.left - gutter, clip.top, clip.right - gutter, clip.bottom};
  if (FullRepaintPending) r = Rect{0, 0, client.Width() - gutter, client.Height()};
  const int firstColumn = r.left / cellWidth_;
  const int lastColumn = r.right / cellWidth_ + 1;
  const int firstRow = r.top / cellHeight_;
  const int lastRow = r.bottom / cellHeight_ + 1;
  for (int row = firstRow; row <= lastRow; ++row) {
    PaintLineOn(surface, topLine_ + row, leftColumn_ + firstColumn - 1, leftColumn_ + lastColumn, false);
  }
  // The margin runs the client's full height: drawn once, over the rows just painted.
  DrawRightMarginOn(surface);
  PaintCaret(true);
  PaintGutterOn(surface);
  FullRepaintPending = false;
}

void EditorView::PaintLine(int line, int /*colBeg*/, int /*colEnd*/) {
  // The whole line is marked: the paint draws whole cells of the marked rows anyway.
  if (!CanDraw() || line < topLine_ || line > topLine_ + visibleLines_) return;
  if (std::find(dirtyLines_.begin(), dirtyLines_.end(), line) == dirtyLines_.end()) dirtyLines_.push_back(line);
  RequestPaint(LineRect(line));
}

void EditorView::PaintLineOn(Surface& surface, int line, int colBeg, int colEnd, bool margin) {
  if (line < topLine_ || line > topLine_ + visibleLines_) return;
  colBeg = std::max(colBeg, leftColumn_);
  if (colEnd < 0 || colEnd > leftColumn_ + visibleColumns_) colEnd = leftColumn_ + visibleColumns_;
  // colEnd is the first column not asked for; column 1023, the last one, is painted
  // too when it differs from the one before it.
  colEnd = std::min(colEnd, MaxLineColumns);
  int painted = colBeg;
  const int top = (line - topLine_) * cellHeight_;
  if (line < 0 || line >= client_.LineCount()) {
    surface.FillRect(Rect{TextLeft(), top, TextLeft() + 1, top + cellHeight_}, settings.backColor);
  } else {
    PaintLineText(surface, line, colBeg, painted, colEnd);
  }
  const Selection& block = client_.Block();
  const bool selectedBreak = block.HasBlock() && block.Format() != TSelBlockFormat::bfColumn &&
                             block.Begin().y <= line && line < block.End().y;
  const int cells = leftColumn_ + visibleColumns_ - painted + 2;
  if (cells > 0) {
    const int left = CellLeft(painted);
    surface.FillRect(Rect{left, top, left + cells * cellWidth_, top + cellHeight_},
                     selectedBreak ? settings.selBackColor : settings.backColor);
  }
  if (margin) DrawRightMarginOn(surface);
}

namespace {

// One bit a column, from a line's first painted column: set where a run of equal
// attributes ends. Columns 0 to 1023 fit in 16 words.
using RunEnds = std::array<std::uint64_t, MaxLineColumns / 64>;

// Marks the columns first to last - 1 that differ from the column after them, and
// column last, which ends a run whatever follows it (first <= last <= 1023).
// Finding the ends in one pass over the columns, rather than a compare loop per run,
// leaves the run loop without a branch the processor must guess per column.
void MarkRunEnds(const TLineAttrs& attrs, int first, int last, RunEnds& ends) noexcept {
  const int count = last - first;
  int column = first;
#if defined(__SSE2__)
  // Sixteen columns at a time: each record compared bytewise with the next one, the
  // padding bytes forced equal, then the sixteen results packed down to one byte each
  // (a byte is 0xFF only when every byte under it was 0xFF; a packed byte can also be
  // 0x80, so it is compared with 0xFF before its sign bit is read). The last group may
  // read records beyond last, never beyond the buffer.
  const auto* bytes = reinterpret_cast<const char*>(attrs.data());
  const __m128i padding = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0, 0);
  const auto equal = [&](int c) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * (c + 1)));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * (c + 2)));
    return _mm_or_si128(_mm_cmpeq_epi8(a, b), padding);
  };
  const auto pair = [&](int c) { return _mm_packs_epi16(equal(c), equal(c + 1)); };
  const auto quad = [&](int c) { return _mm_packs_epi16(pair(c), pair(c + 2)); };
  const auto octet = [&](int c) { return _mm_packs_epi16(quad(c), quad(c + 4)); };
  for (; column < last && column + 17 <= MaxLineColumns; column += 16) {
    const __m128i packed = _mm_packs_epi16(octet(column), octet(column + 8));
    const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(packed, _mm_set1_epi8(-1))));
    const int bit = column - first;
    ends[static_cast<std::size_t>(bit >> 6)] |= static_cast<std::uint64_t>(~same & 0xFFFFu) << (bit & 63);
  }
#endif
  for (; column < last; ++column) {
    if (!(attrs[static_cast<std::size_t>(column + 1)] == attrs[static_cast<std::size_t>(column + 2)])) {
      const int bit = column - first;
      ends[static_cast<std::size_t>(bit >> 6)] |= std::uint64_t{1} << (bit & 63);
    }
  }
  // What a last group marked beyond last is not part of the line.
  const auto word = static_cast<std::size_t>(count >> 6);
  const std::uint64_t below = (std::uint64_t{1} << (count & 63)) - 1;
  ends[word] = (ends[word] & below) | (below + 1);
}

// The first run end at or after bit (there is one: the last column is marked).
int NextRunEnd(const RunEnds& ends, int bit) noexcept {
  auto word = static_cast<std::size_t>(bit >> 6);
  std::uint64_t rest = ends[word] >> (bit & 63);
  if (rest != 0) return bit + std::countr_zero(rest);
  do {
    rest = ends[++word];
  } while (rest == 0);
  return static_cast<int>(word * 64) + std::countr_zero(rest);
}

// Blanks for runs that lie wholly beyond a line's end.
constexpr std::array<char, MaxLineColumns> MakeBlanks() noexcept {
  std::array<char, MaxLineColumns> blanks{};
  blanks.fill(' ');
  return blanks;
}
constexpr std::array<char, MaxLineColumns> kBlanks = MakeBlanks();

}  // namespace

void EditorView::PaintLineText(Surface& surface, int line, int colBeg, int& painted, int colEnd) {
  const std::string_view text = client_.LineView(line);
  GetLineAttr(line, colBeg, colEnd);
  const int top = (line - topLine_) * cellHeight_;
  const Color edge = lineAttrs_[static_cast<std::size_t>(std::clamp(leftColumn_, 0, MaxLineColumns - 1) + 1)].BackColor;
  surface.FillRect(Rect{TextLeft(), top, TextLeft() + 1, top + cellHeight_}, edge);
  if (painted >= colEnd) return;
  // A run stops at colEnd or at the last column, 1023, whatever follows it.
  const int first = painted;
  RunEnds ends{};
  MarkRunEnds(lineAttrs_, first, std::min(colEnd, MaxLineColumns - 1), ends);
  // The values the loop reads, held in locals: the surface's calls could change any
  // member as far as the compiler knows, so members would be read again every run.
  const int bottom = top + cellHeight_;
  const int cell = cellWidth_;
  const int* const advances = charAdvances_.data();
  const TLineAttr* const attrs = lineAttrs_.data();
  int left = CellLeft(painted);
  // The font the surface has within this line and the one before it: neighbouring
  // runs mostly differ in their background or frame only, or alternate two fonts.
  struct UsedFont {
    Color color;
    FontStyle style;
    int index;
  };
  UsedFont current{Color{}, FontStyle::None, -1};
  UsedFont previous{Color{}, FontStyle::None, -1};
  int column = painted;
  while (column < colEnd) {
    const TLineAttr& a = attrs[column + 1];
    const int last = first + NextRunEnd(ends, column - first);
    // The run's bytes: a view into the line where it has them, blanks beyond its end.
    const auto from = static_cast<std::size_t>(column);
    const auto count = static_cast<std::size_t>(last - column + 1);
    std::string_view run;
    if (from + count <= text.size()) {
      run = text.substr(from, count);
    } else if (from >= text.size()) {
      run = std::string_view(kBlanks.data(), count);
    } else {
      runText_.assign(text.substr(from));
      runText_.append(from + count - text.size(), ' ');
      run = runText_;
    }
    const int right = left + static_cast<int>(count) * cell;
    if (current.index < 0 || a.ForeColor != current.color || a.Style != current.style) {
      int font;
      if (previous.index >= 0 && a.ForeColor == previous.color && a.Style == previous.style) {
        font = previous.index;
      } else {
        font = CachedFont(a.ForeColor, a.Style);
      }
      if (font != current.index) surface.SetFont(fontCache_[static_cast<std::size_t>(font)]);
      previous = current;
      current = UsedFont{a.ForeColor, a.Style, font};
    }
    // The opaque box covers the whole row, the pixel below the text too.
    surface.DrawTextRun(left, top, run, advances, a.ForeColor, a.BackColor, bottom - top);
    if (a.BorderColor != clNone) surface.DrawFrame(Rect{left - 1, top, right, bottom}, a.BorderColor);
    column = last + 1;
    left = right;
  }
  painted = column;
}

int EditorView::CachedFont(Color color, FontStyle style) {
  // Each colour and style remembers where it was found; the remembered index is
  // checked against the cache, which is emptied when the control's font changes.
  const auto matches = [&](const FontDesc& f) { return f.color == color && f.style == style; };
  const std::uint32_t key = color.value ^ (static_cast<std::uint32_t>(style) << 5);
  std::uint32_t& slot = fontSlots_[(key ^ (key >> 8) ^ (key >> 16) ^ (key >> 24)) % fontSlots_.size()];
  if (slot < fontCache_.size() && matches(fontCache_[slot])) return static_cast<int>(slot);
  std::size_t found = 0;
  while (found < fontCache_.size() && !matches(fontCache_[found])) ++found;
  if (found == fontCache_.size()) {
    FontDesc f = settings.font;
    f.color = color;
    f.style = style;
    fontCache_.push_back(f);
  }
  slot = static_cast<std::uint32_t>(found);
  return static_cast<int>(found);
}

void EditorView::GetLineAttr(int line, int colBeg, int colEnd) {
  colBeg = std::max(colBeg, 0);
  colEnd = std::min(colEnd, MaxLineColumns);
  const TLineAttr plain{settings.font.color, settings.backColor, settings.font.style, clNone};
  if (colBeg <= colEnd && colBeg + 1 <= MaxLineColumns && !client_.DecorationFillsLine(line)) {
    FillLineAttrs(lineAttrs_.data() + colBeg + 1, lineAttrs_.data() + std::min(colEnd, MaxLineColumns - 1) + 2, plain);
  }
  client_.DecorateLine(line, colBeg, colEnd);
  ApplySelection(line, colBeg, colEnd);
  client_.FinishLine(line, colBeg, colEnd);
}

void EditorView::ApplySelection(int line, int colBeg, int colEnd) {
  const Selection& block = client_.Block();
  const TextPoint b = block.Begin();
  const TextPoint e = block.End();
  if (!block.HasBlock() || line < b.y || line > e.y) return;
  int from;
  int to;
  const int lastOfEnd = block.Format() == TSelBlockFormat::bfInclusive ? e.x : e.x - 1;
  if (block.Format() == TSelBlockFormat::bfColumn) {
    from = b.x;
    to = e.x;
  } else if (b.y == e.y) {
    from = b.x;
    to = lastOfEnd;
  } else if (line == b.y) {
    from = b.x;
    to = colEnd;
  } else if (line == e.y) {
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
    a.ForeColor = settings.selForeColor;
    a.BackColor = settings.selBackColor;
    a.BorderColor = clNone;
  }
}

void EditorView::PaintGutter() {
  // Every paint ends with the whole gutter.
  if (CanDraw()) RequestPaint(Rect{0, 0, settings.gutterWidth + 2, host_->ClientRect().bottom});
}

void EditorView::PaintGutterOn(Surface& surface) {
  const int width = settings.gutterWidth;
  const int height = host_ ? host_->ClientRect().Height() : 0;
  surface.FillRect(Rect{0, 0, width, height}, settings.gutterColor);
  surface.DrawLine(Point{width - 2, 0}, Point{width - 2, height}, settings.backColor, 1);
  surface.DrawLine(Point{width + 1, 0}, Point{width + 1, height}, settings.backColor, 2);
  surface.DrawLine(Point{width - 1, 0}, Point{width - 1, height}, clGray, 1);
  client_.GutterPainted(surface);
}

void EditorView::DrawRightMargin() {
  const int margin = settings.rightMargin;
  if (!CanDraw() || !settings.rightMarginVisible || leftColumn_ >= margin || margin >= LastVisibleColumn() + 3) return;
  const int x = CellLeft(margin);
  host_->Invalidate(Rect{x, 0, x + 1, host_->ClientRect().Height()});
}

void EditorView::DrawRightMarginOn(Surface& surface) {
  const int margin = settings.rightMargin;
  if (!settings.rightMarginVisible || leftColumn_ >= margin || margin >= LastVisibleColumn() + 3) return;
  const int x = CellLeft(margin);
  const int height = host_ ? host_->ClientRect().Height() : 0;
  surface.DrawLine(Point{x, 0}, Point{x, height}, settings.rightMarginColor, 1);
}

// --- caret ---

Point EditorView::CaretPixel() const {
  const TextPoint caret = client_.CaretAt();
  const Rect r = CellRect(caret.x - leftColumn_, caret.y - topLine_);
  return r.left < 0 || r.left < settings.gutterWidth ? kCaretOutOfSight : Point{r.left - 1, r.top + 1};
}

void EditorView::PaintCaret(bool show) {
  if (settings.hideCaret || !HasWindow()) return;
  if (!show) {
    host_->HideCaret();
    return;
  }
  if (!host_->Focused()) return;
  host_->SetCaretPos(CaretPixel());
  host_->ShowCaret();
}

void EditorView::PlaceCaret() {
  // A paint on its way places the caret when it ends.
  if (paintRequested_) return;
  if (HasWindow() && host_->Focused()) host_->SetCaretPos(CaretPixel());
}

void EditorView::CreateCaret() {
  if (!host_) return;
  host_->CreateCaret(2, cellHeight_ - 2);
  PaintCaret(true);
}

}  // namespace vantorel
