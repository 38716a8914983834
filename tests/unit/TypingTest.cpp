// Typing and the text commands through the real keyboard road (key-downs and
// character messages) on the headless window: 30 visible lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"

namespace vantorel {
namespace {

using Lines = std::vector<std::string>;

ShiftState Mods(bool shift, bool ctrl = false) {
  ShiftState s;
  s.shift = shift;
  s.ctrl = ctrl;
  return s;
}

class TypingTest : public ::testing::Test {
 protected:
  TypingTest() {
    host.control = &editor;
    editor.SetGutterWidth(30);
    editor.WindowCreated();
  }
  void SetLines(const Lines& lines) { editor.Lines().Assign(lines); }
  Lines AllLines() const {
    Lines out;
    for (int i = 0; i < editor.Lines().Count(); ++i) out.push_back(editor.Lines().Get(i));
    return out;
  }
  // Characters as WM_CHAR brings them, CR for Enter.
  void Type(std::string_view text) {
    for (char c : text) {
      char ch = c;
      editor.KeyPress(ch);
    }
  }
  void Key(int key, ShiftState shift = {}) { editor.KeyDown(key, shift); }
  void At(int x, int y) { editor.SetCaret(x, y); }
  TextPoint Caret() const { return {editor.CaretX(), editor.CaretY()}; }

