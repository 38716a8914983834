// The block as text: copying, cutting and pasting through an in-memory clipboard in
// the four block formats, erasing, and the block indent commands.
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

using Lines = std::vector<std::string>;

class BlockTest : public ::testing::Test {
 protected:
  BlockTest() {
    host.control = &editor;
    editor.WindowCreated();
    editor.SetClipboard(&clipboard);
    editor.SetCodePages(&codePages);
  }
  void SetLines(const Lines& lines) { editor.Lines().Assign(lines); }
  Lines AllLines() const {
    Lines out;
    for (int i = 0; i < editor.Lines().Count(); ++i) out.push_back(editor.Lines().Get(i));
    return out;
  }
  // A line block is made as a user makes one: a range, then the line format, which
  // widens it to whole lines. A range set in the line format stays a range.
  void Select(TSelBlockFormat format, TextPoint begin, TextPoint end) {
    editor.SetSelBlockFormat(format == TSelBlockFormat::bfLine ? TSelBlockFormat::bfNonInclusive : format);
    editor.SelectRange(begin.x, begin.y, end.x, end.y);
    editor.SetSelBlockFormat(format);
  }
  void Clip(std::string text, std::optional<std::uint8_t> type = std::nullopt) {
    clipboard.text = std::move(text);
    clipboard.blockType = type;
  }
  TextPoint Caret() const { return {editor.CaretX(), editor.CaretY()}; }

  HeadlessWindowHost host;
  TEditor editor{&host};
  MemoryClipboard clipboard;
  IconvCodePages codePages;
};

TEST_F(BlockTest, CopyPutsTheBlockTextAndItsType) {
  SetLines({"abcd", "efgh"});
  Select(TSelBlockFormat::bfNonInclusive, {2, 0}, {1, 1});
  editor.CopySelection();
  EXPECT_EQ(clipboard.text, "cd\r\ne");
  EXPECT_EQ(clipboard.blockType, 3);
  SetLines({"abcd", "e"});
  Select(TSelBlockFormat::bfColumn, {1, 0}, {2, 1});
  editor.CopySelection();
  EXPECT_EQ(clipboard.text, "bc\r\n");  // the short line gives an empty piece
  EXPECT_EQ(clipboard.blockType, 2);
  Select(TSelBlockFormat::bfInclusive, {1, 0}, {2, 0});
  editor.CopySelection();
  EXPECT_EQ(clipboard.text, "bc");
  Select(TSelBlockFormat::bfLine, {2, 0}, {0, 1});
  editor.CopySelection();
  EXPECT_EQ(clipboard.text, "abcd\r\ne");
  editor.Deselect();
  editor.CopySelection();  // without a block: an empty text
  EXPECT_EQ(clipboard.text, "");
  editor.SetReadOnly(true);
  Select(TSelBlockFormat::bfNonInclusive, {0, 0}, {2, 0});
  editor.CopySelection();  // copying works read-only too
  EXPECT_EQ(clipboard.text, "ab");
}

TEST_F(BlockTest, CutCopiesAndErases) {
  SetLines({"mov eax, ebx"});
  Select(TSelBlockFormat::bfNonInclusive, {3, 0}, {8, 0});
  editor.CutSelection();
  EXPECT_EQ(clipboard.text, " eax,");
  EXPECT_EQ(AllLines(), (Lines{"mov ebx"}));
  EXPECT_EQ(Caret(), (TextPoint{3, 0}));
  EXPECT_FALSE(editor.HasSelection());
}

TEST_F(BlockTest, ErasingALineBlockLeavesOneEmptyLine) {
  SetLines({"0", "1", "2", "3", "4", "5"});
  Select(TSelBlockFormat::bfLine, {1, 2}, {0, 4});
  editor.EraseSelection();
  EXPECT_EQ(AllLines(), (Lines{"0", "1", "", "5"}));
  EXPECT_EQ(Caret(), (TextPoint{0, 2}));
}

TEST_F(BlockTest, AStreamFromAnotherProgramIsNormalisedAndPastedAtTheCaret) {
  Clip("x\ny");
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"x", "y"}));
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfNonInclusive);
  SetLines({"ab"});
  editor.SetCaret(1, 0);
  Clip("1\r2\r\n3\t4");  // lone CR, CR LF, a tab
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"a1", "2", "3  4b"}));
  EXPECT_EQ(Caret(), (TextPoint{4, 2}));
  EXPECT_TRUE(editor.Modified);
}

TEST_F(BlockTest, ALineBlockGoesInAtColumnZeroAndAColumnBlockInItsColumns) {
  SetLines({"first", "second"});
  editor.SetCaret(3, 1);
  Clip("abc", 1);
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"first", "abc", "second"}));
  EXPECT_EQ(Caret(), (TextPoint{0, 2}));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfLine);
  SetLines({"0", "1", "2", "3", "4", "long line five", "6"});
  editor.SetCaret(3, 5);
  Clip("AB\r\nCD", 2);
  editor.PasteClipboard();
  EXPECT_EQ(editor.Lines().Get(5), "lonABg line five");
  EXPECT_EQ(editor.Lines().Get(6), "6  CD");
  EXPECT_EQ(Caret(), (TextPoint{3, 6}));
}

