// End-to-end: the completion in the real program. As shipped it has no lists, so its
// keys change nothing and open no window; given lists (through the probe), it shows the
// drop-down list under the caret line without taking the focus, and the keyboard and
// a click choose from it.
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

class CompletionTest : public E2eTest {
 protected:
  std::optional<ScreenRect> ListRect() {
    std::optional<ScreenRect> rect;
    WineSession::WaitUntil([&] {
      const CommandResult r = wine.Driver({"rect", "list"});
      rect = r.exitCode == 0 ? ParseRect(r.out) : std::nullopt;
      return rect.has_value();
    });
    return rect;
  }
  bool ListGone() {
    return WineSession::WaitUntil([&] { return wine.Driver({"rect", "list"}).exitCode != 0; });
  }
  std::string Focus() { return wine.Ask({"focus"}); }
};

TEST_F(CompletionTest, AsShippedItsKeysChangeNothingAndOpenNoWindow) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("src\\plain.asm", "Ca\r\nfor\r\n"));
  ASSERT_TRUE(CaretRect());
  Keys("End ctrl+space ctrl+j Down End ctrl+j ctrl+space");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Text(), "Ca\r\nfor\r\n");
  EXPECT_EQ(wine.Ask({"toplevel"}).find("TEditorCompletionList"), std::string::npos);
  EXPECT_EQ(Focus(), "THLEditor");
  EXPECT_TRUE(WaitForPanel(2, "3 : 1"));
  EXPECT_EQ(wine.Panel(3), "");
}

TEST_F(CompletionTest, TheListOpensUnderTheCaretLineAndKeysAndAClickChoose) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("src\\lists.asm", "x := Ca\r\nfor\r\n"));
  ASSERT_EQ(wine.Ask({"completion-lists"}), "given");
  const std::optional<ScreenRect> caret0 = CaretRect();
  ASSERT_TRUE(caret0);
  Keys("End");
  const std::optional<ScreenRect> client = ParseRect(wine.Ask({"client", "editor"}));
  ASSERT_TRUE(client);
  std::optional<ScreenRect> caret;
  ASSERT_TRUE(WineSession::WaitUntil([&] { return (caret = CaretRect()) && caret->left > caret0->left; }));
  const int cellHeight = caret->Height() + 2;

  Keys("ctrl+space");
  std::optional<ScreenRect> list = ListRect();
  ASSERT_TRUE(list) << "the list did not open";
  // Three items of 13 pixels and the border; the set width; at the caret's column,
  // its top on the line below the caret's.
  EXPECT_EQ(list->Height(), 3 * 13 + 2);
  EXPECT_EQ(list->Width(), 300);
  EXPECT_NEAR(list->left, client->left + caret->left - 2, 2);
  EXPECT_GT(list->top, client->top + caret->bottom - 3);
  EXPECT_LT(list->top, client->top + caret->top + cellHeight + 3);
  EXPECT_EQ(Focus(), "THLEditor");
  // The first item is selected: its row is filled in one colour that is not the
  // list's background; the rows below are the background with dark text on it.
  std::this_thread::sleep_for(300ms);
  wine.Screenshot(WineSession::ArtifactsDir() / "completion-list.png",
                  ScreenRect{client->left, client->top, list->right + 20, list->bottom + 20});
  const std::optional<Image> shot = Capture(*list);
  ASSERT_TRUE(shot);
  const std::uint32_t background = shot->At(shot->width - 3, 2 * 13 + 7);
  const std::uint32_t selected = shot->At(shot->width - 3, 1 + 6);
  EXPECT_NE(selected, background);
  int dark = 0;
  for (int y = 1 + 13; y < 1 + 3 * 13; ++y)
    for (int x = 4; x < 120; ++x) dark += shot->Dark(x, y) ? 1 : 0;
  EXPECT_GT(dark, 40) << "no item text drawn";

  Keys("Down Return");
  EXPECT_TRUE(TextBecomes("x := Color\r\nfor\r\n"));
  EXPECT_TRUE(ListGone());

  Keys("ctrl+space");
  ASSERT_TRUE(ListRect());
  Keys("Escape");
  EXPECT_TRUE(ListGone());
  EXPECT_EQ(Text(), "x := Color\r\nfor\r\n");

  Keys("ctrl+space");
  list = ListRect();
  ASSERT_TRUE(list);
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(list->left + 40), std::to_string(list->top + 1 + 2 * 13 + 6),
                          "sleep", "0.2", "click", "1"})
                .exitCode,
            0);
  EXPECT_TRUE(TextBecomes("x := Cursor\r\nfor\r\n"));
  EXPECT_TRUE(ListGone());
  EXPECT_EQ(Focus(), "THLEditor");

  // A template whose name is the word at the caret expands at once.
  Keys("Down End ctrl+j");
  EXPECT_TRUE(TextBecomes("x := Cursor\r\nfor (;;)\r\n{\r\n}\r\n"));
  EXPECT_TRUE(WaitForPanel(2, "5 : 1"));

  // Templates show their description at the left and their name, bold, at the right.
  Keys("ctrl+End Return w ctrl+j");
  list = ListRect();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Height(), 13 + 2);
  std::this_thread::sleep_for(300ms);
  wine.Screenshot(WineSession::ArtifactsDir() / "completion-templates.png",
                  ScreenRect{list->left - 40, list->top - 30, list->right + 10, list->bottom + 10});
  const std::optional<Image> row = Capture(*list);
  ASSERT_TRUE(row);
  // Text in the selection's colours: count pixels unlike the row's fill.
  const std::uint32_t fill = row->At(row->width / 2, 2);
  const auto inked = [&](int from, int to) {
    int n = 0;
    for (int y = 1; y < 14; ++y)
      for (int x = from; x < to; ++x) n += row->At(x, y) != fill ? 1 : 0;
    return n;
  };
  EXPECT_GT(inked(3, 60), 20) << "no description at the left";
  EXPECT_GT(inked(row->width - 60, row->width - 7), 20) << "no name at the right";
  EXPECT_EQ(inked(row->width - 7, row->width - 1), 0) << "the name reaches into the last 6 pixels";
  Keys("Escape");
  EXPECT_TRUE(ListGone());
}

