// Caret, selection and mouse rules of the editor on the headless window: 8 × 16
// pixel cells, a 30-pixel gutter (text from x = 33), 30 lines by 76 columns.
#include <gtest/gtest.h>

#include "tests/support/EditorInternals.h"
#include "tests/unit/EditorFixture.h"

namespace vantorel {
namespace {

class CaretSelectionTest : public EditorFixture {
 protected:
  CaretSelectionTest() {
    host.control = &editor;
    editor.SetGutterWidth(30);
    editor.WindowCreated();
  }
  // The pixel of a cell's left part: column + fraction cells right of the text's edge.
  static Point At(double column, int line) { return Point{32 + 1 + static_cast<int>(column * 8), line * 16 + 3}; }
  void Click(Point at, ShiftState shift = {}, MouseButton button = MouseButton::Left) {
    editor.MouseDown(button, shift, at);
    shift.left = false;
    editor.MouseUp(button, shift, at);
  }
  void DoubleClick(Point at) {
    Click(at);
    host.mouse = at;
    editor.DoubleClick(MouseButton::Left, {}, at);  // the double click, then its press, dropped
    editor.MouseUp(MouseButton::Left, {}, at);
  }
  std::string Selected() const {
    if (!editor.HasSelection()) return "";
    std::string out;
    for (int y = editor.SelBeginY(); y <= editor.SelEndY(); ++y) {
      const std::string line = editor.Lines().Get(y);
      const int from = y == editor.SelBeginY() ? editor.SelBeginX() : 0;
      const int to = y == editor.SelEndY() ? editor.SelEndX() : static_cast<int>(line.size());
      out += line.substr(static_cast<std::size_t>(std::min<int>(from, line.size())),
                         static_cast<std::size_t>(std::max(0, std::min<int>(to, line.size()) - from)));
      if (y < editor.SelEndY()) out += "\n";
    }
    return out;
  }
  TextPoint Caret() const { return {editor.CaretX(), editor.CaretY()}; }
};

TEST_F(CaretSelectionTest, AClickRoundsToTheNearestCellBorderAndStaysInsideTheText) {
  SetLines({"mov eax, 1", "ret"});
  EXPECT_EQ(editor.MouseToCaret(32 + 1 + 21, 0).x, 3);  // 2.6 cells in: the column after
  EXPECT_EQ(editor.MouseToCaret(32 + 1 + 17, 0).x, 2);  // 2.2 cells in
  EXPECT_EQ(editor.MouseToCaret(32 + 20, 0).x, 2);      // exactly 2.5: halves to even
  EXPECT_EQ(editor.MouseToCaret(32 + 28, 0).x, 4);      // exactly 3.5
  EXPECT_EQ(editor.MouseToCaret(-50, -50), (TextPoint{0, 0}));
  EXPECT_EQ(editor.MouseToCaret(5000, 5000), (TextPoint{75, 1}));  // last visible column, last line
  // Beyond the end of a short line the caret stays there; the line is not padded.
  Click(At(7, 1));
  EXPECT_EQ(Caret(), (TextPoint{7, 1}));
  EXPECT_EQ(editor.Lines().Get(1), "ret");
}

TEST_F(CaretSelectionTest, ShiftClickGrowsFromTheCaretOrKeepsTheBlocksAnchor) {
  SetLines({"first line", "second line", "third line"});
  Click(At(2, 0));
  ShiftState shift;
  shift.shift = true;
  Click(At(4, 1), shift);
  EXPECT_EQ(Selected(), "rst line\nseco");
  Click(At(1, 2), shift);  // the anchor stays at (2, 0)
  EXPECT_EQ(Selected(), "rst line\nsecond line\nt");
  EXPECT_EQ(Caret(), (TextPoint{1, 2}));
  Click(At(0, 0));  // a plain click drops the block
  EXPECT_FALSE(editor.HasSelection());
}

TEST_F(CaretSelectionTest, AltDragMakesAColumnBlockBeyondTheLineEnds) {
  SetLines({"ab", "abcdef", "a"});
  ShiftState alt;
  alt.alt = true;
  alt.left = true;
  editor.MouseDown(MouseButton::Left, alt, At(1, 0));
  editor.MouseMove(alt, At(1, 0));  // the first drag event sets the anchor
  editor.MouseMove(alt, At(4, 2));
  editor.MouseUp(MouseButton::Left, {}, At(4, 2));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfColumn);
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelBeginX(), 1);
  EXPECT_EQ(editor.SelEndX(), 4);
  EXPECT_EQ(editor.SelEndY(), 2);
  // The block's text counts only the characters that exist: "b", "bcde", "".
  EXPECT_EQ(editor.SelLength(), 1 + 2 + 4 + 2 + 0);
}

