// End-to-end: a new project from the template, saving with F2, and the build
// command started with the source's path.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

using ProjectTest = E2eTest;

TEST_F(ProjectTest, NewGivesTheEightyLineSkeleton) {
  ASSERT_TRUE(wine.Start());
  wine.Ask({"menu", "Файл/новый проект"});
  std::optional<EditorText> text;
  ASSERT_TRUE(WineSession::WaitUntil([&] {
    text = wine.ReadEditorText();
    return text && !text->bytes.empty();
  }));
  const std::string& bytes = text->bytes;
  std::size_t lines = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 80u);
  EXPECT_EQ(bytes.rfind(".486\r\n.model flat, stdcall\r\n option casemap :none\r\n; " + std::string(73, '\xAB') +
                            "\r\n\r\ninclude \\masm32\\include\\windows.inc\r\n",
                        0),
            0u);
  EXPECT_NE(bytes.find("\r\n        invoke LoadIcon, hInst,  500\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 89), "; " + std::string(72, '_') + "\r\n\r\nend start\r\n");
  EXPECT_EQ(wine.Panel(1), "");
  EXPECT_EQ(wine.Panel(3), "");
}

TEST_F(ProjectTest, F2WritesTheFileWithCrLfAfterEveryLine) {
  const std::string path = wine.PutFile("work\\lf.asm", "start:\n\tret\nend start");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "F2"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return ReadDriveC("work/lf.asm") == "start:\r\n  ret\r\nend start\r\n"; }))
      << ReadDriveC("work/lf.asm");
  EXPECT_EQ(wine.Panel(3), "");
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(wine.DriveC() / "work")) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u) << "a temporary file was left beside the source";
}

TEST_F(ProjectTest, ASaveThatFailsShowsAnErrorAndKeepsTheOldFile) {
  const std::string path = wine.PutFile("ro.asm", "old\n");
  std::filesystem::permissions(wine.DriveC() / "ro.asm", std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read |
                                                             std::filesystem::perms::others_read);
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "F2"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"toplevel"}).find("#32770") != std::string::npos; }))
      << wine.Ask({"toplevel"});
  EXPECT_EQ(ReadDriveC("ro.asm"), "old\n");
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(wine.DriveC())) {
    files += entry.is_regular_file() && entry.path().filename().string().rfind("vnt", 0) == 0;
  }
  EXPECT_EQ(files, 0u) << "a temporary file was left behind";
}

TEST_F(ProjectTest, CtrlF9StartsTheBuildCommandInTheSourcesFolder) {
  // The batch file writes its argument and its current directory.
  wine.PutFile("tools\\build.bat", "@echo %1> C:\\out.txt\r\n@cd>> C:\\out.txt\r\n");
  ASSERT_TRUE(wine.RegAddString("COMPILE_FILE", "C:\\tools\\build.bat"));
  const std::string source = wine.PutFile("proj.v1\\hello.asm", "start:\r\nend start\r\n");
  ASSERT_TRUE(wine.Start({source}));
  ASSERT_TRUE(WaitForPanel(1, source));
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "ctrl+F9"}).exitCode, 0);
  EXPECT_TRUE(WaitForPanel(4, "C:\\tools\\build.bat C:\\proj.v1\\hello")) << wine.Panel(4);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return ReadDriveC("out.txt").find("\r\n") != std::string::npos; }, 20s));
  const std::string out = ReadDriveC("out.txt");
  // The folder's "." stays: only the file name's extension is taken off.
  EXPECT_EQ(out, "C:\\proj.v1\\hello\r\nC:\\proj.v1\r\n");
  EXPECT_EQ(wine.Panel(3), "");
}

TEST_F(ProjectTest, BuildingATextWithoutAFileAsksToSaveFirst) {
  ASSERT_TRUE(wine.Start());
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "ctrl+F9"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"toplevel"}).find("Внимание") != std::string::npos; }))
      << wine.Ask({"toplevel"});
  EXPECT_EQ(wine.Panel(4), "");
}

}  // namespace
}  // namespace vantorel::e2e
