// End-to-end: the build's output in the window. Batch files stand in for the Masm32
// tools and write their kinds of lines; the pane is read through the probe, the caret
// through panel 2, the option through the registry.
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

struct PaneLine {
  int kind = -1;  // 0 text, 1 error, 2 warning
  std::string text;
};

struct PaneState {
  int count = -1;
  int selected = -1;
  bool visible = false;
  std::vector<PaneLine> lines;
};

class BuildOutputTest : public E2eTest {
 protected:
  PaneState Pane() {
    PaneState state;
    const CommandResult r = wine.Driver({"pane"});
    if (r.exitCode != 0) return state;
    std::istringstream in(r.out);
    std::string header;
    std::getline(in, header);
    std::istringstream fields(header);
    std::string word;
    int top = 0, visible = 0;
    fields >> word >> state.count >> word >> state.selected >> word >> top >> word >> visible;
    state.visible = visible == 1;
    for (std::string line; std::getline(in, line);) {
      const std::size_t tab = line.find('\t');
      if (tab == std::string::npos) continue;
      state.lines.push_back({std::stoi(line.substr(0, tab)), line.substr(tab + 1)});
    }
    return state;
  }
  // Starts the program on a ten-line source with the option stored on and the build
  // command set to the given batch file.
  void StartWithBuild(const std::string& batch, const std::string& source = "proj\\hello.asm") {
    wine.PutFile("tools\\build.bat", batch);
    ASSERT_TRUE(wine.RegAddString("COMPILE_FILE", "C:\\tools\\build.bat"));
    ASSERT_TRUE(wine.RegAddDword("BUILD_OUTPUT", 1));
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "line " + std::to_string(i) + "\r\n";
    StartOnFile(source, text);
  }
  void Build() {
    ASSERT_TRUE(wine.FocusMainWindow());
    ASSERT_EQ(wine.Xdotool({"key", "ctrl+F9"}).exitCode, 0);
  }
  void DoubleClick(int item) {
    const std::optional<ScreenRect> r = ParseRect(wine.Ask({"pane-item", std::to_string(item)}));
    ASSERT_TRUE(r);
    const std::string x = std::to_string(r->left + 40), y = std::to_string(r->top + r->Height() / 2);
    ASSERT_EQ(wine.Xdotool({"mousemove", x, y, "sleep", "0.6", "click", "--repeat", "2", "--delay", "80", "1"}).exitCode,
              0);
  }
};

TEST_F(BuildOutputTest, ErrorLinesFillThePaneAndTakeTheCaretToTheirLines) {
  StartWithBuild(
      "@echo off\r\n"
      "echo Assembling: %1.asm\r\n"
      "echo %1.asm(3) : error A2008: syntax error : xyz\r\n"
      "echo %1.asm(5) : warning A4011: multiple .MODEL directives found\r\n"
      "echo %1.asm(7) : error A2006: undefined symbol : hWnd\r\n"
      "echo %1.asm(9) : error A2005: symbol redefinition : x\r\n"
      "pause\r\n"
      "exit /b 2\r\n");
  EXPECT_FALSE(Pane().visible);
  Build();
  // The pause returned at once (its input is the null device) and the code shows.
  EXPECT_TRUE(WaitForPanel(4, "Ошибки, код 2")) << wine.Panel(4);
  const PaneState pane = Pane();
  ASSERT_GE(pane.lines.size(), 6u) << wine.Ask({"pane"});
  EXPECT_EQ(pane.lines[0].text, "C:\\tools\\build.bat C:\\proj\\hello");
  EXPECT_EQ(pane.lines[1].text, "Assembling: C:\\proj\\hello.asm");
  EXPECT_EQ(pane.lines[2].text, "C:\\proj\\hello.asm(3) : error A2008: syntax error : xyz");
  const std::vector<int> kinds{pane.lines[1].kind, pane.lines[2].kind, pane.lines[3].kind, pane.lines[4].kind,
                               pane.lines[5].kind};
  EXPECT_EQ(kinds, (std::vector<int>{0, 1, 2, 1, 1}));
  wine.Screenshot(WineSession::ArtifactsDir() / "build-output.png");

  // The first error line is painted red.
  const std::optional<ScreenRect> first = ParseRect(wine.Ask({"pane-item", "2"}));
  ASSERT_TRUE(first);
  const std::optional<Image> row = Capture(*first);
  ASSERT_TRUE(row);
  int red = 0;
  for (int y = 0; y < row->height; ++y)
    for (int x = 0; x < row->width; ++x) {
      const std::uint32_t p = row->At(x, y);
      red += (p >> 16) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60;
    }
  EXPECT_GT(red, 20);

  // A double click on the second error line puts the caret at the start of line 7.
  DoubleClick(4);
  EXPECT_TRUE(WaitForPanel(2, "0 : 6")) << wine.Panel(2);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"focus"}) == "THLEditor"; })) << wine.Ask({"focus"});
  // F4 steps to the next line with a position, Shift+F4 back.
  ASSERT_TRUE(wine.FocusMainWindow());
  Keys("F4");
  EXPECT_TRUE(WaitForPanel(2, "0 : 8")) << wine.Panel(2);
  Keys("shift+F4");
  EXPECT_TRUE(WaitForPanel(2, "0 : 6")) << wine.Panel(2);
  EXPECT_EQ(Pane().selected, 4);
}

