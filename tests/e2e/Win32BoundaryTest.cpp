// End-to-end: the program at its edges with the system — the GDI objects a painted
// frame costs, a paint that fails, a clipboard whose memory cannot be locked, a file
// another program is writing, and the settings a 32-bit build left in the registry.
// The failures are the system's own answers, provoked inside the program by the probe.
#include <iostream>
#include <sstream>
#include <thread>

#include "E2eFixture.h"
#include "win32/ProbeProtocol.h"

namespace vantorel::e2e {
namespace {

class Win32BoundaryTest : public E2eTest {
 protected:
  // The program's error boxes shown now (caption "Vantorel", the main window's is
  // "Vantorel 1.1").
  int ErrorBoxes() {
    std::istringstream lines(wine.Ask({"toplevel"}));
    int boxes = 0;
    const std::string box = "\t#32770\tVantorel";
    for (std::string line; std::getline(lines, line);) {
      if (line.size() >= box.size() && line.compare(line.size() - box.size(), box.size(), box) == 0) ++boxes;
    }
    return boxes;
  }
  // The text of the error box shown now.
  std::string ErrorBoxText() {
    std::istringstream lines(wine.Ask({"dialog", "Vantorel"}));
    std::string text;
    for (std::string line; std::getline(lines, line);) {
      // class, id, text, ...: the static that holds the message has the longest text.
      std::istringstream fields(line);
      std::string kind, id, field;
      std::getline(fields, kind, '\t');
      std::getline(fields, id, '\t');
      std::getline(fields, field, '\t');
      if (kind == "Static" && field.size() > text.size()) text = field;
    }
    return text;
  }
  void CloseErrorBox() {
    ASSERT_EQ(wine.Driver({"dialog-click", "Vantorel", "1"}).exitCode, 0);  // IDOK
    ASSERT_TRUE(WineSession::WaitUntil([&] { return ErrorBoxes() == 0; }));
  }
  // The system's text for the error the probe's failing call leaves.
  std::string SystemText(unsigned long error) { return wine.Ask({"error-text", std::to_string(error)}); }
};

// --- GDI objects per frame ---

struct FrameCount {
  long painted = -1;
  long created = -1;
  long deleted = -1;
};

FrameCount ParseFrames(const std::string& report) {
  std::istringstream in(report);
  std::string frames, painted, created, deleted;
  long n = 0;
  FrameCount count;
  in >> frames >> n >> painted >> count.painted >> created >> count.created >> deleted >> count.deleted;
  return count;
}

TEST_F(Win32BoundaryTest, RepaintingMakesNoNewGdiObjects) {
  // Enough lines to fill the window, wide enough to show the margin after column 100,
  // which crosses each of them.
  StorePlacement(0, 0, 1000, 500);
  std::string text;
  for (int i = 0; i < 60; ++i) text += "    mov eax, [ebx+" + std::to_string(i) + "] ; line " + std::to_string(i) + "\r\n";
  ASSERT_NO_FATAL_FAILURE(StartOnFile("frames.asm", text));
  // The first frame may make what the window keeps for later ones.
  const std::string first = wine.Ask({"paint-frames", "1"});
  const std::string report = wine.Ask({"paint-frames", "100"});
  std::cout << "first frame: " << first << "\n100 frames: " << report << std::endl;
  const FrameCount count = ParseFrames(report);
  EXPECT_EQ(count.painted, 100) << report;
  EXPECT_EQ(count.created, 0) << report;
  EXPECT_EQ(count.deleted, 0) << report;
  ExpectEditorText(text);
}

// --- a paint that fails ---

TEST_F(Win32BoundaryTest, AFailingPaintIsReportedOnceOutsidePaintingAndNotRetried) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("paint.asm", "start:\r\n  ret\r\nend start\r\n"));
  ASSERT_EQ(wine.Ask({"fail", "GetTextMetricsW"}), "armed");
  ASSERT_EQ(wine.Driver({"repaint"}).exitCode, 0);
  ASSERT_TRUE(WineSession::WaitUntil([&] { return ErrorBoxes() > 0; })) << wine.Ask({"toplevel"});
  const std::string shown = ErrorBoxText();
  EXPECT_NE(shown.find("GetTextMetricsW"), std::string::npos) << shown;
  EXPECT_NE(shown.find(SystemText(vprobe::kTextMetricsError)), std::string::npos) << shown;
  // More failing paints while the box is up bring no second box.
  for (int i = 0; i < 3; ++i) ASSERT_EQ(wine.Driver({"repaint"}).exitCode, 0);
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(ErrorBoxes(), 1);
  // Closing it uncovers the editor, whose repaint fails again: that is not reported
  // again, and the program goes on answering.
  ASSERT_NO_FATAL_FAILURE(CloseErrorBox());
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(ErrorBoxes(), 0);
  ExpectEditorText("start:\r\n  ret\r\nend start\r\n");

