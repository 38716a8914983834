// Faults found by trying the editor as a new user would and by the command fuzzer,
// each replayed through the keys (or messages) that showed it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "headless/IconvCodePages.h"
#include "headless/MemoryClipboard.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

constexpr ShiftState kPlain{};
constexpr ShiftState kCtrl{false, true, false};
constexpr ShiftState kShift{true, false, false};
constexpr ShiftState kCtrlShift{true, true, false};
constexpr ShiftState kShiftAlt{true, false, true};

class RobustnessTest : public ::testing::Test {
 protected:
  RobustnessTest() {
    host.control = &editor;
    host.client = Rect{0, 0, 400, 160};
    editor.WindowCreated();
    editor.SetClipboard(&clipboard);
    editor.SetCodePages(&codePages);
  }
  // Loads the bytes as a file is loaded; nothing to undo afterwards.
  void Load(const std::string& bytes) { editor.Lines().SetTextStr(bytes); }
  void Press(int key, ShiftState shift = kPlain) {
    editor.KeyDown(key, shift);
    for (int code : host.postedCommands) editor.RunCommand(code);
    host.postedCommands.clear();
  }
  // Each character comes with the key-down of a key that runs no command, as on a
  // keyboard, so a command key pressed before does not drop it.
  void Type(const std::string& text) {
    for (char ch : text) {
      int key = 'Q';
      editor.KeyDown(key, kPlain);
      char c = ch;
      editor.KeyPress(c);
    }
  }
  // A two-key sequence: Ctrl+first, then the second key alone.
  void Chord(int first, int second) {
    Press(first, kCtrl);
    Press(second);
  }
  void UndoAll() {
    for (int guard = 0; Inside(editor).undo.CanUndo() && guard < 1000; ++guard) editor.Undo();
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (int i = 0; i < editor.LineCount(); ++i) out.emplace_back(editor.LineView(i));
    return out;
  }
  void Place(int x, int y) { editor.SetCaret(x, y); }

  HeadlessWindowHost host;
  TEditor editor{&host};
  MemoryClipboard clipboard;
  IconvCodePages codePages;
};

using Text = std::vector<std::string>;

TEST_F(RobustnessTest, AMacroThatHoldsAReplayDoesNotReplayItself) {
  Load("mov eax, ebx\r\n");
  Press('R', kCtrlShift);  // record
  Press('P', kCtrlShift);  // a replay while recording: it goes into the macro
  Press('R', kCtrlShift);
  Press('P', kCtrlShift);  // replaying it must not run it again without end
  EXPECT_EQ(Lines(), (Text{"mov eax, ebx"}));
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(RobustnessTest, ACommandThatRunsAnotherIsRecordedOnceAndReplaysOnce) {
  Load("a\r\nb\r\nc\r\nd\r\n");
  Press('R', kCtrlShift);
  Press(vk::Down, kShiftAlt);  // a column selection runs the selection command inside
  Press('R', kCtrlShift);
  EXPECT_EQ(Inside(editor).commands->LastMacro().size(), 2u);
  Press('P', kCtrlShift);
  EXPECT_EQ(editor.SelEndY(), 2);  // one line more, not two
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfColumn);
}

// Word deletion deletes the word, whatever format the user chose for blocks: the
// line format must not widen it to whole lines, nor an inclusive or column format
// take the character at the caret with it.
TEST_F(RobustnessTest, WordDeletionDeletesTheWordInEveryBlockFormat) {
  const struct {
    int second;  // Ctrl+O and this key choose the format
    const char* name;
  } formats[] = {{'L', "line"}, {'C', "column"}, {'I', "inclusive"}, {'K', "non-inclusive"}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    Load("mov eax, ebx\r\n");
    Chord('O', f.second);
    Place(7, 0);
    Press(vk::Back, kCtrl);
    EXPECT_EQ(Lines(), (Text{"mov , ebx"}));
    Load("mov eax, ebx\r\n");
    Place(4, 0);
    Press('T', kCtrl);
    EXPECT_EQ(Lines(), (Text{"mov ebx"}));
    UndoAll();
    EXPECT_EQ(Lines(), (Text{"mov eax, ebx"}));
  }
}