// In a folder with Cyrillic letters the assembler names the source relative to it, as
// ml.exe started there does; F4 still takes the caret to the line, over the context
// lines of an error inside a macro.
TEST_F(BuildOutputTest, F4FindsARelativeNameInAFolderWithCyrillicLetters) {
  StartWithBuild(
      "@echo off\r\n"
      "echo  Assembling: test.asm\r\n"
      "echo test.asm(4) : error A2008: syntax error : in a macro\r\n"
      "echo  print(2): Macro Called From\r\n"
      "echo   test.asm(4): Main Line Code\r\n"
      "echo test.asm(6) : error A2006: undefined symbol : x\r\n"
      "exit /b 1\r\n",
      "Проект\\test.asm");
  Build();
  EXPECT_TRUE(WaitForPanel(4, "Ошибки, код 1")) << wine.Panel(4);
  ASSERT_TRUE(wine.FocusMainWindow());
  Keys("F4");
  EXPECT_TRUE(WaitForPanel(2, "0 : 3")) << wine.Panel(2) << " / " << wine.Panel(4);
  Keys("F4");
  EXPECT_TRUE(WaitForPanel(2, "0 : 5")) << wine.Panel(2) << " / " << wine.Panel(4);
  EXPECT_EQ(Pane().selected, 5);
}

TEST_F(BuildOutputTest, TheViewItemIsKeptAcrossRunsAndThePaneWaitsForABuild) {
  ASSERT_TRUE(wine.Start());
  EXPECT_FALSE(Pane().visible);
  wine.Ask({"menu", "Вид/вывод сборки в окне"});
  Close();
  EXPECT_EQ(wine.RegDword("BUILD_OUTPUT"), std::optional<std::uint32_t>(1));

  ASSERT_TRUE(wine.Start());
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(Pane().visible);  // the whole height is the editor's until a build
  wine.Ask({"menu", "Вид/вывод сборки в окне"});
  Close();
  EXPECT_EQ(wine.RegDword("BUILD_OUTPUT"), std::optional<std::uint32_t>(0));
}

