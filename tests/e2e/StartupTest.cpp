// End-to-end: vantorel.exe starting under Wine — the command-line file, the main
// window's placement and layout, the settings written at close, and a real key press.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr int kDesignedWidth = 696;
constexpr int kDesignedHeight = 405;
constexpr int kMinWidth = 350;

// Lines ending in LF and in CR LF, one of them Cyrillic in Windows-1251 ("Привет").
const std::string kMixedLineEnds = "; first\nstart:\r\n    mov eax, 1\n; \xcf\xf0\xe8\xe2\xe5\xf2\r\nend start\n";
const std::string kMixedLineEndsAsCrLf =
    "; first\r\nstart:\r\n    mov eax, 1\r\n; \xcf\xf0\xe8\xe2\xe5\xf2\r\nend start\r\n";

// --- the file named on the command line ---

using CommandLineFileTest = E2eTest;

TEST_F(CommandLineFileTest, IsLoadedWithCrLfAfterEveryLineAndNamedInPanel1) {
  std::string path = wine.PutFile("src\\mixed.asm", kMixedLineEnds);
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path)) << "panel 1: \"" << wine.Panel(1) << "\"";

  EXPECT_EQ(wine.Ask({"caption"}), "Vantorel 1.1");
  EXPECT_EQ(wine.Panel(0), "Файл:");
  ExpectEditorText(kMixedLineEndsAsCrLf);
  // Caret position, modified mark and build status stay empty until something happens.
  EXPECT_EQ(wine.Panel(2), "");
  EXPECT_EQ(wine.Panel(3), "");
  EXPECT_EQ(wine.Panel(4), "");
}

TEST_F(CommandLineFileTest, PathWithBlanksArrivesQuotedAndIsShownWithoutQuotes) {
  // Wine quotes an argument that holds blanks when it builds the command line.
  std::string path = wine.PutFile("my files\\first prog.asm", "mov eax, 1\n");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path)) << "panel 1: \"" << wine.Panel(1) << "\"";
  ExpectEditorText("mov eax, 1\r\n");
}

TEST_F(CommandLineFileTest, OnlyTheFirstOfTwoFilesIsLoaded) {
  std::string first = wine.PutFile("first.asm", "first\r\n");
  std::string second = wine.PutFile("second.asm", "second\r\n");
  ASSERT_TRUE(wine.Start({first, second}));
  ASSERT_TRUE(WaitForPanel(1, first)) << "panel 1: \"" << wine.Panel(1) << "\"";
  ExpectEditorText("first\r\n");
}

TEST_F(CommandLineFileTest, MissingFileIsIgnoredWithoutAMessage) {
  ASSERT_TRUE(wine.Start({"C:\\nowhere\\missing.asm"}));
  // Give a message box, if one were coming, the time to show.
  std::this_thread::sleep_for(1500ms);

  std::string windows = wine.Ask({"toplevel"});
  EXPECT_EQ(std::count(windows.begin(), windows.end(), '\n'), 0) << "top-level windows:\n" << windows;
  EXPECT_NE(windows.find("\tTFmain\t"), std::string::npos) << windows;
  EXPECT_EQ(wine.Panel(1), "");
  ExpectEditorText("");
}

// --- placement at start ---

using PlacementTest = E2eTest;

TEST_F(PlacementTest, FirstRunCentresTheDesignedSizeAndLeavesOpenLastEmpty) {
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), Centred(kDesignedWidth, kDesignedHeight));
  // File / open last / the one item, whose caption is the stored last file.
  EXPECT_EQ(wine.Ask({"menu-caption", "0/2/0"}), "");
  EXPECT_EQ(wine.Panel(1), "");
}

TEST_F(PlacementTest, StoredPlacementIsRestored) {
  StorePlacement(100, 50, 500, 300);
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), (ScreenRect{100, 50, 600, 350}));
}

TEST_F(PlacementTest, StoredWidthBelowTheMinimumIsRaised) {
  StorePlacement(100, 50, 200, 300);
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), (ScreenRect{100, 50, 100 + kMinWidth, 350}));
}

TEST_F(PlacementTest, MissingHeightCentresAtTheDesignedSize) {
  // Left and Top are read before Height; Width, read after it, is never applied.
  ASSERT_TRUE(wine.RegAddDword("Left", 10));
  ASSERT_TRUE(wine.RegAddDword("Top", 20));
  ASSERT_TRUE(wine.RegAddDword("Width", 500));
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), Centred(kDesignedWidth, kDesignedHeight));
}

