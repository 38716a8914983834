// End-to-end: the colours the real program paints a loaded source in, read back from
// the screen, and a comment opener typed with real keys colouring the lines below it
// until Ctrl+Z takes it back.
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr std::uint32_t kOlive = 0x808000;
constexpr std::uint32_t kNavy = 0x000080;
constexpr std::uint32_t kPurple = 0x800080;
constexpr std::uint32_t kBlue = 0x0000FF;

class HighlightTest : public E2eTest {
 protected:
  // Loads the text and measures the cell height from the caret.
  void Open(const std::string& name, const std::string& text) {
    ASSERT_NO_FATAL_FAILURE(StartOnFile(name, text));
    const std::optional<ScreenRect> caret = CaretRect();
    ASSERT_TRUE(caret);
    cellHeight = caret->Height() + 2;
  }
  // How many pixels of a line's row between x = left and x = right pass the test.
  template <class Test>
  int CountIf(const Image& image, int line, Test test, int left = 33, int right = -1) const {
    if (right < 0) right = image.width - 20;
    int n = 0;
    for (int y = line * cellHeight; y < (line + 1) * cellHeight; ++y) {
      for (int x = left; x < right; ++x) n += test(image, x, y) ? 1 : 0;
    }
    return n;
  }
  int Count(const Image& image, int line, std::uint32_t colour, int left = 33, int right = -1) const {
    return CountIf(
        image, line, [colour](const Image& i, int x, int y) { return i.At(x, y) == colour; }, left, right);
  }
  // The first and last x of the line's pixels that are not the window colour.
  std::pair<int, int> InkSpan(const Image& image, int line) const {
    const std::uint32_t window = image.At(image.width - 30, line * cellHeight + 1);
    int first = -1;
    int last = -1;
    for (int y = line * cellHeight; y < (line + 1) * cellHeight; ++y) {
      for (int x = 33; x < image.width - 20; ++x) {
        if (image.At(x, y) == window) continue;
        if (first < 0 || x < first) first = x;
        last = std::max(last, x);
      }
    }
    return {first, last};
  }
  int cellHeight = 0;
};

TEST_F(HighlightTest, ALoadedSourceIsPaintedInTheColoursOfItsTokens) {
  Open("colours.asm",
       "/* one\r\n"
       "two\r\n"
       "three */\r\n"
       "int\r\n"
       "_int\r\n"
       "x = 0x1F; \"str\"\r\n"
       "WWWW\r\n"
       "WWWWWWWW\r\n");
  const std::optional<Image> image = EditorShot();
  ASSERT_TRUE(image);
  // The block comment colours all three of its lines olive, and nothing in them is
  // painted in the window-text colour.
  for (int line = 0; line < 3; ++line) {
    EXPECT_GT(Count(*image, line, kOlive), 20) << "line " << line;
    // Right of the caret, which may stand blinking on the first cell's left edge.
    EXPECT_EQ(Count(*image, line, 0x000000, 34), 0) << "line " << line;
  }
  // The cell width, from two lines of four and eight W.
  const int cellWidth = (InkSpan(*image, 7).second - InkSpan(*image, 6).second) / 4;
  ASSERT_GT(cellWidth, 4);
  const auto cells = [&](int from, int to) { return std::pair{33 + from * cellWidth, 33 + to * cellWidth}; };
  // x = 0x1F; "str": the symbols blue, both halves of the number navy, the string purple.
  const auto [symbolLeft, symbolRight] = cells(2, 3);
  EXPECT_GT(Count(*image, 5, kBlue, symbolLeft, symbolRight), 3);
  const auto [numberLeft, numberRight] = cells(4, 8);
  EXPECT_GT(Count(*image, 5, kNavy, numberLeft, numberRight), 10);
  EXPECT_EQ(Count(*image, 5, 0x000000, numberLeft, numberRight), 0);
  const auto [stringLeft, stringRight] = cells(10, 15);
  EXPECT_GT(Count(*image, 5, kPurple, stringLeft, stringRight), 10);
  // The keyword int is bold: its letters are heavier than the same letters of _int.
  const auto [keywordLeft, keywordRight] = cells(0, 3);
  const auto [plainLeft, plainRight] = cells(1, 4);
  const auto dark = [](const Image& i, int x, int y) { return i.Dark(x, y); };
  const int bold = CountIf(*image, 3, dark, keywordLeft, keywordRight);
  const int regular = CountIf(*image, 4, dark, plainLeft, plainRight);
  EXPECT_GT(bold, regular + regular / 5) << "bold " << bold << " regular " << regular;
}

TEST_F(HighlightTest, ACommentOpenerTypedAtALineStartColoursTheLinesBelowUntilUndone) {
  Open("typed.asm", "a = 1\r\nb = 2\r\nc = 3\r\n");
  ASSERT_TRUE(wine.FocusMainWindow());
  std::optional<Image> before = EditorShot();
  ASSERT_TRUE(before);
  for (int line = 1; line < 3; ++line) {
    ASSERT_EQ(Count(*before, line, kOlive), 0);
    ASSERT_GT(Count(*before, line, 0x000000), 10);
  }
  ASSERT_EQ(wine.Xdotool({"type", "--delay", "80", "/*"}).exitCode, 0);
  ASSERT_TRUE(TextBecomes("/*a = 1\r\nb = 2\r\nc = 3\r\n")) << Text();
  std::optional<Image> commented = EditorShot();
  ASSERT_TRUE(commented);
  for (int line = 1; line < 3; ++line) {
    EXPECT_GT(Count(*commented, line, kOlive), 10) << "line " << line;
    EXPECT_EQ(Count(*commented, line, 0x000000), 0) << "line " << line;
  }
  Keys("ctrl+z");
  ASSERT_TRUE(TextBecomes("a = 1\r\nb = 2\r\nc = 3\r\n")) << Text();
  std::optional<Image> undone = EditorShot();
  ASSERT_TRUE(undone);
  for (int line = 0; line < 3; ++line) {
    EXPECT_EQ(Count(*undone, line, kOlive), 0) << "line " << line;
    EXPECT_GT(Count(*undone, line, 0x000000), 10) << "line " << line;
  }
}

}  // namespace
}  // namespace vantorel::e2e
