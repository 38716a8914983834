// End-to-end: the caret, the selection and the mouse in the real editor, driven by
// real keys and mouse events; the caret is read from status panel 2 ("X : Y", shown
// after every key and mouse release) and the block through EM_GETSEL.
#include <string>
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

class EditorInputTest : public E2eTest {
 protected:
  // Starts the program on a file and learns the cell grid from the caret: at
  // offsets 0 and 1 of the first line it stands one cell apart.
  void StartOn(const std::string& text) {
    ASSERT_NO_FATAL_FAILURE(StartOnFile("caret.asm", text));
    client = ParseRect(wine.Ask({"client", "editor"}));
    ASSERT_TRUE(client);
    wine.Ask({"setsel", "1", "1"});
    const std::optional<ScreenRect> second = CaretRect();
    wine.Ask({"setsel", "0", "0"});
    const std::optional<ScreenRect> first = CaretRect();
    ASSERT_TRUE(first && second);
    cellWidth = second->left - first->left;
    cellHeight = first->Height() + 2;
    textLeft = first->left;
    ASSERT_GT(cellWidth, 4);
    ASSERT_TRUE(wine.FocusMainWindow());
  }
  // A screen point in the left third of a cell.
  std::pair<std::string, std::string> Cell(int column, int line) const {
    return {std::to_string(client->left + textLeft + 1 + column * cellWidth + cellWidth / 3),
            std::to_string(client->top + line * cellHeight + cellHeight / 2)};
  }
  bool CaretReads(const std::string& text) { return WaitForPanel(2, text); }
  std::string Selection() { return wine.Ask({"getsel"}); }

  std::optional<ScreenRect> client;
  int cellWidth = 0;
  int cellHeight = 0;
  int textLeft = 0;
};

TEST_F(EditorInputTest, KeysMoveTheCaretAndShiftKeysSelect) {
  StartOn("mov eax, 1\r\n    push ebx\r\nret\r\n");
  Keys("Down");
  Keys("Down");
  EXPECT_TRUE(CaretReads("0 : 2")) << wine.Panel(2);
  Keys("End");
  EXPECT_TRUE(CaretReads("3 : 2")) << wine.Panel(2);
  Keys("Up");
  EXPECT_TRUE(CaretReads("3 : 1")) << wine.Panel(2);
  Keys("Home");
  EXPECT_TRUE(CaretReads("0 : 1")) << wine.Panel(2);
  Keys("ctrl+End");
  EXPECT_TRUE(CaretReads("3 : 2")) << wine.Panel(2);
  Keys("ctrl+Home");
  EXPECT_TRUE(CaretReads("0 : 0")) << wine.Panel(2);
  Keys("Right");
  Keys("Right");
  Keys("Right");
  Keys("shift+Right");
  Keys("shift+Right");
  EXPECT_EQ(Selection(), "3 5");
  Keys("shift+Down");  // to column 5 of "    push ebx": offset 12 + 5
  EXPECT_EQ(Selection(), "3 17");
  EXPECT_TRUE(CaretReads("5 : 1")) << wine.Panel(2);
  Keys("Left");  // a plain move drops the block
  EXPECT_EQ(Selection(), "16 16");
}

TEST_F(EditorInputTest, ClicksDragsDoubleClicksAndTheWheel) {
  std::string text = "mov eax, 1\r\npush ebx\r\ncall foo_bar\r\nret\r\n";
  for (int i = 0; i < 100; ++i) text += "nop\r\n";
  StartOn(text);
  const auto [x5, y2] = Cell(5, 2);
  ASSERT_EQ(wine.Xdotool({"mousemove", x5, y2, "sleep", "0.1", "click", "1"}).exitCode, 0);
  EXPECT_TRUE(CaretReads("5 : 2")) << wine.Panel(2);

  // A double click on "foo_bar" (line 2 starts at offset 22) selects the word.
  const auto [x8, y] = Cell(8, 2);
  ASSERT_EQ(wine.Xdotool({"mousemove", x8, y, "sleep", "0.6", "click", "--repeat", "2", "--delay", "80", "1"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Selection() == "27 34"; })) << Selection();
  EXPECT_TRUE(CaretReads("12 : 2")) << wine.Panel(2);

  // Alt+drag: a column block over columns 1 to 4 of lines 0 to 2 (4 characters a
  // line and two line breaks: 16 offsets from offset 1).
  const auto [ax, ay] = Cell(1, 0);
  const auto [bx, by] = Cell(4, 2);
  ASSERT_EQ(wine.Xdotool({"mousemove", ax, ay, "sleep", "0.6", "keydown", "alt", "mousedown", "1", "sleep", "0.1",
                          "mousemove", ax, ay, "sleep", "0.1", "mousemove", bx, by, "sleep", "0.1", "mouseup", "1",
                          "keyup", "alt", "sleep", "0.1", "key", "Escape"})
                .exitCode,
            0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Selection() == "1 17"; })) << Selection();

  // One notch of the wheel scrolls three lines; the caret stays.
  ASSERT_EQ(wine.Xdotool({"mousemove", x5, y2, "click", "5"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"vscroll"}).rfind("3 ", 0) == 0; })) << wine.Ask({"vscroll"});
}

TEST_F(EditorInputTest, EditMessagesSelectAllAndReportTheBlock) {
  StartOn("mov eax, 1\r\nret\r\n");
  wine.Ask({"setsel", "0", "-1"});
  EXPECT_EQ(Selection(), "0 15");
  wine.Ask({"setsel", "5", "5"});
  EXPECT_EQ(Selection(), "5 5");
}

}  // namespace
}  // namespace vantorel::e2e
