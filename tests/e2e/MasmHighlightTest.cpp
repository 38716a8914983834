// End-to-end: the assembler's colouring chosen in the View menu of the real program.
// The screen shows a ";" comment olive and slanted and an instruction bold, the menu's
// radio mark moves, and the choice is stored at close and applied at the next start.
#include <sstream>
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr std::uint32_t kOlive = 0x808000;

// Line 0 a comment, line 1 the same letters as a plain word under it; "mov" and the
// plain "_mov" one cell to its right; two rows of W give the cell width.
constexpr std::string_view kSource =
    "; IIII\r\n"
    "  IIII\r\n"
    "mov eax, 1\r\n"
    "_mov\r\n"
    "WWWW\r\n"
    "WWWWWWWW\r\n";

class MasmHighlightTest : public E2eTest {
 protected:
  void Open(std::string_view source = kSource) {
    const std::string path = wine.PutFile("rules.asm", std::string(source));
    ASSERT_TRUE(wine.Start({path}));
    ASSERT_TRUE(WaitForPanel(1, path));
    const std::optional<ScreenRect> caret = CaretRect();
    ASSERT_TRUE(caret);
    cellHeight = caret->Height() + 2;
  }
  // The ink of a line's row between x = left and right: pixels not of the window colour.
  template <class Visit>
  void ForInk(const Image& image, int line, int left, int right, Visit visit) const {
    const std::uint32_t window = image.At(image.width - 30, line * cellHeight + 1);
    for (int y = line * cellHeight; y < (line + 1) * cellHeight; ++y) {
      for (int x = left; x < right; ++x) {
        if (image.At(x, y) != window) visit(x, y, image.At(x, y));
      }
    }
  }
  int CountColour(const Image& image, int line, std::uint32_t colour, int left = 33, int right = -1) const {
    int n = 0;
    ForInk(image, line, left, right < 0 ? image.width - 20 : right, [&](int, int, std::uint32_t c) { n += c == colour; });
    return n;
  }
  int Dark(const Image& image, int line, int left, int right) const {
    int n = 0;
    ForInk(image, line, left, right, [&](int x, int y, std::uint32_t) { n += image.Dark(x, y); });
    return n;
  }
  int RightmostInk(const Image& image, int line) const {
    int last = -1;
    ForInk(image, line, 33, image.width - 20, [&](int x, int, std::uint32_t) { last = std::max(last, x); });
    return last;
  }
  // How far the ink of the upper half of a line's row lies right of that of its lower
  // half, in pixels: about nothing for upright letters, a few for slanted ones.
  double Slant(const Image& image, int line, int left, int right) const {
    double sum[2] = {0, 0};
    int count[2] = {0, 0};
    const int middle = line * cellHeight + cellHeight / 2;
    ForInk(image, line, left, right, [&](int x, int y, std::uint32_t) {
      sum[y < middle ? 0 : 1] += x;
      ++count[y < middle ? 0 : 1];
    });
    if (count[0] == 0 || count[1] == 0) return 0;
    return sum[0] / count[0] - sum[1] / count[1];
  }
  // The caption of the View menu's checked colouring item ("" when none).
  std::string CheckedRules() {
    std::istringstream in(wine.Ask({"menu-dump"}));
    std::string checked;
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> f;
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
      if (f.size() == 4 && f[2] == "checked" && f[3].rfind("подсветка ", 0) == 0) checked = f[3];
    }
    return checked;
  }
  // The assembler's colours on the screen: the comment olive with no window-text ink
  // and slanted beyond the same letters upright below it; mov heavier than _mov.
  void ExpectAssemblerColours(const Image& image) {
    const int cellWidth = (RightmostInk(image, 5) - RightmostInk(image, 4)) / 4;
    ASSERT_GT(cellWidth, 4);
    const auto cell = [&](int column) { return 33 + column * cellWidth; };
    EXPECT_GT(CountColour(image, 0, kOlive), 20);
    // Right of the caret, which stands on the first cell's left edge.
    EXPECT_EQ(CountColour(image, 0, 0x000000, cell(0) + 1), 0);
    const double italic = Slant(image, 0, cell(2), cell(6));
    const double upright = Slant(image, 1, cell(2), cell(6));
    EXPECT_GT(italic, upright + 1.0) << "slant of the comment " << italic << ", of the plain word " << upright;
    const int bold = Dark(image, 2, cell(0), cell(3));
    const int regular = Dark(image, 3, cell(1), cell(4));
    EXPECT_GT(bold, regular + regular / 5) << "bold " << bold << " regular " << regular;
  }
  int cellHeight = 0;
};

