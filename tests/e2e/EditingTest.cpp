// End-to-end: writing in the real editor with real keys, saving the result, and
// taking the steps back with Ctrl+Z.
#include <string>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

using EditingTest = E2eTest;

TEST_F(EditingTest, TypedLinesAreSavedAsTypedAndCtrlZTakesTheStepsBack) {
  const std::string path = wine.PutFile("typed.asm", "");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"type", "--delay", "40", "mov eax, 1"}).exitCode, 0);
  Keys("Return");
  Keys("Tab");  // to column 4, the word "eax" of the line above
  EXPECT_TRUE(WaitForPanel(2, "4 : 1")) << wine.Panel(2);
  EXPECT_EQ(wine.Panel(3), "+");
  Keys("BackSpace");  // back to the indentation of the lines above: column 0
  EXPECT_TRUE(WaitForPanel(2, "0 : 1")) << wine.Panel(2);
  Keys("F2");
  // The blanks of the tab were never stored: the second line is empty.
  EXPECT_TRUE(WineSession::WaitUntil([&] { return ReadDriveC("typed.asm") == "mov eax, 1\r\n\r\n"; }))
      << ReadDriveC("typed.asm");
  EXPECT_TRUE(WaitForPanel(3, ""));

  Keys("ctrl+z");  // the Backspace
  EXPECT_TRUE(WaitForPanel(2, "4 : 1")) << wine.Panel(2);
  EXPECT_EQ(wine.Panel(3), "+");
  Keys("ctrl+z");  // the Tab
  EXPECT_TRUE(WaitForPanel(2, "0 : 1")) << wine.Panel(2);
  Keys("ctrl+z");  // everything typed in a row, Enter included
  EXPECT_TRUE(TextBecomes("")) << Text();
  EXPECT_TRUE(WaitForPanel(2, "0 : 0")) << wine.Panel(2);
}

}  // namespace
}  // namespace vantorel::e2e
