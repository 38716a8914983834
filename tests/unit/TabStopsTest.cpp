#include "editor/TabStops.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"

namespace vantorel {
namespace {

TEST(TabStops, ThreeFiveGivesEvenColumns) {
  EXPECT_EQ(GetTabStop("3 5", 0, true), 2);
  EXPECT_EQ(GetTabStop("3 5", 2, true), 4);
  EXPECT_EQ(GetTabStop("3 5", 4, true), 6);
  EXPECT_EQ(GetTabStop("3 5", 5, true), 6);
  EXPECT_EQ(GetTabStop("3 5", 100, true), 102);
  EXPECT_EQ(GetTabStop("3 5", 5, false), 4);
  EXPECT_EQ(GetTabStop("3 5", 6, false), 4);
  EXPECT_EQ(GetTabStop("3 5", 7, false), 6);
  EXPECT_EQ(GetTabStop("3 5", 2, false), 0);
  EXPECT_EQ(GetTabStop("3 5", 0, false), 0);
}

TEST(TabStops, OneStopUsesDifferentGridsForNextAndPrevious) {
  // Next continues from the stop as if a stop stood at column 1 before it (3, 5, 7,
  // ...); previous as if one stood at column 0 (3, 6, 9, ...).
  EXPECT_EQ(GetTabStop("4", 0, true), 3);
  EXPECT_EQ(GetTabStop("4", 3, true), 5);
  EXPECT_EQ(GetTabStop("4", 5, true), 7);
  EXPECT_EQ(GetTabStop("4", 6, true), 7);
  EXPECT_EQ(GetTabStop("4", 4, false), 3);
  EXPECT_EQ(GetTabStop("4", 6, false), 3);
  EXPECT_EQ(GetTabStop("4", 7, false), 6);
  EXPECT_EQ(GetTabStop("4", 10, false), 9);
}

TEST(TabStops, GridsWithoutWidthStayDefined) {
  EXPECT_EQ(GetTabStop("", 5, true), 6);
  EXPECT_EQ(GetTabStop("", 5, false), 4);
  EXPECT_EQ(GetTabStop("", 0, false), 0);
  // "1" puts the only stop at column 0: the previous grid would be 0 wide.
  EXPECT_EQ(GetTabStop("1", 3, false), 2);
  // Two equal stops, and stops in falling order.
  EXPECT_EQ(GetTabStop("5 5", 7, true), 8);
  EXPECT_EQ(GetTabStop("5 5", 7, false), 6);
  EXPECT_EQ(GetTabStop("9 3", 10, true), 11);
  EXPECT_EQ(GetTabStop("9 3", 10, false), 9);
}

TEST(TabStops, ListEndsAtFirstEmptyPieceAndRejectsWords) {
  EXPECT_EQ(ParseTabStops("3 5"), (std::vector<int>{2, 4}));
  EXPECT_EQ(ParseTabStops("3  5 9"), (std::vector<int>{2}));
  EXPECT_TRUE(ParseTabStops(" 3 5").empty());
  EXPECT_THROW(ParseTabStops("3 x"), Exception);
  try {
    ParseTabStops("3 x");
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
}

}  // namespace
}  // namespace vantorel