  // A paint that works again ends the episode; the next failure is reported anew.
  ASSERT_EQ(wine.Ask({"fail", "none"}), "armed");
  ASSERT_EQ(wine.Driver({"repaint"}).exitCode, 0);
  std::this_thread::sleep_for(500ms);
  ASSERT_EQ(ErrorBoxes(), 0);
  ASSERT_EQ(wine.Ask({"fail", "GetTextMetricsW"}), "armed");
  ASSERT_EQ(wine.Driver({"repaint"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return ErrorBoxes() == 1; })) << wine.Ask({"toplevel"});
  ASSERT_EQ(wine.Ask({"fail", "none"}), "armed");
  ASSERT_NO_FATAL_FAILURE(CloseErrorBox());
  ASSERT_NO_FATAL_FAILURE(Close());
}

// --- the clipboard ---

TEST_F(Win32BoundaryTest, ACopyWhoseMemoryCannotBeLockedLeavesTheClipboardAsItWas) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("copy.asm", "abc\r\n"));
  ASSERT_EQ(wine.Driver({"clip-set", "before"}).exitCode, 0);
  wine.Ask({"setsel", "0", "3"});
  ASSERT_EQ(wine.Ask({"fail", "GlobalLock"}), "armed");
  ASSERT_EQ(wine.Driver({"copy"}).exitCode, 0);
  ASSERT_TRUE(WineSession::WaitUntil([&] { return ErrorBoxes() == 1; })) << wine.Ask({"toplevel"});
  const std::string shown = ErrorBoxText();
  EXPECT_NE(shown.find("GlobalLock"), std::string::npos) << shown;
  EXPECT_NE(shown.find(SystemText(vprobe::kGlobalLockError)), std::string::npos) << shown;
  // The clipboard is closed again (clip-get fails on one that stays open) and holds
  // what it held.
  EXPECT_EQ(wine.Ask({"clip-get"}), "before");
  ASSERT_NO_FATAL_FAILURE(CloseErrorBox());
  // The failure was one call's: the next copy goes through.
  ASSERT_EQ(wine.Driver({"copy"}).exitCode, 0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"clip-get"}) == "abc"; })) << wine.Ask({"clip-get"});
  EXPECT_EQ(ErrorBoxes(), 0);
}

// --- reading a file another program writes ---

TEST_F(Win32BoundaryTest, AFileAnotherProgramHoldsOpenForWritingStillOpens) {
  const std::string path = wine.PutFile("busy\\log.asm", "; written by a build\r\nend\r\n");
  ASSERT_TRUE(wine.DriverInBackground({"hold", path, "30000", "write"}));
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path)) << wine.Ask({"toplevel"});
  ExpectEditorText("; written by a build\r\nend\r\n");
  EXPECT_EQ(ErrorBoxes(), 0);
}

// --- the registry view of a 32-bit build ---

constexpr char k32BitKey[] = R"(HKLM\SOFTWARE\Wow6432Node\Tovik\Kelpra)";

TEST_F(Win32BoundaryTest, SettingsOfA32BitBuildAreReadUntilThe64BitKeyExists) {
  const auto store32 = [&](const std::string& name, std::uint32_t value) {
    return wine.Reg({"add", k32BitKey, "/v", name, "/t", "REG_DWORD", "/d", std::to_string(value), "/f"}).exitCode == 0;
  };
  ASSERT_TRUE(store32("Left", 100));
  ASSERT_TRUE(store32("Top", 50));
  ASSERT_TRUE(store32("Width", 500));
  ASSERT_TRUE(store32("Height", 300));
  ASSERT_EQ(wine.Reg({"add", k32BitKey, "/v", "LAST_FILE", "/t", "REG_SZ", "/d", "C:\\old\\prog.asm", "/f"}).exitCode, 0);
  ASSERT_FALSE(wine.RegDword("Left")) << "the 64-bit key is not empty at the start";

  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), (ScreenRect{100, 50, 600, 350}));
  EXPECT_EQ(wine.Ask({"menu-caption", "0/2/0"}), "C:\\old\\prog.asm");
  ASSERT_NO_FATAL_FAILURE(Close());
  // Saved to the program's own key; the 32-bit build's key is left to it.
  EXPECT_EQ(wine.RegDword("Left"), 100u);
  EXPECT_EQ(wine.RegDword("Width"), 500u);

  ASSERT_TRUE(store32("Left", 300));
  ASSERT_TRUE(wine.Start());
  EXPECT_EQ(wine.Rect("main"), (ScreenRect{100, 50, 600, 350}));
  const CommandResult left32 = wine.Reg({"query", k32BitKey, "/v", "Left"});
  EXPECT_NE(left32.out.find("0x12c"), std::string::npos) << left32.out;
}

}  // namespace
}  // namespace vantorel::e2e
