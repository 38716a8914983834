#include "editor/ScrollBar.h"

#include <algorithm>

#include "platform/Errors.h"

namespace vantorel {

void TControlScrollBar95::Set(int min, int max, int position, int page) {
  if (max < min) throw EInvalidOperation(kScrollBarRangeError);
  min_ = min;
  max_ = max;
  page_ = page;
  position_ = std::clamp(position, min_, max_);
  Mirror();
}

void TControlScrollBar95::SetHasWindow(bool value) {
  hasWindow_ = value;
  // A window made anew has a bar of its own values.
  shown_.reset();
  Mirror();
}

void TControlScrollBar95::Flush() {
  if (held_) Mirror(false);
}

void TControlScrollBar95::Mirror(bool mayDefer) {
  if (!hasWindow_ || !host_ || !host_->HasWindow()) return;
  if (min_ < 0 || max_ < 0 || position_ < 0 || page_ < 0) return;
  if (mayDefer && Defer && Defer()) {
    held_ = true;
    return;
  }
  held_ = false;
  const Shown now{min_, max_, page_, position_};
  if (shown_ == now) return;
  host_->SetScrollBar(kind_, min_, max_, page_, position_);
  shown_ = now;
}

void TControlScrollBar95::ScrollMessage(ScrollCode code) {
  int position = position_;
  switch (code) {
    case ScrollCode::LineUp: position -= SmallChange; break;
    case ScrollCode::LineDown: position += SmallChange; break;
    case ScrollCode::PageUp: position -= LargeChange; break;
    case ScrollCode::PageDown: position += LargeChange; break;
    case ScrollCode::Top: position = min_; break;
    case ScrollCode::Bottom: position = max_; break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack:
      if (host_) position = host_->ScrollTrackPosition(kind_);
      break;
    case ScrollCode::EndScroll: break;
  }
  position = std::clamp(position, min_, max_);
  if (OnScroll) OnScroll(code, position);
  // The system bar may show its thumb where it was dragged: it is given the position
  // again even when that has not changed.
  shown_.reset();
  SetPosition(position);
}

}  // namespace vantorel
