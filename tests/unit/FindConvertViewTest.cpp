// Find, the code page conversion, the View menu, the font and help commands of the
// main window on the headless adapter (Windows-1251 and 866 through iconv).
#include <gtest/gtest.h>

#include "MainFormFixture.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

class FindTest : public MainFormTest {
 protected:
  void SetText(const std::vector<std::string>& lines) {
    memo.Lines().Assign(lines);
    memo.SetCaret(0, 0);
  }
  // Opens the dialog as F3 does, and presses find-next with this text.
  void FindNext(const std::string& text) {
    form.Run(Handler::N8Click);
    form.Find1.Text = text;
    form.Find1Find();
  }
};

TEST_F(FindTest, TheDialogOpensWithItsTextAndKeepsTheLastOne) {
  form.Run(Handler::N8Click);
  EXPECT_TRUE(window.findOpen);
  EXPECT_EQ(window.findText, "Найти текст");
  window.CloseFindDialog();
  form.Find1.Text = "push";
  form.Run(Handler::N8Click);
  EXPECT_EQ(window.findText, "push");
}

TEST_F(FindTest, CaseIsIgnoredAndTheMatchGetsTheCaretWithNothingSelected) {
  SetText({"start:", "  mov eax, 1", "ret"});
  FindNext("EAX");
  EXPECT_EQ(memo.CaretY(), 1);
  EXPECT_EQ(memo.CaretX(), 6);
  EXPECT_FALSE(memo.HasSelection());
  EXPECT_FALSE(window.findOpen);
}

TEST_F(FindTest, TheWholeTextIsLookedForNotItsFirstLetter) {
  SetText({"mov eax, ebx"});
  FindNext("eb");
  EXPECT_EQ(memo.CaretX(), 9);
  EXPECT_EQ(memo.CaretY(), 0);
}

TEST_F(FindTest, TheSearchStartsAtTheCaretsLineAndNeverWraps) {
  std::vector<std::string> lines(12, "nop");
  lines[3] = "call target";
  SetText(lines);
  memo.SetCaret(0, 10);
  FindNext("target");
  EXPECT_EQ(memo.CaretY(), 10);
  EXPECT_EQ(memo.CaretX(), 0);
  EXPECT_TRUE(window.findOpen);  // nothing found: the dialog stays
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FindTest, SearchingAgainFindsTheSameMatchAndBeforeTheCaretOnItsLine) {
  SetText({"xor eax, eax"});
  memo.SetCaret(10, 0);
  FindNext("ax");  // no whole-word rule: inside "eax", left of the caret
  EXPECT_EQ(memo.CaretX(), 5);
  FindNext("ax");
  EXPECT_EQ(memo.CaretX(), 5);
}

TEST_F(FindTest, CyrillicLettersMatchInEitherCase) {
  SetText({"; \xcf\xd0\xc8\xc2\xc5\xd2 \xa8\xcb\xca\xc0"});  // "; ПРИВЕТ ЁЛКА" in Windows-1251
  FindNext("ёлка");
  EXPECT_EQ(memo.CaretX(), 9);
  SetText({"; \xcf\xd0\xc8\xc2\xc5\xd2"});
  FindNext("Привет");
  EXPECT_EQ(memo.CaretX(), 2);
  EXPECT_FALSE(window.findOpen);
}

TEST_F(FindTest, NothingIsFoundForAnEmptyTextOrAnEmptyEditor) {
  FindNext("a");
  EXPECT_TRUE(window.findOpen);
  SetText({"abc"});
  memo.SetCaret(1, 0);
  FindNext("");
  EXPECT_EQ(memo.CaretX(), 1);
  EXPECT_TRUE(window.findOpen);
  // A character the code page lacks matches nothing, not a "?" in the text.
  SetText({"what?"});
  FindNext("\xe2\x82\xac");  // U+20AC is in Windows-1251; U+263A is not
  FindNext("\xe2\x98\xba");
  EXPECT_EQ(memo.CaretX(), 0);
  EXPECT_TRUE(window.findOpen);
}

TEST_F(FindTest, AMatchFarBelowIsBroughtIntoView) {
  std::vector<std::string> lines(300, "nop");
  lines[250] = "int 3";
  SetText(lines);
  memo.UpdateEditorSize();
  FindNext("int");
  EXPECT_EQ(memo.CaretY(), 250);
  EXPECT_LE(memo.TopLine(), 250);
  EXPECT_GT(memo.TopLine() + memo.VisibleLines(), 250);
}

class ConvertTest : public MainFormTest {};

TEST_F(ConvertTest, WinToDosAndBackKeepsLinesEmptyLinesAndAscii) {
  const std::string cyrillic = "mov al, '\xcf\xf0\xe8\xe2\xe5\xf2'";  // "Привет" in Windows-1251
  memo.Lines().Assign(std::vector<std::string>{cyrillic, "", "ret"});
  form.Run(Handler::WinDos1Click);
  ASSERT_EQ(memo.Lines().Count(), 3);
  EXPECT_EQ(memo.Lines().Get(0), "mov al, '\x8f\xe0\xa8\xa2\xa5\xe2'");  // the same word in 866
  EXPECT_EQ(memo.Lines().Get(1), "");
  EXPECT_EQ(memo.Lines().Get(2), "ret");
  form.Run(Handler::DosWin1Click);
  EXPECT_EQ(memo.Lines().Get(0), cyrillic);
  // Neither the change mark nor undo sees a conversion.
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  EXPECT_FALSE(memo.Modified);
  EXPECT_FALSE(Inside(memo).undo.CanUndo());
}

