// End-to-end: what the editor shows — the gutter and the caret's place, the right
// margin, scrolling a long file with the vertical bar, and the scroll-bar toggle.
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kSilver = 0xC0C0C0;
constexpr long kVScroll = 0x00200000;  // WS_VSCROLL
constexpr long kHScroll = 0x00100000;  // WS_HSCROLL

class EditorViewTest : public E2eTest {
 protected:
  // The editor's client area on the screen, and its pixels after the paint settled.
  std::optional<Image> CaptureEditor() {
    client = ParseRect(wine.Ask({"client", "editor"}));
    if (!client) return std::nullopt;
    std::this_thread::sleep_for(300ms);
    return Capture(*client);
  }
  // The rightmost dark pixel of a text row, relative to the editor's client area.
  static int RightmostDark(const Image& image, int y) {
    for (int x = image.width - 20; x >= 0; --x) {
      if (image.Dark(x, y)) return x;
    }
    return -1;
  }
  struct Bar {
    int pos = -1, min = 0, max = 0, page = 0, thumbTop = 0, thumbBottom = 0;
    ScreenRect rect;
  };
  std::optional<Bar> VerticalBar() {
    std::istringstream in(wine.Ask({"vscroll"}));
    Bar b;
    if (!(in >> b.pos >> b.min >> b.max >> b.page >> b.thumbTop >> b.thumbBottom >> b.rect.left >> b.rect.top >>
          b.rect.right >> b.rect.bottom)) {
      return std::nullopt;
    }
    return b;
  }
  void Click(int x, int y) {
    ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(x), std::to_string(y), "sleep", "0.1", "click", "1"}).exitCode,
              0);
  }
  long EditorStyle() { return std::stol(wine.Ask({"style"})); }

  std::optional<ScreenRect> client;
};

TEST_F(EditorViewTest, GutterCaretAndFirstCellArePlacedOnTheGrid) {
  const std::string path = wine.PutFile("grid.asm", "WWWW\r\nmov eax, 1\r\n");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  const std::optional<ScreenRect> caret = CaretRect();
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->left, 32);
  EXPECT_EQ(caret->top, 1);
  EXPECT_EQ(caret->Width(), 2);
  const int cellHeight = caret->Height() + 2;

  const std::optional<Image> image = CaptureEditor();
  ASSERT_TRUE(image);
  // A row below the text: gutter, its three lines, then the window colour.
  const int y = cellHeight * 5 + 3;
  const std::uint32_t window = image->At(100, y);
  const std::uint32_t gutter = image->At(5, y);
  EXPECT_NE(gutter, window);
  for (int x = 0; x < 28; ++x) EXPECT_EQ(image->At(x, y), gutter) << "x " << x;
  EXPECT_EQ(image->At(28, y), window);
  EXPECT_EQ(image->At(29, y), kGrey);
  EXPECT_EQ(image->At(30, y), window);
  EXPECT_EQ(image->At(31, y), window);
  // The second line's text starts in the cell at x = 33, not left of it (the first
  // line holds the caret, at x = 32).
  int first = -1;
  for (int x = 0; x < 60 && first < 0; ++x) {
    for (int row = cellHeight; row < 2 * cellHeight; ++row) {
      if (x >= 30 && image->Dark(x, row)) {
        first = x;
        break;
      }
    }
  }
  EXPECT_GE(first, 33);
  EXPECT_LE(first, 35);
}

TEST_F(EditorViewTest, TheSilverMarginStandsAfterColumn100) {
  StorePlacement(0, 0, 1000, 500);
  const std::string path = wine.PutFile("long.asm", std::string(200, 'a') + "\r\nW\r\nWW\r\n");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  const std::optional<ScreenRect> caret = CaretRect();
  ASSERT_TRUE(caret);
  const int cellHeight = caret->Height() + 2;
  const std::optional<Image> image = CaptureEditor();
  ASSERT_TRUE(image);
  const int cellWidth = RightmostDark(*image, cellHeight * 2 + cellHeight / 2) -
                        RightmostDark(*image, cellHeight + cellHeight / 2);
  ASSERT_GT(cellWidth, 4);
  const int y = cellHeight * 6;
  std::vector<int> silver;
  for (int x = 0; x < image->width; ++x) {
    if (image->At(x, y) == kSilver) silver.push_back(x);
  }
  ASSERT_EQ(silver.size(), 1u);
  EXPECT_EQ(silver[0], 33 + 100 * cellWidth);
  // The long first line is crossed by the margin too.
  EXPECT_EQ(image->At(silver[0], 1), kSilver);
}