TEST_F(CaretSelectionTest, DraggingOutsideTheWindowScrollsByLineOrByPageEachTick) {
  std::vector<std::string> lines(200, "text");
  SetLines(lines);
  ShiftState held;
  held.left = true;
  editor.MouseDown(MouseButton::Left, {}, At(1, 5));
  editor.MouseMove(held, At(1, 6));
  const Point below{At(1, 0).x, 480 + 5};  // just below the window
  editor.MouseMove(held, below);
  EXPECT_EQ(host.timers.count(EditorTimer::AutoScroll), 1u);
  EXPECT_EQ(host.timers[EditorTimer::AutoScroll], 100);
  EXPECT_EQ(editor.CaretY(), 6);  // the cell under the pointer is not visible: only the timer moves on
  const int nearTarget = editor.MouseToCaret(below.x, below.y).y;
  editor.TimerTick(EditorTimer::AutoScroll);
  EXPECT_EQ(editor.CaretY(), nearTarget + 1);
  const Point far{At(1, 0).x, 480 + 40};  // far below: a page a tick
  editor.MouseMove(held, far);
  const int target = editor.MouseToCaret(far.x, far.y).y;
  editor.TimerTick(EditorTimer::AutoScroll);
  EXPECT_EQ(editor.CaretY(), target + editor.VisibleLines());
  EXPECT_EQ(editor.LastVisibleLine(), editor.CaretY());
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelBeginY(), 6);
  editor.MouseMove(held, At(1, 3));  // back inside: the timer stops
  EXPECT_TRUE(host.timers.empty());
  editor.MouseUp(MouseButton::Left, {}, At(1, 0));
  EXPECT_TRUE(host.timers.empty());
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(Inside(editor).undo.Item(Inside(editor).undo.Count() - 1).Class(), UndoClass::EndCompound);
}

TEST_F(CaretSelectionTest, LosingTheMouseEndsTheDragAndItsTimer) {
  SetLines(std::vector<std::string>(100, "text"));
  ShiftState held;
  held.left = true;
  editor.MouseDown(MouseButton::Left, {}, At(1, 5));
  editor.MouseMove(held, Point{At(1, 0).x, 480 + 30});
  ASSERT_FALSE(host.timers.empty());
  editor.MouseCaptureLost();  // a message box took the mouse mid-drag
  EXPECT_TRUE(host.timers.empty());
  EXPECT_FALSE(Inside(editor).mouse->MouseSelecting());
  EXPECT_EQ(Inside(editor).undo.Item(Inside(editor).undo.Count() - 1).Class(), UndoClass::EndCompound);
}

TEST_F(CaretSelectionTest, DraggingBelowTheLastLineEndsOnItAtTheMouseColumnCutToItsLength) {
  SetLines({"long first line", "ab"});
  ShiftState held;
  held.left = true;
  editor.MouseDown(MouseButton::Left, {}, At(3, 0));
  editor.MouseMove(held, At(9, 6));
  EXPECT_EQ(editor.SelEndY(), 1);
  EXPECT_EQ(editor.SelEndX(), 2);
  EXPECT_EQ(Caret(), (TextPoint{9, 1}));  // the caret itself may stand beyond the end
}

TEST_F(CaretSelectionTest, ADoubleClickSelectsTheWordItsRulesName) {
  SetLines({"call foo_bar", "a.b", "mov  eax", "x  ("});
  DoubleClick(At(7, 0));
  EXPECT_EQ(Selected(), "foo_bar");
  EXPECT_EQ(Caret(), (TextPoint{12, 0}));
  DoubleClick(At(0, 1));
  EXPECT_EQ(Selected(), "a");
  DoubleClick(At(1, 1));  // the full stop right after a word selects the word
  EXPECT_EQ(Selected(), "a");
  DoubleClick(At(3.2, 2));  // on the blanks: the word after them
  EXPECT_EQ(Selected(), "eax");
  DoubleClick(At(2.7, 2));  // right half of the last letter, blank after it: the next word
  EXPECT_EQ(Selected(), "eax");
  DoubleClick(At(3, 3));  // a lone separator selects itself
  EXPECT_EQ(Selected(), "(");
}