// With the code hints on, the index of the source and its includes fills the list: an
// API name from an include of the Masm32 folder, a procedure of the source and a
// constant of an include beside it complete; a missing include is told in the status
// bar; with the option off, nothing opens.
TEST_F(CompletionTest, WithCodeHintsOnTheIndexOfTheSourceAndItsIncludesFillsTheList) {
  wine.PutFile("masm32\\include\\user32.inc",
               "MessageBoxA PROTO :DWORD,:DWORD,:DWORD,:DWORD\r\nMessageBox equ <MessageBoxA>\r\n");
  wine.PutFile("src\\consts.inc", "IDM_EXIT equ 1001\r\n");
  ASSERT_TRUE(wine.RegAddString("MASM_PATH", "C:\\masm32"));
  ASSERT_TRUE(wine.RegAddDword("CODE_HINTS", 1));
  const std::string source =
      "include \\masm32\\include\\user32.inc\r\ninclude consts.inc\r\ninclude missing.inc\r\n"
      "WndProc PROC hWin:DWORD\r\nWndProc ENDP\r\ninvoke MessageB\r\n";
  ASSERT_NO_FATAL_FAILURE(StartOnFile("src\\hints.asm", source));
  ASSERT_TRUE(CaretRect());
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Panel(4).find("missing.inc") != std::string::npos; }))
      << wine.Panel(4);

  // The caret after "MessageB": the alias sorts before the name it stands for.
  const std::string before = source.substr(0, source.size() - 2);
  wine.Ask({"setsel", std::to_string(before.size()), std::to_string(before.size())});
  Keys("ctrl+space");
  const std::optional<ScreenRect> list = ListRect();
  ASSERT_TRUE(list) << "the list did not open";
  std::this_thread::sleep_for(300ms);
  const std::optional<ScreenRect> client = ParseRect(wine.Ask({"client", "editor"}));
  ASSERT_TRUE(client);
  wine.Screenshot(WineSession::ArtifactsDir() / "code-hints-list.png",
                  ScreenRect{client->left, client->top, list->right + 20, list->bottom + 20});
  EXPECT_EQ(list->Height(), 2 * 13 + 2);
  Keys("Return");
  const std::string afterApi = before.substr(0, before.size() - 8) + "MessageBox\r\n";
  ASSERT_TRUE(TextBecomes(afterApi)) << Text();

  // The source's own procedure and a constant of the include beside it, on a new line.
  const std::string end = std::to_string(afterApi.size() - 2);
  wine.Ask({"setsel", end, end});
  wine.Ask({"char", "\rinvoke Wnd"});
  Keys("ctrl+space Return");
  ASSERT_TRUE(TextBecomes(afterApi + "invoke WndProc\r\n")) << Text();
  wine.Ask({"char", ", IDM"});
  Keys("ctrl+space Return");
  ASSERT_TRUE(TextBecomes(afterApi + "invoke WndProc, IDM_EXIT\r\n")) << Text();

  // Off again: Ctrl+Space opens nothing.
  wine.Ask({"menu", "Вид/подсказки из include-файлов"});
  wine.Ask({"char", " + IDM"});
  Keys("ctrl+space");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(wine.Ask({"toplevel"}).find("TEditorCompletionList"), std::string::npos);
  EXPECT_EQ(Text(), afterApi + "invoke WndProc, IDM_EXIT + IDM\r\n");
}

}  // namespace
}  // namespace vantorel::e2e
