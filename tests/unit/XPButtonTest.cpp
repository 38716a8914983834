// The XP-look push and speed buttons on a window in memory: their input rules
// (mouse, Space, Enter and Escape, focus, hot, groups, auto-repeat, the drop-down
// menu) and what their paint leaves on a raster (faces, rings, outline, corners).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "headless/RecordingSurface.h"
#include "xpbuttons/XPButton.h"
#include "xpbuttons/XPSpeedButton.h"

namespace vantorel {
namespace {

class FakeButtonWindow : public ButtonWindow {
 public:
  Rect ClientRect() const override { return Rect{0, 0, width, height}; }
  void Repaint() override { ++repaints; }
  bool Focused() const override { return focused; }
  bool CanFocus() const override { return canFocus; }
  void TakeFocus() override { focused = true; }
  void CaptureMouse() override { captured = true; }
  // As the system does, releasing the capture tells the window it changed.
  void ReleaseMouse() override {
    if (!captured) return;
    captured = false;
    if (captureChanged) captureChanged();
  }
  // Another window takes the capture.
  void CaptureTaken() {
    captured = false;
    if (captureChanged) captureChanged();
  }
  bool MouseCaptured() const override { return captured; }
  void StartTimer(int ms) override { timer = ms; }
  void StopTimer() override { timer = 0; }
  Point ScreenOrigin() const override { return Point{300, 40}; }
  bool PointerOver() const override { return pointerOver; }
  Color ParentColor() const override { return clGray; }

