// The caret and selection value types: what they keep true whatever they are told.
#include <gtest/gtest.h>

#include "editor/Caret.h"
#include "editor/Selection.h"

namespace vantorel {
namespace {

TEST(CaretTest, StaysOnTheReachableGrid) {
  Caret caret;
  EXPECT_FALSE(caret.MoveTo(-5, -1));  // clamps to where it already is
  EXPECT_TRUE(caret.MoveTo(MaxLineColumns + 7, 3));
  EXPECT_EQ(caret.At(), (TextPoint{MaxLineColumns, 3}));
  EXPECT_FALSE(caret.MoveTo(MaxLineColumns, 3));
  EXPECT_TRUE(caret.MoveTo(2, -9));
  EXPECT_EQ(caret.At(), (TextPoint{2, 0}));
}

TEST(SelectionTest, TheFirstExtensionSetsTheAnchorWithoutABlock) {
  Selection s;
  s.ExtendTo({4, 2});
  EXPECT_TRUE(s.Extending());
  EXPECT_FALSE(s.HasBlock());
  EXPECT_EQ(s.Anchor(), (TextPoint{4, 2}));
  EXPECT_EQ(s.Begin(), s.End());
}

TEST(SelectionTest, AStreamBlockRunsBetweenTheAnchorAndThePointInTextOrder) {
  Selection s;
  s.ExtendTo({4, 2});
  s.ExtendTo({1, 5});
  EXPECT_TRUE(s.HasBlock());
  EXPECT_EQ(s.Begin(), (TextPoint{4, 2}));
  EXPECT_EQ(s.End(), (TextPoint{1, 5}));
  // The dirty range is where the block was before it moved.
  EXPECT_EQ(s.DirtyFirstLine(), 2);
  EXPECT_EQ(s.DirtyLastLine(), 2);
  s.ExtendTo({9, 0});  // above the anchor: the point begins the block
  EXPECT_EQ(s.Begin(), (TextPoint{9, 0}));
  EXPECT_EQ(s.End(), (TextPoint{4, 2}));
  EXPECT_EQ(s.DirtyLastLine(), 5);
  s.ExtendTo({4, 2});  // back on the anchor: nothing selected, anchor kept
  EXPECT_FALSE(s.HasBlock());
  EXPECT_TRUE(s.Extending());
}

TEST(SelectionTest, AColumnBlockAlwaysHasAscendingColumns) {
  Selection s;
  s.SetFormat(TSelBlockFormat::bfColumn);
  s.ExtendTo({8, 1});
  s.ExtendTo({3, 4});  // down and to the left
  EXPECT_EQ(s.Begin(), (TextPoint{3, 1}));
  EXPECT_EQ(s.End(), (TextPoint{8, 4}));
  s.ExtendTo({12, 0});  // up and to the right
  EXPECT_EQ(s.Begin(), (TextPoint{8, 0}));
  EXPECT_EQ(s.End(), (TextPoint{12, 1}));
}

TEST(SelectionTest, ALineBlockSpansWholeLinesAndKeepsItsRealColumns) {
  Selection s;
  s.SetFormat(TSelBlockFormat::bfLine);
  s.ExtendTo({5, 1});
  EXPECT_EQ(s.Begin(), (TextPoint{0, 1}));
  EXPECT_EQ(s.End(), (TextPoint{MaxLineColumns, 1}));
  s.ExtendTo({2, 3});
  EXPECT_TRUE(s.HasBlock());
  EXPECT_EQ(s.Begin(), (TextPoint{0, 1}));
  EXPECT_EQ(s.End(), (TextPoint{MaxLineColumns, 3}));
  EXPECT_EQ(s.LineModeBeginX(), 5);
  EXPECT_EQ(s.LineModeEndX(), 2);
  // Leaving the line format gives the real columns back; entering it again hides them.
  s.SetFormat(TSelBlockFormat::bfNonInclusive);
  EXPECT_EQ(s.Begin(), (TextPoint{5, 1}));
  EXPECT_EQ(s.End(), (TextPoint{2, 3}));
  s.SetFormat(TSelBlockFormat::bfLine);
  EXPECT_EQ(s.End(), (TextPoint{MaxLineColumns, 3}));
  EXPECT_FALSE(s.SetFormat(TSelBlockFormat::bfLine));
}

TEST(SelectionTest, ASetBlockIsOrderedClampedAndHasNoAnchor) {
  Selection s;
  s.ExtendTo({1, 1});
  s.SetBlock({7, 4}, {MaxLineColumns + 50, 2});
  EXPECT_FALSE(s.Extending());
  EXPECT_TRUE(s.HasBlock());
  EXPECT_EQ(s.Begin(), (TextPoint{MaxLineColumns, 2}));
  EXPECT_EQ(s.End(), (TextPoint{7, 4}));
  s.SetBlock({3, 3}, {3, 3});
  EXPECT_FALSE(s.HasBlock());
  // In the line format a set range stays a range of characters (a word to delete);
  // a moved block (after an indent) stays whole lines and keeps its anchor.
  s.SetFormat(TSelBlockFormat::bfLine);
  s.SetBlock({2, 0}, {6, 1});
  EXPECT_EQ(s.Begin(), (TextPoint{2, 0}));
  EXPECT_EQ(s.End(), (TextPoint{6, 1}));
  s.ExtendTo({1, 0});
  s.ExtendTo({4, 2});
  s.MoveBlock({3, 0}, {6, 2});
  EXPECT_TRUE(s.Extending());
  EXPECT_EQ(s.Begin(), (TextPoint{0, 0}));
  EXPECT_EQ(s.End(), (TextPoint{MaxLineColumns, 2}));
  EXPECT_EQ(s.LineModeEndX(), 6);
  s.SetFormat(TSelBlockFormat::bfNonInclusive);
  EXPECT_EQ(s.Begin(), (TextPoint{3, 0}));
}

TEST(SelectionTest, TheDirtyRangeOnlyWidens) {
  Selection s;
  s.SetDirty(4, 6);
  s.WidenDirty(5, 9);
  s.WidenDirty(2, 3);
  EXPECT_EQ(s.DirtyFirstLine(), 2);
  EXPECT_EQ(s.DirtyLastLine(), 9);
}

}  // namespace
}  // namespace vantorel
