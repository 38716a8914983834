#include "app/MainForm.h"

#include <gtest/gtest.h>

#include "MainFormFixture.h"
#include "headless/MemoryClipboard.h"
#include "platform/Errors.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

TEST_F(MainFormTest, TheEditorIsConfiguredForTheWindow) {
  EXPECT_EQ(memo.ScrollBars(), TScrollStyle::ssVertical);
  EXPECT_EQ(memo.GutterWidth(), 30);
  EXPECT_EQ(memo.RightMargin(), 100);
  EXPECT_EQ(memo.Font().name, "Courier New");
  EXPECT_EQ(memo.Font().height, -15);
  EXPECT_EQ(memo.TabStops, "3 5");
}

TEST_F(MainFormTest, CreateFillsLastFileCaptionAndHint) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "LAST_FILE", StringValue("C:\\p\\a.asm"));
  form.FormCreate();
  EXPECT_EQ(form.Last1.Caption, "C:\\p\\a.asm");
  EXPECT_EQ(form.Last1.Hint, "C:\\p\\a.asm");
  EXPECT_EQ(window.captions[MenuItemId::Last1], "C:\\p\\a.asm");
}

TEST_F(MainFormTest, ShowLoadsTheFirstArgumentOnly) {
  const std::string first = Write("first file.asm", "a\r\nb\r\n");
  const std::string second = Write("second.asm", "zzz");
  window.args = {first, second};
  form.FormShow();
  EXPECT_EQ(form.ProgramDir, "C:\\Tools\\");
  EXPECT_EQ(memo.Lines().GetTextStr(), "a\r\nb\r\n");
  EXPECT_EQ(window.PanelText(panel::File), first);
  EXPECT_EQ(window.PanelText(panel::Modified), "");
}

TEST_F(MainFormTest, ShowIgnoresAMissingFileAndNoArguments) {
  window.args = {(dir / "none.asm").string()};
  form.FormShow();
  EXPECT_EQ(memo.Lines().Count(), 0);
  EXPECT_EQ(window.PanelText(panel::File), "");
  window.args.clear();
  form.FormShow();
  EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST_F(MainFormTest, ShowTakesAFolderForNoFile) {
  window.args = {dir.string()};
  form.FormShow();
  EXPECT_EQ(window.PanelText(panel::File), "");
}

TEST_F(MainFormTest, ResizeRaisesTheWidthAndPlacesBV1) {
  window.bounds = Rect{100, 100, 100 + 200, 100 + 150};
  form.WindowSized(true);  // minimised: the bounds it comes back to stay as they are
  EXPECT_EQ(window.bounds, (Rect{100, 100, 100 + 200, 100 + 150}));
  EXPECT_TRUE(window.buttonLeft.empty());
  form.WindowSized(false);
  EXPECT_EQ(window.bounds, (Rect{100, 100, 100 + 350, 100 + 150}));
  EXPECT_EQ(window.buttonLeft["BV1"], 350 - 17 - 10);
  window.bounds = Rect{0, 0, 696, 405};
  form.FormResize();
  EXPECT_EQ(window.bounds.Width(), 696);
  EXPECT_EQ(window.buttonLeft["BV1"], 669);
}

TEST_F(MainFormTest, CaretPanelAndModifiedMark) {
  Inside(memo).caret.MoveTo(5, 2);
  memo.MouseUp(MouseButton::Left, {}, {});
  EXPECT_EQ(window.PanelText(panel::Caret), "5 : 2");
  Inside(memo).caret.MoveTo(0, 0);
  memo.KeyUp(vk::Left, {});
  EXPECT_EQ(window.PanelText(panel::Caret), "0 : 0");
  memo.Lines().Add("program text");
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  memo.Changed();
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
}

TEST_F(MainFormTest, BV1CyclesTheScrollBars) {
  const TScrollStyle expected[] = {TScrollStyle::ssHorizontal, TScrollStyle::ssBoth, TScrollStyle::ssNone,
                                   TScrollStyle::ssVertical};
  for (TScrollStyle style : expected) {
    form.Run(Handler::BV1Click);
    EXPECT_EQ(memo.ScrollBars(), style);
  }
}

TEST_F(MainFormTest, CloseStoresTheCurrentFileOnlyWhenItExists) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "LAST_FILE", StringValue("C:\\old.asm"));
  window.SetPanelText(panel::File, (dir / "gone.asm").string());
  form.FormClose();
  EXPECT_EQ(registry.Get(RegistryRoot::LocalMachine, kKey, "LAST_FILE")->text, "C:\\old.asm");
  const std::string current = Write("cur.asm", "x");
  window.SetPanelText(panel::File, current);
  form.FormClose();
  EXPECT_EQ(registry.Get(RegistryRoot::LocalMachine, kKey, "LAST_FILE")->text, current);
  EXPECT_EQ(registry.Get(RegistryRoot::LocalMachine, kKey, "Width")->integer, 696);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainFormTest, AFailedSettingsSaveIsReportedOnceWithoutThrowing) {
  registry.DenyWrites(RegistryRoot::LocalMachine);
  registry.DenyWrites(RegistryRoot::CurrentUser);
  EXPECT_NO_THROW(form.FormClose());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Failed to set data for 'Left'");
}

TEST_F(MainFormTest, LayoutStacksToolBarEditorAndStatusBar) {
  const ClientLayout layout = form.Layout(Rect{0, 0, 688, 351}, 19);
  EXPECT_EQ(layout.Pbutton, (Rect{0, 0, 688, 31}));
  EXPECT_EQ(layout.Memo1, (Rect{0, 31, 688, 332}));
  EXPECT_EQ(layout.Bar1, (Rect{0, 332, 688, 351}));
  EXPECT_EQ(form.Layout(Rect{0, 0, 100, 20}, 19).Memo1.Height(), 0);
}