TEST_F(CaretSelectionTest, DoubleClickLineSelectsTheLineWithItsBreak) {
  std::vector<std::string> lines(10, "line");
  SetLines(lines);
  editor.DoubleClickLine = true;
  DoubleClick(At(2, 3));
  EXPECT_EQ(editor.SelBeginY(), 3);
  EXPECT_EQ(editor.SelBeginX(), 0);
  EXPECT_EQ(editor.SelEndY(), 4);
  EXPECT_EQ(editor.SelEndX(), 0);
  EXPECT_EQ(Caret(), (TextPoint{0, 4}));
  DoubleClick(At(1, 9));  // the last line: to its end
  EXPECT_EQ(editor.SelEndY(), 9);
  EXPECT_EQ(editor.SelEndX(), 4);
}

TEST_F(CaretSelectionTest, TheWheelScrollsThreeLinesANotchOrAPageWithCtrlAndNeverMovesTheCaret) {
  std::vector<std::string> lines(300, "x");
  SetLines(lines);
  editor.MouseWheel({}, -120);
  EXPECT_EQ(editor.TopLine(), 3);
  ShiftState ctrl;
  ctrl.ctrl = true;
  editor.MouseWheel(ctrl, -120);
  EXPECT_EQ(editor.TopLine(), 3 + 30);
  editor.MouseWheel(ctrl, 120);
  EXPECT_EQ(editor.TopLine(), 3);
  ShiftState alt;
  alt.alt = true;
  editor.MouseWheel(alt, -120);  // no rule for Alt
  EXPECT_EQ(editor.TopLine(), 3);
  editor.MouseWheel({}, 10000);  // clamped by the bar
  EXPECT_EQ(editor.TopLine(), 0);
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
}

TEST_F(CaretSelectionTest, OffsetsCountALineBreakAsTwo) {
  SetLines({"ab", "cd"});
  EXPECT_EQ(editor.PositionToOffset(1, 1), 5);
  EXPECT_EQ(editor.PositionToOffset(9, 0), 2);  // beyond the end counts as the end
  EXPECT_EQ(editor.PositionToOffset(0, 2), -1);
  EXPECT_EQ(editor.OffsetToPosition(4), (TextPoint{0, 1}));
  EXPECT_EQ(editor.OffsetToPosition(3), (TextPoint{-1, 1}));  // between CR and LF
  EXPECT_EQ(editor.OffsetToPosition(6), (TextPoint{2, 1}));
  EXPECT_EQ(editor.OffsetToPosition(7), (TextPoint{-1, -1}));
  EXPECT_EQ(editor.OffsetToPosition(-1), (TextPoint{-1, -1}));
}

TEST_F(CaretSelectionTest, EditMessagesSetAndReportTheSelectionByOffsets) {
  SetLines({"mov eax, ebx", "ret"});
  editor.SetSelForMessage(5, 5);
  EXPECT_FALSE(editor.HasSelection());
  EXPECT_EQ(Caret(), (TextPoint{5, 0}));
  editor.SetSelForMessage(0, -1);
  EXPECT_TRUE(editor.HasSelection());
  auto sel = editor.GetSelForMessage();
  EXPECT_EQ(sel.start, 0);
  EXPECT_EQ(sel.end, 12 + 2 + 3);
  EXPECT_EQ(sel.result, 17 << 16);
  editor.SetSelForMessage(4, 7);
  EXPECT_EQ(Selected(), "eax");
  EXPECT_EQ(Caret(), (TextPoint{7, 0}));
  // An end beyond the text selects to its end rather than making a block that
  // points nowhere.
  editor.SetSelForMessage(9, 1000);
  EXPECT_EQ(Selected(), "ebx\nret");
  EXPECT_EQ(editor.GetSelForMessage().end, 17);
}

TEST_F(CaretSelectionTest, EmGetSelReportsMinusOneBeyond65535) {
  SetLines(std::vector<std::string>(700, std::string(98, 'a')));  // 100 offsets a line
  editor.SetSelForMessage(65530, 65540);
  const auto sel = editor.GetSelForMessage();
  EXPECT_EQ(sel.start, 65530);
  EXPECT_EQ(sel.end, 65540);
  EXPECT_EQ(sel.result, -1);
}