  int width = 75;
  int height = 25;
  int repaints = 0;
  bool focused = false;
  bool canFocus = true;
  bool captured = false;
  bool pointerOver = false;
  int timer = 0;
  std::function<void()> captureChanged;
};

// What a paint leaves on each pixel.
RecordingSurface Painted(const FakeButtonWindow& window, auto& button) {
  RecordingSurface surface;
  surface.StartRaster(window.width, window.height, clNone);
  button.Paint(surface);
  return surface;
}

constexpr Color Rgb(int r, int g, int b) { return Color::Rgb(r, g, b); }
int Red(Color c) { return static_cast<int>(c.value & 0xFF); }
int Green(Color c) { return static_cast<int>((c.value >> 8) & 0xFF); }
int Blue(Color c) { return static_cast<int>((c.value >> 16) & 0xFF); }
// Within a gradient's first or last rows a pixel is close to, not exactly, its end colour.
::testing::AssertionResult Near(Color got, Color want) {
  const int d = std::max({std::abs(Red(got) - Red(want)), std::abs(Green(got) - Green(want)),
                          std::abs(Blue(got) - Blue(want))});
  if (d <= 3) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << Red(got) << "," << Green(got) << "," << Blue(got) << ") is not near ("
                                       << Red(want) << "," << Green(want) << "," << Blue(want) << ")";
}

// The outline and its corners, as both buttons draw them over a w x h client.
void ExpectOutline(const RecordingSurface& s, int w, int h, Color border, Color blend, Color parent) {
  for (const Point p : {Point{0, 0}, Point{w - 1, 0}, Point{0, h - 1}, Point{w - 1, h - 1}}) {
    EXPECT_EQ(s.PixelAt(p.x, p.y), parent) << p.x << "," << p.y;
  }
  for (const Point p : {Point{1, 1}, Point{w - 2, 1}, Point{1, h - 2}, Point{w - 2, h - 2}, Point{w / 2, 0},
                        Point{0, h / 2}, Point{w - 1, h / 2}, Point{w / 2, h - 1}}) {
    EXPECT_EQ(s.PixelAt(p.x, p.y), border) << p.x << "," << p.y;
  }
  for (const Point p : {Point{1, 0}, Point{w - 2, 0}, Point{1, h - 1}, Point{w - 2, h - 1}, Point{0, 1},
                        Point{w - 1, 1}, Point{0, h - 2}, Point{w - 1, h - 2}}) {
    EXPECT_EQ(s.PixelAt(p.x, p.y), blend) << p.x << "," << p.y;
  }
}

TEST(XPButton, AMousePressClicksOnlyWhenReleasedInsideAndSetsTheModalResultFirst) {
  FakeButtonWindow window;
  TXPButton button(&window);
  std::vector<std::string> calls;
  button.ModalResult = 2;
  button.SetFormModalResult = [&](int r) { calls.push_back("result " + std::to_string(r)); };
  button.OnClick = [&] { calls.push_back("click"); };
  button.MouseEnter();
  button.MouseDown(MouseButton::Left, {5, 5});
  EXPECT_TRUE(window.focused);
  EXPECT_TRUE(window.captured);
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Down);
  button.MouseMove({80, 5});
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
  // Held outside: the hot ring around an inset face.
  const RecordingSurface held = Painted(window, button);
  EXPECT_EQ(held.PixelAt(1, 12), held.PixelAt(2, 12));
  EXPECT_GT(Red(held.PixelAt(1, 12)), 250);
  EXPECT_LT(Blue(held.PixelAt(1, 12)), 200);
  EXPECT_NE(held.PixelAt(3, 12), held.PixelAt(2, 12));
  button.MouseUp(MouseButton::Left, {80, 5});
  EXPECT_TRUE(calls.empty());
  EXPECT_FALSE(window.captured);
  button.MouseDown(MouseButton::Left, {5, 5});
  button.MouseMove({74, 25});  // the bottom edge still counts as inside
  button.MouseUp(MouseButton::Left, {74, 25});
  EXPECT_EQ(calls, (std::vector<std::string>{"result 2", "click"}));
  // Other buttons do nothing.
  button.MouseDown(MouseButton::Right, {5, 5});
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
}

// Losing the capture ends a mouse press without a click; releasing it itself does not.
TEST(XPButton, APressEndsWhenAnotherWindowTakesTheCapture) {
  FakeButtonWindow window;
  TXPButton button(&window);
  window.captureChanged = [&] { button.CaptureLost(); };
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  button.MouseDown(MouseButton::Left, {5, 5});
  button.MouseUp(MouseButton::Left, {5, 5});
  EXPECT_EQ(clicks, 1);
  button.MouseDown(MouseButton::Left, {5, 5});
  window.CaptureTaken();
  EXPECT_FALSE(button.Pressing());
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
  button.MouseMove({6, 6});
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
  button.MouseUp(MouseButton::Left, {6, 6});  // a release that began elsewhere
  EXPECT_EQ(clicks, 1);
  // A space press holds no capture, so a capture change leaves it.
  button.KeyDown(vk::Space, ShiftState{});
  window.CaptureTaken();
  EXPECT_TRUE(button.Pressing());
  button.KeyUp(vk::Space, ShiftState{});
  EXPECT_EQ(clicks, 2);
}

TEST(XPButton, SpaceClicksOnReleaseUnlessTheFocusLeftAndDialogKeysNeedTheirRole) {
  FakeButtonWindow window;
  TXPButton button(&window);
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  button.KeyDown(vk::Space, {});
  EXPECT_TRUE(button.Pressing());
  button.KeyUp(vk::Space, {});
  EXPECT_EQ(clicks, 1);
  button.KeyDown(vk::Space, {});
  window.focused = false;
  button.FocusLost();
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
  button.KeyUp(vk::Space, {});
  EXPECT_EQ(clicks, 1);
  ShiftState ctrl;
  ctrl.ctrl = true;
  button.KeyDown(vk::Return, ctrl);
  button.KeyDown(vk::Return, {});
  EXPECT_EQ(clicks, 2);
  // Enter counts for the default look, Escape for a cancel button, and only while the
  // button could take the focus.
  EXPECT_FALSE(button.DialogKey(vk::Return, {}));
  EXPECT_FALSE(button.DialogKey(vk::Escape, {}));
  button.SetDefault(true);
  button.FocusMoved(false, false);
  button.Cancel = true;
  EXPECT_TRUE(button.DialogKey(vk::Return, {}));
  EXPECT_TRUE(button.DialogKey(vk::Escape, {}));
  EXPECT_FALSE(button.DialogKey(vk::Escape, ctrl));
  button.FocusMoved(true, false);  // another XP button took the focus
  EXPECT_FALSE(button.DialogKey(vk::Return, {}));
  window.canFocus = false;
  EXPECT_FALSE(button.DialogKey(vk::Escape, {}));
  EXPECT_EQ(clicks, 4);
}

TEST(XPButton, EnabledAndDisabledLooksOnTheRaster) {
  FakeButtonWindow window;
  window.width = 90;
  window.height = 26;
  TXPButton button(&window);
  button.Caption = "Сохранить";
  const RecordingSurface enabled = Painted(window, button);
  ExpectOutline(enabled, 90, 26, Rgb(51, 51, 153), Rgb(152, 152, 220), clGray);
  // Not focused, not default: a full face from white at the top.
  EXPECT_TRUE(Near(enabled.PixelAt(45, 1), Rgb(255, 255, 255)));
  ASSERT_EQ(enabled.formatted.size(), 1u);
  EXPECT_EQ(enabled.formatted[0].color, clBtnText);

  button.MouseEnter();
  button.MouseDown(MouseButton::Left, {5, 5});
  button.SetEnabled(false);
  EXPECT_FALSE(button.Hot() || button.Pressing());
  EXPECT_EQ(button.CurrentState(), TXPButton::State::Up);
  const RecordingSurface disabled = Painted(window, button);
  ExpectOutline(disabled, 90, 26, kDisabledInk, Rgb(238, 235, 232), clGray);
  EXPECT_TRUE(Near(disabled.PixelAt(45, 1), Rgb(255, 255, 255)));
  EXPECT_TRUE(Near(disabled.PixelAt(45, 24), Rgb(239, 235, 231)));
  ASSERT_EQ(disabled.formatted.size(), 1u);
  EXPECT_EQ(disabled.formatted[0].color, kDisabledInk);
  EXPECT_EQ(disabled.formatted[0].text, "Сохранить");
  // The green scheme has an outline of its own.
  struct Version5 : ThemeQuery {
    Version SystemVersion() const override { return {5, 1}; }
    std::optional<std::string> CurrentColorSchemeName() const override { return "homestead"; }
  } theme;
  button.SetEnabled(true);
  button.SetXPScheme(TXPScheme::xpAutomatic, theme);
  EXPECT_EQ(button.DrawnScheme(), XPDrawnScheme::Green);
  EXPECT_EQ(Painted(window, button).PixelAt(45, 0), Rgb(81, 104, 40));
}

TEST(XPButton, TheFocusRingFramesAnInsetFace) {
  FakeButtonWindow window;
  TXPButton button(&window);
  window.focused = true;
  const RecordingSurface s = Painted(window, button);
  // Three pixels of a blue ring inside the outline, then the face.
  EXPECT_GT(Blue(s.PixelAt(2, 12)), 200);
  EXPECT_LT(Red(s.PixelAt(2, 12)), 200);
  EXPECT_TRUE(Near(s.PixelAt(37, 3), Rgb(255, 255, 255)));
}

class SpeedButtonTest : public ::testing::Test {
 protected:
  SpeedButtonTest() {
    window.width = 27;
    window.height = 26;
    button.OnClick = [this] { ++clicks; };
  }
  FakeButtonWindow window;
  TXPSpeedButton button{&window};
  int clicks = 0;
};

TEST_F(SpeedButtonTest, APressMovedOutShowsTheHotFaceAndDoesNotClick) {
  button.MouseEnter();
  button.MouseDown(MouseButton::Left, {5, 5});
  EXPECT_FALSE(window.focused);  // a speed button never takes the focus
  button.MouseMove({40, 5});
  EXPECT_EQ(button.CurrentState(), TButtonState::bsUp);
  // Hot while the mouse is held: a full face, no ring.
  const RecordingSurface held = Painted(window, button);
  EXPECT_TRUE(Near(held.PixelAt(13, 1), Rgb(255, 255, 255)));
  ExpectOutline(held, 27, 26, Rgb(36, 78, 147), Rgb(152, 152, 220), clGray);
  EXPECT_EQ(held.PixelAt(2, 1), Rgb(207, 207, 239));
  button.MouseUp(MouseButton::Left, {40, 5});
  EXPECT_EQ(clicks, 0);
  button.MouseDown(MouseButton::Left, {5, 5});
  button.MouseUp(MouseButton::Left, {5, 5});
  EXPECT_EQ(clicks, 1);
  // Hot and not held: the orange ring around an inset face.
  button.MouseEnter();
  const RecordingSurface hot = Painted(window, button);
  EXPECT_GT(Red(hot.PixelAt(2, 13)), 250);
  EXPECT_LT(Blue(hot.PixelAt(2, 13)), 180);
  button.MouseLeave();
  EXPECT_FALSE(button.Hot());
}

TEST_F(SpeedButtonTest, GroupedButtonsRaiseEachOtherAndStayDownWithoutAllowAllUp) {
  FakeButtonWindow otherWindow;
  TXPSpeedButton other(&otherWindow);
  std::vector<TXPSpeedButton*> siblings{&button, &other};
  button.Siblings = other.Siblings = &siblings;
  button.SetGroupIndex(1);
  other.SetGroupIndex(1);
  button.SetDown(true);
  EXPECT_EQ(button.CurrentState(), TButtonState::bsExclusive);
  other.MouseDown(MouseButton::Left, {3, 3});
  other.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_TRUE(other.Down());
  EXPECT_FALSE(button.Down());
  EXPECT_EQ(button.CurrentState(), TButtonState::bsUp);
  other.MouseDown(MouseButton::Left, {3, 3});
  other.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_TRUE(other.Down());
  other.SetAllowAllUp(true);
  EXPECT_TRUE(button.AllowAllUp());
  other.MouseDown(MouseButton::Left, {3, 3});
  other.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_FALSE(other.Down());
  // Outside a group a button cannot be down.
  TXPSpeedButton lone(&otherWindow);
  lone.SetDown(true);
  EXPECT_FALSE(lone.Down());
}

TEST_F(SpeedButtonTest, RepeatingClicksWhileHeldAndTheMenuDropsOnAnyRelease) {
  button.RepeatAction = true;
  button.MouseDown(MouseButton::Left, {3, 3});
  EXPECT_EQ(window.timer, kRepeatDelayMs);
  button.TimerTick();
  button.TimerTick();
  EXPECT_EQ(window.timer, kRepeatPeriodMs);
  EXPECT_EQ(clicks, 2);
  button.MouseMove({50, 3});
  button.TimerTick();
  EXPECT_EQ(clicks, 2);
  button.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_EQ(window.timer, 0);
  EXPECT_EQ(clicks, 3);

  button.RepeatAction = false;
  button.OnClick = nullptr;
  std::vector<Point> drops;
  button.DropDownMenu = [&](Point p) { drops.push_back(p); };
  button.MouseDown(MouseButton::Left, {3, 3});
  button.MouseUp(MouseButton::Left, {3, 3});
  button.MouseUp(MouseButton::Right, {3, 3});
  button.MouseUp(MouseButton::Right, {30, 3});  // not over the button
  EXPECT_EQ(drops, (std::vector<Point>{{299, 66}, {299, 66}}));
}

TEST_F(SpeedButtonTest, LosingTheCaptureEndsThePressAndTheRepeat) {
  window.captureChanged = [&] { button.CaptureLost(); };
  button.RepeatAction = true;
  button.MouseDown(MouseButton::Left, {3, 3});
  button.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_EQ(clicks, 1);
  button.MouseDown(MouseButton::Left, {3, 3});
  window.CaptureTaken();
  EXPECT_EQ(window.timer, 0);
  EXPECT_EQ(button.CurrentState(), TButtonState::bsUp);
  button.TimerTick();
  button.MouseMove({4, 4});
  button.MouseUp(MouseButton::Left, {4, 4});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.CurrentState(), TButtonState::bsUp);
}

