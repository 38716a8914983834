// The palette and the Events menu type their code through the editor's typing.
#include <gtest/gtest.h>

#include "app/MainLayout.h"
#include "app/Snippets.h"
#include "tests/unit/MainFormFixture.h"

namespace vantorel {
namespace {

class SnippetsTest : public MainFormTest {
 protected:
  SnippetsTest() {
    window.editor = &memo;
    memo.Lines().Assign({"start:", ""});
    memo.SetCaret(0, 1);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (int i = 0; i < memo.Lines().Count(); ++i) out.push_back(memo.Lines().Get(i));
    return out;
  }
};

TEST_F(SnippetsTest, EachPaletteButtonTypesItsFragmentsInOrder) {
  form.Run(Handler::BeditClick, "Bedit");
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "start:", "; EditClass     db 'edit',0",
                         "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr EditClass, NULL,WS_CHILD or WS_VISIBLE or "
                         "WS_BORDER or ES_LEFT or ES_AUTOHSCROLL, 9,9,40,23, hWnd, 2, hInstance, NULL",
                         ""}));
  EXPECT_EQ(memo.CaretX(), 0);
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
  // The check box's invoke line begins with a blank: the line after it is indented by one.
  form.Run(Handler::BeditClick, "Bcheck");
  EXPECT_EQ(memo.Lines().Get(6), "");
  EXPECT_EQ(memo.CaretX(), 1);
  EXPECT_EQ(memo.Lines().Get(5).substr(0, 25), " invoke CreateWindowEx, N");
  std::size_t total = 0;
  for (std::string_view name : {"Bedit", "Blist", "Bbutton", "Bcheck", "Bradio", "Bcombo"}) {
    ASSERT_FALSE(ControlFragments(name).empty()) << name;
    for (std::string_view fragment : ControlFragments(name)) {
      EXPECT_EQ(fragment.back(), '\r');
      EXPECT_EQ(fragment.find('\n'), std::string_view::npos);
      total = std::max(total, fragment.size());
    }
  }
  EXPECT_EQ(total, 219u);  // the longest string, CR included
  EXPECT_TRUE(ControlFragments("bedit").empty());  // names compare exactly
}

TEST_F(SnippetsTest, TheEventsItemsTypeABranchNamedAfterTheItem) {
  const std::span<const MenuItem> popup = EventsMenu();
  ASSERT_EQ(popup.size(), 2u);
  EXPECT_EQ(popup[0].caption, "Window events");
  EXPECT_EQ(popup[1].caption, "-");
  ASSERT_EQ(popup[0].children.size(), 19u);
  for (const MenuItem& item : popup[0].children) {
    EXPECT_EQ("WM" + std::string(item.name), item.caption);  // the text is built from the name
    EXPECT_EQ(item.handler, Handler::_MOUSEWHEELClick);
  }
  form.Run(Handler::_MOUSEWHEELClick, "_CREATE");
  EXPECT_EQ(memo.Lines().Get(1), "    .IF uMsg == WM_CREATE");
  EXPECT_EQ(memo.Lines().Get(2), "        .ENDIF");
  EXPECT_EQ(memo.CaretX(), 8);
  EXPECT_EQ(memo.CaretY(), 3);
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
}

TEST_F(SnippetsTest, TheEventsButtonDropsItsMenuDownAtItsLeftEdge) {
  form.ButtonClick(Handler::BeventsClick, "Bevents");
  ASSERT_EQ(window.droppedMenus.size(), 1u);
  EXPECT_EQ(window.droppedMenus[0].button, "Bevents");
  EXPECT_EQ(window.droppedMenus[0].offsetX, -1);
  EXPECT_EQ(window.droppedMenus[0].items.data(), EventsMenu().data());
}

TEST_F(SnippetsTest, ACommandKeyBeforeAClickDropsTheFirstCharacter) {
  int key = vk::Home;  // a command key that types nothing
  memo.KeyDown(key, {});
  form.Run(Handler::_MOUSEWHEELClick, "_PAINT");
  EXPECT_EQ(memo.Lines().Get(1), "   .IF uMsg == WM_PAINT");
  EXPECT_EQ(memo.Lines().Get(2), "       .ENDIF");
}

}  // namespace
}  // namespace vantorel