// A build that never ends on its own: the pane appears with it, its bar drags it
// higher, the stop command ends the build and the interpreter it started within a
// second, Escape hides the pane, and the height is found again at the next start.
TEST_F(BuildOutputTest, ThePaneAppearsIsSizedByItsBarAndTheStopCommandEndsTheBuild) {
  wine.PutFile("tools\\beat.bat", "@echo off\r\n:loop\r\necho beat>> C:\\proj\\beat.txt\r\ngoto loop\r\n");
  StartWithBuild("@echo off\r\necho started\r\ncmd /c C:\\tools\\beat.bat\r\nping -n 1000 127.0.0.1 > nul\r\n");
  const auto rect = [&](const char* name) { return ParseRect(wine.Ask({"rect", name})).value_or(ScreenRect{}); };
  const int editorBottom = rect("editor").bottom;
  EXPECT_FALSE(Pane().visible);
  Build();
  ASSERT_TRUE(WineSession::WaitUntil([&] { return Pane().visible; }));
  ASSERT_TRUE(WineSession::WaitUntil([&] { return std::filesystem::exists(wine.DriveC() / "proj/beat.txt"); }, 60s));
  const ScreenRect pane = rect("pane");
  EXPECT_EQ(rect("editor").bottom, pane.top);
  EXPECT_LT(pane.top, editorBottom - 100);  // about eight lines of the editor's font
  // The bar on the pane's top edge, dragged 60 pixels up (from 5 below its top edge).
  const std::string x = std::to_string(pane.left + 50), y = std::to_string(pane.top + 5);
  ASSERT_EQ(wine.Xdotool({"mousemove", x, y, "sleep", "0.3", "mousedown", "1", "sleep", "0.2", "mousemove", x,
                          std::to_string(pane.top - 30), "sleep", "0.2", "mousemove", x,
                          std::to_string(pane.top - 55), "sleep", "0.3", "mouseup", "1"})
                .exitCode,
            0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return rect("pane").top == pane.top - 60; })) << rect("pane").top;
  const int dragged = rect("pane").Height();
  EXPECT_EQ(rect("editor").bottom, rect("pane").top);

  EXPECT_EQ(wine.Panel(4), "Сборка...");
  wine.Ask({"menu", "Проект/остановить сборку"});
  EXPECT_TRUE(WaitForPanel(4, "Остановлено")) << wine.Panel(4);
  // Whatever was writing has gone within a second: the file stops growing.
  const auto size = [&] { return std::filesystem::file_size(wine.DriveC() / "proj/beat.txt"); };
  std::this_thread::sleep_for(1s);
  const auto after = size();
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(size(), after);
  EXPECT_EQ(Pane().lines.back().text, "Остановлено");

  // Escape in the pane's list hides it; the editor has its whole height again.
  const std::optional<ScreenRect> item = ParseRect(wine.Ask({"pane-item", "0"}));
  ASSERT_TRUE(item);
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(item->left + 40), std::to_string(item->top + 3), "sleep", "0.3",
                          "click", "1", "sleep", "0.3", "key", "Escape"})
                .exitCode,
            0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return !Pane().visible; }));
  EXPECT_EQ(rect("editor").bottom, editorBottom);
  Close();
  const std::optional<std::uint32_t> stored = wine.RegDword("BUILD_OUTPUT_HEIGHT");
  ASSERT_TRUE(stored);
  EXPECT_EQ(static_cast<int>(*stored), dragged);

  // The next start keeps the height for the next build.
  std::filesystem::remove(wine.DriveC() / "proj/beat.txt");
  wine.PutFile("tools\\build.bat", "@echo off\r\necho quick\r\n");
  ASSERT_TRUE(wine.Start({"C:\\proj\\hello.asm"}));
  Build();
  ASSERT_TRUE(WineSession::WaitUntil([&] { return Pane().visible; }));
  EXPECT_EQ(rect("pane").Height(), dragged);
  EXPECT_TRUE(WaitForPanel(4, "Готово, код 0")) << wine.Panel(4);
}

TEST_F(BuildOutputTest, TwentyThousandLinesKeepTheWindowAnsweringAndThePaneKeepsTheLastTenThousand) {
  std::string lines;
  for (int i = 1; i <= 20000; ++i) lines += "output line " + std::to_string(i) + "\r\n";
  wine.PutFile("proj\\lines.txt", lines);
  // The build goes on until the test lets it end.
  StartWithBuild(
      "@echo off\r\n"
      "type C:\\proj\\lines.txt\r\n"
      ":wait\r\n"
      "if not exist C:\\proj\\go.txt goto wait\r\n"
      "exit /b 0\r\n");
  Build();
  PaneState pane;
  EXPECT_TRUE(WineSession::WaitUntil(
      [&] {
        pane = Pane();
        return !pane.lines.empty() && pane.lines.back().text == "output line 20000";
      },
      60s))
      << pane.count;
  // Still building, and the window answers: the probe's request and a message sent
  // to the editor are handled.
  EXPECT_EQ(wine.Panel(4), "Сборка...");
  EXPECT_EQ(wine.Ask({"getsel"}), "0 0");
  EXPECT_EQ(pane.count, 10000);
  ASSERT_EQ(pane.lines.size(), 10000u);
  EXPECT_EQ(pane.lines.front().text, "output line 10001");
  wine.PutFile("proj\\go.txt", "");
  EXPECT_TRUE(WaitForPanel(4, "Готово, код 0")) << wine.Panel(4);
}

TEST_F(BuildOutputTest, ClosingDuringABuildEndsEveryProcessItStarted) {
  // The build starts a second interpreter that writes a heartbeat until it is ended.
  wine.PutFile("tools\\beat.bat", "@echo off\r\n:loop\r\necho beat>> C:\\proj\\beat.txt\r\ngoto loop\r\n");
  StartWithBuild("@echo off\r\necho started\r\ncmd /c C:\\tools\\beat.bat\r\n");
  Build();
  // A second interpreter under Wine can take long to start on a busy machine.
  ASSERT_TRUE(WineSession::WaitUntil([&] { return std::filesystem::exists(wine.DriveC() / "proj/beat.txt"); }, 60s));
  EXPECT_EQ(wine.Panel(4), "Сборка...");
  Close();
  // Whatever was writing has gone: the file stops growing.
  const auto size = [&] { return std::filesystem::file_size(wine.DriveC() / "proj/beat.txt"); };
  std::this_thread::sleep_for(1s);
  const auto after = size();
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(size(), after);
}

}  // namespace
}  // namespace vantorel::e2e
