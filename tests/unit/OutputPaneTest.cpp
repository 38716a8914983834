// The build output pane's list on the headless window: the keys, the mouse, the wheel
// and the scroll bars of a list box, and what it paints.
#include "app/OutputPane.h"

#include <gtest/gtest.h>

#include <random>

#include "headless/BuildOutputFakes.h"
#include "headless/IconvCodePages.h"
#include "headless/RecordingSurface.h"

namespace vantorel {
namespace {

struct RecordingOwner : OutputPaneOwner {
  void LineOpened(int index) override { opened.push_back(index); }
  void PaneClosed() override { ++closed; }
  void PaneDragged(int height) override { heights.push_back(height); }
  std::vector<int> opened;
  int closed = 0;
  std::vector<int> heights;
};

class OutputPaneTest : public ::testing::Test {
 protected:
  // Lines "line 0", "line 1"... the ones whose number ends in 3 are errors.
  void Fill(int count) {
    for (int i = 0; i < count; ++i) {
      OutputLine line;
      line.text = "line " + std::to_string(shown_++);
      line.kind = line.text.back() == '3' ? PaneLineKind::Error : PaneLineKind::Text;
      pane.LinesChanged(lines.Add(std::move(line)));
    }
  }
  int Rows() const { return (window.area.Height() - pane.FrameHeight()) / pane.LineHeight(); }
  Point OnLine(int index) const {
    const Rect r = pane.Row(index)->rect;
    return Point{r.left + 4, r.top + 2};
  }

