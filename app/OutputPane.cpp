#include "app/OutputPane.h"

#include <algorithm>

namespace vantorel {

void TOutputLines::Clear() {
  lines_.clear();
  first_ = 0;
  selected_ = -1;
}

int TOutputLines::Add(OutputLine line) {
  lines_.push_back(std::move(line));
  if (lines_.size() <= kMaxLines) return 0;
  lines_.pop_front();
  ++first_;
  return 1;
}

int TOutputLines::Selected() const noexcept {
  return selected_ >= first_ ? static_cast<int>(selected_ - first_) : -1;
}

void TOutputLines::Select(int index) noexcept { selected_ = index >= 0 && index < Count() ? first_ + index : -1; }

int TOutputLines::NextMessage(bool forward) const noexcept {
  const int from = Selected();
  if (forward) {
    for (int i = from + 1; i < Count(); ++i)
      if (lines_[static_cast<std::size_t>(i)].IsMessage()) return i;
  } else {
    for (int i = (from < 0 ? Count() : from) - 1; i >= 0; --i)
      if (lines_[static_cast<std::size_t>(i)].IsMessage()) return i;
  }
  return -1;
}

namespace {

// The line with its tabs laid out, still in its own encoding: a tab is one byte in
// either, and a character is a byte of the ANSI page or a UTF-8 sequence of a note.
ShownPaneLine LayOutTabs(const PaneLine& line) {
  ShownPaneLine shown;
  shown.text.reserve(line.text.size());
  for (const char c : line.text) {
    if (c == '\t') {
      const int spaces = kPaneTabWidth - shown.columns % kPaneTabWidth;
      shown.text.append(static_cast<std::size_t>(spaces), ' ');
      shown.columns += spaces;
      continue;
    }
    shown.text += c;
    // A UTF-8 character is counted at its first byte, not at the bytes that continue it.
    if (!line.utf8 || (static_cast<unsigned char>(c) & 0xC0) != 0x80) ++shown.columns;
  }
  return shown;
}

}  // namespace

int PaneLineColumns(const PaneLine& line) { return LayOutTabs(line).columns; }

ShownPaneLine ShowPaneLine(const PaneLine& line, CodePages& codePages) {
  ShownPaneLine shown = LayOutTabs(line);
  if (!line.utf8) shown.text = codePages.Utf8FromAnsi(shown.text);
  shown.color = line.kind == PaneLineKind::Error     ? kErrorLineColor
                : line.kind == PaneLineKind::Warning ? kWarningLineColor
                                                     : clNone;
  return shown;
}

PanePlace PaneScrollAfter(int shown, int dropped, int count, int top, int rows) {
  const int kept = shown - dropped;
  const bool fresh = count < kept || kept <= 0;
  const bool atEnd = fresh || top + rows >= shown;
  return PanePlace{atEnd ? std::max(0, count - rows) : std::max(0, top - dropped), fresh};
}

int PaneHeightFor(int wanted, int lineHeight, int frameHeight, int space) {
  lineHeight = std::max(lineHeight, 1);
  const int most = static_cast<int>(std::max(space, 0) * kPaneShareMax);
  const int least = std::min(kPaneLinesMin * lineHeight + frameHeight, most);
  if (wanted <= 0) wanted = kPaneLines * lineHeight + frameHeight;
  return std::clamp(wanted, least, most);
}


// --- the pane's list ---

TOutputPane::TOutputPane(PaneWindow& window, TOutputLines& lines, CodePages& codePages, OutputPaneOwner& owner)
    : window_(window), lines_(lines), codePages_(codePages), owner_(owner) {
  window_.SetClient(this);
  UpdateBars();
}

TOutputPane::~TOutputPane() { window_.SetClient(nullptr); }

PaneLine TOutputPane::Line(int index) const {
  const OutputLine& line = lines_[index];
  return PaneLine{line.text, line.utf8, line.kind};
}

ShownPaneLine TOutputPane::Shown(int index) const { return ShowPaneLine(Line(index), codePages_); }

int TOutputPane::Rows() const {
  return std::max(1, (window_.ClientRect().bottom - ListTop()) / std::max(lineHeight_, 1));
}

Rect TOutputPane::RowRect(int index) const {
  const int top = ListTop() + (index - top_) * lineHeight_;
  return Rect{0, top, window_.ClientRect().right, top + lineHeight_};
}

int TOutputPane::TextWidth() const noexcept { return widest_ * charWidth_ + 2 * kPaneTextIndent; }

Rect TOutputPane::CloseMark() const {
  const int right = window_.ClientRect().right - 2;
  const int top = (kPaneBarHeight - kPaneCloseMarkSize) / 2;
  return Rect{right - kPaneCloseMarkSize, top, right, top + kPaneCloseMarkSize};
}

int TOutputPane::LineAt(Point at) const {
  if (at.y < ListTop() || !window_.ClientRect().Contains(at)) return -1;
  const int index = top_ + (at.y - ListTop()) / std::max(lineHeight_, 1);
  return index < lines_.Count() ? index : -1;
}

void TOutputPane::SetFont(const FontDesc& font) {
  font_ = font;
  // A font the system could not measure keeps the pane usable at the cell it had.
  if (const std::optional<Point> cell = window_.FontCell(font)) {
    lineHeight_ = std::max(cell->y, 1);
    charWidth_ = std::max(cell->x, 1);
  }
  PaneSized();
}

void TOutputPane::LinesChanged(int dropped) {
  const int count = lines_.Count();
  const PanePlace scroll = PaneScrollAfter(shownCount_, dropped, count, top_, Rows());
  if (scroll.fresh) {
    widest_ = 0;
    left_ = 0;
  }
  for (int i = scroll.fresh ? 0 : std::max(shownCount_ - dropped, 0); i < count; ++i) {
    widest_ = std::max(widest_, PaneLineColumns(Line(i)));
  }
  shownCount_ = count;
  top_ = scroll.top;
  SetTop(top_);
  UpdateBars();
  window_.InvalidateAll();
}

void TOutputPane::ShowSelection() {
  const int selected = lines_.Selected();
  if (selected >= 0 && selected < top_) SetTop(selected);
  if (selected >= top_ + Rows()) SetTop(selected - Rows() + 1);
  window_.InvalidateAll();
}

void TOutputPane::SetTop(int top) { MoveTo(top_, top, lines_.Count() - Rows()); }

void TOutputPane::SetLeft(int left) { MoveTo(left_, left, TextWidth() - window_.ClientRect().Width()); }

void TOutputPane::MoveTo(int& position, int to, int most) {
  to = std::clamp(to, 0, std::max(most, 0));
  if (to == position) return;
  position = to;
  UpdateBars();
  window_.InvalidateAll();
}

void TOutputPane::Select(int index) {
  if (index == lines_.Selected()) return;
  lines_.Select(index);
  ShowSelection();
}

void TOutputPane::UpdateBars() {
  // A system bar that comes or goes resizes the window, which asks for the bars again
  // from inside this call: that request is taken up here, with the new size.
  if (updatingBars_) {
    barsStale_ = true;
    return;
  }
  updatingBars_ = true;
  // Each round can only show or hide a bar; two rounds settle both, the others are
  // a guard against a window that keeps changing size.
  for (int round = 0; round < 4; ++round) {
    barsStale_ = false;
    const Bars bars{lines_.Count(), Rows(), top_, TextWidth(), window_.ClientRect().Width(), left_};
    if (bars_ == bars) break;
    bars_ = bars;
    window_.SetScrollBar(ScrollBarKind::Vertical, 0, std::max(bars.count - 1, 0), bars.rows, bars.top);
    window_.SetScrollBar(ScrollBarKind::Horizontal, 0, std::max(bars.width - 1, 0), std::max(bars.page, 1),
                         bars.left);
    if (!barsStale_) break;
  }
  updatingBars_ = false;
}

void TOutputPane::PaneSized() {
  // The system bars are told again: a new window's bars have the system's values.
  bars_.reset();
  SetTop(top_);
  SetLeft(left_);
  UpdateBars();
  window_.InvalidateAll();
}

void TOutputPane::PanePaint(Surface& surface, const Rect& clip) {
  const Rect client = window_.ClientRect();
  const auto meets = [&](const Rect& r) {
    return r.left < clip.right && clip.left < r.right && r.top < clip.bottom && clip.top < r.bottom;
  };
  const Rect bar{0, 0, client.right, kPaneBarHeight};
  if (meets(bar)) {
    surface.FillRect(bar, clBtnFace);
    // A raised groove across the bar, as a splitter's grip.
    const Rect mark = CloseMark();
    const int y = kPaneBarHeight / 2 - 1;
    surface.DrawLine(Point{2, y}, Point{std::max(mark.left - 4, 2), y}, clBtnHighlight, 1);
    surface.DrawLine(Point{2, y + 1}, Point{std::max(mark.left - 4, 2), y + 1}, clBtnShadow, 1);
    // The close mark: a cross of two strokes, drawn whatever symbol fonts the system has.
    surface.DrawLine(Point{mark.left + 3, mark.top + 3}, Point{mark.right - 3, mark.bottom - 3}, clBtnText, 2);
    surface.DrawLine(Point{mark.right - 4, mark.top + 3}, Point{mark.left + 2, mark.bottom - 3}, clBtnText, 2);
  }
  surface.DrawLine(Point{0, kPaneBarHeight}, Point{client.right, kPaneBarHeight}, clBtnShadow, 1);
  surface.SetFont(font_);
  const bool focused = window_.Focused();
  const int selected = lines_.Selected();
  for (int index = top_; RowRect(index).top < client.bottom; ++index) {
    const Rect row = RowRect(index);
    if (!meets(row)) continue;
    if (index >= lines_.Count()) {
      surface.FillRect(Rect{0, row.top, client.right, client.bottom}, clWindow);
      break;
    }
    const bool chosen = index == selected;
    const ShownPaneLine line = Shown(index);
    const Color fore = chosen ? clHighlightText : line.color != clNone ? line.color : clWindowText;
    surface.FillRect(row, chosen ? clHighlight : clWindow);
    const Rect text{kPaneTextIndent - left_, row.top, std::max(client.right, kPaneTextIndent - left_ + TextWidth()),
                    row.bottom};
    surface.DrawFormattedText(text, line.text, fore, textformat::SingleLine | textformat::NoPrefix);
    if (focused && chosen) surface.DrawFrame(row, clHighlightText);
  }
  // With no line chosen, the focus shows on the first line shown.
  if (focused && selected < 0) surface.DrawFrame(RowRect(top_), clGray);
}

void TOutputPane::PaneMouseDown(MouseButton button, Point at) {
  if (button != MouseButton::Left) return;
  if (InBar(at)) {
    if (CloseMark().Contains(at)) {
      owner_.PaneClosed();
      return;
    }
    const Point origin = window_.ClientOrigin();
    drag_.emplace(origin.y + at.y, window_.ClientRect().Height());
    window_.CaptureMouse();
    return;
  }
  window_.TakeFocus();
  const int index = LineAt(at);
  if (index >= 0) Select(index);
  choosing_ = true;
  window_.CaptureMouse();
}

void TOutputPane::PaneDoubleClick(MouseButton button, Point at) {
  if (button != MouseButton::Left) return;
  if (InBar(at)) {
    PaneMouseDown(button, at);
    return;
  }
  const int index = LineAt(at);
  if (index < 0) return;
  Select(index);
  owner_.LineOpened(index);
}

void TOutputPane::PaneMouseMove(bool leftHeld, Point at) {
  if (drag_) {
    const int screenY = window_.ClientOrigin().y + at.y;
    owner_.PaneDragged(drag_->second - (screenY - drag_->first));
    return;
  }
  if (!choosing_ || !leftHeld || lines_.Count() == 0) return;
  // Held beyond the list, the choice stops at its first or last line shown.
  const int last = std::min(top_ + Rows(), lines_.Count()) - 1;
  Select(std::clamp(top_ + (at.y - ListTop()) / std::max(lineHeight_, 1), top_, std::max(last, top_)));
}

void TOutputPane::PaneMouseUp(MouseButton button, Point) {
  if (button == MouseButton::Left) EndMouseModes();
}

void TOutputPane::PaneCaptureLost() {
  drag_.reset();
  choosing_ = false;
}

void TOutputPane::EndMouseModes() {
  const bool held = drag_ || choosing_;
  PaneCaptureLost();
  if (held) window_.ReleaseMouse();
}

void TOutputPane::PaneWheel(int delta) {
  const int notches = delta / 120;
  const int lines = notches != 0 ? notches * kPaneWheelLines : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
  SetTop(top_ - lines);
}

bool TOutputPane::PaneKeyDown(int key) {
  const int count = lines_.Count();
  const int selected = lines_.Selected();
  const int rows = Rows();
  switch (key) {
    case vk::Return:
      if (selected >= 0) owner_.LineOpened(selected);
      return true;
    case vk::Escape:
      owner_.PaneClosed();
      return true;
    case vk::Up:
      if (count > 0) Select(selected < 0 ? top_ : std::max(selected - 1, 0));
      return true;
    case vk::Down:
      if (count > 0) Select(selected < 0 ? top_ : std::min(selected + 1, count - 1));
      return true;
    case vk::Prior:
      if (count > 0) Select(std::max((selected < 0 ? top_ : selected) - (rows - 1), 0));
      return true;
    case vk::Next:
      if (count > 0) Select(std::min((selected < 0 ? top_ : selected) + (rows - 1), count - 1));
      return true;
    case vk::Home:
      if (count > 0) Select(0);
      return true;
    case vk::End:
      if (count > 0) Select(count - 1);
      return true;
    case vk::Left:
      SetLeft(left_ - charWidth_);
      return true;
    case vk::Right:
      SetLeft(left_ + charWidth_);
      return true;
    default:
      return false;
  }
}

void TOutputPane::PaneScroll(ScrollBarKind kind, ScrollCode code, int trackPosition) {
  const bool vertical = kind == ScrollBarKind::Vertical;
  const int position = vertical ? top_ : left_;
  const int line = vertical ? 1 : charWidth_;
  const int page = vertical ? std::max(Rows() - 1, 1) : std::max(window_.ClientRect().Width() - charWidth_, 1);
  int to = position;
  switch (code) {
    case ScrollCode::LineUp: to -= line; break;
    case ScrollCode::LineDown: to += line; break;
    case ScrollCode::PageUp: to -= page; break;
    case ScrollCode::PageDown: to += page; break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack: to = trackPosition; break;
    case ScrollCode::Top: to = 0; break;
    case ScrollCode::Bottom: to = vertical ? lines_.Count() : TextWidth(); break;
    case ScrollCode::EndScroll: return;
  }
  if (vertical) {
    SetTop(to);
  } else {
    SetLeft(to);
  }
}

void TOutputPane::PaneFocusChanged() {
  const int selected = lines_.Selected();
  window_.Invalidate(RowRect(selected >= 0 ? selected : top_));
}

bool TOutputPane::PaneSizesAt(Point at) const { return InBar(at) && !CloseMark().Contains(at); }

PaneState TOutputPane::State() const { return PaneState{lines_.Count(), lines_.Selected(), top_}; }

std::optional<PaneRowView> TOutputPane::Row(int index) const {
  if (index < 0 || index >= lines_.Count()) return std::nullopt;
  return PaneRowView{Shown(index).text, static_cast<int>(lines_[index].kind), RowRect(index)};
}

}  // namespace vantorel
