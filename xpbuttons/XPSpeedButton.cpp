#include "xpbuttons/XPSpeedButton.h"

#include <algorithm>

namespace vantorel {

namespace {

constexpr Color Rgb(int r, int g, int b) { return Color::Rgb(r, g, b); }
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kFaceBottom = Rgb(239, 235, 231);
constexpr Color kDownTop = Rgb(224, 224, 224);
constexpr Color kDownBottom = Rgb(228, 228, 228);

struct OutlineColors {
  Color border, blend, inner;
};

}  // namespace

TXPSpeedButton::TXPSpeedButton(ButtonWindow* window) : window_(window) {
  glyph_.OnChange = [this] { Repaint(); };
}

void TXPSpeedButton::Repaint() {
  if (window_) window_->Repaint();
}

bool TXPSpeedButton::Inside(Point at) const {
  const Rect r = window_ ? window_->ClientRect() : Rect{};
  return at.x >= 0 && at.x < r.Width() && at.y >= 0 && at.y <= r.Height();
}

void TXPSpeedButton::Click() {
  if (OnClick) OnClick();
}

// --- properties ---

void TXPSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  TellGroup();
}

void TXPSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  TellGroup();
}

void TXPSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  // A down button of a group goes up only when another one goes down.
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (value) {
    const bool wasUp = state_ == TButtonState::bsUp;
    state_ = TButtonState::bsExclusive;
    if (wasUp) Repaint();
    TellGroup();
  } else {
    state_ = TButtonState::bsUp;
    Repaint();
  }
}

void TXPSpeedButton::TellGroup() {
  if (groupIndex_ == 0 || !Siblings) return;
  for (TXPSpeedButton* other : *Siblings) {
    if (other && other != this && other->groupIndex_ == groupIndex_) other->OtherWentDown(*this);
  }
}

void TXPSpeedButton::OtherWentDown(const TXPSpeedButton& sender) {
  if (sender.down_ && down_) {
    down_ = false;
    state_ = TButtonState::bsUp;
    Repaint();
  }
  allowAllUp_ = sender.allowAllUp_;
}

void TXPSpeedButton::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  glyph_.ImageForState(value ? TButtonState::bsUp : TButtonState::bsDisabled);
  UpdateHot();
  Repaint();
}

void TXPSpeedButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Repaint();
}

void TXPSpeedButton::SetNumGlyphs(int value) { glyph_.SetNumGlyphs(std::min(value, 4)); }

void TXPSpeedButton::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Repaint();
}

void TXPSpeedButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Repaint();
}

void TXPSpeedButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Repaint();
}

void TXPSpeedButton::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Repaint();
}

void TXPSpeedButton::SystemColorsChanged() {
  glyph_.ReleaseImages();
  glyph_.ImageForState(state_);
}

// --- input ---

void TXPSpeedButton::MouseDown(MouseButton button, Point) {
  if (button != MouseButton::Left || !enabled_) return;
  if (window_) window_->CaptureMouse();
  if (!down_) {
    state_ = TButtonState::bsDown;
    Repaint();
  }
  pressing_ = true;
  if (RepeatAction && window_) {
    repeating_ = true;
    window_->StartTimer(kRepeatDelayMs);
  }
}

void TXPSpeedButton::MouseMove(Point at) {
  if (pressing_) {
    const TButtonState state =
        down_ ? TButtonState::bsExclusive : Inside(at) ? TButtonState::bsDown : TButtonState::bsUp;
    if (state == state_) return;
    state_ = state;
    Repaint();
  } else if (!hot_) {
    UpdateHot();
  }
}

void TXPSpeedButton::MouseUp(MouseButton button, Point at) {
  const bool inside = Inside(at);
  if (pressing_ && button == MouseButton::Left) {
    pressing_ = false;
    if (window_) window_->ReleaseMouse();
    if (groupIndex_ == 0) {
      state_ = TButtonState::bsUp;
      hot_ = false;
      if (inside) Repaint();
    } else if (inside) {
      const bool was = down_;
      SetDown(!down_);
      if (!was && down_) Repaint();
    } else {
      if (down_) state_ = TButtonState::bsExclusive;
      Repaint();
    }
    if (inside) Click();
    UpdateHot();
  }
  if (!inside) return;
  StopRepeat();
  if (!RepeatAction && DropDownMenu && window_) {
    const Point origin = window_->ScreenOrigin();
    DropDownMenu(Point{origin.x - 1, origin.y + window_->ClientRect().Height()});
    if (flat_) MouseLeave();
  }
}

void TXPSpeedButton::CaptureLost() {
  if (!pressing_) return;
  pressing_ = false;
  StopRepeat();
  state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
  Repaint();
  UpdateHot();
}

void TXPSpeedButton::StopRepeat() {
  if (repeating_ && window_) window_->StopTimer();
  repeating_ = false;
}

