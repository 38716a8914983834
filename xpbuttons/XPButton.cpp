#include "xpbuttons/XPButton.h"

namespace vantorel {

namespace {

constexpr Color Rgb(int r, int g, int b) { return Color::Rgb(r, g, b); }

bool NoShiftKeys(ShiftState s) { return !s.shift && !s.ctrl && !s.alt; }

struct RingColors {
  Color focusTop, focusBottom, hotTop, hotBottom;
};

RingColors Rings(XPDrawnScheme scheme) {
  switch (scheme) {
    case XPDrawnScheme::Green: return {Rgb(194, 216, 156), Rgb(141, 180, 71), Rgb(255, 211, 130), Rgb(231, 150, 0)};
    case XPDrawnScheme::Orange:
      return {Rgb(206, 231, 255), Rgb(109, 132, 239), Rgb(255, 255, 255), Rgb(190, 190, 190)};
    case XPDrawnScheme::Blue:
    case XPDrawnScheme::Silver: break;
  }
  return {Rgb(206, 231, 255), Rgb(109, 132, 239), Rgb(255, 221, 157), Rgb(255, 190, 70)};
}

}  // namespace

void TXPButton::SetXPScheme(TXPScheme value, const ThemeQuery& theme) {
  scheme_ = value;
  const XPDrawnScheme drawn = ResolveScheme(value, theme);
  if (drawn == drawn_) return;
  drawn_ = drawn;
  Repaint();
}

void TXPButton::ThemeChanged(const ThemeQuery& theme) {
  if (scheme_ == TXPScheme::xpAutomatic) SetXPScheme(scheme_, theme);
}

void TXPButton::SetDefault(bool value) {
  default_ = value;
  if (OnDefaultChanged) OnDefaultChanged();
}

void TXPButton::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Repaint();
}

void TXPButton::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  Repaint();
}

void TXPButton::SetDrawFocusRect(bool value) {
  drawFocusRect_ = value;
  if (value && window_ && window_->Focused()) Repaint();
}

void TXPButton::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  state_ = State::Up;
  hot_ = false;
  pressing_ = false;
  Repaint();
}

void TXPButton::Repaint() {
  if (window_) window_->Repaint();
}

bool TXPButton::Inside(Point at) const {
  const Rect r = window_ ? window_->ClientRect() : Rect{};
  return at.x >= 0 && at.x < r.Width() && at.y >= 0 && at.y <= r.Height();
}

void TXPButton::Click() {
  if (SetFormModalResult) SetFormModalResult(ModalResult);
  if (OnClick) OnClick();
}

void TXPButton::MouseDown(MouseButton button, Point) {
  if (button != MouseButton::Left || !enabled_) return;
  // Captured before the press counts, so the capture's own change notice cannot end it.
  if (window_) window_->CaptureMouse();
  state_ = State::Down;
  pressing_ = true;
  if (window_) window_->TakeFocus();
  Repaint();
}

void TXPButton::MouseMove(Point at) {
  if (!pressing_) return;
  const State state = Inside(at) ? State::Down : State::Up;
  if (state == state_) return;
  state_ = state;
  Repaint();
}

void TXPButton::MouseUp(MouseButton button, Point at) {
  if (button != MouseButton::Left || !enabled_) return;
  const bool pressed = pressing_;
  state_ = State::Up;
  pressing_ = false;
  if (window_) window_->ReleaseMouse();
  Repaint();
  if (pressed && Inside(at)) Click();
}

void TXPButton::CaptureLost() {
  // A press of the space key holds no capture.
  if (!pressing_ || spacePressed_) return;
  state_ = State::Up;
  pressing_ = false;
  Repaint();
}

void TXPButton::KeyDown(int key, ShiftState shift) {
  if (!NoShiftKeys(shift) || !enabled_) return;
  if (key == vk::Space) {
    spacePressed_ = true;
    if (state_ != State::Down) {
      state_ = State::Down;
      pressing_ = true;
      if (window_) window_->TakeFocus();
      Repaint();
    }
  } else if (key == vk::Return) {
    Click();
  }
}

void TXPButton::KeyUp(int key, ShiftState shift) {
  // A space that went down elsewhere, or whose press the focus took away, clicks nothing.
  if (key != vk::Space || !NoShiftKeys(shift) || !spacePressed_) return;
  spacePressed_ = false;
  state_ = State::Up;
  pressing_ = false;
  Repaint();
  Click();
}

bool TXPButton::DialogKey(int key, ShiftState shift) {
  if (!NoShiftKeys(shift) || !window_ || !window_->CanFocus()) return false;
  if ((key == vk::Return && defaultLook_) || (key == vk::Escape && Cancel)) {
    Click();
    return true;
  }
  return false;
}

void TXPButton::Accelerator() {
  if (!window_ || !window_->CanFocus()) return;
  Click();
  window_->TakeFocus();
}

void TXPButton::MouseEnter() {
  if (!enabled_) return;
  hot_ = true;
  Repaint();
}

void TXPButton::MouseLeave() {
  if (!enabled_) return;
  hot_ = false;
  Repaint();
}