  HeadlessPaneWindow window;
  IconvCodePages codePages;
  TOutputLines lines;
  RecordingOwner owner;
  TOutputPane pane{window, lines, codePages, owner};
  int shown_ = 0;
};

// What the keys do from a line chosen (or none) with the list scrolled to a line: the
// arrows, Page Up and Down and Home and End move the choice as a list box does and
// bring it into view; Left and Right scroll sideways; Enter opens, Escape closes.
TEST_F(OutputPaneTest, KeysMoveTheChoiceAndScrollItIntoView) {
  window.Resize(40, pane.FrameHeight() + 8 * 16);  // 8 rows, lines wider than the list
  Fill(40);
  ASSERT_EQ(Rows(), 8);
  struct Case {
    int selected, top, key;
    int wantSelected, wantTop;
    bool handled = true;
  };
  const Case cases[] = {
      {10, 5, vk::Down, 11, 5},    {12, 5, vk::Down, 13, 6},   {39, 32, vk::Down, 39, 32},
      {10, 10, vk::Up, 9, 9},      {0, 0, vk::Up, 0, 0},       {-1, 20, vk::Down, 20, 20},
      {-1, 20, vk::Up, 20, 20},    {10, 5, vk::Next, 17, 10},  {38, 32, vk::Next, 39, 32},
      {10, 5, vk::Prior, 3, 3},    {2, 0, vk::Prior, 0, 0},    {10, 5, vk::Home, 0, 0},
      {10, 5, vk::End, 39, 32},    {10, 5, vk::Tab, 10, 5, false},
  };
  for (const Case& c : cases) {
    lines.Select(c.selected);
    pane.PaneScroll(ScrollBarKind::Vertical, ScrollCode::ThumbPosition, c.top);
    ASSERT_EQ(pane.Top(), c.top);
    EXPECT_EQ(pane.PaneKeyDown(c.key), c.handled) << c.selected << " " << c.key;
    EXPECT_EQ(lines.Selected(), c.wantSelected) << c.selected << " " << c.key;
    EXPECT_EQ(pane.Top(), c.wantTop) << c.selected << " " << c.key;
  }
  EXPECT_TRUE(pane.PaneKeyDown(vk::Right));
  EXPECT_EQ(pane.Left(), 8);
  EXPECT_TRUE(pane.PaneKeyDown(vk::Left));
  EXPECT_TRUE(pane.PaneKeyDown(vk::Left));
  EXPECT_EQ(pane.Left(), 0);
  lines.Select(4);
  EXPECT_TRUE(pane.PaneKeyDown(vk::Return));
  EXPECT_TRUE(pane.PaneKeyDown(vk::Escape));
  EXPECT_EQ(owner.opened, std::vector<int>{4});
  EXPECT_EQ(owner.closed, 1);
}

// Any mix of lines arriving, keys, the wheel, the bars, clicks and sizes keeps the
// list whole: the first line shown in range, a moved choice in view, the system bars
// told the list's own values, and a paint that draws the lines from the first shown
// in order, each in its colour and the chosen one highlighted.
TEST_F(OutputPaneTest, AnyInputKeepsTheListInRangeAndThePaintTrue) {
  std::mt19937 rng(3030);
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const int keys[] = {vk::Up, vk::Down, vk::Prior, vk::Next, vk::Home, vk::End, vk::Left, vk::Right};
  for (int step = 0; step < 6000; ++step) {
    const int selectedBefore = lines.Selected();
    const int input = pick(7);
    switch (input) {
      case 0: Fill(pick(3) == 0 ? 400 : pick(5)); break;
      case 1: pane.PaneKeyDown(keys[pick(8)]); break;
      case 2: pane.PaneWheel(pick(721) - 360); break;
      case 3:
        pane.PaneScroll(pick(2) ? ScrollBarKind::Vertical : ScrollBarKind::Horizontal,
                        static_cast<ScrollCode>(pick(9)), pick(12000) - 1000);
        break;
      case 4: window.Click(Point{pick(window.area.right), pick(window.area.bottom + 20) - 10}); break;
      case 5: window.Resize(pick(500) + 1, pick(300) + 1); break;
      case 6:
        if (pick(40) == 0) {
          lines.Clear();
          pane.LinesChanged(0);
        }
        break;
    }
    ASSERT_FALSE(window.captured);
    const int count = lines.Count();
    const int rows = std::max(1, Rows());
    ASSERT_GE(pane.Top(), 0);
    ASSERT_LE(pane.Top(), std::max(0, count - rows)) << step;
    ASSERT_GE(pane.Left(), 0);
    const int selected = lines.Selected();
    // A choice the user moved is in view (lines dropped at the top move it by themselves).
    if ((input == 1 || input == 4) && selected != selectedBefore && selected >= 0) {
      ASSERT_GE(selected, pane.Top()) << step;
      ASSERT_LT(selected, pane.Top() + rows) << step;
    }
    const HeadlessPaneWindow::Bar vertical{0, std::max(count - 1, 0), rows, pane.Top()};
    ASSERT_EQ(window.bars[1], vertical) << step;
    ASSERT_EQ(window.bars[0].position, pane.Left()) << step;
    ASSERT_EQ(window.bars[0].page, std::max(window.area.Width(), 1)) << step;
    if (step % 50 != 0) continue;
    RecordingSurface surface;
    pane.PanePaint(surface, window.area);
    int next = pane.Top();
    for (const RecordingSurface::FormattedTextCall& text : surface.formatted) {
      ASSERT_LT(next, count);
      ASSERT_EQ(text.text, lines[next].text) << step;
      const Color want = next == selected                             ? clHighlightText
                         : lines[next].kind == PaneLineKind::Error ? kErrorLineColor
                                                                    : clWindowText;
      ASSERT_EQ(text.color, want) << step;
      ASSERT_EQ(text.rect.left, kPaneTextIndent - pane.Left());
      ++next;
    }
    // Every line that shows, the last one in part too.
    const int showing = (std::max(window.area.bottom - pane.FrameHeight(), 0) + 15) / 16;
    ASSERT_EQ(next, std::min(count, pane.Top() + showing)) << step;
  }
}

// The bar on the top edge sizes the pane by the pointer's screen row (the window moves
// under it), its close mark closes it; a press on the list takes the focus and chooses,
// a drag chooses within the lines shown, and a double click opens.
TEST_F(OutputPaneTest, TheBarSizesAndClosesAndTheListChoosesAndOpens) {
  window.Resize(300, pane.FrameHeight() + 4 * 16);
  Fill(20);
  const Rect mark = pane.CloseMark();
  EXPECT_TRUE(pane.PaneSizesAt(Point{20, 3}));
  EXPECT_FALSE(pane.PaneSizesAt(Point{mark.left + 1, mark.top + 1}));
  EXPECT_FALSE(pane.PaneSizesAt(OnLine(16)));
  const int height = window.area.Height();
  pane.PaneMouseDown(MouseButton::Left, Point{20, 4});
  EXPECT_TRUE(window.captured);
  window.origin.y -= 30;  // the layout moved the pane up; the pointer went up 30 too
  pane.PaneMouseMove(true, Point{20, 4});
  pane.PaneMouseMove(true, Point{20, 14});
  pane.PaneMouseUp(MouseButton::Left, Point{20, 14});
  EXPECT_EQ(owner.heights, (std::vector<int>{height + 30, height + 20}));
  EXPECT_FALSE(window.captured);
  window.Click(Point{mark.left + 2, mark.top + 2});
  EXPECT_EQ(owner.closed, 1);

  ASSERT_EQ(pane.Top(), 16);
  pane.PaneMouseDown(MouseButton::Left, OnLine(17));
  EXPECT_TRUE(window.focused);
  EXPECT_EQ(lines.Selected(), 17);
  pane.PaneMouseMove(true, Point{5, 1000});  // below the list: its last line shown
  EXPECT_EQ(lines.Selected(), 19);
  pane.PaneMouseMove(true, Point{5, -50});  // above: its first
  EXPECT_EQ(lines.Selected(), 16);
  pane.PaneCaptureLost();
  pane.PaneMouseMove(true, OnLine(18));  // the mode ended with the capture
  EXPECT_EQ(lines.Selected(), 16);
  window.DoubleClick(OnLine(18));
  EXPECT_EQ(owner.opened, std::vector<int>{18});
  pane.PaneMouseDown(MouseButton::Right, OnLine(19));
  EXPECT_EQ(lines.Selected(), 18);
  // A font the system cannot measure leaves the lines as high as they were.
  window.cell = Point{7, 20};
  pane.SetFont(FontDesc{"Courier New", -15});
  window.cell.reset();
  pane.SetFont(FontDesc{"No Such Font", -15});
  EXPECT_EQ(pane.LineHeight(), 20);
}

}  // namespace
}  // namespace vantorel
