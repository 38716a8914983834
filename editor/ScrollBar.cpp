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
  Mirror();
}

void TControlScrollBar95::Mirror() {
  if (!hasWindow_ || !host_ || !host_->HasWindow()) return;
  if (min_ < 0 || max_ < 0 || position_ < 0 || page_ < 0) return;
  host_->SetScrollBar(kind_, min_, max_, page_, position_);
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
  SetPosition(position);
}

}  // namespace vantorel