TEST_F(CaretSelectionTest, SelLengthFollowsTheBlockFormat) {
  SetLines({"abcdef", "gh", "ijklmn"});
  editor.SelectRange(2, 0, 3, 2);
  EXPECT_EQ(editor.SelLength(), 4 + 4 + 3 + 2);  // "cdef" CRLF "gh" CRLF "ijk"
  editor.SetSelBlockFormat(TSelBlockFormat::bfInclusive);
  EXPECT_EQ(editor.SelLength(), 4 + 4 + 4 + 2);
  editor.SetSelBlockFormat(TSelBlockFormat::bfColumn);
  EXPECT_EQ(editor.SelLength(), 2 + 2 + 0 + 2 + 2);  // "cd", "", "kl"
  editor.SetSelBlockFormat(TSelBlockFormat::bfNonInclusive);
  Inside(editor).selection.SetBlock({0, 0}, {1, 5});  // a block that names lines that are gone
  host.beeps = 0;
  EXPECT_EQ(editor.SelLength(), 0);
  EXPECT_EQ(host.beeps, 1);
}

TEST_F(CaretSelectionTest, SelectAllOnAnEmptyTextSelectsNothing) {
  editor.SelectAll();
  EXPECT_FALSE(editor.HasSelection());
  SetLines({"a", "bc"});
  editor.SelectAll();
  EXPECT_EQ(Selected(), "a\nbc");
}

TEST_F(CaretSelectionTest, TheCaretPullsTheViewAlongAndRecordsItsMoves) {
  std::vector<std::string> lines(100, "x");
  SetLines(lines);
  editor.SetCaret(200, 50);
  EXPECT_EQ(Caret(), (TextPoint{200, 50}));
  EXPECT_EQ(editor.TopLine(), 50 - 30 + 1);
  EXPECT_EQ(editor.LeftColumn(), 200 - 76 + 1);
  editor.SetCaret(0, 500);  // clamped to the last line
  EXPECT_EQ(Caret(), (TextPoint{0, 99}));
  EXPECT_EQ(editor.LeftColumn(), 0);
  ASSERT_EQ(Inside(editor).undo.Count(), 2);
  EXPECT_EQ(static_cast<const TCaretUndo&>(Inside(editor).undo.Item(1)).Y, 50);
  editor.CursorBeyondEOF = true;
  editor.SetCaret(0, 120);
  EXPECT_EQ(editor.CaretY(), 120);
}

TEST_F(CaretSelectionTest, SelectionChangesAreReportedOutsideUndoGroupsOnly) {
  SetLines({"abc", "def"});
  int reports = 0;
  editor.OnSelectionChange = [&] { ++reports; };
  editor.ExtendSelection(0, 0);
  editor.ExtendSelection(2, 1);
  EXPECT_EQ(reports, 2);
  editor.UndoGroupDepth = 1;
  editor.ExtendSelection(1, 1);
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(Selected(), "abc\nd");
}

TEST_F(CaretSelectionTest, ARightClickTakesTheFocusWithoutMovingTheCaret) {
  SetLines({"abc", "def"});
  editor.SetCaret(1, 1);
  host.focused = false;
  const int records = Inside(editor).undo.Count();
  Click(At(2, 0), {}, MouseButton::Right);
  EXPECT_TRUE(host.focused);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  ASSERT_EQ(Inside(editor).undo.Count(), records + 1);
  EXPECT_EQ(Inside(editor).undo.Item(records).Class(), UndoClass::EndCompound);
}

TEST_F(CaretSelectionTest, GutterClicksReportTheLine) {
  SetLines({"a", "b", "c"});
  int clicked = -1;
  int doubled = -1;
  editor.OnGutterClick = [&](int line) { clicked = line; };
  editor.OnGutterDblClick = [&](int line) { doubled = line; };
  Click(Point{10, 2 * 16 + 4});
  EXPECT_EQ(clicked, 2);
  host.mouse = Point{10, 16 + 4};
  editor.DblClick();
  EXPECT_EQ(doubled, 1);
  EXPECT_FALSE(editor.HasSelection());
}

}  // namespace
}  // namespace vantorel