TEST_F(ConvertTest, ACharacterWithoutCounterpartComesBackChangedAndTheLengthStays) {
  const std::string euro = "a\x88z";  // the euro sign has no place in 866
  memo.Lines().Assign(std::vector<std::string>{euro});
  form.Run(Handler::WinDos1Click);
  EXPECT_EQ(memo.Lines().Get(0).size(), 3u);
  form.Run(Handler::DosWin1Click);
  EXPECT_NE(memo.Lines().Get(0), euro);
  EXPECT_EQ(memo.Lines().Get(0).size(), 3u);
}

TEST_F(ConvertTest, AnEmptyTextStaysEmpty) {
  form.Run(Handler::DosWin1Click);
  EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST(IconvCodePages, CaseMappingAndSystemTextKeepTheirLength) {
  IconvCodePages pages;
  EXPECT_EQ(pages.LowerCase("AZ az \xa8\xc0\xdf\xb8"), "az az \xb8\xe0\xff\xb8");  // ЁАЯё
  EXPECT_EQ(pages.AnsiFromUtf8("Ж-\xe2\x82\xac-x"), "\xc6-\x88-x");
  EXPECT_FALSE(pages.AnsiFromUtf8("Ж-\xe2\x98\xba-x"));
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(pages.DosToWin(pages.WinToDos(one)).size(), 1u);
    if (b < 128) {
      EXPECT_EQ(pages.WinToDos(one), one) << b;
    }
  }
}

class ViewMenuTest : public MainFormTest {};

TEST_F(ViewMenuTest, CheckMarksFollowThePanelsEachTimeTheMenuOpens) {
  form.Run(Handler::N4Click);
  EXPECT_EQ(window.checkedItems, (std::set<MenuItemId>{MenuItemId::_Ntools, MenuItemId::_Ncomp}));
  form.Run(Handler::_NcompClick);
  form.Run(Handler::_NtoolsClick);
  EXPECT_FALSE(window.panelVisible[ToolPanel::Ptools]);
  EXPECT_FALSE(window.panelVisible[ToolPanel::Pbutton]);
  form.Run(Handler::N4Click);
  EXPECT_TRUE(window.checkedItems.empty());
  form.Run(Handler::_NtoolsClick);  // the tool bar comes back without its palette
  form.Run(Handler::N4Click);
  EXPECT_EQ(window.checkedItems, (std::set<MenuItemId>{MenuItemId::_Ntools}));
  EXPECT_TRUE(window.panelVisible[ToolPanel::Pbutton]);
  EXPECT_FALSE(window.panelVisible[ToolPanel::Ptools]);
}

TEST_F(ViewMenuTest, TheEditorTakesTheSpaceOfAHiddenToolBar) {
  const Rect client{0, 0, 680, 340};
  EXPECT_EQ(form.Layout(client, 19).Memo1.top, 31);
  form.Run(Handler::_NtoolsClick);
  const ClientLayout hidden = form.Layout(client, 19);
  EXPECT_EQ(hidden.Memo1, (Rect{0, 0, 680, 321}));
  form.Run(Handler::_NcompClick);  // the palette alone changes no layout
  EXPECT_EQ(form.Layout(client, 19).Memo1, hidden.Memo1);
}

TEST_F(ViewMenuTest, TheFontDialogStartsFromItsOwnFontAndGivesTheEditorAllOfIt) {
  const FontDesc editorFont = memo.Font();
  const FontDesc arial{"Arial", -20, FontStyle::Bold | FontStyle::Underline, Color::Rgb(255, 0, 0), kCyrillicCharset};
  dialogs.fonts = {std::nullopt, arial};
  form.Run(Handler::_NfontClick);  // cancelled
  EXPECT_EQ(memo.Font(), editorFont);
  form.Run(Handler::_NfontClick);
  EXPECT_EQ(memo.Font(), arial);
  form.Run(Handler::_NfontClick);
  ASSERT_EQ(dialogs.fontDialogs.size(), 3u);
  EXPECT_EQ(dialogs.fontDialogs[0], (FontDesc{"MS Sans Serif", -11, FontStyle::None, clWindowText, kDefaultCharset}));
  EXPECT_EQ(dialogs.fontDialogs[1], dialogs.fontDialogs[0]);
  EXPECT_EQ(dialogs.fontDialogs[2], arial);
}

TEST_F(ViewMenuTest, HelpOpensTheFileBelowTheProgramsFolder) {
  form.FormShow();
  form.Run(Handler::N6Click);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"C:\\Tools\\\\Help\\mapi.hlp"}));
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace vantorel