// Line i of the file is "W" repeated i % 37 + 1 times, so the length of the top row
// tells which line is at the top.
std::string Numbered2000Lines() {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += std::string(static_cast<std::size_t>(i % 37 + 1), 'W') + "\r\n";
  return text;
}

TEST_F(EditorViewTest, ALongFileScrollsWithTheVerticalBar) {
  const std::string path = wine.PutFile("numbers.asm", Numbered2000Lines());
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  const std::optional<ScreenRect> caret = CaretRect();
  ASSERT_TRUE(caret);
  const int cellHeight = caret->Height() + 2;
  std::optional<Image> image = CaptureEditor();
  ASSERT_TRUE(image);
  const int cellWidth = RightmostDark(*image, cellHeight + cellHeight / 2) - RightmostDark(*image, cellHeight / 2);
  ASSERT_GT(cellWidth, 4);
  const auto topLineLength = [&] {
    image = CaptureEditor();
    if (!image) return -1;
    return (RightmostDark(*image, cellHeight / 2) - 33) / cellWidth + 1;
  };
  std::optional<Bar> bar = VerticalBar();
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->pos, 0);
  EXPECT_EQ(bar->max, 2000 + bar->page - 2);
  const int visibleLines = static_cast<int>(bar->page);
  const int barX = (bar->rect.left + bar->rect.right) / 2;

  // The arrow at the bottom: one line down.
  Click(barX, bar->rect.bottom - 4);
  ASSERT_TRUE(WineSession::WaitUntil([&] { return VerticalBar() && VerticalBar()->pos == 1; }));
  EXPECT_EQ(topLineLength(), 2);

  // The trough below the thumb: a page down.
  bar = VerticalBar();
  ASSERT_TRUE(bar);
  Click(barX, bar->rect.top + bar->thumbBottom + 20);
  ASSERT_TRUE(WineSession::WaitUntil([&] { return VerticalBar() && VerticalBar()->pos == 1 + visibleLines; }));
  EXPECT_EQ(topLineLength(), (1 + visibleLines) % 37 + 1);

  // Dragging the thumb scrolls the text while it moves.
  bar = VerticalBar();
  ASSERT_TRUE(bar);
  const int thumbY = bar->rect.top + (bar->thumbTop + bar->thumbBottom) / 2;
  ASSERT_EQ(
      wine.Xdotool({"mousemove", std::to_string(barX), std::to_string(thumbY), "sleep", "0.1", "mousedown", "1"})
          .exitCode,
      0);
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(barX), std::to_string(thumbY + 30), "sleep", "0.1", "mousemove",
                          std::to_string(barX), std::to_string(thumbY + 60)})
                .exitCode,
            0);
  std::this_thread::sleep_for(300ms);
  const int dragged = topLineLength();
  ASSERT_EQ(wine.Xdotool({"mouseup", "1"}).exitCode, 0);
  bar = VerticalBar();
  ASSERT_TRUE(bar);
  EXPECT_GT(bar->pos, 1 + visibleLines);
  EXPECT_EQ(dragged, bar->pos % 37 + 1);
  EXPECT_EQ(topLineLength(), bar->pos % 37 + 1);
}

TEST_F(EditorViewTest, TheScrollButtonCyclesTheEditorsScrollBars) {
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(EditorStyle() & (kVScroll | kHScroll), kVScroll);
  const std::optional<ScreenRect> button = ParseRect(wine.Ask({"button", "Scroll"}));
  ASSERT_TRUE(button);
  const long expected[] = {kHScroll, kVScroll | kHScroll, 0, kVScroll};
  for (long bars : expected) {
    Click((button->left + button->right) / 2, (button->top + button->bottom) / 2);
    EXPECT_TRUE(WineSession::WaitUntil([&] { return (EditorStyle() & (kVScroll | kHScroll)) == bars; }))
        << "expected style bits " << bars << ", have " << (EditorStyle() & (kVScroll | kHScroll));
  }
  // The editor keeps the keyboard focus through it all.
  EXPECT_EQ(wine.Ask({"focus"}), "THLEditor");
}

}  // namespace
}  // namespace vantorel::e2e