TEST_F(RobustnessTest, ARangeSetWhileTheFormatIsLinesStaysARangeOfCharacters) {
  // A pasted line block switches the format to lines.
  Load("mov eax, ebx\r\nx\r\n");
  clipboard.text = "nop";
  clipboard.blockType = static_cast<std::uint8_t>(TSelBlockFormat::bfLine);
  Place(0, 1);
  editor.PasteClipboard();
  ASSERT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfLine);
  Place(7, 0);
  Press(vk::Back, kCtrl);
  EXPECT_EQ(editor.LineView(0), "mov , ebx");
  // EM_SETSEL and WM_CLEAR erase the characters of the offsets, not their lines.
  editor.SetSelForMessage(0, 3);
  editor.EditMessage(EditMessageKind::Clear);
  EXPECT_EQ(editor.LineView(0), " , ebx");
  EXPECT_EQ(editor.LineCount(), 3);
}

TEST_F(RobustnessTest, ACaseCommandLeavesTheBlockCoveringWhatItCovered) {
  Load("abcdefgh\r\n");
  Place(1, 0);
  Press(vk::Right, kShiftAlt);  // a column block "bc"
  Chord('O', 'U');
  Chord('O', 'U');
  EXPECT_EQ(Lines(), (Text{"abcdefgh"}));  // "d" was never selected
  EXPECT_EQ(editor.SelBeginX(), 1);
  EXPECT_EQ(editor.SelEndX(), 2);

  // A column block several lines deep, beyond column 5, over lines of any length.
  Load("0123456789\r\nab\r\nabcdefghijkl\r\n");
  Place(6, 0);
  Press(vk::Right, kShiftAlt);
  Press(vk::Right, kShiftAlt);
  Press(vk::Down, kShiftAlt);
  Press(vk::Down, kShiftAlt);
  const TextPoint begin{editor.SelBeginX(), editor.SelBeginY()};
  const TextPoint end{editor.SelEndX(), editor.SelEndY()};
  Chord('O', 'U');
  EXPECT_EQ(Lines(), (Text{"0123456789", "ab", "abcdefGHIjkl"}));
  EXPECT_EQ((TextPoint{editor.SelBeginX(), editor.SelBeginY()}), begin);
  EXPECT_EQ((TextPoint{editor.SelEndX(), editor.SelEndY()}), end);
  EXPECT_FALSE(editor.SelEndX() < editor.SelBeginX());
}

TEST_F(RobustnessTest, UndoGivesBackTrailingBlanksByteForByte) {
  // A public source's last line ends with a blank and has no line end.
  const std::string file = "start:\r\n\tinvoke ExitProcess, 0 \r\n  end start ";
  Load(file);
  const Text loaded = Lines();
  Press(vk::End, kCtrl);
  Type(";");
  Press('Z', kCtrl);
  EXPECT_EQ(Lines(), loaded);
  // Typing at column 0 of a line with trailing blanks cuts them; undo brings them back.
  Place(0, 1);
  Type("x");
  EXPECT_EQ(editor.LineView(1), "x  invoke ExitProcess, 0");
  Press('Z', kCtrl);
  EXPECT_EQ(Lines(), loaded);
  // Blanks added for the caret beyond the end never come back.
  Place(30, 0);
  Type("q");
  Press('Z', kCtrl);
  EXPECT_EQ(Lines(), loaded);
  // A character other than a blank left at the end by a deletion (here a NUL) is
  // cut with the blanks; undo puts it back, not a blank in its place.
  Load(std::string("ab \0 cd\r\n", 9));
  const Text withNul = Lines();
  Place(5, 0);
  Press(vk::End, kShift);
  Press(vk::Delete);
  EXPECT_EQ(editor.LineView(0), "ab");
  Press('Z', kCtrl);
  EXPECT_EQ(Lines(), withNul);
}

