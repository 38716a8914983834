// The keyboard road on the headless window: keys and two-key sequences through the
// key table, the dropped character, and the commands the dispatcher carries out
// itself. Cells are 8 × 16 pixels: 30 lines by 76 columns are visible.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

// Notes the text each insertion reports (a typed character reports itself), and can
// make a report fail.
class RecordingEditor : public TEditor {
 public:
  using TEditor::TEditor;
  void TextModified(int x, int y, std::string_view text, TextAction action) override {
    if (failAfter == 0) throw std::runtime_error("typing failed");
    if (failAfter > 0) --failAfter;
    if (action == TextAction::StreamInsert) typed += text;
    TEditor::TextModified(x, y, text, action);
  }
  int failAfter = -1;  // insertions to report before one fails
  std::string typed;
};

ShiftState Keys(bool shift, bool ctrl = false, bool alt = false) {
  ShiftState s;
  s.shift = shift;
  s.ctrl = ctrl;
  s.alt = alt;
  return s;
}

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    host.control = &editor;
    editor.SetGutterWidth(30);
    editor.WindowCreated();
  }
  void SetLines(const std::vector<std::string>& lines) { editor.Lines().Assign(lines); }
  // A key-down and, for a key that types, its character message.
  void Press(int key, ShiftState shift = {}, char ch = 0) {
    editor.KeyDown(key, shift);
    if (ch != 0) editor.KeyPress(ch);
  }
  TextPoint Caret() const { return {editor.CaretX(), editor.CaretY()}; }

  HeadlessWindowHost host;
  RecordingEditor editor{&host};
};

TEST_F(CommandsTest, TwoKeySequencesTakeTheSecondKeyWithCtrlOrAloneAndDropItsCharacter) {
  SetLines({"mov eax, ebx"});
  Press('K', Keys(false, true), 0x0B);
  Press(vk::Control, Keys(false, true));  // the modifier's auto-repeat changes nothing
  Press('T', {}, 't');
  EXPECT_EQ(editor.BlockText(), "mov");  // the word selected
  editor.Deselect();
  Press('K', Keys(false, true), 0x0B);
  Press('T', Keys(false, true), 0x14);
  EXPECT_EQ(editor.BlockText(), "mov");
  editor.Deselect();
  Press('K', Keys(false, true), 0x0B);
  Press(vk::Shift, Keys(true));
  Press('T', Keys(true), 'T');  // Shift is not a way to give the second key
  EXPECT_FALSE(editor.HasSelection());
  EXPECT_EQ(editor.typed, "");
  Press('T', {}, 't');  // the sequence is over: the letter types
  EXPECT_EQ(editor.typed, "t");
}

TEST_F(CommandsTest, ACommandKeyDropsTheNextCharacterALetterKeyDoesNot) {
  SetLines({"abc"});
  Press(vk::Right);
  char ch = 'x';
  editor.KeyPress(ch);  // arrives before any further key-down: dropped
  EXPECT_EQ(editor.typed, "");
  Press('Y', {}, 'y');
  EXPECT_EQ(editor.typed, "y");
  editor.SetReadOnly(true);
  Press('Z', {}, 'z');
  EXPECT_EQ(editor.typed, "y");
}

TEST_F(CommandsTest, ArrowsMoveWithoutWrappingAndDownOnTheLastLineDoesNothing) {
  SetLines({"ab", "c"});
  Press(vk::Left);
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  for (int i = 0; i < 4; ++i) Press(vk::Right);
  EXPECT_EQ(Caret(), (TextPoint{4, 0}));  // beyond the line end
  Press(vk::Down);
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));  // the column is kept on a shorter line
  Press(vk::Up, Keys(true));
  ASSERT_TRUE(editor.HasSelection());
  Press(vk::Down);  // back down: a plain move drops the block
  EXPECT_FALSE(editor.HasSelection());
  Press(vk::Up, Keys(true));
  Press(vk::Down, Keys(true));
  Press(vk::Down, Keys(true));  // on the last line: not even the block changes
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
}

