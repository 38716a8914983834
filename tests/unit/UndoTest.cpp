// Undo: what each record gives back, and which records one Undo takes back together.
// The edits below change the text through the line list and record what the editor's
// commands record for them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "editor/KeyTable.h"
#include "tests/support/EditorInternals.h"
#include "tests/unit/EditorFixture.h"

namespace vantorel {
namespace {

class UndoTest : public EditorFixture {
 protected:
  UndoTest() {
    editor.OnChangeStatus = [this] { ++statusEvents; };
  }
  TUndoBuffer& Buffer() { return Inside(editor).undo; }
  TEditorStrings& Text() { return editor.Lines(); }
  TextPoint Caret() const { return {editor.CaretX(), editor.CaretY()}; }
  void Move(int x, int y) { editor.SetCaret(x, y); }
  void Place(int x, int y) { editor.SetCaretInternal(x, y); }

  // Typing in insert mode, one record a character.
  void Type(std::string_view chars) {
    for (const char c : chars) {
      Text().ReLine();
      const int x = editor.CaretX();
      const int y = editor.CaretY();
      Buffer().Record<TInsertUndo>(x, y, std::string(1, c));
      Text().InsertText(x, y, std::string(1, c));
      Place(x + 1, y);
      editor.Changed();
    }
  }
  // Typing in overwrite mode.
  void Overtype(std::string_view chars) {
    for (const char c : chars) {
      const int x = editor.CaretX();
      const int y = editor.CaretY();
      const std::string line = Text().Get(y);
      const std::string old = x < static_cast<int>(line.size()) ? line.substr(static_cast<std::size_t>(x), 1) : "";
      Buffer().Record<TOverwriteUndo>(x, y, old, std::string(1, c));
      if (!old.empty()) Text().DeleteText(x, y, x, y);
      Text().InsertText(x, y, std::string(1, c));
      Place(x + 1, y);
      editor.Changed();
    }
  }
  // One character left of the caret, or the line break before the caret's line.
  void Backspace() {
    const int x = editor.CaretX();
    const int y = editor.CaretY();
    if (x == 0) {
      const int upper = static_cast<int>(Text().View(y - 1).size());
      Buffer().Record<TBackspaceUndo>(upper + 1, y - 1, "\n");
      Text().DeleteText(upper, y - 1, -1, y);
      Place(upper, y - 1);
    } else {
      Buffer().Record<TBackspaceUndo>(x, y, Text().Get(y).substr(static_cast<std::size_t>(x - 1), 1));
      Text().DeleteText(x - 1, y, x - 1, y);
      Place(x - 1, y);
    }
    editor.Changed();
  }
  void BackspaceUnindent(int to) {
    const int x = editor.CaretX();
    const int y = editor.CaretY();
    Buffer().Record<TBackspaceUnindentUndo>(x, y, std::string(static_cast<std::size_t>(x - to), ' '));
    Text().DeleteText(to, y, x - 1, y);
    Place(to, y);
    editor.Changed();
  }
  // The character under the caret, or the line break at its line's end.
  void DeleteChar() {
    const int x = editor.CaretX();
    const int y = editor.CaretY();
    if (x < static_cast<int>(Text().View(y).size())) {
      Buffer().Record<TDeleteUndo>(x, y, Text().Get(y).substr(static_cast<std::size_t>(x), 1));
      Text().DeleteText(x, y, x, y);
    } else {
      Buffer().Record<TDeleteUndo>(x, y, "\r\n");
      Text().DeleteText(x, y, -1, y + 1);
    }
    editor.Changed();
  }
  void DeleteLine() {
    Buffer().Record<TDeleteLineUndo>(editor.CaretX(), editor.CaretY(), Text().Get(editor.CaretY()));
    editor.LockPaint();
    Text().Delete(editor.CaretY());
    editor.UnlockPaint();
    editor.Changed();
  }
  // Erases the selected block as the block commands do.
  void EraseBlock(std::string blockText) {
    Buffer().Record<TDeleteSelectedUndo>(editor.CaretX(), editor.CaretY(), std::move(blockText));
    const TSelBlockFormat format = editor.SelBlockFormat();
    const int bx = editor.SelBeginX(), by = editor.SelBeginY(), ex = editor.SelEndX(), ey = editor.SelEndY();
    editor.LockPaint();
    Inside(editor).selection.Clear();
    if (format == TSelBlockFormat::bfColumn) {
      Text().DeleteColumnText(bx, by, ex, ey);
      Place(bx, editor.CaretY());
    } else {
      Text().DeleteText(bx, by, format == TSelBlockFormat::bfInclusive ? ex : ex - 1, ey);
      Place(bx, by);
    }
    editor.UnlockPaint();
    editor.Changed();
  }
  void Undo() { editor.Undo(); }

