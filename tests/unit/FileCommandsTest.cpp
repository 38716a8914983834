#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "MainFormFixture.h"
#include "app/Template.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

class NewProject : public MainFormTest {};

TEST_F(NewProject, WritesTheEightyTemplateLines) {
  window.SetPanelText(panel::File, "C:\\old.asm");
  memo.Lines().Add("old text");
  form.Run(Handler::N_newClick);
  ASSERT_EQ(memo.Lines().Count(), 80);
  EXPECT_EQ(memo.Lines().Get(0), ".486");
  EXPECT_EQ(memo.Lines().Get(79), "end start");
  EXPECT_EQ(memo.Lines().Get(5), "include \\masm32\\include\\windows.inc");
  EXPECT_EQ(memo.Lines().Get(47), "        invoke LoadIcon, hInst,  500");
  EXPECT_EQ(memo.Lines().Get(55), "        mov   hWnd, EAX");
  EXPECT_EQ(memo.Lines().Get(54),
            std::string(31, ' ') + "WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, NULL, NULL, hInst, NULL");
  const std::string separator = "; " + std::string(73, '\xAB');
  for (int line : {3, 14, 32, 69}) EXPECT_EQ(memo.Lines().Get(line), separator) << line;
  EXPECT_EQ(memo.Lines().Get(77), "; " + std::string(72, '_'));
  int empty = 0;
  for (int i = 0; i < 80; ++i) {
    const std::string text = memo.Lines().Get(i);
    empty += text.empty();
    EXPECT_EQ(text.find('\t'), std::string::npos);
    EXPECT_TRUE(text.empty() || text.back() != ' ') << i;
  }
  EXPECT_EQ(empty, 12);
  EXPECT_EQ(window.PanelText(panel::File), "");
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  EXPECT_TRUE(dialogs.shown.empty());
  // New again gives the same text, not twice the template.
  form.Run(Handler::N_newClick);
  EXPECT_EQ(memo.Lines().Count(), 80);
}

TEST_F(NewProject, AfterAnEditAsksAndNoKeepsEverything) {
  memo.Lines().Add("mine");
  window.SetPanelText(panel::File, "C:\\a.asm");
  window.SetPanelText(panel::Modified, "+");
  dialogs.answers = {MessageResult::No};
  form.Run(Handler::N_newClick);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Код программы не сохранен, вы уверены?");
  EXPECT_EQ(dialogs.shown[0].caption, "Внимание");
  EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(memo.Lines().Count(), 1);
  EXPECT_EQ(window.PanelText(panel::File), "C:\\a.asm");
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
  dialogs.answers = {MessageResult::Yes};
  form.Run(Handler::N_newClick);
  EXPECT_EQ(memo.Lines().Count(), 80);
  EXPECT_EQ(window.PanelText(panel::Modified), "");
}

TEST_F(NewProject, SavedTemplateEndsEveryLineWithCrLf) {
  form.Run(Handler::N_newClick);
  const std::string path = (dir / "new.asm").string();
  dialogs.files = {path};
  form.Run(Handler::N_saveClick);
  const std::string bytes = Read(path);
  std::size_t breaks = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) breaks += bytes[i] == '\r' && bytes[i + 1] == '\n';
  EXPECT_EQ(breaks, 80u);
  EXPECT_EQ(bytes.substr(bytes.size() - 11), "end start\r\n");
}

class FileCommands : public MainFormTest {};

TEST_F(FileCommands, OpenLoadsTheChosenFileAndKeepsTheMark) {
  const std::string path = Write("b.asm", "x\r\ny");
  window.SetPanelText(panel::Modified, "+");
  dialogs.files = {path};
  form.Run(Handler::N_openClick);
  EXPECT_EQ(memo.Lines().GetTextStr(), "x\r\ny\r\n");
  EXPECT_EQ(window.PanelText(panel::File), path);
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
  ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
  const FileDialogDesc& desc = dialogs.fileDialogs[0];
  EXPECT_EQ(desc.title, "Выбор файла");
  EXPECT_EQ(desc.filterIndex, 3);
  ASSERT_EQ(desc.filters.size(), 3u);
  EXPECT_EQ(desc.filters[2].first, "Assembler (*.asm)");
  EXPECT_EQ(desc.filters[1].second, "*.txt;*.doc;*.asm;*.log;*.bat;*.ini");
  EXPECT_EQ(desc.defaultExt, "");
  EXPECT_TRUE(dialogs.shown.empty());  // no question before an open
}

TEST_F(FileCommands, CancelledOpenAndAFailedLoadChangeNothing) {
  memo.Lines().Add("keep");
  window.SetPanelText(panel::File, "C:\\keep.asm");
  form.Run(Handler::N_openClick);  // cancelled
  dialogs.files = {(dir / "missing.asm").string()};
  EXPECT_THROW(form.Run(Handler::N_openClick), EFileError);
  EXPECT_EQ(memo.Lines().GetTextStr(), "keep\r\n");
  EXPECT_EQ(window.PanelText(panel::File), "C:\\keep.asm");
}

