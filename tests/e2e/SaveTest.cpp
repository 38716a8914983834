// End-to-end: F2 on real files under Wine. A replace gives the file a new identity (a
// new inode here), a write in place keeps it, so the inode tells which way the save
// went; every case ends with the complete new bytes and nothing else in the folder.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

class SaveTest : public E2eTest {
 protected:
  std::filesystem::path Unix(const std::string& relative) {
    std::string path = relative;
    for (char& c : path)
      if (c == '\\') c = '/';
    return wine.DriveC() / path;
  }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static ino_t Inode(const std::filesystem::path& file) {
    struct stat st{};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
  }
  static std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
  }
  // Opens the file from the command line and presses F2.
  void OpenAndSave(const std::string& windowsPath) {
    ASSERT_TRUE(wine.Start({windowsPath}));
    ASSERT_TRUE(WaitForPanel(1, windowsPath)) << wine.Panel(1);
    ASSERT_TRUE(wine.FocusMainWindow());
    ASSERT_EQ(wine.Xdotool({"key", "F2"}).exitCode, 0);
  }
};

const std::string kOld = "start:\n\tret\nend start";
const std::string kNew = "start:\r\n  ret\r\nend start\r\n";

TEST_F(SaveTest, AWritableFileIsReplacedWithTheExactBytes) {
  const std::string relative = "work\\w.asm";
  const std::string path = wine.PutFile(relative, kOld);
  const ino_t before = Inode(Unix(relative));
  OpenAndSave(path);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Read(Unix(relative)) == kNew; })) << Read(Unix(relative));
  EXPECT_NE(Inode(Unix(relative)), before) << "the file was written in place, not replaced";
  EXPECT_EQ(Names(Unix("work")), std::vector<std::string>{"w.asm"});
}

TEST_F(SaveTest, AFileHeldOpenWithoutDeleteSharingIsWrittenInPlace) {
  const std::string relative = "held\\h.asm";
  const std::string path = wine.PutFile(relative, kOld);
  const ino_t before = Inode(Unix(relative));
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  ASSERT_TRUE(wine.DriverInBackground({"hold", path, "30000"}));
  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "F2"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Panel(3).empty() && Read(Unix(relative)) == kNew; }))
      << Read(Unix(relative)) << " / toplevel: " << wine.Ask({"toplevel"});
  EXPECT_EQ(Inode(Unix(relative)), before) << "the file held open was replaced";
  EXPECT_EQ(Names(Unix("held")), std::vector<std::string>{"h.asm"});
  EXPECT_EQ(wine.Ask({"toplevel"}).find("#32770"), std::string::npos) << "an error was shown";
}

TEST_F(SaveTest, AFileInAFolderDeeperThanMaxPathOpensAndSaves) {
  std::string folder;
  for (char part = 'a'; part <= 'c'; ++part) folder += std::string(100, part) + "\\";
  const std::string relative = folder + "deep.asm";
  const std::string path = wine.PutFile(relative, kOld);
  ASSERT_GT(path.size(), 300u);
  const ino_t before = Inode(Unix(relative));
  ASSERT_TRUE(wine.RegAddString("COMPILE_FILE", "C:\\build.bat"));
  wine.PutFile("build.bat", "@echo %1> C:\\out.txt\r\n");
  OpenAndSave(path);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Read(Unix(relative)) == kNew; })) << Read(Unix(relative));
  EXPECT_NE(Inode(Unix(relative)), before);
  EXPECT_EQ(Names(Unix(folder)), std::vector<std::string>{"deep.asm"});
  // Such a folder cannot be the current one: a build says so and starts nothing.
  ASSERT_EQ(wine.Xdotool({"key", "ctrl+F9"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"toplevel"}).find("\tВнимание") != std::string::npos; }))
      << wine.Ask({"toplevel"});
  EXPECT_EQ(wine.Panel(4), "");
  EXPECT_FALSE(std::filesystem::exists(Unix("out.txt")));
}

}  // namespace
}  // namespace vantorel::e2e