TEST_F(CommandsTest, HomeEndAndTheDocumentEnds) {
  SetLines({"  first", "second line", "end"});
  editor.SetCaret(3, 1);
  Press(vk::End);
  EXPECT_EQ(Caret(), (TextPoint{11, 1}));
  Press(vk::Home);
  EXPECT_EQ(Caret(), (TextPoint{0, 1}));  // column 0, not the first non-blank
  Press(vk::End, Keys(false, true));
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
  Press(vk::Home, Keys(false, true));
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  Press(vk::End, Keys(true));
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelEndX(), 7);
  // Ctrl goes down after Shift: the block of the Shift+End grows on to the end.
  Press(vk::Control, Keys(true, true));
  Press(vk::End, Keys(true, true));
  EXPECT_EQ(editor.SelBeginY(), 0);
  EXPECT_EQ(editor.SelBeginX(), 0);
  EXPECT_EQ(editor.SelEndY(), 2);
  EXPECT_EQ(editor.SelEndX(), 3);
}

TEST_F(CommandsTest, ShiftAltArrowsGrowAColumnBlockAndKeepTheFormat) {
  SetLines({"abcdef", "ab", "abcdef"});
  editor.SetCaret(1, 0);
  Press(vk::Down, Keys(true, false, true));
  Press(vk::Down, Keys(true, false, true));
  Press(vk::Right, Keys(true, false, true));
  Press(vk::Right, Keys(true, false, true));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfColumn);
  EXPECT_EQ(editor.SelBeginX(), 1);
  EXPECT_EQ(editor.SelEndX(), 3);
  EXPECT_EQ(editor.SelEndY(), 2);
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
}

TEST_F(CommandsTest, PagesMoveTheViewAndTheCaretByThePage) {
  SetLines(std::vector<std::string>(100, "line"));
  Press(vk::Next);
  EXPECT_EQ(editor.TopLine(), 30);
  EXPECT_EQ(editor.CaretY(), 30);
  Press(vk::Next, Keys(true));
  EXPECT_EQ(editor.CaretY(), 60);
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelBeginY(), 30);
  Press(vk::Next, Keys(true));
  Press(vk::Next, Keys(true));  // the block ends on the last line
  EXPECT_EQ(editor.SelEndY(), 99);
  EXPECT_EQ(editor.UpdateLock(), 0);
  Press(vk::Prior);
  EXPECT_FALSE(editor.HasSelection());
  Press(vk::Prior, Keys(false, true));  // Ctrl+PgUp: the top line of the window
  EXPECT_EQ(editor.CaretY(), editor.TopLine());
  Press(vk::Next, Keys(false, true));
  EXPECT_EQ(editor.CaretY(), editor.LastVisibleLine());
}

TEST_F(CommandsTest, CtrlUpAndDownScrollTheViewAndKeepTheCaretInIt) {
  SetLines(std::vector<std::string>(100, "x"));
  editor.ScrollTo(0, 10);
  editor.SetCaret(0, editor.LastVisibleLine());
  Press(vk::Up, Keys(false, true));
  EXPECT_EQ(editor.TopLine(), 9);
  EXPECT_EQ(editor.CaretY(), 38);  // was 39, the bottom line: pulled up with the view
  editor.SetCaret(0, editor.TopLine());
  Press(vk::Up, Keys(false, true));
  EXPECT_EQ(editor.CaretY(), 9);  // on the top line it stays
  Press(vk::Down, Keys(false, true));
  EXPECT_EQ(editor.TopLine(), 9);
  EXPECT_EQ(editor.CaretY(), 9);
}

TEST_F(CommandsTest, BookmarksToggleAndJumpBack) {
  SetLines(std::vector<std::string>(100, "bookmark"));
  editor.SetCaret(4, 7);
  Press('3', Keys(true, true));
  editor.SetCaret(0, 80);
  Press('3', Keys(false, true));
  EXPECT_EQ(Caret(), (TextPoint{4, 7}));
  EXPECT_EQ(editor.TopLine(), 0);  // already in view: the view stays
  Press('3', Keys(true, true));    // again on line 7: cleared
  EXPECT_FALSE(Inside(editor).commands->Bookmarks()[3].Valid);
  editor.SetCaret(0, 60);
  Press('3', Keys(false, true));
  EXPECT_EQ(Caret(), (TextPoint{0, 60}));
  // The two-key forms reach the same slots.
  Press('K', Keys(false, true));
  Press('5');
  editor.SetCaret(0, 2);
  Press('Q', Keys(false, true));
  Press('5', Keys(false, true));
  EXPECT_EQ(Caret(), (TextPoint{0, 60}));
}