  HeadlessWindowHost host;
  TEditor editor{&host};
};

TEST_F(TypingTest, ABlankTypedAtTheLineEndIsNotStoredUntilTextFollows) {
  SetLines({"x"});
  At(1, 0);
  Type("ab ");
  EXPECT_EQ(AllLines(), (Lines{"xab"}));
  EXPECT_EQ(editor.CaretX(), 4);
  Type("c");
  EXPECT_EQ(AllLines(), (Lines{"xab c"}));
  EXPECT_TRUE(editor.Modified);
}

TEST_F(TypingTest, CharactersAndEnterIntoAnEmptyEditor) {
  Type("mov eax, 1\r");
  EXPECT_EQ(AllLines(), (Lines{"mov eax, 1", ""}));
  EXPECT_EQ(Caret(), (TextPoint{0, 1}));
}

TEST_F(TypingTest, EnterSplitsTheLineAndIndentsLikeTheLinesAbove) {
  SetLines({"start:", "    mov eax, 1"});
  At(14, 1);
  Type("\r");
  EXPECT_EQ(AllLines(), (Lines{"start:", "    mov eax, 1", ""}));  // the blanks are trailing: not stored
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
  SetLines({"start:", "    mov eax, 1"});
  At(8, 1);
  Type("\r");
  EXPECT_EQ(AllLines(), (Lines{"start:", "    mov", "    eax, 1"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
  SetLines({"x", "start:"});
  At(6, 1);
  Type("\r");
  EXPECT_EQ(Caret(), (TextPoint{0, 2}));
  SetLines({"    indented"});  // line 0 gives no indentation
  At(12, 0);
  Type("\r");
  EXPECT_EQ(Caret(), (TextPoint{0, 1}));
  SetLines({"abcdef"});
  At(3, 0);
  Type("\r");
  EXPECT_EQ(AllLines(), (Lines{"abc", "def"}));
  EXPECT_EQ(Caret(), (TextPoint{0, 1}));
  // Inside the blanks of a blank line: the nearest line with text decides.
  SetLines({"top", "  two", "        "});
  editor.KeepTrailingBlanks = false;
  At(6, 2);
  Type("\r");
  EXPECT_EQ(Caret(), (TextPoint{2, 3}));
}

TEST_F(TypingTest, EnterInOverwriteModeOnlyMovesDown) {
  SetLines({"abc", "    def"});
  editor.SetInsertMode(false);
  At(7, 0);
  Type("\r");
  EXPECT_EQ(AllLines(), (Lines{"abc", "    def"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
  Type("\r");  // on the last line a line is added
  EXPECT_EQ(AllLines(), (Lines{"abc", "    def", ""}));
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
  Type("xy");
  At(0, 1);
  Type("Z");
  EXPECT_EQ(editor.Lines().Get(1), "Z   def");
}

TEST_F(TypingTest, TabFollowsTheWordsOfTheLinesAboveThenTheTabStops) {
  SetLines({"    mov eax, ebx", ""});
  At(0, 1);
  std::vector<int> columns;
  for (int i = 0; i < 6; ++i) {
    Key(vk::Tab);
    columns.push_back(editor.CaretX());
  }
  EXPECT_EQ(columns, (std::vector<int>{4, 8, 13, 16, 18, 20}));
  EXPECT_EQ(editor.Lines().Get(1), "");  // blanks at the end of a line are not stored
  At(7, 1);
  Key(vk::Tab, Mods(true));
  EXPECT_EQ(editor.CaretX(), 6);
  // In the middle of a line the rest moves right.
  SetLines({"mov eax, ebx", "ab"});
  At(1, 1);
  Key(vk::Tab);
  EXPECT_EQ(editor.Lines().Get(1), "a   b");
  EXPECT_EQ(editor.CaretX(), 4);
  // Overwrite mode and read-only only move the caret.
  editor.SetInsertMode(false);
  At(0, 1);
  Key(vk::Tab);
  EXPECT_EQ(editor.CaretX(), 4);
  EXPECT_EQ(editor.Lines().Get(1), "a   b");
}

TEST_F(TypingTest, BackspaceUnindentsToTheLevelsAbove) {
  SetLines({"x", "    y", "        mov"});
  At(8, 2);
  Key(vk::Back);
  EXPECT_EQ(editor.Lines().Get(2), "    mov");
  EXPECT_EQ(editor.CaretX(), 4);
  Key(vk::Back);
  EXPECT_EQ(editor.Lines().Get(2), "mov");
  SetLines({"x", "       y", "        mov"});
  At(8, 2);
  Key(vk::Back);
  EXPECT_EQ(editor.Lines().Get(2), "mov");
  // In virtual space one column goes, the text stays.
  SetLines({"ab"});
  At(5, 0);
  Key(vk::Back);
  EXPECT_EQ(Caret(), (TextPoint{4, 0}));
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  // At column 0 the line joins the one above.
  SetLines({"first", "second"});
  At(0, 1);
  Key(vk::Back);
  EXPECT_EQ(AllLines(), (Lines{"firstsecond"}));
  EXPECT_EQ(Caret(), (TextPoint{5, 0}));
  Key(vk::Home);
  Key(vk::Back);  // on line 0 nothing happens
  EXPECT_EQ(AllLines(), (Lines{"firstsecond"}));
}

TEST_F(TypingTest, DeleteRemovesACharacterOrJoinsThePaddedNextLine) {
  SetLines({"ab", "cd"});
  At(0, 0);
  Key(vk::Delete);
  EXPECT_EQ(AllLines(), (Lines{"b", "cd"}));
  At(4, 0);
  Key(vk::Delete);
  EXPECT_EQ(AllLines(), (Lines{"b   cd"}));
  At(6, 0);
  Key(vk::Delete);  // the end of the last line
  EXPECT_EQ(AllLines(), (Lines{"b   cd"}));
}

TEST_F(TypingTest, WordMovesStopAtWordStarts) {
  SetLines({"mov eax, ebx", "ret"});
  At(12, 0);
  std::vector<int> left;
  for (int i = 0; i < 4; ++i) {
    Key(vk::Left, Mods(false, true));
    left.push_back(editor.CaretX());
  }
  EXPECT_EQ(left, (std::vector<int>{9, 4, 0, 0}));
  std::vector<TextPoint> right;
  for (int i = 0; i < 4; ++i) {
    Key(vk::Right, Mods(false, true));
    right.push_back(Caret());
  }
  EXPECT_EQ(right, (std::vector<TextPoint>{{4, 0}, {9, 0}, {12, 0}, {0, 1}}));
  At(20, 0);  // beyond the end: Ctrl+Left goes to the end
  Key(vk::Left, Mods(false, true));
  EXPECT_EQ(editor.CaretX(), 12);
}

TEST_F(TypingTest, WordDeletionAndWordSelection) {
  SetLines({"mov eax, ebx"});
  At(4, 0);
  Key('T', Mods(false, true));  // Ctrl+T: to the start of the next word
  EXPECT_EQ(AllLines(), (Lines{"mov ebx"}));
  SetLines({"mov eax, ebx"});
  At(9, 0);
  Key(vk::Back, Mods(false, true));  // Ctrl+BkSp
  EXPECT_EQ(AllLines(), (Lines{"mov ebx"}));
  EXPECT_EQ(editor.CaretX(), 4);
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  SetLines({"call foo_bar"});
  At(7, 0);
  Key('K', Mods(false, true));
  Key('T');
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.BlockText(), "foo_bar");
  EXPECT_EQ(editor.CaretX(), 12);
}

TEST_F(TypingTest, TypingAndEnterReplaceTheBlock) {
  SetLines({"mov eax, ebx"});
  editor.SelectRange(4, 0, 7, 0);
  Type("ecx");
  EXPECT_EQ(AllLines(), (Lines{"mov ecx, ebx"}));
  editor.SelectRange(3, 0, 9, 0);
  Type("\r");
  EXPECT_EQ(AllLines(), (Lines{"mov", "ebx"}));
  EXPECT_EQ(editor.UndoGroupDepth, 0);
}

TEST_F(TypingTest, DeleteLineKeepsTheCaretsColumnAndLineNumber) {
  SetLines({"a", "bb", "c"});
  At(1, 1);
  Key('Y', Mods(false, true));
  EXPECT_EQ(AllLines(), (Lines{"a", "c"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  Key('Y', Mods(false, true));
  EXPECT_EQ(AllLines(), (Lines{"a"}));
}

TEST_F(TypingTest, ReadOnlyChangesNoText) {
  SetLines({"abc", "def"});
  editor.SetReadOnly(true);
  At(1, 0);
  Type("x");
  Key(vk::Delete);
  Key(vk::Back);
  Key('Y', Mods(false, true));
  Key(vk::Tab);
  EXPECT_EQ(AllLines(), (Lines{"abc", "def"}));
  EXPECT_EQ(editor.CaretX(), 2);  // Tab still moves the caret
  EXPECT_FALSE(editor.Modified);
}

}  // namespace
}  // namespace vantorel
