// TXPSpeedButton: a tool-bar button with a glyph and an optional caption in the XP
// look, in one colour set of its own. It acts as a plain button, one of a group of
// toggle buttons, an auto-repeat button, or a button that drops a menu down.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ButtonWindow.h"
#include "xpbuttons/ButtonControl.h"
#include "platform/Surface.h"
#include "xpbuttons/Face.h"
#include "xpbuttons/Glyph.h"

namespace vantorel {

// The auto-repeat: the first click this long after the press, then one per period.
inline constexpr int kRepeatDelayMs = 400;
inline constexpr int kRepeatPeriodMs = 100;

class TXPSpeedButton : public ButtonControl {
 public:
  explicit TXPSpeedButton(ButtonWindow* window);

  // --- properties ---
  std::string Caption;
  FontDesc Font{"MS Sans Serif", -11, FontStyle::None, clBtnText, kDefaultCharset};
  bool AllowAllUp() const noexcept { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  int GroupIndex() const noexcept { return groupIndex_; }
  void SetGroupIndex(int value);
  bool Down() const noexcept { return down_; }
  void SetDown(bool value);
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value) override;
  bool Flat() const noexcept { return flat_; }
  void SetFlat(bool value);
  TXPBGlyph& Glyph() noexcept { return glyph_; }
  void SetGlyph(const PixelImage& bitmap) { glyph_.SetGlyph(bitmap); }
  int NumGlyphs() const noexcept { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const noexcept { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const noexcept { return margin_; }
  // Values below -1 are refused.
  void SetMargin(int value);
  int Spacing() const noexcept { return spacing_; }
  void SetSpacing(int value);
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value);
  bool RepeatAction = false;
  bool RightToLeft = false;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  // Opens the drop-down menu with its top-left at a screen point; unset: no menu.
  std::function<void(Point screen)> DropDownMenu;
  // The buttons on the same parent, this one included, for the groups.
  std::vector<TXPSpeedButton*>* Siblings = nullptr;

  // --- run-time state ---
  TButtonState CurrentState() const noexcept { return state_; }
  bool Pressing() const noexcept { return pressing_; }
  bool Hot() const noexcept { return hot_; }

  // --- input the window hands on ---
  void MouseDown(MouseButton button, Point at) override;
  void MouseMove(Point at) override;
  void MouseUp(MouseButton button, Point at) override;
  // The mouse capture went to another window: a held press ends without a click and
  // the repeat stops.
  void CaptureLost() override;
  void DblClick() override;
  void Accelerator();
  // The pointer came in; anotherHoldsMouse: another control has the mouse captured.
  void MouseEnter(bool anotherHoldsMouse = false);
  void PointerEntered(bool anotherHoldsMouse) override { MouseEnter(anotherHoldsMouse); }
  void MouseLeave() override;
  void TimerTick() override;
  void SystemColorsChanged() override;

  void Click() override;
  void Paint(Surface& surface) override;

 private:
  bool Inside(Point at) const;
  void Repaint();
  void UpdateHot();
  void TellGroup();
  void OtherWentDown(const TXPSpeedButton& sender);
  void StopRepeat();

  ButtonWindow* window_;
  TXPBGlyph glyph_;
  bool allowAllUp_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool enabled_ = true;
  bool flat_ = false;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool transparent_ = true;
  TButtonState state_ = TButtonState::bsUp;
  bool pressing_ = false;
  bool hot_ = false;
  bool repeating_ = false;
  GradientImage face_;
  GradientImage ring_;
  GradientImage shadow_;
};

}  // namespace vantorel