TEST_F(PlacementTest, AStringStoredAsANumberIsReportedAndTheWindowStillOpens) {
  ASSERT_TRUE(wine.RegAddString("MASM_PATH", "C:\\masm32"));
  ASSERT_TRUE(wine.RegAddDword("PROG_PATH", 7));
  ASSERT_TRUE(wine.RegAddString("LAST_FILE", "C:\\a.asm"));
  // The error box comes before the window shows, so wait for it rather than the window.
  ASSERT_TRUE(wine.Launch());
  std::string windows;
  ASSERT_TRUE(WineSession::WaitUntil(
      [&] {
        const CommandResult r = wine.Driver({"toplevel"});
        windows = r.out;
        return r.exitCode == 0 && windows.find("#32770") != std::string::npos;
      },
      30s))
      << windows;
  ASSERT_EQ(wine.Xdotool({"key", "Return"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"caption"}) == "Vantorel 1.1"; }));
  // The reads after the failing one were skipped: the open-last item stays empty.
  EXPECT_EQ(wine.Ask({"menu-caption", "0/2/0"}), "");
}

// --- settings written at close ---

using SettingsAtCloseTest = E2eTest;

TEST_F(SettingsAtCloseTest, PlacementStringsAndLastFileAreWrittenAndRestoredNextTime) {
  std::string path = wine.PutFile("work\\prog.asm", "end\r\n");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  std::optional<ScreenRect> placed = wine.Rect("main");
  ASSERT_TRUE(placed);
  ASSERT_NO_FATAL_FAILURE(Close());

  EXPECT_EQ(wine.RegDword("Left"), static_cast<std::uint32_t>(placed->left));
  EXPECT_EQ(wine.RegDword("Top"), static_cast<std::uint32_t>(placed->top));
  EXPECT_EQ(wine.RegDword("Width"), static_cast<std::uint32_t>(placed->Width()));
  EXPECT_EQ(wine.RegDword("Height"), static_cast<std::uint32_t>(placed->Height()));
  for (const char* name : {"MASM_PATH", "PROG_PATH", "COMPILE_FILE", "RUN_FILE"}) {
    std::optional<RegistryValue> value = wine.RegQuery(name);
    ASSERT_TRUE(value) << name << " was not written";
    EXPECT_EQ(value->type, "REG_SZ") << name;
    EXPECT_EQ(value->data, "") << name;
  }
  std::optional<RegistryValue> last = wine.RegQuery("LAST_FILE");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->type, "REG_SZ");
  EXPECT_EQ(last->data, path);

  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), placed);
  EXPECT_EQ(wine.Ask({"menu-caption", "0/2/0"}), path);
}

TEST_F(SettingsAtCloseTest, WithoutAFileTheStoredLastFileStays) {
  ASSERT_TRUE(wine.RegAddString("LAST_FILE", "C:\\old\\prog.asm"));
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Ask({"menu-caption", "0/2/0"}), "C:\\old\\prog.asm");
  ASSERT_NO_FATAL_FAILURE(Close());

  std::optional<RegistryValue> last = wine.RegQuery("LAST_FILE");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->data, "C:\\old\\prog.asm");
  EXPECT_TRUE(wine.RegDword("Width"));
}

TEST_F(SettingsAtCloseTest, ACurrentFileDeletedMeanwhileIsNotStored) {
  std::string path = wine.PutFile("gone.asm", "end\r\n");
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  std::filesystem::remove(wine.DriveC() / "gone.asm");
  ASSERT_NO_FATAL_FAILURE(Close());

  EXPECT_FALSE(wine.RegQuery("LAST_FILE"));
  EXPECT_TRUE(wine.RegDword("Left"));
}

TEST_F(SettingsAtCloseTest, TheFileMenusExitItemClosesAndSaves) {
  ASSERT_TRUE(wine.Start());
  wine.Ask({"menu", "Файл/завершить работу"});
  ASSERT_TRUE(wine.WaitForExit(15s)) << "the program did not end after Файл/завершить работу";
  EXPECT_EQ(wine.RegDword("Width"), static_cast<std::uint32_t>(kDesignedWidth));
}

// --- the window itself ---

using MainWindowTest = E2eTest;