  int statusEvents = 0;
};

// --- text records ---

TEST_F(UndoTest, ATypedWordGoesBackInOneStepAndTheCaretToItsFirstLetter) {
  SetLines({"mov "});
  Move(4, 0);
  Type("hello");
  EXPECT_EQ(AllLines(), (Lines{"mov hello"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"mov"}));  // the line is stored again without its blank
  EXPECT_EQ(Caret(), (TextPoint{4, 0}));
  ASSERT_FALSE(editor.modifications.empty());
  EXPECT_EQ(editor.modifications.back().text, "hello");
  EXPECT_EQ(editor.modifications.back().action, 2);
}

TEST_F(UndoTest, ACaretMoveBetweenTypedLettersSplitsThemIntoSteps) {
  SetLines({""});
  Type("ab");
  Move(1, 0);
  Type("c");
  EXPECT_EQ(AllLines(), (Lines{"acb"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  Undo();
  EXPECT_EQ(Caret(), (TextPoint{2, 0}));
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{""}));
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  EXPECT_FALSE(Buffer().CanUndo());
}

TEST_F(UndoTest, EnterWithItsIndentAndTheNextLetterGoBackTogether) {
  SetLines({"  ab", "cd"});
  Move(4, 0);
  // Enter: the line break, then the indent of the line above on the new line.
  Buffer().Record<TInsertUndo>(4, 0, "\r\n");
  Text().InsertText(4, 0, "\r\n");
  Buffer().Record<TInsertUndo>(0, 1, "  ");
  Text().SetLineText(1, "  ");  // stored without its blanks, as the editor keeps lines
  Place(2, 1);
  Type("x");
  EXPECT_EQ(AllLines(), (Lines{"  ab", "  x", "cd"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"  ab", "cd"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 0}));
}

TEST_F(UndoTest, BackspacesComeBackInTextOrderAcrossAJoinedLine) {
  SetLines({"x", "ab"});
  Move(2, 1);
  Backspace();
  Backspace();
  Backspace();  // joins "" to "x"
  Backspace();
  EXPECT_EQ(AllLines(), (Lines{""}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"x", "ab"}));
  EXPECT_EQ(Caret(), (TextPoint{2, 1}));
  ASSERT_TRUE(Buffer().CanUndo());
  EXPECT_EQ(Buffer().LastRecord()->Class(), UndoClass::Caret);
}

TEST_F(UndoTest, UndoingAJoinSplitsTheLinesAndPutsTheCaretAtTheLowerLinesStart) {
  SetLines({"ab", "cd"});
  Move(0, 1);
  Backspace();
  EXPECT_EQ(AllLines(), (Lines{"abcd"}));
  EXPECT_EQ(Caret(), (TextPoint{2, 0}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"ab", "cd"}));
  EXPECT_EQ(Caret(), (TextPoint{0, 1}));
}

TEST_F(UndoTest, ABackspaceStepGoesOnThroughUnindentsButAnUnindentStepStopsAtABackspace) {
  SetLines({"a        b"});
  Move(9, 0);
  BackspaceUnindent(5);  // "a    b"
  Backspace();           // "a   b"
  BackspaceUnindent(1);  // "ab"
  Backspace();           // "b"
  EXPECT_EQ(AllLines(), (Lines{"b"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"a        b"}));
  EXPECT_EQ(Caret(), (TextPoint{9, 0}));

  SetLines({"a    b"});
  Buffer().Clear();
  Move(5, 0);
  Backspace();           // "a   b"
  BackspaceUnindent(1);  // "ab"
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"a   b"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 0}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"a    b"}));
  EXPECT_EQ(Caret(), (TextPoint{5, 0}));
}