TEST_F(FileCommands, SaveWritesTheCurrentFileAndClearsTheMark) {
  const std::string path = Write("c.asm", "old");
  window.SetPanelText(panel::File, path);
  window.SetPanelText(panel::Modified, "+");
  memo.Lines().Add("abc");
  form.Run(Handler::N_saveClick);
  EXPECT_EQ(Read(path), "abc\r\n");
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  EXPECT_TRUE(dialogs.fileDialogs.empty());
  memo.Lines().Clear();
  form.Run(Handler::N_saveClick);
  EXPECT_EQ(Read(path), "");
}

TEST_F(FileCommands, SaveWithoutAFileGoesThroughSaveAsInTheProjectsFolder) {
  form.Settings.PROG_PATH = dir.string();
  window.SetPanelText(panel::Modified, "+");
  memo.Lines().Add("abc");
  const std::string path = (dir / "named.asm").string();
  dialogs.files = {path};
  form.Run(Handler::N_saveClick);
  ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
  const FileDialogDesc& desc = dialogs.fileDialogs[0];
  EXPECT_EQ(desc.title, "Сохранить как");
  EXPECT_EQ(desc.initialDir, dir.string());
  EXPECT_EQ(desc.defaultExt, "asm");
  EXPECT_EQ(desc.filters[2].first, "Assembler *.asm");
  EXPECT_EQ(Read(path), "abc\r\n");
  EXPECT_EQ(window.PanelText(panel::File), path);
  EXPECT_EQ(window.PanelText(panel::Modified), "");
}

TEST_F(FileCommands, TheSaveFoldersFirstNonEmptyValueStays) {
  form.Run(Handler::N_save_asClick);  // PROG_PATH empty: stays empty, asked again next time
  form.Settings.PROG_PATH = "C:\\first";
  form.Run(Handler::N_save_asClick);
  form.Settings.PROG_PATH = "C:\\second";
  form.Run(Handler::N_save_asClick);
  ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
  EXPECT_EQ(dialogs.fileDialogs[0].initialDir, "");
  EXPECT_EQ(dialogs.fileDialogs[1].initialDir, "C:\\first");
  EXPECT_EQ(dialogs.fileDialogs[2].initialDir, "C:\\first");
}

// Files may grow to a few kilobytes only while it lives: a longer write fails half
// way, as on a full disk (the limit holds for the superuser too).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