void TXPButton::FocusLost() {
  if (spacePressed_) {
    spacePressed_ = false;
    state_ = State::Up;
    pressing_ = false;
  }
  Repaint();
}

void TXPButton::FocusMoved(bool toXPButton, bool toThis) {
  defaultLook_ = toXPButton ? toThis : default_;
  Repaint();
}

TXPButton::Face TXPButton::ChooseFace(bool focused) const {
  const XPDrawnScheme s = drawn_;
  Face normal{true, Rgb(255, 255, 255), Rgb(239, 235, 231)};
  Face hot = normal;
  if (s == XPDrawnScheme::Silver) {
    normal = {true, Rgb(253, 253, 253), Rgb(205, 204, 223)};
    hot = {true, Rgb(253, 253, 253), Rgb(214, 215, 231)};
  } else if (s == XPDrawnScheme::Green) {
    normal = hot = {true, Rgb(254, 255, 242), Rgb(243, 238, 219)};
  } else if (s == XPDrawnScheme::Orange) {
    normal = {true, Rgb(255, 244, 234), Rgb(251, 181, 111)};
    hot = {true, Rgb(255, 244, 234), Rgb(252, 191, 131)};
  }
  const auto full = [](Face f) {
    f.inset = false;
    return f;
  };
  if (!enabled_) {
    const bool plain = s == XPDrawnScheme::Green || s == XPDrawnScheme::Orange;
    return plain ? Face{false, Rgb(246, 242, 233), Rgb(246, 242, 233)} : Face{false, Rgb(255, 255, 255), Rgb(239, 235, 231)};
  }
  if (state_ == State::Down) {
    switch (s) {
      case XPDrawnScheme::Blue: return {false, Rgb(217, 216, 206), Rgb(228, 228, 228)};
      case XPDrawnScheme::Silver: return {false, Rgb(205, 204, 223), Rgb(253, 253, 253)};
      case XPDrawnScheme::Green: return {false, Rgb(236, 227, 204), Rgb(236, 227, 204)};
      case XPDrawnScheme::Orange: return {false, Rgb(251, 181, 111), Rgb(255, 244, 234)};
    }
  }
  if (hot_ && !pressing_) return hot;
  if (pressing_ || focused) return normal;
  if (!defaultLook_) return full(normal);
  if (default_) return normal;
  return full(normal);
}

void TXPButton::Paint(Surface& surface) {
  if (!window_) return;
  const Rect r = window_->ClientRect();
  const int w = r.Width();
  const int h = r.Height();
  if (w <= 0 || h <= 0) return;
  const bool focused = window_->Focused();
  const Face face = ChooseFace(focused);
  // A full face covers any ring; only an inset one leaves a 3-pixel frame of it.
  if (face.inset) {
    const RingColors rings = Rings(drawn_);
    if (enabled_ && (hot_ || pressing_)) {
      surface.DrawImage(r.left, r.top, hotRing_.Get(w, h, rings.hotTop, rings.hotBottom, 16));
    }
    // Drawn after the hot ring, so a default button that has not the focus shows it.
    if ((focused && !pressing_ && !hot_) || (defaultLook_ && !focused)) {
      surface.DrawImage(r.left, r.top, focusRing_.Get(w, h, rings.focusTop, rings.focusBottom, 16));
    }
    surface.DrawImage(r.left + 3, r.top + 3, face_.Get(w - 6, h - 6, face.top, face.bottom, 255));
  } else {
    surface.DrawImage(r.left, r.top, face_.Get(w, h, face.top, face.bottom, 255));
  }
  const Color border = !enabled_ ? kDisabledInk : drawn_ == XPDrawnScheme::Green ? Rgb(81, 104, 40) : Rgb(51, 51, 153);
  const Color blend = enabled_ ? Rgb(152, 152, 220) : Rgb(238, 235, 232);
  DrawButtonOutline(surface, r, border, blend, window_->ParentColor());

  if (!Caption.empty()) {
    surface.SetFont(Font);
    unsigned format = textformat::Center | textformat::ExpandTabs;
    if (wordWrap_) format |= textformat::WordBreak;
    if (!showAccelChar_) format |= textformat::NoPrefix;
    if (RightToLeft) format |= textformat::RtlReading;
    const Color ink = enabled_ ? Font.color : kDisabledInk;
    Rect text{r.left + 2, r.top + 1, r.right - 2, r.bottom - 1};
    const Rect measured = surface.DrawFormattedText(text, Caption, ink, format | textformat::CalcRect);
    const int down = (h - measured.bottom) / 2;
    text.top += down;
    text.bottom += down;
    surface.DrawFormattedText(text, Caption, ink, format);
  }
  if (focused && drawFocusRect_) {
    // A dotted frame: every other pixel along the four sides.
    const Rect f{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    for (int x = f.left; x < f.right; x += 2) {
      SetPixel(surface, x, f.top, Font.color);
      SetPixel(surface, x, f.bottom - 1, Font.color);
    }
    for (int y = f.top; y < f.bottom; y += 2) {
      SetPixel(surface, f.left, y, Font.color);
      SetPixel(surface, f.right - 1, y, Font.color);
    }
  }
}

}  // namespace vantorel