TEST_F(SpeedButtonTest, ADisabledButtonKeepsABrownishOutlineAndIgnoresTheMouse) {
  button.MouseEnter();
  button.SetEnabled(false);
  button.MouseDown(MouseButton::Left, {3, 3});
  button.MouseUp(MouseButton::Left, {3, 3});
  EXPECT_EQ(clicks, 0);
  const RecordingSurface s = Painted(window, button);
  EXPECT_EQ(button.CurrentState(), TButtonState::bsDisabled);
  ExpectOutline(s, 27, 26, Rgb(184, 170, 154), Rgb(238, 235, 232), clGray);
  // Darker at the top, white at the bottom.
  EXPECT_TRUE(Near(s.PixelAt(13, 1), Rgb(239, 235, 231)));
  EXPECT_TRUE(Near(s.PixelAt(13, 24), Rgb(255, 255, 255)));
}

}  // namespace
}  // namespace vantorel

namespace vantorel {
namespace {

// Both kinds through the one interface their window hands input to: only a push button
// takes the focus, and a double click is a press like the first and, for the left
// button only, the double click.
TEST(ButtonControls, BothKindsTakeTheOneInterfaceAndKeepTheirOwnRules) {
  FakeButtonWindow pushWindow;
  FakeButtonWindow speedWindow;
  TXPButton push(&pushWindow);
  TXPSpeedButton speed(&speedWindow);
  speed.SetGroupIndex(1);
  speed.SetDown(true);  // a speed button hears double clicks only while down
  int pushClicks = 0;
  int speedDoubles = 0;
  push.OnClick = [&] { ++pushClicks; };
  speed.OnDblClick = [&] { ++speedDoubles; };
  struct Kind {
    ButtonControl& button;
    FakeButtonWindow& window;
    bool takesFocus;
    int* doubles;
  };
  for (const Kind& k : {Kind{push, pushWindow, true, &pushClicks}, Kind{speed, speedWindow, false, &speedDoubles}}) {
    SCOPED_TRACE(k.takesFocus ? "push button" : "speed button");
    EXPECT_EQ(k.button.TakesFocus(), k.takesFocus);
    k.button.MouseDown(MouseButton::Left, Point{5, 5});
    EXPECT_EQ(k.window.focused, k.takesFocus);
    EXPECT_TRUE(k.window.captured);
    k.button.MouseUp(MouseButton::Left, Point{5, 5});
    const int before = *k.doubles;
    k.button.DoubleClick(MouseButton::Right, Point{5, 5});
    EXPECT_EQ(*k.doubles, before);
    EXPECT_FALSE(k.window.captured);
    k.button.DoubleClick(MouseButton::Left, Point{5, 5});
    EXPECT_EQ(*k.doubles, before + 1);
    EXPECT_TRUE(k.window.captured);  // the press of the double click holds the mouse
    k.button.MouseUp(MouseButton::Left, Point{5, 5});
    EXPECT_FALSE(k.window.captured);
  }
}

}  // namespace
}  // namespace vantorel