TEST_F(MasmHighlightTest, ChosenInTheViewMenuItColoursAtOnceAndSurvivesARestart) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(CheckedRules(), "подсветка Java");
  std::optional<Image> java = EditorShot();
  ASSERT_TRUE(java);
  // The Java rules know no ";" comment.
  ASSERT_EQ(CountColour(*java, 0, kOlive), 0);

  wine.Ask({"menu", "Вид/подсветка MASM"});
  std::optional<Image> masm;
  EXPECT_TRUE(WineSession::WaitUntil([&] { return (masm = EditorShot()) && CountColour(*masm, 0, kOlive) > 20; }));
  ASSERT_TRUE(masm);
  ASSERT_NO_FATAL_FAILURE(ExpectAssemblerColours(*masm));
  wine.Screenshot(WineSession::ArtifactsDir() / "masm-rules.png", ParseRect(wine.Ask({"client", "editor"})));
  EXPECT_EQ(CheckedRules(), "подсветка MASM");

  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(wine.RegDword("HIGHLIGHTER"), 1u);
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(CheckedRules(), "подсветка MASM");
  std::optional<Image> restarted = EditorShot();
  ASSERT_TRUE(restarted);
  ASSERT_NO_FATAL_FAILURE(ExpectAssemblerColours(*restarted));

  // Back to Java: the comment loses its colour at once, and the choice is stored.
  wine.Ask({"menu", "Вид/подсветка Java"});
  EXPECT_TRUE(WineSession::WaitUntil([&] {
    const std::optional<Image> shot = EditorShot();
    return shot && CountColour(*shot, 0, kOlive) == 0;
  }));
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(wine.RegDword("HIGHLIGHTER"), 0u);
}

// A COMMENT block whose delimiter is a Cyrillic letter, converted to the DOS page and
// then edited inside: the block still ends where its converted delimiter stands, and
// the instruction under it is not painted as comment.
TEST_F(MasmHighlightTest, ABlockWithACyrillicDelimiterStillEndsAfterAConversion) {
  ASSERT_TRUE(wine.RegAddDword("HIGHLIGHTER", 1));
  ASSERT_NO_FATAL_FAILURE(Open("COMMENT \xff the block\r\n  inside\r\n\xff end of it\r\nmov eax, 1\r\n"));
  wine.Ask({"menu", "Правка/конвертация Win > Dos"});
  ASSERT_TRUE(TextBecomes("COMMENT \xef the block\r\n  inside\r\n\xef end of it\r\nmov eax, 1\r\n")) << Text();
  // Enter inside the block, after "  " on its second line (offset 21 + 2).
  wine.Ask({"setsel", "23", "23"});
  wine.Ask({"char", "\r"});
  ASSERT_TRUE(TextBecomes("COMMENT \xef the block\r\n\r\ninside\r\n\xef end of it\r\nmov eax, 1\r\n")) << Text();
  std::optional<Image> shot;
  EXPECT_TRUE(WineSession::WaitUntil([&] { return (shot = EditorShot()) && CountColour(*shot, 2, kOlive) > 20; }));
  ASSERT_TRUE(shot);
  wine.Screenshot(WineSession::ArtifactsDir() / "masm-converted-block.png", ParseRect(wine.Ask({"client", "editor"})));
  EXPECT_EQ(CountColour(*shot, 4, kOlive), 0) << "the line under the block is painted as comment";
  EXPECT_GT(CountColour(*shot, 4, 0x000000), 20);
}

}  // namespace
}  // namespace vantorel::e2e
