// The settings dialog through the main window's command, with the user's actions
// scripted on the in-memory dialog window.
#include "app/SettingsDialog.h"

#include <gtest/gtest.h>

#include "MainFormFixture.h"

namespace vantorel {
namespace {

using F = SettingField;

class SettingsDialogTest : public MainFormTest {
 protected:
  SettingsDialogTest() { window.settingsDialogs = &owned; }
  // Opens the dialog, records what it showed, then does what the script does.
  void Open(std::function<void(TFsetting&, HeadlessSettingsWindow&)> script) {
    window.settingsScript = [&, script](TFsetting& f, HeadlessSettingsWindow& w) {
      shownFields = w.fields;
      shownSaveEnabled = w.saveEnabled;
      shownFocus = w.focused;
      script(f, w);
      endedSaveEnabled = w.saveEnabled;
    };
    form.Run(Handler::N_setupClick);
  }
  void Fill(TSettings values) { form.Settings = std::move(values); }

  ScriptedDialogs owned;  // the dialogs owned by the settings dialog
  std::map<SettingField, std::string> shownFields;
  bool shownSaveEnabled = true;
  std::optional<SettingField> shownFocus;
  bool endedSaveEnabled = false;
};

TEST_F(SettingsDialogTest, FirstRunShowsEmptyFieldsAndCancelKeepsTheSettings) {
  Open([](TFsetting& f, HeadlessSettingsWindow& w) {
    w.Type(f, F::E_masm_path, "D:\\masm");
    f.B_closeClick();
  });
  EXPECT_EQ(shownFields, (std::map<SettingField, std::string>{
                             {F::E_masm_path, ""}, {F::E_prog_path, ""}, {F::E_compile_file, ""}, {F::E_run_file, ""}}));
  EXPECT_FALSE(shownSaveEnabled);  // the design texts were replaced, and that is no change
  EXPECT_EQ(shownFocus, F::E_masm_path);
  EXPECT_TRUE(endedSaveEnabled);
  EXPECT_EQ(form.Settings.MASM_PATH, "");
  EXPECT_EQ(window.settingsShown, 1);
}

TEST_F(SettingsDialogTest, SaveCopiesTheFieldsAsTheyStand) {
  Fill({"C:\\masm32", "C:\\proj", "build.bat", "run.bat"});
  ModalResult result = ModalResult::None;
  Open([&](TFsetting& f, HeadlessSettingsWindow& w) {
    w.Type(f, F::E_masm_path, " C:\\Program Files\\masm32\\ ");
    w.Type(f, F::E_run_file, "");
    f.B_saveClick();
    result = w.result;
  });
  EXPECT_EQ(shownFields[F::E_prog_path], "C:\\proj");
  EXPECT_FALSE(shownSaveEnabled);
  EXPECT_EQ(result, ModalResult::Ok);
  EXPECT_EQ(form.Settings.MASM_PATH, " C:\\Program Files\\masm32\\ ");
  EXPECT_EQ(form.Settings.PROG_PATH, "C:\\proj");
  EXPECT_EQ(form.Settings.COMPILE_FILE, "build.bat");
  EXPECT_EQ(form.Settings.RUN_FILE, "");
}

TEST_F(SettingsDialogTest, TheCloseBoxKeepsTheSettingsAndEachOpeningStartsAgain) {
  Fill({"a", "b", "c", "d"});
  Open([](TFsetting& f, HeadlessSettingsWindow& w) { w.Type(f, F::E_prog_path, "x"); });
  EXPECT_EQ(form.Settings.PROG_PATH, "b");
  Open([](TFsetting&, HeadlessSettingsWindow&) {});
  EXPECT_EQ(shownFields[F::E_prog_path], "b");
  EXPECT_FALSE(shownSaveEnabled);
  EXPECT_FALSE(endedSaveEnabled);
}

TEST_F(SettingsDialogTest, FolderButtonsReplaceTheFieldOnlyWithANewFolder) {
  Fill({"C:\\masm32", "C:\\proj", "", ""});
  owned.folders = {std::nullopt, std::string("C:\\proj"), std::string("E:\\new folder")};
  Open([&](TFsetting& f, HeadlessSettingsWindow& w) {
    f.B_selectClick();  // cancelled
    EXPECT_EQ(w.FieldText(F::E_masm_path), "C:\\masm32");
    f.B_select_2Click();  // the folder the field already names: no change
    EXPECT_FALSE(w.saveEnabled);
    f.B_selectClick();
    EXPECT_EQ(w.FieldText(F::E_masm_path), "E:\\new folder");
    EXPECT_TRUE(w.saveEnabled);
    f.B_saveClick();
  });
  EXPECT_EQ(owned.folderTitles, (std::vector<std::string>(3, "Выбор каталога")));
  EXPECT_EQ(form.Settings.MASM_PATH, "E:\\new folder");
  EXPECT_EQ(form.Settings.PROG_PATH, "C:\\proj");
}

TEST_F(SettingsDialogTest, FileButtonsStoreTheFullPathOfTheChosenFile) {
  owned.files = {std::string("C:\\Masm32\\Bin\\BLDALL.BAT"), std::nullopt};
  Open([](TFsetting& f, HeadlessSettingsWindow&) {
    f.Bcomp_fileClick();
    f.Brun_fileClick();  // cancelled
    f.B_saveClick();
  });
  ASSERT_EQ(owned.fileDialogs.size(), 2u);
  EXPECT_EQ(owned.fileDialogs[0].filters.front().second, "*.bat");
  EXPECT_EQ(owned.fileDialogs[0].filterIndex, 1);
  EXPECT_EQ(form.Settings.COMPILE_FILE, "C:\\Masm32\\Bin\\BLDALL.BAT");
  EXPECT_EQ(form.Settings.RUN_FILE, "");
}

TEST_F(SettingsDialogTest, SavedValuesReachTheRegistryOnlyWhenTheWindowCloses) {
  Open([](TFsetting& f, HeadlessSettingsWindow& w) {
    w.Type(f, F::E_compile_file, "make it.bat");
    f.B_saveClick();
  });
  EXPECT_FALSE(registry.Get(RegistryRoot::LocalMachine, kKey, "COMPILE_FILE"));
  form.CloseRequested();
  const auto stored = registry.Get(RegistryRoot::LocalMachine, kKey, "COMPILE_FILE");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->text, "make it.bat");
}

TEST(SettingsDialogLayout, ChildrenFitTheirParentsAndParentsComeFirst) {
  std::map<std::string_view, Rect> placed{{"", Rect{0, 0, kSettingsClientSize.x, kSettingsClientSize.y}}};
  int pickButtons = 0;
  for (const SettingsControl& c : SettingsControls()) {
    // The path fields' pick buttons show a folder, the batch files' a file.
    if (c.kind == SettingsControlKind::PickButton) {
      ++pickButtons;
      const bool folder = c.command == SettingsCommand::B_select || c.command == SettingsCommand::B_select_2;
      EXPECT_EQ(PickButtonImage(c.command), folder ? ButtonImageId::PickFolder : ButtonImageId::PickFile) << c.name;
    }
    ASSERT_TRUE(placed.count(c.parent)) << c.name << " comes before its parent " << c.parent;
    const Rect& parent = placed[c.parent];
    EXPECT_LE(c.bounds.right, parent.Width()) << c.name;
    EXPECT_LE(c.bounds.bottom, parent.Height()) << c.name;
    placed[c.name] = c.bounds;
  }
  EXPECT_EQ(pickButtons, 4);
}

// The dialog stands in the middle of the screen, as the main window does without a
// stored place.
TEST(SettingsDialogLayout, IsCentredOnTheScreen) {
  EXPECT_EQ(CentredOnScreen(Rect{0, 0, 478, 382}, Point{1024, 768}), (Rect{273, 193, 751, 575}));
  EXPECT_EQ(CentredOnScreen(Rect{-5, -5, 995, 995}, Point{640, 480}), (Rect{-180, -260, 820, 740}));
}

}  // namespace
}  // namespace vantorel