TEST_F(UndoTest, DeletesAtOneColumnAndAJoinedLineComeBack) {
  SetLines({"abcd", "ef"});
  Move(1, 0);
  DeleteChar();
  DeleteChar();
  DeleteChar();
  DeleteChar();  // the line break: "aef"
  EXPECT_EQ(AllLines(), (Lines{"aef"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"abcd", "ef"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  ASSERT_FALSE(editor.modifications.empty());
  EXPECT_EQ(editor.modifications.back().action, 1);
}

TEST_F(UndoTest, DeletedLinesComeBackInTheirOrderEvenTheLastOne) {
  SetLines({"a", "b", "c", "d"});
  Move(1, 1);
  DeleteLine();
  DeleteLine();
  EXPECT_EQ(AllLines(), (Lines{"a", "d"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));

  SetLines({"only"});
  Move(0, 0);
  DeleteLine();
  EXPECT_EQ(Text().Count(), 0);
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"only"}));
}

TEST_F(UndoTest, TabBlanksAreAStepOfTheirOwnBesideTypedLetters) {
  SetLines({"ab"});
  Type("x");
  Buffer().Record<TInsertTabUndo>(1, 0, "  ");
  Text().InsertText(1, 0, "  ");
  Place(3, 0);
  Buffer().Record<TInsertTabUndo>(3, 0, "  ");
  Text().InsertText(3, 0, "  ");
  Place(5, 0);
  EXPECT_EQ(AllLines(), (Lines{"x    ab"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"xab"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
}

TEST_F(UndoTest, OvertypedLettersGetTheirOldCharactersBackAlsoPastTheLineEnd) {
  SetLines({"abc"});
  Move(1, 0);
  Overtype("XYZ");
  EXPECT_EQ(AllLines(), (Lines{"aXYZ"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"abc"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  // Each character is put back where it was typed, the first one last.
  ASSERT_FALSE(editor.modifications.empty());
  EXPECT_EQ(editor.modifications.back().text, "b");
  EXPECT_EQ(editor.modifications.back().action, 5);
}

TEST_F(UndoTest, AReplacedWordComesBackAndTheCaretGoesWhereItWas) {
  SetLines({"invoke Mess(", "x"});
  Move(11, 0);
  Buffer().Record<TReplaceUndo>(11, 0, 7, 0, "Mess", "MessageBox");
  Text().DeleteText(7, 0, 10, 0);
  Text().InsertText(7, 0, "MessageBox");
  Place(17, 0);
  EXPECT_EQ(AllLines(), (Lines{"invoke MessageBox(", "x"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"invoke Mess(", "x"}));
  EXPECT_EQ(Caret(), (TextPoint{11, 0}));
}

TEST_F(UndoTest, AnInsertedColumnIsCutOutOfEachLineEvenAPaddedOne) {
  SetLines({"abcd", ""});
  Buffer().Record<TInsertColumnUndo>(2, 0, "XY\r\nZW");
  Text().InsertColumnText(2, 0, "XY\r\nZW");
  EXPECT_EQ(AllLines(), (Lines{"abXYcd", "  ZW"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"abcd", ""}));
  EXPECT_EQ(Caret(), (TextPoint{2, 0}));
}

TEST_F(UndoTest, TwoColumnUnindentsComeBackInOneStepWithTheirBlock) {
  SetLines({"    a", "  b", "c"});
  editor.SelectRange(0, 0, 1, 1);
  const Selection selected = Inside(editor).selection;
  Move(1, 1);
  Buffer().Record<TUnindentColumnUndo>(1, 1, 0, 0, "  \r\n  ");
  Text().DeleteColumnText(0, 0, 1, 1);
  Buffer().Record<TUnindentColumnUndo>(1, 1, 0, 0, "  \r\n");
  Text().DeleteColumnText(0, 0, 1, 0);
  EXPECT_EQ(AllLines(), (Lines{"a", "b", "c"}));
  Inside(editor).selection.Clear();
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"    a", "  b", "c"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(Inside(editor).selection.Begin(), selected.Begin());
  EXPECT_EQ(Inside(editor).selection.End(), selected.End());
}

// --- erased blocks ---

TEST_F(UndoTest, AnErasedBlockOfEachFormatComesBackSelected) {
  struct Case {
    TSelBlockFormat format;
    TextPoint begin, end;
    std::string blockText;
    Lines after;
  };
  const Case cases[] = {
      {TSelBlockFormat::bfNonInclusive, {2, 0}, {1, 1}, "cd\r\ne", {"abfgh", "ijk"}},
      {TSelBlockFormat::bfInclusive, {2, 0}, {1, 1}, "cd\r\nef", {"abgh", "ijk"}},
      {TSelBlockFormat::bfColumn, {1, 0}, {2, 2}, "bc\r\nfg\r\njk", {"ad", "eh", "i"}},
      {TSelBlockFormat::bfLine, {1, 1}, {0, 2}, "efgh\r\nijk", {"abcd", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    SetLines({"abcd", "efgh", "ijk"});
    Buffer().Clear();
    editor.SetSelBlockFormat(TSelBlockFormat::bfNonInclusive);
    editor.SelectRange(c.begin.x, c.begin.y, c.end.x, c.end.y);
    editor.SetSelBlockFormat(c.format);  // a line block widens to whole lines
    const Selection selected = Inside(editor).selection;
    Place(c.end.x, c.end.y);
    const TextPoint caret = Caret();
    EraseBlock(c.blockText);
    EXPECT_EQ(AllLines(), c.after);
    EXPECT_FALSE(editor.HasSelection());
    Undo();
    EXPECT_EQ(AllLines(), (Lines{"abcd", "efgh", "ijk"}));
    EXPECT_TRUE(editor.HasSelection());
    EXPECT_EQ(editor.SelBlockFormat(), c.format);
    EXPECT_EQ(Inside(editor).selection.Begin(), selected.Begin());
    EXPECT_EQ(Inside(editor).selection.End(), selected.End());
    EXPECT_EQ(Inside(editor).selection.LineModeBeginX(), selected.LineModeBeginX());
    EXPECT_EQ(Caret(), caret);
  }
}

// --- lines appended for the caret ---

TEST_F(UndoTest, TypingBelowTheLastLineAndUndoingGivesBackExactlyTheOldText) {
  editor.CursorBeyondEOF = true;
  SetLines({"ab"});
  Move(4, 2);
  Type("x");
  EXPECT_EQ(AllLines(), (Lines{"ab", "", "    x"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
  Undo();  // the move
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  EXPECT_FALSE(Buffer().CanUndo());
}

TEST_F(UndoTest, TypingIntoAnEmptyTextAndUndoingLeavesNoLine) {
  editor.CursorBeyondEOF = true;
  SetLines({});
  Move(3, 1);
  Type("ab");
  EXPECT_EQ(AllLines(), (Lines{"", "   ab"}));
  Undo();
  EXPECT_EQ(Text().Count(), 0);
}

TEST_F(UndoTest, AppendedLinesOnTheirOwnGoBackWithTheStepBeforeThem) {
  editor.CursorBeyondEOF = true;
  SetLines({"ab"});
  Move(0, 1);
  Move(0, 3);
  Text().ReLine();  // a command that stopped after making the caret's line
  EXPECT_EQ(Text().Count(), 4);
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));  // both moves went with them
}

TEST_F(UndoTest, TrimmedBlanksRecordedBetweenTypedLettersDoNotSplitTheWord) {
  SetLines({"", "x"});
  Type("a");
  Text().Put(1, "x   ");  // the program stores a line; its blanks are cut and recorded
  Type("b");
  ASSERT_EQ(Buffer().Count(), 3);
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"", "x   "}));  // the cut blanks come back with the step
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  EXPECT_FALSE(Buffer().CanUndo());
}

// --- groups and caret steps ---

TEST_F(UndoTest, AGroupIsOneStepWhateverItHoldsAndStopsAtItsBeginMarker) {
  SetLines({"abc", "def"});
  Type("1");  // before the group, the same class as the group's first record
  editor.BeginUndoGroup();
  Type("2");
  Move(0, 1);
  DeleteChar();
  editor.BeginUndoGroup();  // nested
  Overtype("Z");
  editor.EndUndoGroup();
  editor.EndUndoGroup();
  EXPECT_EQ(AllLines(), (Lines{"12abc", "Zf"}));
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"1abc", "def"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"abc", "def"}));
  EXPECT_FALSE(Buffer().CanUndo());
}

TEST_F(UndoTest, CaretMovesInARowGoBackToWhereTheFirstStarted) {
  SetLines({"abc", "def"});
  Move(1, 0);
  Move(2, 0);
  Move(3, 1);
  Undo();
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
  EXPECT_FALSE(Buffer().CanUndo());
}

TEST_F(UndoTest, BlockChangesWithCaretMovesAmongThemGoBackInOneStepToTheStateBefore) {
  SetLines({"abcdef", "ghi"});
  Type("x");
  editor.SelectRange(0, 1, 2, 1);
  Place(5, 0);  // a move that records nothing
  Move(1, 0);
  editor.ExtendSelection(1, 0);
  Move(2, 0);
  editor.ExtendSelection(2, 0);
  Move(4, 0);
  editor.ExtendSelection(4, 0);
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelBeginY(), 0);
  Undo();
  EXPECT_FALSE(editor.HasSelection());
  EXPECT_FALSE(editor.ExtendingSelection());
  EXPECT_EQ(Caret(), (TextPoint{5, 0}));  // where the earliest caret move started
  ASSERT_TRUE(Buffer().CanUndo());
  EXPECT_EQ(Buffer().LastRecord()->Class(), UndoClass::Insert);
  EXPECT_EQ(AllLines(), (Lines{"xabcdef", "ghi"}));
}

// --- Modified and the notifications ---

TEST_F(UndoTest, UndoingEveryChangeSinceTheTextWasUnmodifiedClearsModifiedWithoutAChangeEvent) {
  SetLines({""});
  Type("ab");
  Move(0, 0);
  Type("c");
  EXPECT_TRUE(editor.Modified);
  changeEvents = 0;
  Undo();  // "c": made while Modified was already set
  EXPECT_TRUE(editor.Modified);
  EXPECT_EQ(changeEvents, 1);
  Undo();  // the move
  EXPECT_TRUE(editor.Modified);
  EXPECT_EQ(changeEvents, 1);
  Undo();  // "ab": back to the unmodified text
  EXPECT_FALSE(editor.Modified);
  EXPECT_EQ(changeEvents, 1);

  // Without a caret move, the status report comes from the undo alone.
  SetLines({""});
  Type("a");
  Place(0, 0);
  statusEvents = 0;
  changeEvents = 0;
  Undo();
  EXPECT_FALSE(editor.Modified);
  EXPECT_EQ(changeEvents, 0);
  EXPECT_EQ(statusEvents, 1);
  // Nothing was modified before this undo: nothing to report.
  Move(1, 0);
  Place(0, 0);
  statusEvents = 0;
  Undo();
  EXPECT_EQ(statusEvents, 0);
}

TEST_F(UndoTest, UndoingAClickChangesNoTextSoRaisesNoChangeEvent) {
  SetLines({"abc"});
  Type("x");
  Buffer().Record<TBeginCompoundUndo>();  // a press in the text
  Move(3, 0);
  Buffer().Record<TEndCompoundUndo>();  // its release
  changeEvents = 0;
  Undo();
  EXPECT_EQ(Caret(), (TextPoint{1, 0}));
  EXPECT_EQ(changeEvents, 0);
  EXPECT_TRUE(editor.Modified);
}

TEST_F(UndoTest, UnderAnUpdateLockNothingIsReported) {
  SetLines({""});
  Type("a");
  changeEvents = 0;
  statusEvents = 0;
  editor.BeginUpdate();
  Undo();
  EXPECT_EQ(changeEvents, 0);
  EXPECT_EQ(AllLines(), (Lines{""}));
  editor.EndUpdate();
}

// --- the buffer ---

TEST_F(UndoTest, RecordsMadeWhileUndoingAreDroppedAndAnUndoFromAHandlerDoesNothing) {
  SetLines({"abc"});
  editor.Modified = true;  // so that undoing the typing reports a change
  Move(1, 0);
  Type("x");
  Type("y");
  int handlerRuns = 0;
  editor.OnChange = [&] {
    ++handlerRuns;
    EXPECT_TRUE(Buffer().Undoing());
    editor.SetCaret(3, 0);  // would record a caret move
    editor.Undo();          // re-entrant: nothing
  };
  const int records = Buffer().Count();
  Undo();
  EXPECT_EQ(handlerRuns, 1);
  EXPECT_EQ(Buffer().Count(), records);
  EXPECT_EQ(AllLines(), (Lines{"abc"}));
  EXPECT_FALSE(Buffer().Undoing());
  editor.OnChange = nullptr;
  Undo();  // the move is still there to undo
  EXPECT_EQ(Caret(), (TextPoint{0, 0}));
}

TEST_F(UndoTest, ANewRecordDiscardsWhatWasUndone) {
  SetLines({""});
  Type("ab");
  Undo();
  EXPECT_EQ(Buffer().Count(), 2);
  EXPECT_FALSE(Buffer().CanUndo());
  Type("c");
  EXPECT_EQ(Buffer().Count(), 1);
  Undo();
  EXPECT_EQ(AllLines(), (Lines{""}));
  Undo();  // nothing left
  EXPECT_EQ(AllLines(), (Lines{""}));
}

TEST_F(UndoTest, ReplacingOrClearingTheWholeTextLeavesNothingToUndo) {
  SetLines({"abc"});
  Type("x");
  Text().SetTextStr("new\r\n");
  EXPECT_FALSE(Buffer().CanUndo());
  Type("y");
  Text().Clear();
  EXPECT_FALSE(Buffer().CanUndo());
  EXPECT_EQ(editor.EditMessage(EditMessageKind::CanUndo), 0);
  Text().Add("template");
  Undo();
  EXPECT_EQ(AllLines(), (Lines{"template"}));
}

TEST_F(UndoTest, TheUndoCommandRespectsReadOnlyTheMessageDoesNot) {
  SetLines({""});
  Type("a");
  EXPECT_EQ(editor.EditMessage(EditMessageKind::CanUndo), 1);
  editor.SetReadOnly(true);
  editor.RunCommand(ec::Undo);
  EXPECT_EQ(AllLines(), (Lines{"a"}));
  EXPECT_EQ(editor.EditMessage(EditMessageKind::Undo), 1);
  EXPECT_EQ(AllLines(), (Lines{""}));
  EXPECT_EQ(editor.EditMessage(EditMessageKind::CanUndo), 0);
}

TEST_F(UndoTest, ARecordThatFailsEndsTheStepAndTheNextUndoCanRunAgain) {
  SetLines({"a"});
  Type("b");
  Buffer().Record<TDeleteLineUndo>(0, 5, "lost");  // a line the text cannot take
  EXPECT_THROW(Undo(), std::exception);
  EXPECT_FALSE(Buffer().Undoing());
  EXPECT_EQ(AllLines(), (Lines{"ba"}));
  EXPECT_THROW(Undo(), std::exception);  // the record is still the next one
  EXPECT_FALSE(Buffer().Undoing());
}

}  // namespace
}  // namespace vantorel