TEST_F(RobustnessTest, UnindentWithoutLeadingBlanksChangesNothing) {
  Load("mov\r\nret\r\nend\r\n");
  Press(vk::Down, kShift);
  Press(vk::Down, kShift);
  Inside(editor).undo.Clear();
  editor.Modified = false;
  Chord('K', 'U');
  EXPECT_FALSE(editor.Modified);
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
}

TEST_F(RobustnessTest, AnIndentKeepsTheAnchorSoTheBlockGrowsOn) {
  Load("a\r\nb\r\nc\r\nd\r\n");
  Press(vk::Down, kShift);
  Press(vk::Right, kShift);
  Press('I', kCtrlShift);
  EXPECT_EQ(Lines(), (Text{"  a", "  b", "c", "d"}));
  Press(vk::Down, kShift);
  EXPECT_EQ(editor.SelBeginY(), 0);
  EXPECT_EQ(editor.SelEndY(), 2);
}

TEST_F(RobustnessTest, BackspaceAtTheVeryStartLeavesTheBlock) {
  Load("abc\r\ndef\r\n");
  editor.SelectRange(1, 0, 2, 1);
  Place(0, 0);
  Press(vk::Back);
  EXPECT_EQ(Lines(), (Text{"abc", "def"}));
  EXPECT_TRUE(editor.HasSelection());
}

TEST_F(RobustnessTest, AnEmptySelectionBeyondTheTextPutsTheCaretAtTheStart) {
  Load("mov eax");  // 7 bytes
  editor.SetSelForMessage(8, 8);
  EXPECT_EQ(editor.CaretX(), 0);
  EXPECT_EQ(editor.CaretY(), 0);
  EXPECT_FALSE(editor.HasSelection());
  editor.SetSelForMessage(4, 100);  // an end beyond the text still selects to its end
  EXPECT_EQ(editor.BlockText(), "eax");
}

TEST_F(RobustnessTest, BlockNotWholeTellsWhetherTheBlockCoversEverything) {
  Load("ab\r\ncd\r\n");
  EXPECT_TRUE(Inside(editor).blocks->BlockNotWhole());
  Press('A', kCtrl);
  EXPECT_FALSE(Inside(editor).blocks->BlockNotWhole());
  editor.SelectRange(0, 0, 1, 1);
  EXPECT_TRUE(Inside(editor).blocks->BlockNotWhole());
}

// What the command fuzzer found besides.
TEST_F(RobustnessTest, ABlockStartingOnAVeryLongLineCopiesAllItErases) {
  Load(std::string(5000, 'w') + "\r\nxy\r\n");
  editor.SelectRange(10, 0, 1, 1);
  EXPECT_EQ(editor.BlockText().size(), static_cast<std::size_t>(editor.SelLength()));
  Press('X', kCtrl);
  Press('V', kCtrl);
  EXPECT_EQ(Lines(), (Text{std::string(5000, 'w'), "xy"}));
}

TEST_F(RobustnessTest, AStreamBlockEndingLeftOfItsBeginBecomesAnOrderedRectangle) {
  Load("abcdef\r\nghijkl\r\n");
  editor.SelectRange(4, 0, 1, 1);
  Chord('O', 'C');
  EXPECT_EQ(editor.SelBeginX(), 1);
  EXPECT_EQ(editor.SelEndX(), 4);
  EXPECT_EQ(editor.BlockText(), "bcde\r\nhijk");
  EXPECT_EQ(static_cast<std::size_t>(editor.SelLength()), editor.BlockText().size());
}

TEST_F(RobustnessTest, ABlockNamingLinesTheTextNoLongerHasIsDroppedNotErased) {
  Load("abc\r\ndef\r\n");
  editor.SelectRange(1, 0, 2, 1);
  editor.Lines().Delete(1);  // the program removes a line under the block
  Inside(editor).selection.SetBlock({1, 0}, {2, 1});
  editor.EraseSelection();
  EXPECT_EQ(Lines(), (Text{"abc"}));
  EXPECT_FALSE(editor.HasSelection());
}

}  // namespace
}  // namespace vantorel