TEST_F(BlockTest, APasteReplacesTheBlockAsOneUndoGroup) {
  SetLines({"mov eax, ebx"});
  Select(TSelBlockFormat::bfNonInclusive, {4, 0}, {7, 0});
  Clip("ecx");
  const int records = Inside(editor).undo.Count();
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"mov ecx, ebx"}));
  std::vector<UndoClass> made;
  for (int i = records; i < Inside(editor).undo.Count(); ++i) made.push_back(Inside(editor).undo.Item(i).Class());
  EXPECT_EQ(made, (std::vector<UndoClass>{UndoClass::BeginCompound, UndoClass::DeleteSelected, UndoClass::Insert,
                                          UndoClass::EndCompound}));
  EXPECT_EQ(editor.UndoGroupDepth, 0);
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(BlockTest, AnUnknownBlockTypeOrAnUnreadableClipboardChangesNothingUnsafe) {
  SetLines({"ab"});
  Clip("xy", 7);  // another program wrote a type this editor does not have
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"xyab"}));
  EXPECT_EQ(editor.SelBlockFormat(), TSelBlockFormat::bfNonInclusive);
  clipboard.locked = true;
  editor.PasteClipboard();
  EXPECT_EQ(AllLines(), (Lines{"xyab"}));
  EXPECT_FALSE(Inside(editor).blocks->ClipboardHasText());
  EXPECT_EQ(Inside(editor).blocks->ClipboardBlockType(), 3);
  clipboard.locked = false;
  Clip("");
  EXPECT_FALSE(Inside(editor).blocks->ClipboardHasText());
}

TEST_F(BlockTest, LineIndentLeavesALineTheBlockEndsBeforeAndMovesTheColumns) {
  SetLines({"0", "1", "2", "  three", "four", "five", "6"});
  Select(TSelBlockFormat::bfNonInclusive, {3, 3}, {0, 5});
  editor.SetCaret(0, 5);
  editor.IndentBlock(true);
  EXPECT_EQ(AllLines(), (Lines{"0", "1", "2", "    three", "  four", "five", "6"}));
  EXPECT_EQ(editor.SelBeginX(), 5);
  EXPECT_EQ(editor.SelEndX(), 0);
  EXPECT_EQ(editor.SelEndY(), 5);
  SetLines({" a", "  b", "   c"});
  Select(TSelBlockFormat::bfNonInclusive, {0, 0}, {4, 2});
  editor.IndentBlock(false);
  EXPECT_EQ(AllLines(), (Lines{"a", "b", " c"}));
  EXPECT_EQ(editor.SelEndX(), 2);
}

TEST_F(BlockTest, ColumnIndentWorksInTheBlocksColumnAndKeepsIt) {
  SetLines({"ab  cd", "ef gh"});
  Select(TSelBlockFormat::bfColumn, {2, 0}, {3, 1});
  editor.IndentBlock(false);
  EXPECT_EQ(AllLines(), (Lines{"abcd", "efgh"}));
  EXPECT_EQ(editor.SelBeginX(), 2);
  editor.IndentBlock(true);
  EXPECT_EQ(AllLines(), (Lines{"ab  cd", "ef  gh"}));
}

TEST_F(BlockTest, CaseCommandsReplaceTheBlockAndSelectTheResult) {
  SetLines({"mov aB1, \xC0\xE1"});  // Cyrillic A and b in Windows-1251
  Select(TSelBlockFormat::bfNonInclusive, {4, 0}, {7, 0});
  editor.RunCommand(ec::ToggleCaseBlock);
  EXPECT_EQ(editor.Lines().Get(0), "mov Ab1, \xC0\xE1");
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.BlockText(), "Ab1");
  editor.SelectRange(9, 0, 11, 0);
  editor.RunCommand(ec::UpperCaseBlock);
  EXPECT_EQ(editor.Lines().Get(0), "mov Ab1, \xC0\xC1");
  editor.RunCommand(ec::LowerCaseBlock);
  EXPECT_EQ(editor.Lines().Get(0), "mov Ab1, \xE0\xE1");
  editor.Undo();  // the caret's return to where the command found it
  editor.Undo();  // the replacement, as one group
  EXPECT_EQ(editor.Lines().Get(0), "mov Ab1, \xC0\xC1");
  editor.SetReadOnly(true);
  editor.RunCommand(ec::LowerCaseBlock);
  EXPECT_EQ(editor.Lines().Get(0), "mov Ab1, \xC0\xC1");
}

}  // namespace
}  // namespace vantorel