TEST_F(CommandsTest, AReplayedMacroIsOneUndoStepOfWhatWasRecorded) {
  SetLines({""});
  Press('R', Keys(true, true));
  EXPECT_TRUE(Inside(editor).commands->MacroRecording());
  Press('A', {}, 'a');
  Press('B', {}, 'b');
  Press('R', Keys(true, true));
  EXPECT_EQ(Inside(editor).commands->LastMacro(), std::string("a\0b\0", 4));
  const int records = Inside(editor).undo.Count();
  Press('P', Keys(true, true));
  EXPECT_EQ(editor.typed, "abab");
  ASSERT_GE(Inside(editor).undo.Count(), records + 2);
  EXPECT_EQ(Inside(editor).undo.Item(records).Class(), UndoClass::BeginCompound);
  EXPECT_EQ(Inside(editor).undo.Item(Inside(editor).undo.Count() - 1).Class(), UndoClass::EndCompound);
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(CommandsTest, AFailingReplayStillClosesItsGroupAndUpdate) {
  SetLines({""});
  Press('R', Keys(true, true));
  Press('A', {}, 'a');
  Press('B', {}, 'b');
  Press('R', Keys(true, true));
  editor.failAfter = 1;  // the second replayed character fails
  EXPECT_THROW(Press('P', Keys(true, true)), std::runtime_error);
  EXPECT_EQ(editor.typed, "aba");
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  EXPECT_EQ(editor.UpdateLock(), 0);
  EXPECT_EQ(Inside(editor).undo.Item(Inside(editor).undo.Count() - 1).Class(), UndoClass::EndCompound);
}

TEST_F(CommandsTest, ReadOnlyEnterMovesToTheNextLinesText) {
  SetLines({"label:", "    mov eax, 1", ""});
  editor.SetReadOnly(true);
  editor.SetCaret(9, 0);
  Press(vk::Return, {}, '\r');
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
  EXPECT_EQ(editor.typed, "");
  Press(vk::Return, {}, '\r');  // an empty line keeps the column
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
}

TEST_F(CommandsTest, TheWheelWithShiftMovesTheCaret) {
  SetLines({"a", "b", "c"});
  editor.MouseWheel(Keys(true), -120);
  EXPECT_EQ(editor.CaretY(), 1);
  editor.MouseWheel(Keys(true), 120);
  EXPECT_EQ(editor.CaretY(), 0);
}

TEST_F(CommandsTest, EditMessagesPostTheirCommandsUnlessReadOnly) {
  SetLines({"a"});
  EXPECT_EQ(editor.EditMessage(EditMessageKind::CanUndo), 0);
  editor.EditMessage(EditMessageKind::Copy);
  editor.EditMessage(EditMessageKind::Cut);
  EXPECT_EQ(host.postedCommands, (std::vector<int>{ec::Copy, ec::Cut}));
  editor.SetReadOnly(true);
  editor.EditMessage(EditMessageKind::Paste);
  EXPECT_EQ(host.postedCommands.size(), 2u);
  EXPECT_EQ(editor.EditMessage(EditMessageKind::Clear), 1);
  editor.SetCaret(1, 0);
  EXPECT_EQ(editor.EditMessage(EditMessageKind::CanUndo), 1);
}

TEST_F(CommandsTest, InsertToggleAndTheBlockFormatCommands) {
  SetLines({"abc", "def"});
  Press(vk::Insert);
  EXPECT_FALSE(editor.InsertMode());
  editor.SelectRange(1, 0, 2, 1);
  Press('O', Keys(false, true));
  Press('L');
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfLine);
  EXPECT_EQ(editor.SelBeginX(), 0);
  Press('O', Keys(false, true));
  Press('K', Keys(false, true));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfNonInclusive);
  EXPECT_EQ(editor.SelBeginX(), 1);  // the real columns come back
  EXPECT_EQ(editor.SelEndX(), 2);
}

}  // namespace
}  // namespace vantorel