TEST_F(MainFormTest, CloseCommandAsksTheWindowToClose) {
  form.Run(Handler::N_closeClick);
  EXPECT_EQ(window.closeRequests, 1);
}

// --- closing and the end of the session ---

class Closing : public MainFormTest {
 protected:
  void Edit() { window.SetPanelText(panel::Modified, "+"); }
  bool SettingsWritten() const { return !registry.WriteLog.empty(); }
};

TEST_F(Closing, AnUnchangedTextClosesWithoutAQuestionAndSavesTheSettings) {
  form.CloseRequested();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(SettingsWritten());
  EXPECT_EQ(window.destroyed, 1);
}

TEST_F(Closing, NoToTheQuestionKeepsTheWindowAndSavesNothing) {
  Edit();
  dialogs.answers = {MessageResult::No};
  form.CloseRequested();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kCloseQuestion);
  EXPECT_FALSE(SettingsWritten());
  EXPECT_EQ(window.destroyed, 0);
  // Asked again at the next close; Yes closes without saving the text.
  dialogs.answers = {MessageResult::Yes};
  form.CloseRequested();
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
}

TEST_F(Closing, AFailedSettingsSaveIsReportedAndTheWindowStillCloses) {
  registry.DenyWrites(RegistryRoot::LocalMachine);
  registry.DenyWrites(RegistryRoot::CurrentUser);
  form.CloseRequested();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Failed to set data for 'Left'");
  EXPECT_EQ(window.destroyed, 1);
}

TEST_F(Closing, TheSessionEndsAfterTheSameQuestionAndSavesOnce) {
  Edit();
  dialogs.answers = {MessageResult::No};
  EXPECT_FALSE(form.QueryEndSession());
  dialogs.answers = {MessageResult::Yes};
  EXPECT_TRUE(form.QueryEndSession());
  EXPECT_FALSE(SettingsWritten());  // nothing is saved before the session really ends
  form.EndSession(true);
  const std::size_t writes = registry.WriteLog.size();
  EXPECT_GT(writes, 0u);
  EXPECT_EQ(window.destroyed, 0);  // the window goes with the process
  // A close arriving after that neither asks nor writes the settings again.
  const std::size_t questions = dialogs.shown.size();
  EXPECT_TRUE(form.QueryEndSession());
  form.EndSession(true);
  form.CloseRequested();
  EXPECT_EQ(dialogs.shown.size(), questions);
  EXPECT_EQ(registry.WriteLog.size(), writes);
  EXPECT_EQ(window.destroyed, 1);
}

TEST_F(Closing, ASessionThatGoesOnSavesNothingAndAsksAgainLater) {
  Edit();
  EXPECT_TRUE(form.QueryEndSession());  // answered Yes
  form.EndSession(false);               // another program refused
  EXPECT_FALSE(SettingsWritten());
  dialogs.answers = {MessageResult::No};
  form.CloseRequested();
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(window.destroyed, 0);
}

// --- the keyboard focus after a button ---

TEST_F(MainFormTest, AButtonGivesTheFocusBackToTheEditorAMenuCommandLeavesIt) {
  form.ButtonClick(Handler::BV1Click);
  EXPECT_EQ(memo.ScrollBars(), TScrollStyle::ssHorizontal);  // the handler ran
  EXPECT_EQ(window.editorFocused, 1);
  form.Run(Handler::BV1Click);
  EXPECT_EQ(window.editorFocused, 1);
}

TEST_F(MainFormTest, AButtonWhoseHandlerFailsStillGivesTheFocusBack) {
  window.SetPanelText(panel::File, Write("a.asm", "x"));
  // Saving into a file that has become a folder fails.
  std::filesystem::remove(dir / "a.asm");
  std::filesystem::create_directory(dir / "a.asm");
  dialogs.files = {(dir / "a.asm").string()};
  EXPECT_ANY_THROW(form.ButtonClick(Handler::N_saveClick));
  EXPECT_EQ(window.editorFocused, 1);
}

}  // namespace
}  // namespace vantorel

namespace vantorel {
namespace {

// Each Edit command reaches the editor's operation of its name.
TEST(MainFormEdit, TheEditCommandsReachTheEditor) {
  HeadlessWindowHost host;
  THLEditor memo(&host);
  MemoryClipboard clipboard;
  memo.SetClipboard(&clipboard);
  HeadlessMainWindow window;
  MemoryRegistry registry;
  PosixFileSystem fs;
  ScriptedDialogs dialogs;
  RecordingProcesses processes;
  IconvCodePages codePages;
  RecordingShell shell;
  TFmain form(window, memo, registry, fs, dialogs, processes, codePages, shell);
  memo.Lines().Assign(std::vector<std::string>{"abc def"});
  memo.SelectRange(0, 0, 3, 0);
  form.Run(Handler::BCopy1Click);
  EXPECT_EQ(clipboard.text, "abc");
  form.Run(Handler::BdelClick);
  EXPECT_FALSE(memo.HasSelection());
  EXPECT_EQ(memo.LineView(0), "abc def");
  memo.SelectRange(0, 0, 3, 0);
  form.Run(Handler::BCut1Click);
  EXPECT_EQ(memo.LineView(0), " def");
  form.Run(Handler::BPaste1Click);
  EXPECT_EQ(memo.LineView(0), "abc def");
  form.Run(Handler::BundoClick);
  EXPECT_EQ(memo.LineView(0), " def");
}

}  // namespace
}  // namespace vantorel