void TXPSpeedButton::TimerTick() {
  if (!repeating_ || !window_) return;
  window_->StartTimer(kRepeatPeriodMs);
  if (state_ != TButtonState::bsDown || !window_->MouseCaptured()) return;
  try {
    Click();
  } catch (...) {
    StopRepeat();
    throw;
  }
}

void TXPSpeedButton::DblClick() {
  if (down_ && OnDblClick) OnDblClick();
}

void TXPSpeedButton::Accelerator() {
  if (enabled_) Click();
}

void TXPSpeedButton::MouseEnter(bool anotherHoldsMouse) {
  if (hot_ || !enabled_ || anotherHoldsMouse) return;
  hot_ = true;
  Repaint();
}

void TXPSpeedButton::MouseLeave() {
  if (!enabled_ || !hot_ || (flat_ && pressing_)) return;
  hot_ = false;
  Repaint();
}

void TXPSpeedButton::UpdateHot() {
  if (!flat_ || !enabled_ || !window_) return;
  if (window_->PointerOver()) {
    MouseEnter();
  } else {
    MouseLeave();
  }
}

// --- painting ---

void TXPSpeedButton::Paint(Surface& surface) {
  if (!window_) return;
  const Rect r = window_->ClientRect();
  const int w = r.Width();
  const int h = r.Height();
  if (w <= 0 || h <= 0) return;
  if (!enabled_) {
    state_ = TButtonState::bsDisabled;
    pressing_ = false;
  } else if (state_ == TButtonState::bsDisabled) {
    state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
  }
  const Color parent = window_->ParentColor();
  if (!transparent_) surface.FillRect(r, parent);
  const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
  const Point offset = pressed ? Point{1, 1} : Point{0, 0};
  const bool disabled = state_ == TButtonState::bsDisabled;

  if (!flat_) {
    if (disabled) {
      surface.DrawImage(0, 0, face_.Get(w, h, kWhite, kFaceBottom, 255, 3));
    } else if (pressed || down_) {
      surface.DrawImage(0, 0, face_.Get(w, h, kDownTop, kDownBottom, 255));
    } else if (hot_ && window_->MouseCaptured()) {
      surface.DrawImage(0, 0, face_.Get(w, h, kWhite, kFaceBottom, 255));
    } else if (hot_) {
      surface.DrawImage(0, 0, ring_.Get(w, h, Rgb(255, 226, 174), Rgb(255, 194, 81), 16));
      surface.DrawImage(3, 3, face_.Get(w - 6, h - 6, kWhite, kFaceBottom, 255));
    } else {
      surface.DrawImage(0, 0, face_.Get(w, h, kWhite, kFaceBottom, 255));
    }
  } else if (!disabled) {
    if (pressed || down_) {
      surface.DrawImage(0, 0, face_.Get(w, h, kDownTop, kDownBottom, 255));
    } else if (hot_) {
      surface.DrawImage(0, 0, shadow_.Get(w, h, Rgb(234, 234, 234), Rgb(215, 215, 215), 255));
      surface.DrawImage(0, 0, face_.Get(w - 3, h - 3, kWhite, Rgb(238, 238, 238), 255));
    }
  }

  OutlineColors outline{Rgb(36, 78, 147), Rgb(152, 152, 220), Rgb(207, 207, 239)};
  if (!flat_ && disabled) {
    outline = {Rgb(184, 170, 154), Rgb(238, 235, 232), Rgb(238, 235, 232)};
  } else if (flat_ && disabled) {
    outline = {Rgb(184, 170, 154), Rgb(215, 206, 198), Rgb(215, 206, 198)};
  } else if (flat_ && (pressed || down_)) {
    outline = {Rgb(184, 170, 154), Rgb(224, 224, 224), Rgb(242, 242, 242)};
  } else if (flat_) {
    outline = {Rgb(200, 200, 200), Rgb(224, 224, 224), Rgb(242, 242, 242)};
  }
  // A disabled button keeps its outline (in the disabled colours); a flat one shows
  // it only while hot or down.
  if (!flat_ || hot_ || down_) {
    DrawButtonOutline(surface, r, outline.border, outline.blend, parent);
    const int l = r.left;
    const int t = r.top;
    const int b = r.bottom;
    for (const Point p : {Point{l + 2, t + 1}, Point{l + w - 3, t + 1}, Point{l + 2, b - 2}, Point{l + 1, t + 2},
                          Point{l + w - 2, t + 2}, Point{l + 1, b - 3}}) {
      SetPixel(surface, p.x, p.y, outline.inner);
    }
    if (!flat_) {
      SetPixel(surface, l + w - 3, b - 2, outline.inner);
      SetPixel(surface, l + w - 2, b - 3, outline.inner);
    }
  }

  surface.SetFont(Font);
  const Color ink = flat_ && pressed ? clHighlightText : Font.color;
  DrawButton(glyph_, surface, r, offset, Caption, layout_, margin_, spacing_, state_,
             RightToLeft ? textformat::RtlReading : 0u, ink, RightToLeft);
}

}  // namespace vantorel