TEST_F(FileCommands, ASaveThatFailsHalfWayKeepsTheOldFileAndTheMark) {
  const std::string path = Write("d.asm", "precious");
  window.SetPanelText(panel::File, path);
  window.SetPanelText(panel::Modified, "+");
  for (int i = 0; i < 1000; ++i) memo.Lines().Add("        invoke DefWindowProc, hWin, uMsg, wParam, lParam");
  {
    FileSizeLimit limit(4096);
    try {
      form.Run(Handler::N_saveClick);
      ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + path + "\". ", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(Read(path), "precious");
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary file left
  // Saving into a folder that does not exist fails the same way.
  dialogs.files = {(dir / "no" / "e.asm").string()};
  window.SetPanelText(panel::File, "");
  EXPECT_THROW(form.Run(Handler::N_save_asClick), EFileError);
  EXPECT_EQ(window.PanelText(panel::File), "");
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
}

TEST_F(FileCommands, OpenLastAsksWhenModifiedAndIgnoresAMissingFile) {
  const std::string path = Write("last.asm", "last");
  form.Last1.Hint = path;
  window.SetPanelText(panel::Modified, "+");
  dialogs.answers = {MessageResult::No};
  form.Run(Handler::Last1Click);
  EXPECT_EQ(memo.Lines().Count(), 0);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Изменения не сохранены!!! Продолжить?");
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::None);
  form.Run(Handler::Last1Click);  // Yes
  EXPECT_EQ(memo.Lines().GetTextStr(), "last\r\n");
  EXPECT_EQ(window.PanelText(panel::File), path);
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
  form.Last1.Hint = (dir / "gone.asm").string();
  window.SetPanelText(panel::Modified, "");
  form.Run(Handler::Last1Click);
  EXPECT_EQ(window.PanelText(panel::File), path);
  form.Last1.Hint = "";
  form.Run(Handler::Last1Click);
  EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(FileCommands, ClosingAsksOnlyAfterAnEdit) {
  EXPECT_TRUE(form.FormCloseQuery());
  EXPECT_TRUE(dialogs.shown.empty());
  window.SetPanelText(panel::Modified, "+");
  dialogs.answers = {MessageResult::No, MessageResult::Yes};
  EXPECT_FALSE(form.FormCloseQuery());
  EXPECT_EQ(dialogs.shown[0].text, "Внимание, проект был изменен, выйти без сохранения?");
  EXPECT_EQ(dialogs.shown[0].caption, "Внимание");
  EXPECT_TRUE(form.FormCloseQuery());
}

class BuildAndRun : public MainFormTest {};

TEST_F(BuildAndRun, WithoutASavedFileTellsTheUserAndStartsNothing) {
  window.SetPanelText(panel::File, "");
  form.Run(Handler::N_compileClick);
  window.SetPanelText(panel::File, (dir / "unsaved.asm").string());
  form.Run(Handler::N_runClick);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Необходимо сначала сохранить проект");
  EXPECT_EQ(dialogs.shown[0].caption, "Внимание");
  EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(processes.commands.empty());
  EXPECT_TRUE(processes.directories.empty());
  EXPECT_EQ(window.PanelText(panel::Build), "");
}

TEST_F(BuildAndRun, SavesThenStartsTheCommandInTheSourcesFolder) {
  std::filesystem::create_directories(dir / "my.proj");
  const std::string source = Write("my.proj/test.asm", "old");
  memo.Lines().Add("new");
  window.SetPanelText(panel::File, source);
  window.SetPanelText(panel::Modified, "+");
  form.Settings.COMPILE_FILE = "BLDALL.BAT";
  form.Settings.RUN_FILE = "C:\\Program Files\\run.bat";
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(Read(source), "new\r\n");
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  const std::string base = (dir / "my.proj" / "test").string();
  ASSERT_EQ(processes.commands.size(), 1u);
  EXPECT_EQ(processes.commands[0], "BLDALL.BAT " + base);
  EXPECT_EQ(window.PanelText(panel::Build), "BLDALL.BAT " + base);
  EXPECT_EQ(processes.messagePumps, 1);
  form.Run(Handler::N_runClick);
  EXPECT_EQ(processes.commands[1], "C:\\Program Files\\run.bat " + base);  // no quotes added
  form.Settings.COMPILE_FILE = "";
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(processes.commands[2], " " + base);
}

TEST_F(BuildAndRun, TheSourceFolderBecomesTheCurrentDirectory) {
  window.programPath = "C:\\Tools\\vantorel.exe";
  EXPECT_EQ(ExtractFileDir("C:\\work\\my.proj\\test.asm"), "C:\\work\\my.proj\\");
  EXPECT_EQ(PathWithoutExtension("C:\\work\\my.proj\\test.asm"), "C:\\work\\my.proj\\test");
  EXPECT_EQ(PathWithoutExtension("C:\\work\\test"), "C:\\work\\test");
  EXPECT_EQ(PathWithoutExtension("C:\\work\\a.b.asm"), "C:\\work\\a.b");
  EXPECT_EQ(PathWithoutExtension("/home/u/my.proj/test"), "/home/u/my.proj/test");
  EXPECT_EQ(ExtractFileDir("C:/work/a.asm"), "C:/work/");
  EXPECT_EQ(ExtractFileDir("a.asm"), "");
  const std::string source = Write("s.asm", "x");
  window.SetPanelText(panel::File, source);
  form.Run(Handler::N_runClick);
  ASSERT_EQ(processes.directories.size(), 1u);
  EXPECT_EQ(processes.directories[0], dir.string() + "/");
}

TEST_F(BuildAndRun, AFolderThatCannotBeCurrentIsReportedAndNothingRuns) {
  const std::string source = Write("s.asm", "x");
  memo.Lines().Add("new");
  window.SetPanelText(panel::File, source);
  window.SetPanelText(panel::Modified, "+");
  processes.changeDirectoryFails = true;
  form.Run(Handler::N_runClick);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "Не удалось сделать текущей папку \"" + dir.string() + "/\". Сборка и запуск из неё невозможны.");
  EXPECT_EQ(dialogs.shown[0].caption, "Внимание");
  EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(processes.commands.empty());
  EXPECT_EQ(window.PanelText(panel::Build), "");
  EXPECT_EQ(Read(source), "x");
  EXPECT_EQ(window.PanelText(panel::Modified), "+");
}

TEST_F(BuildAndRun, AFailedSaveStartsNothing) {
  const std::string source = Write("t.asm", "x");
  window.SetPanelText(panel::File, source);
  for (int i = 0; i < 1000; ++i) memo.Lines().Add("        invoke PostQuitMessage, NULL");
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(form.Run(Handler::N_compileClick), EFileError);
  }
  EXPECT_TRUE(processes.commands.empty());
  EXPECT_EQ(window.PanelText(panel::Build), "compile file...");
  EXPECT_EQ(Read(source), "x");
}

}  // namespace
}  // namespace vantorel
