#include "highlight/CompletionList.h"

#include <algorithm>

namespace vantorel {

void TEditorCompletionList::Clear() {
  items_.clear();
  heights_.clear();
  itemIndex_ = -1;
  top_ = 0;
  Repaint();
}

void TEditorCompletionList::Assign(std::vector<std::string> items) {
  items_ = std::move(items);
  heights_.clear();
  itemIndex_ = -1;
  top_ = 0;
  if (style_ == TListBoxStyle::lbOwnerDrawVariable) {
    for (int i = 0; i < Count(); ++i) heights_.push_back(std::max(1, owner_.MeasureListItem(i, itemHeight_)));
  }
  Repaint();
}

void TEditorCompletionList::Add(std::string item) {
  items_.push_back(std::move(item));
  if (style_ == TListBoxStyle::lbOwnerDrawVariable) {
    heights_.push_back(std::max(1, owner_.MeasureListItem(Count() - 1, itemHeight_)));
  }
  Repaint();
}

void TEditorCompletionList::SetItemIndex(int index) {
  itemIndex_ = index >= 0 && index < Count() ? index : -1;
  if (itemIndex_ >= 0) ScrollIntoView(itemIndex_);
  Repaint();
}

void TEditorCompletionList::SetItemHeight(int value) {
  itemHeight_ = std::max(1, value);
  Measure();
}

void TEditorCompletionList::SetStyle(TListBoxStyle value) {
  style_ = value;
  Measure();
}

void TEditorCompletionList::Measure() {
  heights_.clear();
  if (style_ != TListBoxStyle::lbOwnerDrawVariable) return;
  for (int i = 0; i < Count(); ++i) heights_.push_back(std::max(1, owner_.MeasureListItem(i, itemHeight_)));
  Repaint();
}

int TEditorCompletionList::HeightOf(int index) const {
  return heights_.empty() ? itemHeight_ : heights_.at(static_cast<std::size_t>(index));
}

void TEditorCompletionList::Open(const Rect& bounds) {
  if (!window_) {
    if (!host_) return;
    window_ = host_->CreatePopup(*this);
    if (!window_) return;
  }
  window_->Place(bounds);
  if (itemIndex_ >= 0) ScrollIntoView(itemIndex_);
  window_->ShowWithoutActivating();
  window_->InvalidateAll();
}

void TEditorCompletionList::Hide() {
  EndMouseMode();
  if (window_) window_->Hide();
}

int TEditorCompletionList::ClientHeight() const { return window_ ? window_->ClientRect().Height() : 0; }

int TEditorCompletionList::VisibleCount() const {
  const int height = ClientHeight();
  int used = 0;
  int count = 0;
  for (int i = top_; i < Count(); ++i) {
    used += HeightOf(i);
    if (used > height) break;
    ++count;
  }
  return std::max(1, count);
}

void TEditorCompletionList::ScrollIntoView(int index) {
  if (index < top_) {
    top_ = index;
  } else {
    while (top_ < index && index >= top_ + VisibleCount()) ++top_;
  }
}

int TEditorCompletionList::ItemAt(Point at) const {
  if (!window_ || !window_->ClientRect().Contains(at)) return -1;
  int y = 0;
  for (int i = top_; i < Count(); ++i) {
    y += HeightOf(i);
    if (at.y < y) return i;
  }
  return -1;
}

void TEditorCompletionList::KeyDown(int key) {
  if (Count() == 0) return;
  const int page = std::max(1, VisibleCount() - 1);
  const int from = itemIndex_;
  int to = from;
  switch (key) {
    case vk::Up: to = from < 0 ? 0 : from - 1; break;
    case vk::Down: to = from + 1; break;
    case vk::Prior: to = from < 0 ? 0 : from - page; break;
    case vk::Next: to = from < 0 ? page : from + page; break;
    case vk::Home: to = 0; break;
    case vk::End: to = Count() - 1; break;
    default: return;
  }
  SetItemIndex(std::clamp(to, 0, Count() - 1));
}

void TEditorCompletionList::PopupPaint(Surface& surface, const Rect& clip) {
  if (!window_) return;
  const Rect client = window_->ClientRect();
  int y = client.top;
  for (int i = top_; i < Count() && y < client.bottom; ++i) {
    const Rect item{client.left, y, client.right, y + HeightOf(i)};
    if (item.bottom > clip.top && item.top < clip.bottom) owner_.DrawListItem(surface, i, item, i == itemIndex_);
    y = item.bottom;
  }
  if (y < client.bottom) surface.FillRect(Rect{client.left, y, client.right, client.bottom}, clWindow);
}

void TEditorCompletionList::PopupMouseDown(MouseButton, Point at) {
  // A press that reached the window as it was being hidden starts nothing.
  if (!Visible()) return;
  window_->CaptureMouse();
  mouseHeld_ = true;
  const int item = ItemAt(at);
  if (item >= 0) SetItemIndex(item);
}

void TEditorCompletionList::PopupMouseMove(bool leftHeld, Point at) {
  if (!window_ || !leftHeld || !mouseHeld_) return;
  const int height = ClientHeight();
  const int beyond = at.y < 0 ? -at.y : at.y >= height ? at.y - height + 1 : 0;
  if (beyond == 0) {
    StopScrollTimer();
    const int item = ItemAt(at);
    if (item >= 0 && item != itemIndex_) SetItemIndex(item);
    return;
  }
  // The timer starts when the mouse leaves the list; while it moves outside only a
  // change of speed touches it, since restarting it on every move would hold it off
  // for as long as the mouse moves.
  scrollStep_ = at.y < 0 ? -1 : 1;
  const int interval = beyond > itemHeight_ ? kListScrollFastMs : kListScrollSlowMs;
  if (interval == scrollInterval_) return;
  scrollInterval_ = interval;
  window_->StartTimer(interval);
}

void TEditorCompletionList::PopupTimer() {
  if (scrollStep_ < 0 && top_ > 0) {
    --top_;
    Repaint();
  } else if (scrollStep_ > 0 && top_ + VisibleCount() < Count()) {
    ++top_;
    Repaint();
  }
}

void TEditorCompletionList::PopupMouseUp(MouseButton button, Point at) {
  if (!window_ || !mouseHeld_) return;
  const bool inside = window_->ClientRect().Contains(at);
  EndMouseMode();
  owner_.ListDone(button == MouseButton::Left && inside);
}

void TEditorCompletionList::PopupCancelMode() {
  EndMouseMode();
  owner_.ListDone(false);
}

void TEditorCompletionList::EndMouseMode() {
  if (!window_) return;
  StopScrollTimer();
  if (mouseHeld_) window_->ReleaseMouse();
  mouseHeld_ = false;
}

void TEditorCompletionList::StopScrollTimer() {
  if (scrollInterval_ != 0) window_->StopTimer();
  scrollStep_ = 0;
  scrollInterval_ = 0;
}

void TEditorCompletionList::Repaint() {
  if (window_ && window_->Visible()) window_->InvalidateAll();
}

}  // namespace vantorel
