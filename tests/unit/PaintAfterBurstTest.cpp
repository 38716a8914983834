// The editor draws only when the window paints; a key marks what it changed. Painting
// after every key and painting once after a burst of keys must leave the same screen:
// twin editors take the same random keys, one painted after each key, the other only
// after each burst. Their pixels (text cells included) and carets are compared after
// each burst. The window model clips a paint to the pixels marked and moves pixels on
// a scroll, as the system does, so a repaint a burst forgets to mark, or pixels it
// moves wrongly, show up as a difference.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "headless/MemoryClipboard.h"
#include "highlight/HLEditor.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/KeyPress.h"

namespace vantorel {
namespace {

struct Key {
  int key;
  bool shift, ctrl;
  char ch;  // a character message after the key, 0 for none
};

// Keys that repaint lines, scroll both ways, select and take back.
const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = {
      {'A', false, false, 'a'}, {'A', false, false, 'a'}, {'A', false, false, 'a'}, {vk::Space, false, false, ' '},
      {0xBF, false, false, '/'}, {'8', true, false, '*'}, {0xDE, true, false, '"'}, {'9', true, false, '('},
      {'0', true, false, ')'}, {vk::Return, false, false, '\r'}, {vk::Back, false, false, 0},
      {vk::Delete, false, false, 0}, {vk::Tab, false, false, 0}, {'Y', false, true, 0}, {'Z', false, true, 0},
      {vk::Left, false, false, 0}, {vk::Right, false, false, 0}, {vk::Up, false, false, 0},
      {vk::Down, false, false, 0}, {vk::Home, false, false, 0}, {vk::End, false, false, 0},
      {vk::Next, false, false, 0}, {vk::Prior, false, false, 0}, {vk::End, false, true, 0},
      {vk::Home, false, true, 0}, {vk::Right, true, false, 0}, {vk::Down, true, false, 0},
      {vk::Up, true, true, 0}, {vk::Left, true, true, 0}, {'C', false, true, 0}, {'V', false, true, 0},
  };
  return keys;
}

// What the raster holds before the editor paints a pixel.
constexpr Color kUnpainted = Color::Rgb(1, 2, 3);

struct Twin {
  HeadlessWindowHost host;
  THLEditor editor{&host};
  MemoryClipboard clipboard;