TEST_F(MainWindowTest, ToolBarEditorAndStatusBarFillTheClientArea) {
  ASSERT_TRUE(wine.Start());
  std::optional<ScreenRect> window = wine.Rect("main");
  std::optional<ScreenRect> client = ParseRect(wine.Ask({"client", "main"}));
  ASSERT_TRUE(window);
  ASSERT_TRUE(client);

  constexpr int kToolBarHeight = 31, kStatusBarHeight = 19;
  EXPECT_EQ(wine.Rect("editor"), (ScreenRect{client->left, client->top + kToolBarHeight, client->right,
                                             client->bottom - kStatusBarHeight}));
  EXPECT_EQ(wine.Rect("status"),
            (ScreenRect{client->left, client->bottom - kStatusBarHeight, client->right, client->bottom}));

  std::optional<ScreenRect> open = ParseRect(wine.Ask({"button", "Открыть"}));
  ASSERT_TRUE(open);
  EXPECT_EQ(open, (ScreenRect{client->left + 3, client->top + 3, client->left + 3 + 27, client->top + 3 + 26}));
  // The scroll-bar toggle keeps 10 pixels between itself and the window's right edge.
  std::optional<ScreenRect> scroll = ParseRect(wine.Ask({"button", "Scroll"}));
  ASSERT_TRUE(scroll);
  EXPECT_EQ(scroll->left - client->left, window->Width() - 17 - 10);
  EXPECT_EQ(scroll->Width(), 17);
}

TEST_F(MainWindowTest, MenuBarHoldsTheFileMenu) {
  ASSERT_TRUE(wine.Start());
  std::string tree = wine.Ask({"menu-dump"});
  std::istringstream lines(tree);
  std::vector<std::string> bar;
  std::vector<std::string> file;  // the File menu's own items, each as "kind caption"
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string path, id, kind, caption;
    std::getline(fields, path, '\t');
    std::getline(fields, id, '\t');
    std::getline(fields, kind, '\t');
    std::getline(fields, caption);
    if (path.find('/') == std::string::npos) bar.push_back(caption);
    if (path.rfind("0/", 0) == 0 && path.find('/', 2) == std::string::npos) file.push_back(kind + " " + caption);
  }
  EXPECT_EQ(bar, (std::vector<std::string>{"Файл", "Проект", "Правка", "Вид"})) << tree;
  // The dump escapes the tab before a shortcut as "\t".
  EXPECT_EQ(file, (std::vector<std::string>{"item новый проект", "item открыть проект", "sub открыть последний",
                                            "item сохранить\\tF2", "item сохранить как", "sep ",
                                            "item завершить работу"}))
      << tree;
}

TEST_F(MainWindowTest, ScreenshotWithAFileLoaded) {
  std::string path = wine.PutFile("demo\\hello.asm", kMixedLineEnds);
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));
  std::optional<ScreenRect> window = wine.Rect("main");
  ASSERT_TRUE(window);
  std::this_thread::sleep_for(500ms);  // let the first paint finish
  std::filesystem::path shot = WineSession::ArtifactsDir() / "main-window.png";
  ASSERT_TRUE(wine.Screenshot(shot, window));
  EXPECT_GT(std::filesystem::file_size(shot), 0u);
}

// --- the keyboard ---

using KeyboardTest = E2eTest;

TEST_F(KeyboardTest, EditorHasTheFocusAndAKeyReleaseShowsTheCaretPosition) {
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Ask({"focus"}), "THLEditor");
  EXPECT_EQ(wine.Panel(2), "");

  ASSERT_TRUE(wine.FocusMainWindow());
  ASSERT_EQ(wine.Xdotool({"key", "End"}).exitCode, 0);
  EXPECT_TRUE(WaitForPanel(2, "0 : 0")) << "panel 2: \"" << wine.Panel(2) << "\"";
}

using PointerTest = E2eTest;

TEST_F(PointerTest, ButtonsShowTheirHintsAsToolTips) {
  ASSERT_TRUE(wine.Start());
  std::optional<ScreenRect> open = ParseRect(wine.Ask({"button", "Сохранить как"}));
  ASSERT_TRUE(open);
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(open->left + 5), std::to_string(open->top + 5), "sleep", "0.2",
                          "mousemove", std::to_string(open->left + 10), std::to_string(open->top + 10)})
                .exitCode,
            0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"tooltip"}) == "Сохранить как"; }))
      << "tool tip: \"" << wine.Ask({"tooltip"}) << "\"";
}

using CyrillicPathTest = E2eTest;

TEST_F(CyrillicPathTest, AFileInACyrillicFolderIsLoadedAndNamed) {
  const std::string path = wine.PutFile("Проекты\\привет.asm", "; \xcf\xf0\xe8\xe2\xe5\xf2\r\nend start\r\n");
  ASSERT_TRUE(wine.Start({path}));
  EXPECT_TRUE(WaitForPanel(1, path)) << "panel 1: \"" << wine.Panel(1) << "\"";
  ExpectEditorText("; \xcf\xf0\xe8\xe2\xe5\xf2\r\nend start\r\n");
}

}  // namespace
}  // namespace vantorel::e2e
