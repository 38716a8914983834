#include "editor/Editor.h"

#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "headless/RecordingSurface.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

TEST_F(EditorFixture, EndUpdateWithoutBeginIsAnAssertion) {
  try {
    editor.EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, OnlyTheOutermostEndUpdateRepaintsAndReportsStatus) {
  int status = 0;
  editor.OnChangeStatus = [&] { ++status; };
  editor.BeginUpdate();
  editor.BeginUpdate();
  editor.EndUpdate();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(host.invalidations, 0);
  editor.EndUpdate();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(host.invalidations, 1);
}

TEST_F(EditorFixture, ChangedSetsModifiedRaisesOnChangeThenStatus) {
  std::vector<std::string> order;
  editor.OnChange = [&] { order.push_back("change"); };
  editor.OnChangeStatus = [&] { order.push_back("status"); };
  editor.Changed();
  EXPECT_TRUE(editor.Modified);
  EXPECT_EQ(order, (std::vector<std::string>{"change", "status"}));
}

TEST_F(EditorFixture, ScrollBarAndBorderChangesRecreateTheWindow) {
  EXPECT_EQ(editor.ScrollBars(), TScrollStyle::ssBoth);
  editor.SetScrollBars(TScrollStyle::ssBoth);
  EXPECT_EQ(host.recreations, 0);
  editor.SetScrollBars(TScrollStyle::ssVertical);
  editor.SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(host.recreations, 2);
  host.hasWindow = false;
  editor.SetScrollBars(TScrollStyle::ssNone);
  EXPECT_EQ(host.recreations, 2);
  EXPECT_EQ(editor.ScrollBars(), TScrollStyle::ssNone);
}

TEST_F(EditorFixture, ProgramChangesRepaintOnlyWhenShowingAndUnlocked) {
  SetLines({});
  host.invalidations = 0;
  editor.Lines().Add("a");
  EXPECT_EQ(host.invalidations, 1);
  host.showing = false;
  editor.Lines().Add("b");
  EXPECT_EQ(host.invalidations, 1);
}

TEST_F(EditorFixture, PaintDrawsVisibleLinesOnTheCellGrid) {
  editor.GutterWidth = 30;
  SetLines({"mov eax, 1", "", "ret"});
  RecordingSurface surface;
  editor.Paint(surface, Rect{0, 0, 640, 480});
  EXPECT_EQ(editor.CellWidth(), 8);
  EXPECT_EQ(editor.CellHeight(), 16);
  ASSERT_EQ(surface.texts.size(), 2u);
  EXPECT_EQ(surface.texts[0].text, "mov eax, 1");
  EXPECT_EQ(surface.texts[0].x, 33);
  EXPECT_EQ(surface.texts[0].y, 0);
  EXPECT_EQ(surface.texts[1].text, "ret");
  EXPECT_EQ(surface.texts[1].y, 32);
  for (int advance : surface.texts[0].advances) EXPECT_EQ(advance, 8);
}

TEST_F(EditorFixture, PaintShowsAtMostTheColumnLimitAndNothingWhileLocked) {
  SetLines({std::string(MaxLineColumns + 50, 'x')});
  RecordingSurface surface;
  editor.BeginUpdate();
  editor.Paint(surface, Rect{0, 0, 640, 480});
  EXPECT_TRUE(surface.texts.empty());
  EXPECT_TRUE(surface.fills.empty());
  editor.EndUpdate();
  editor.Paint(surface, Rect{0, 0, 640, 480});
  ASSERT_EQ(surface.texts.size(), 1u);
  EXPECT_EQ(surface.texts[0].text.size(), static_cast<std::size_t>(MaxLineColumns));
}

}  // namespace
}  // namespace vantorel