  explicit Twin(const std::string& text) {
    host.control = &editor;
    host.client = Rect{0, 0, 400, 200};
    host.focused = true;
    editor.SetHighlighter(THighlighter::hlJava);
    editor.SetGutterWidth(30);
    editor.SetRightMargin(30);
    editor.SetClipboard(&clipboard);
    editor.WindowCreated();
    editor.FocusReceived();
    editor.Lines().SetTextStr(text);
    host.canvas.StartRaster(host.client.Width(), host.client.Height(), kUnpainted);
    host.canvas.rasterText = true;
    host.InvalidateAll();
    host.UpdateNow();
  }
  void Press(const Key& k) {
    ShiftState shift;
    shift.shift = k.shift;
    shift.ctrl = k.ctrl;
    PressKey(editor, host, k.key, shift, k.ch);
  }
};

std::string RandomText(std::mt19937& rng) {
  std::string text;
  const int lines = std::uniform_int_distribution<int>(1, 40)(rng);
  for (int i = 0; i < lines; ++i) {
    const int length = std::uniform_int_distribution<int>(0, 70)(rng);
    for (int c = 0; c < length; ++c) text += "ab /*\"x(){}\t"[std::uniform_int_distribution<int>(0, 11)(rng)];
    text += "\r\n";
  }
  return text;
}

// The first pixel where the two screens differ, or empty. Two pixel columns are left
// out: the edge left of the text and the first pixel of the first column keep, after
// a sideways scroll, whatever the move brings into them (a glyph's last pixel, the
// right margin when it scrolls under the first column), however often it paints.
std::string FirstDifference(const Twin& a, const Twin& b) {
  const RecordingSurface& s = a.host.canvas;
  const int edge = a.editor.TextLeft();
  for (int y = 0; y < s.rasterHeight; ++y) {
    for (int x = 0; x < s.rasterWidth; ++x) {
      if (x == edge || x == edge + 1) continue;
      const std::size_t i = static_cast<std::size_t>(y * s.rasterWidth + x);
      if (s.raster[i] != b.host.canvas.raster[i]) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  if (a.host.caretPos.x != b.host.caretPos.x || a.host.caretPos.y != b.host.caretPos.y) return "caret position";
  if (a.host.CaretVisible() != b.host.CaretVisible()) return "caret visibility";
  if (a.host.bars != b.host.bars) return "scroll bars";
  return {};
}

// The first pixel a full repaint left as the raster began, or empty: every pixel of
// the window is the editor's to paint, the row below each line's text too.
std::string FirstUnpainted(const Twin& twin) {
  const RecordingSurface& s = twin.host.canvas;
  const auto at = std::find(s.raster.begin(), s.raster.end(), kUnpainted);
  if (at == s.raster.end()) return {};
  const auto i = static_cast<int>(at - s.raster.begin());
  return "unpainted pixel (" + std::to_string(i % s.rasterWidth) + ", " + std::to_string(i / s.rasterWidth) + ")";
}

TEST(PaintAfterBurst, AfterEachBurstTheScreenIsWhatPaintingAfterEachKeyLeaves) {
  std::mt19937 rng(20261208);
  for (int session = 0; session < 30; ++session) {
    const std::string text = RandomText(rng);
    Twin now(text);
    Twin later(text);
    ASSERT_EQ(FirstDifference(now, later), "");
    std::string keys;
    int burstLeft = std::uniform_int_distribution<int>(1, 30)(rng);
    for (int step = 0; step < 120; ++step) {
      const Key& k = Keys()[std::uniform_int_distribution<std::size_t>(0, Keys().size() - 1)(rng)];
      keys += " " + std::to_string(k.key) + (k.shift ? "S" : "") + (k.ctrl ? "C" : "");
      now.Press(k);
      later.Press(k);
      now.host.UpdateNow();
      if (--burstLeft > 0) continue;
      burstLeft = std::uniform_int_distribution<int>(1, 30)(rng);
      const std::string where = "session " + std::to_string(session) + " text [" + text + "] keys" + keys;
      later.host.UpdateNow();
      ASSERT_EQ(FirstDifference(now, later), "") << where;
      // And both are what painting everything anew gives.
      later.host.InvalidateAll();
      later.host.UpdateNow();
      ASSERT_EQ(FirstDifference(now, later), "") << where;
      ASSERT_EQ(FirstUnpainted(later), "") << where;
    }
  }
}

// A burst of typing past the right edge scrolls sideways once: the pixels move in one
// step before the paint, and the keys themselves draw nothing and move no pixel.
// The scroll bars too wait for it: the system redraws a bar on every change.
TEST(PaintAfterBurst, ABurstOfTypingDrawsNothingUntilThePaint) {
  Twin later("start:\r\n");
  later.editor.SetCaret(0, 0);
  later.host.UpdateNow();
  later.host.scrolls.clear();
  later.host.canvas.Clear();
  later.host.barChanges = 0;
  for (int i = 0; i < 3; ++i) later.Press(Key{vk::Return, false, false, '\r'});
  for (int i = 0; i < 60; ++i) later.Press(Key{'A', false, false, 'a'});
  EXPECT_TRUE(later.host.scrolls.empty());
  EXPECT_TRUE(later.host.canvas.texts.empty());
  EXPECT_TRUE(later.host.canvas.fills.empty());
  EXPECT_EQ(later.host.barChanges, 0);
  later.host.UpdateNow();
  ASSERT_EQ(later.host.scrolls.size(), 1u);
  EXPECT_LT(later.host.scrolls[0].dx, 0);
  EXPECT_FALSE(later.host.canvas.texts.empty());
  // Once each: the vertical bar's range grew, the horizontal one's position moved.
  EXPECT_EQ(later.host.barChanges, 2);
  EXPECT_EQ(later.host.bars[ScrollBarKind::Vertical].max, Inside(later.editor).view.VertScrollBar().Max());
  EXPECT_EQ(later.host.bars[ScrollBarKind::Horizontal].position, Inside(later.editor).view.HorzScrollBar().Position());
}

// A bar is given its values at the paint, and only when they changed.
TEST(ScrollBarMirror, TypingThatMovesNoBarLeavesTheBarsAlone) {
  Twin twin("start:\r\n");
  const auto press = [&](const Key& k) {
    twin.Press(k);
    twin.host.UpdateNow();
  };
  twin.host.barChanges = 0;
  for (int i = 0; i < 5; ++i) press(Key{'A', false, false, 'a'});
  EXPECT_EQ(twin.host.barChanges, 0);
  press(Key{vk::Return, false, false, '\r'});
  EXPECT_EQ(twin.host.barChanges, 1);
  // A window made anew gets every bar again.
  twin.editor.WindowCreated();
  twin.host.UpdateNow();
  EXPECT_EQ(twin.host.barChanges, 3);
}

}  // namespace
}  // namespace vantorel
