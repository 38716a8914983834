// The build output: the tools' message lines, the line cutting, the pane's lines and
// the build command with its output in the window, on the headless adapter.
#include "app/BuildOutput.h"

#include <gtest/gtest.h>

#include <random>

#include "MainFormFixture.h"
#include "headless/BuildOutputFakes.h"
#include "headless/IconvCodePages.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

constexpr auto kText = PaneLineKind::Text;
constexpr auto kError = PaneLineKind::Error;
constexpr auto kWarning = PaneLineKind::Warning;

struct Shape {
  const char* line;
  PaneLineKind kind;
  const char* file;
  int number;
};

// Lines as the tools write them; the Cyrillic path is in Windows-1251.
const Shape kShapes[] = {
    {R"(C:\masm32\bin\hello.asm(123) : error A2008: syntax error : xyz)", kError, R"(C:\masm32\bin\hello.asm)", 123},
    {R"(C:\my projects\hello world.asm(7) : warning A4011: multiple .MODEL directives found : .MODEL ignored)",
     kWarning, R"(C:\my projects\hello world.asm)", 7},
    {"C:\\\xcf\xf0\xee\xe5\xea\xf2\xfb\\\xf2\xe5\xf1\xf2.asm(5) : error A2006: undefined symbol : hWnd", kError,
     "C:\\\xcf\xf0\xee\xe5\xea\xf2\xfb\\\xf2\xe5\xf1\xf2.asm", 5},
    {"hello.asm(40) : fatal error A1000: cannot open file : x.inc", kError, "hello.asm", 40},
    {"fatal error A1000: cannot open file : x.inc", kError, "", 0},
    {"hello.obj : error LNK2001: unresolved external symbol _Foo@16", kError, "hello.obj", 0},
    {"LINK : fatal error LNK1104: cannot open file \"hello.exe\"", kError, "LINK", 0},
    {"LINK : warning LNK4089: all references to \"ADVAPI32.dll\" discarded by /OPT:REF", kWarning, "LINK", 0},
    {"rsrc.rc (12): error RC2104 : undefined keyword or key name: IDI_X", kError, "rsrc.rc", 12},
    {"rsrc.rc(12) : error RC2135 : file not found: icon.ico", kError, "rsrc.rc", 12},
    {"hello.asm(123) : Error A2102: Symbol not defined : xyz", kError, "hello.asm", 123},
    {"hello.asm(9) : Warning A4006: too many arguments in macro call", kWarning, "hello.asm", 9},
    {"hello.asm(12,5) : error A2008: syntax error", kError, "hello.asm", 12},
    {"   hello.asm(31): Main Line Code", kText, "hello.asm", 31},
    {R"( C:\masm32\macros\macros.asm(10): Macro Called From)", kText, R"(C:\masm32\macros\macros.asm)", 10},
    {"\thello.asm(2) : error A2005: symbol redefinition : x", kError, "hello.asm", 2},
    // Lines that are no messages.
    {"Microsoft (R) Macro Assembler Version 6.14.8444", kText, "", 0},
    {"Copyright (C) Microsoft Corp 1981-1997.  All rights reserved.", kText, "", 0},
    {R"( Assembling: C:\masm32\bin\hello.asm)", kText, "", 0},
    {"Press any key to continue . . .", kText, "", 0},
    {"        1 file(s) copied.", kText, "", 0},
    {"0 Warnings, 2 Errors", kText, "", 0},
    {"error count: 2", kText, "", 0},
    {"hello.asm(12) : errors A2008: not a severity", kText, "hello.asm", 12},
    {"hello.asm() : error : no code", kText, "", 0},
    {"(12) : error A2008: no file", kError, "(12)", 0},
    {"", kText, "", 0},
};

TEST(ToolMessages, EachToolsLineShapeIsRead) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.line);
    const ToolMessage m = ParseToolMessage(shape.line);
    EXPECT_EQ(m.kind, shape.kind);
    EXPECT_EQ(std::string(m.file), shape.file);
    EXPECT_EQ(m.line, shape.number);
  }
}

// Any line built as "<path>(<n>) : <severity> <code>: text" gives back that path and
// number, whatever blanks, dots, Cyrillic bytes and separators the path holds.
TEST(ToolMessages, AnyPathAndLineNumberComeBack) {
  std::mt19937 random(19);
  const std::string pathBytes = "abcXYZ019 ._-\\/\xcf\xf0\xe8\xc0\xff";
  const char* forms[] = {"%P(%N) : error A2008: x : y", "%P(%N) : warning A4011: w", "%P (%N): error RC2104 : r",
                         "%P(%N) : Error A2102: e", "%P(%N) : fatal error A1000: f"};
  for (int round = 0; round < 3000; ++round) {
    std::string path = "C:\\";
    const int length = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) path += pathBytes[random() % pathBytes.size()];
    while (path.back() == ' ') path.pop_back();
    const int number = 1 + static_cast<int>(random() % 1000000);
    std::string line = forms[random() % std::size(forms)];
    line.replace(line.find("%P"), 2, path);
    line.replace(line.find("%N"), 2, std::to_string(number));
    SCOPED_TRACE(line);
    const ToolMessage m = ParseToolMessage(line);
    EXPECT_NE(m.kind, kText);
    EXPECT_EQ(std::string(m.file), path);
    EXPECT_EQ(m.line, number);
  }
}

// Random bytes never make a position outside the line or one without a file.
TEST(ToolMessages, RandomBytesGiveAViewInsideTheLine) {
  std::mt19937 random(4);
  const std::string alphabet = ":() 0123456789,.\\\terrowaningftlEW\xe0";
  for (int round = 0; round < 20000; ++round) {
    std::string line(random() % 60, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
    const ToolMessage m = ParseToolMessage(line);
    ASSERT_GE(m.line, 0);
    if (!m.file.empty()) {
      ASSERT_GE(m.file.data(), line.data());
      ASSERT_LE(m.file.data() + m.file.size(), line.data() + line.size());
    }
    ASSERT_TRUE(m.line == 0 || m.HasPosition()) << line;
  }
  EXPECT_EQ(ParseToolMessage("a.asm(99999999999999) : error A1: x").line, 1'000'000'000);
}

// However the stream is cut into reads, the same lines come out: no line end inside,
// no CR at their end, none longer than the limit.
TEST(LineSplitter, ReadsOfAnySizeGiveTheSameLines) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string stream;
    const int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) {
      switch (random() % 6) {
        case 0: stream += "\r\n"; break;
        case 1: stream += "\n"; break;
        case 2: stream += "\r"; break;
        case 3: stream += std::string(random() % 5000, 'x'); break;
        default: stream += "a.asm(1) : error A2008: x"; break;
      }
    }
    std::vector<std::string> whole;
    TLineSplitter one;
    one.Feed(stream, whole);
    one.Finish(whole);
    std::vector<std::string> cut;
    TLineSplitter many;
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t n = std::min<std::size_t>(1 + random() % 300, stream.size() - at);
      many.Feed(std::string_view(stream).substr(at, n), cut);
      at += n;
    }
    many.Finish(cut);
    ASSERT_EQ(cut, whole);
    for (const std::string& line : whole) {
      ASSERT_EQ(line.find('\n'), std::string::npos);
      ASSERT_TRUE(line.empty() || line.back() != '\r');
      ASSERT_LE(line.size(), TLineSplitter::kMaxLineBytes);
    }
  }
  std::vector<std::string> lines;
  TLineSplitter splitter;
  splitter.Feed("one\r\ntwo\n\nthree", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", ""}));
  splitter.Finish(lines);
  EXPECT_EQ(lines.back(), "three");
}

TEST(ToolPaths, RelativeNamesAreTakenFromTheBuildsFolder) {
  EXPECT_EQ(ResolveToolPath("hello.asm", "C:\\proj\\"), "C:\\proj\\hello.asm");
  EXPECT_EQ(ResolveToolPath("hello.asm", "C:\\proj"), "C:\\proj\\hello.asm");
  EXPECT_EQ(ResolveToolPath(".\\src/../hello.asm", "C:\\proj\\"), "C:\\proj\\hello.asm");
  EXPECT_EQ(ResolveToolPath("..\\..\\..\\x.inc", "C:\\a\\"), "C:\\x.inc");
  EXPECT_EQ(ResolveToolPath("D:\\x\\.\\y.asm", "C:\\proj\\"), "D:\\x\\y.asm");
  EXPECT_EQ(ResolveToolPath("\\src\\a.asm", "E:\\proj\\"), "E:\\src\\a.asm");
  EXPECT_EQ(ResolveToolPath("\\\\server\\share\\..\\..\\a.asm", "C:\\"), "\\\\server\\share\\a.asm");
  // Separators follow the folder's kind: backslashes unless it is written with slashes.
  EXPECT_EQ(ResolveToolPath("/tmp/x/../a.asm", ""), "/tmp/a.asm");
  EXPECT_EQ(ResolveToolPath("src/a.asm", "/home/p/"), "/home/p/src/a.asm");
  EXPECT_EQ(ResolveToolPath("src/a.asm", "C:\\p/q"), "C:\\p\\q\\src\\a.asm");
  IconvCodePages pages;
  EXPECT_TRUE(SamePath("C:\\Проект/Test.ASM", "c:\\проект\\test.asm", pages));
  EXPECT_FALSE(SamePath("C:\\Проект\\test.asm", "C:\\Проект\\test.as", pages));
  EXPECT_TRUE(SamePath("C:\\\xe2\x98\xba\\a", "C:/\xe2\x98\xba/a", pages));  // not in the page: bytes compared
}

OutputLine Plain(std::string text) {
  OutputLine line;
  line.text = std::move(text);
  return line;
}

TEST(OutputLines, TheOldestGoAndTheChosenLineStaysWithItsText) {
  TOutputLines lines;
  for (int i = 0; i < static_cast<int>(TOutputLines::kMaxLines); ++i) {
    ASSERT_EQ(lines.Add(Plain(std::to_string(i))), 0);
  }
  lines.Select(5);
  EXPECT_EQ(lines.Add(Plain("new")), 1);
  EXPECT_EQ(lines.Count(), static_cast<int>(TOutputLines::kMaxLines));
  EXPECT_EQ(lines[0].text, "1");
  EXPECT_EQ(lines[lines.Count() - 1].text, "new");
  EXPECT_EQ(lines.Selected(), 4);
  EXPECT_EQ(lines[lines.Selected()].text, "5");
  for (int i = 0; i < 5; ++i) lines.Add(Plain("more"));
  EXPECT_EQ(lines.Selected(), -1);  // its line has gone
  lines.Select(lines.Count());
  EXPECT_EQ(lines.Selected(), -1);
}

// How the pane draws a line: the ANSI page read as such, the program's notes as they
// are, tabs every eight characters counted in characters (not bytes), the kind's colour.
TEST(PaneLines, AreShownInUtf8WithTabsLaidOutAndInTheirKindsColour) {
  IconvCodePages codePages;
  struct Case {
    PaneLine line;
    std::string text;
    int columns;
    Color color;
  };
  const Case cases[] = {
      {{"a\tb", false, PaneLineKind::Text}, "a       b", 9, clNone},
      {{"\t", false, PaneLineKind::Text}, "        ", 8, clNone},
      {{"abcdefgh\tx", false, PaneLineKind::Error}, "abcdefgh        x", 17, kErrorLineColor},
      {{"\xce\xf8\tx", false, PaneLineKind::Warning}, "\xd0\x9e\xd1\x88      x", 9, kWarningLineColor},
      {{"\xd0\xa1\xd0\xb1\tx", true, PaneLineKind::Text}, "\xd0\xa1\xd0\xb1      x", 9, clNone},
      {{"", false, PaneLineKind::Error}, "", 0, kErrorLineColor},
  };
  for (const Case& c : cases) {
    const ShownPaneLine shown = ShowPaneLine(c.line, codePages);
    EXPECT_EQ(shown.text, c.text) << c.line.text;
    EXPECT_EQ(shown.columns, c.columns) << c.line.text;
    EXPECT_EQ(PaneLineColumns(c.line), c.columns) << c.line.text;
    EXPECT_EQ(shown.color, c.color) << c.line.text;
  }
}

// Where the list stands after its lines changed: at the end it follows the new lines,
// scrolled back it keeps its first line (which the dropped lines moved up), and a
// list that shrank or lost all it showed is a new one.
TEST(PaneLines, AListAtItsEndStaysThereAndOneScrolledBackKeepsItsLine) {
  struct Case {
    int shown, dropped, count, top, rows;
    PanePlace scroll;
  };
  const Case cases[] = {
      {0, 0, 1, 0, 8, {0, true}},         // the first line of a new build
      {10, 0, 20, 2, 8, {12, false}},     // at the end: follows
      {10, 0, 20, 0, 8, {0, false}},      // scrolled back: stays
      {100, 5, 100, 40, 8, {35, false}},  // scrolled back while old lines go
      {100, 5, 100, 2, 8, {0, false}},    // its first line went: the top
      {100, 0, 1, 50, 8, {0, true}},      // a new list
      {10, 10, 12, 0, 8, {4, true}},      // everything shown went
      {5, 0, 6, 0, 8, {0, false}},        // fewer lines than rows
  };
  for (const Case& c : cases) {
    const PanePlace s = PaneScrollAfter(c.shown, c.dropped, c.count, c.top, c.rows);
    EXPECT_EQ(s.top, c.scroll.top) << c.shown << " " << c.dropped << " " << c.count << " " << c.top;
    EXPECT_EQ(s.fresh, c.scroll.fresh) << c.shown << " " << c.dropped << " " << c.count << " " << c.top;
  }
}

// --- the build command with its output in the window ---

// The ports outlive the form, which ends a running build when it goes.
struct BuildPorts {
  ScriptedCapture capture;
  HeadlessPaneWindow pane;
};

class BuildOutputTest : public BuildPorts, public MainFormTest {
 protected:
  void SetUp() override {
    form.AttachBuildOutput(capture, pane);
    form.Settings.COMPILE_FILE = "build.bat";
    form.Settings.BUILD_OUTPUT = true;
    std::string text;
    for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\r\n";
    source = Write("src.asm", text);
    memo.Lines().LoadFromFile(fs, source);
    window.SetPanelText(panel::File, source);
  }
  std::string Base() const { return PathWithoutExtension(source); }
  // The program starts with the option stored on.
  void Create() {
    registry.Put(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT", IntegerValue(1));
    form.FormCreate();
  }
  // A build that wrote these lines, still running.
  void Build(std::vector<std::string> lines) {
    form.Run(Handler::N_compileClick);
    ASSERT_TRUE(capture.Running());
    capture.Write(std::move(lines));
  }
  std::string Caret() const { return window.PanelText(panel::Caret); }
  PaneLineKind Kind(int index) const { return static_cast<PaneLineKind>(pane.client->Row(index)->kind); }
  std::string Text(int index) const { return pane.client->Row(index)->text; }
  int Selected() const { return pane.client->State().selected; }
  // A double click on a line the pane shows.
  void Open(int index) {
    const Rect r = pane.client->Row(index)->rect;
    ASSERT_TRUE(pane.ClientRect().Contains(Point{r.left + 5, r.top + 1})) << index;
    pane.DoubleClick(Point{r.left + 5, r.top + 1});
  }

  std::string source;
};

TEST_F(BuildOutputTest, WithTheOptionOffTheBuildStartsOnItsOwnAsBefore) {
  form.Settings.BUILD_OUTPUT = false;
  form.Run(Handler::N_compileClick);
  EXPECT_TRUE(capture.commands.empty());
  EXPECT_EQ(processes.commands, std::vector<std::string>{"build.bat " + Base()});
  EXPECT_EQ(window.PanelText(panel::Build), "build.bat " + Base());
  EXPECT_EQ(window.panelVisible.count(ToolPanel::BuildOutput), 0u);
  form.Run(Handler::NextBuildMessage);  // F4 does nothing while the pane is hidden
  EXPECT_EQ(pane.beeps, 0);
}

TEST_F(BuildOutputTest, TheOutputFillsThePaneAndTheEndShowsItsCode) {
  window.SetPanelText(panel::Modified, "+");
  form.Run(Handler::N_compileClick);
  // Saved, in the source's folder, with the command line of the build command.
  EXPECT_EQ(capture.commands, std::vector<std::string>{"build.bat " + Base()});
  EXPECT_TRUE(processes.commands.empty());
  EXPECT_EQ(processes.directories, std::vector<std::string>{ExtractFileDir(source)});
  EXPECT_EQ(window.PanelText(panel::Modified), "");
  EXPECT_EQ(window.PanelText(panel::Build), "Сборка...");
  // The console's page (866) is turned into the ANSI page (1251).
  capture.Write({"src.asm(3) : error A2008: \x8e\xe8\xa8\xa1\xaa\xa0", "src.asm(4) : warning A4011: w", "done"});
  EXPECT_EQ(pane.Texts(), (std::vector<std::string>{"build.bat " + Base(),
                                                    "src.asm(3) : error A2008: Ошибка",
                                                    "src.asm(4) : warning A4011: w", "done"}));
  EXPECT_EQ(Kind(0), kText);
  EXPECT_EQ(Kind(1), kError);
  EXPECT_EQ(Kind(2), kWarning);
  EXPECT_EQ(Kind(3), kText);
  capture.Exit(0);
  EXPECT_EQ(window.PanelText(panel::Build), "Готово, код 0");

  form.Run(Handler::N_compileClick);  // a new build starts a new list
  EXPECT_EQ(pane.Texts(), std::vector<std::string>{"build.bat " + Base()});
  capture.Exit(-1073741819);
  EXPECT_EQ(window.PanelText(panel::Build), "Ошибки, код -1073741819");
}

TEST_F(BuildOutputTest, ASecondBuildWhileOneRunsIsRefusedWithABeepAndANote) {
  Build({"working"});
  window.SetPanelText(panel::Modified, "+");
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(capture.commands.size(), 1u);
  EXPECT_EQ(pane.beeps, 1);
  EXPECT_EQ(pane.Texts().back(), "Сборка уже идёт: новая не запущена");
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(window.PanelText(panel::Modified), "+");  // nothing saved
  EXPECT_EQ(window.PanelText(panel::Build), "Сборка...");
  capture.Exit(1);
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(capture.commands.size(), 2u);
}

TEST_F(BuildOutputTest, AnotherBuildCommandArrivingWhileSavingIsRefused) {
  // The messages handled between the save and the start bring a second Ctrl+F9.
  struct Reentering : RecordingProcesses {
    TFmain* form = nullptr;
    void ProcessMessages() override {
      RecordingProcesses::ProcessMessages();
      if (form && messagePumps == 1) form->Run(Handler::N_compileClick);
    }
  };
  Reentering reentering;
  ScriptedCapture secondCapture;
  HeadlessPaneWindow secondPane;
  TFmain second{window, memo, registry, fs, dialogs, reentering, codePages, shell};
  second.AttachBuildOutput(secondCapture, secondPane);
  second.Settings = form.Settings;
  reentering.form = &second;
  second.Run(Handler::N_compileClick);
  EXPECT_EQ(secondCapture.commands.size(), 1u);
  EXPECT_EQ(secondPane.beeps, 1);
}

TEST_F(BuildOutputTest, ALineWithAPositionTakesTheCaretToItsLine) {
  const std::string sourceDir = ExtractFileDir(source);
  Build({sourceDir + "src.asm(12) : error A2008: absolute", "src.asm(20) : warning A4011: relative",
         "SRC.ASM(31) : error A2008: past the end, another case", "other.asm(3) : error A2008: z",
         "hello.obj : error LNK2001: unresolved external symbol _Foo@16"});
  const int focused = window.editorFocused;
  Open(1);
  EXPECT_EQ(memo.CaretY(), 11);
  EXPECT_EQ(memo.CaretX(), 0);
  EXPECT_EQ(Caret(), "0 : 11");
  EXPECT_EQ(window.editorFocused, focused + 1);
  EXPECT_EQ(Selected(), 1);
  Open(2);
  EXPECT_EQ(memo.CaretY(), 19);
  Open(3);
  EXPECT_EQ(memo.CaretY(), 29);  // the last line

  Open(4);  // another file opens nothing
  EXPECT_EQ(memo.CaretY(), 29);
  EXPECT_EQ(window.PanelText(panel::Build),
            "Строка из другого файла, он не открыт: " + ResolveToolPath("other.asm", sourceDir));
  window.SetPanelText(panel::Build, "");
  Open(5);  // no position
  Open(0);
  EXPECT_EQ(memo.CaretY(), 29);
  EXPECT_EQ(window.PanelText(panel::Build), "");
  EXPECT_EQ(window.editorFocused, focused + 3);
}

TEST_F(BuildOutputTest, F4AndShiftF4StepThroughTheErrorsAndWarningsWithAPosition) {
  // An error without a position (the linker's) is stepped over like plain text, and so
  // are the context lines under an error inside a macro, whose first names the macro.
  Build({"Assembling: src.asm", "src.asm(2) : error A2008: a", " print(2): Macro Called From",
         "  src.asm(14): Main Line Code", "a.obj : error LNK2001: _F@4", "src.asm(5) : warning A4011: b"});
  form.Run(Handler::PreviousBuildMessage);  // from no choice: the last one
  EXPECT_EQ(memo.CaretY(), 4);
  EXPECT_EQ(Selected(), 6);
  form.Run(Handler::NextBuildMessage);  // none after the last
  EXPECT_EQ(pane.beeps, 1);
  EXPECT_EQ(Selected(), 6);
  form.Run(Handler::PreviousBuildMessage);
  EXPECT_EQ(memo.CaretY(), 1);
  EXPECT_EQ(Selected(), 2);
  form.Run(Handler::NextBuildMessage);
  EXPECT_EQ(memo.CaretY(), 4);
  // A context line naming the open file is still followed when opened.
  Open(4);
  EXPECT_EQ(memo.CaretY(), 13);
  window.SetPanelText(panel::Build, "");
  Open(3);  // the macro's line names no file here
  EXPECT_EQ(memo.CaretY(), 13);
  EXPECT_NE(window.PanelText(panel::Build), "");
}

// A source in a folder with Cyrillic letters: the tools name it relative to the folder
// or in full in the ANSI page (the names they were given), while the interpreter's own
// lines are in the OEM page.
TEST_F(BuildOutputTest, NamesInAFolderWithCyrillicLettersLeadToTheSource) {
  std::filesystem::create_directories(dir / "Проект");
  std::string text;
  for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  source = Write("Проект/test.asm", text);
  memo.Lines().LoadFromFile(fs, source);
  window.SetPanelText(panel::File, source);
  const std::string ansiSource = *codePages.AnsiFromUtf8(source);
  const std::string oemSource = codePages.WinToDos(ansiSource);
  ASSERT_NE(ansiSource, source);
  Build({"test.asm(2) : error A2008: relative",  //
         ansiSource + "(3) : error A2008: full, ANSI",
         oemSource + "(4) : error A2008: full, OEM",
         *codePages.AnsiFromUtf8(ExtractFileDir(source) + "нет.asm") + "(5) : error A2008: missing"});
  const auto opened = [&](int index) {
    memo.SetSelStart(0);
    Open(index);
    return memo.CaretY();
  };
  EXPECT_EQ(opened(1), 1);
  EXPECT_EQ(opened(2), 2);
  EXPECT_EQ(opened(3), 3);
  // The pane shows each line in the reading whose file exists, else in the OEM one.
  EXPECT_EQ(Text(2), source + "(3) : error A2008: full, ANSI");
  EXPECT_EQ(Text(3), source + "(4) : error A2008: full, OEM");
  const std::string missingOem = codePages.DosToWin(*codePages.AnsiFromUtf8(ExtractFileDir(source) + "нет.asm"));
  EXPECT_EQ(Text(4), codePages.Utf8FromAnsi(missingOem) + "(5) : error A2008: missing");
  // The note names the file it looked for, readable in the panel.
  EXPECT_EQ(opened(4), 0);
  EXPECT_EQ(window.PanelText(panel::Build),
            "Строка из другого файла, он не открыт: " + codePages.Utf8FromAnsi(missingOem));
}

TEST_F(BuildOutputTest, ClosingEndsARunningBuild) {
  Build({"working"});
  form.CloseRequested();
  EXPECT_EQ(capture.ended, 1);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_EQ(pane.Texts().back(), "working");
}

TEST_F(BuildOutputTest, ACommandThatCannotStartIsNotedAndLeavesNoBuildRunning) {
  capture.startFailure = "cmd.exe. File not found";
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(pane.Texts().back(), "Не удалось запустить сборку: cmd.exe. File not found");
  EXPECT_EQ(window.PanelText(panel::Build), "Сборка не запущена");
  capture.startFailure.reset();
  form.Run(Handler::N_compileClick);
  EXPECT_EQ(capture.commands.size(), 2u);
  EXPECT_EQ(pane.beeps, 0);
}

TEST_F(BuildOutputTest, TheViewItemSwitchesTheOptionItsCheckMarkAndTheStopItem) {
  // F4 is a shortcut of the window only in the table that holds while the option is on;
  // otherwise it reaches the editor.
  const auto f4In = [](std::size_t table) {
    const std::vector<Accelerator>& keys = TFmain::ShortcutTables()[table];
    return std::count_if(keys.begin(), keys.end(), [](const Accelerator& a) { return a.key == 0x73; });
  };
  EXPECT_EQ(f4In(0), 0);
  EXPECT_EQ(f4In(1), 2);
  Create();
  EXPECT_EQ(form.ShortcutTable(), 1u);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 0u);
  form.Run(Handler::N4Click);
  EXPECT_EQ(window.checkedItems.count(MenuItemId::N_buildOutput), 1u);
  // Off: the stop item leaves the menu, which is the "Проект" menu as it always was.
  form.Run(Handler::N_buildOutputClick);
  EXPECT_FALSE(form.Settings.BUILD_OUTPUT);
  EXPECT_EQ(form.ShortcutTable(), 0u);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 1u);
  form.Run(Handler::N4Click);
  EXPECT_EQ(window.checkedItems.count(MenuItemId::N_buildOutput), 0u);
  // On again: the pane waits for a build.
  form.Run(Handler::N_buildOutputClick);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 0u);
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
  // The pane follows the editor's font.
  dialogs.fonts = {FontDesc{"Lucida Console", -12}};
  form.Run(Handler::_NfontClick);
  EXPECT_EQ(pane.font.name, "Lucida Console");
}

// The pane's height for any wish and any space: never more than 80% of the space,
// never less than three lines and the frame while that fits, the wish itself between
// the two, and eight lines when there is no wish.
TEST(PaneHeight, StaysBetweenThreeLinesAndEightyPercentOfTheSpace) {
  std::mt19937 rng(30);
  for (int i = 0; i < 20000; ++i) {
    const int line = std::uniform_int_distribution<int>(-2, 40)(rng);
    const int frame = std::uniform_int_distribution<int>(0, 30)(rng);
    const int space = std::uniform_int_distribution<int>(-10, 2000)(rng);
    const int wanted = std::uniform_int_distribution<int>(-100, 3000)(rng);
    const int height = PaneHeightFor(wanted, line, frame, space);
    const int most = static_cast<int>(std::max(space, 0) * 0.8);
    const int least = std::min(3 * std::max(line, 1) + frame, most);
    SCOPED_TRACE(std::to_string(wanted) + " " + std::to_string(line) + " " + std::to_string(frame) + " " +
                 std::to_string(space));
    ASSERT_LE(height, most);
    ASSERT_GE(height, least);
    const int wish = wanted > 0 ? wanted : 8 * std::max(line, 1) + frame;
    if (wish >= least && wish <= most) {
      ASSERT_EQ(height, wish);
    }
  }
}

// The pane's rules, step by step through one session: hidden until a build starts,
// sized by its bar, hidden by Escape, by its close mark and by the option, the height
// kept at close and found again at the next start.
TEST_F(BuildOutputTest, ThePaneAppearsWithABuildIsSizedAndHidden) {
  Create();
  const Rect client{0, 0, 680, 440};  // the editor's place: 31 to 421, 390 pixels
  const auto layout = [&] { return form.Layout(client, 19); };
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
  EXPECT_EQ(layout().Pane.Height(), 0);
  EXPECT_EQ(layout().Memo1, (Rect{0, 31, 680, 421}));
  Build({"src.asm(3) : error A2008: x", "src.asm(5) : error A2008: y"});
  EXPECT_TRUE(window.panelVisible[ToolPanel::BuildOutput]);
  // Eight lines of 16 pixels and the bar of 15, at the bottom of the editor's place.
  EXPECT_EQ(layout().Pane, (Rect{0, 421 - 143, 680, 421}));
  EXPECT_EQ(layout().Memo1.bottom, 421 - 143);
  struct Drag {
    int to, height;
  };
  for (const Drag d : {Drag{100, 100}, Drag{10, 3 * 16 + 15}, Drag{-5, 63}, Drag{5000, 312}, Drag{200, 200}}) {
    // The bar pressed 5 pixels below the pane's top edge and moved to where the edge
    // would make the pane d.to high.
    const int height = pane.ClientRect().Height();
    pane.client->PaneMouseDown(MouseButton::Left, Point{100, 5});
    pane.client->PaneMouseMove(true, Point{100, 5 + height - d.to});
    pane.client->PaneMouseUp(MouseButton::Left, Point{100, 5 + height - d.to});
    EXPECT_EQ(layout().Pane.Height(), d.height) << d.to;
    EXPECT_EQ(form.Settings.BUILD_OUTPUT_HEIGHT, d.height) << d.to;
  }
  // Enter opens the chosen line.
  pane.Click(Point{5, pane.client->Row(1)->rect.top + 1});
  EXPECT_TRUE(pane.client->PaneKeyDown(vk::Down));
  EXPECT_TRUE(pane.client->PaneKeyDown(vk::Return));
  EXPECT_EQ(Caret(), "0 : 4");
  EXPECT_TRUE(window.panelVisible[ToolPanel::BuildOutput]);
  const int focused = window.editorFocused;
  EXPECT_TRUE(pane.client->PaneKeyDown(vk::Escape));
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
  EXPECT_EQ(window.editorFocused, focused + 1);
  EXPECT_EQ(layout().Pane.Height(), 0);
  capture.Exit(0);
  form.Run(Handler::N_compileClick);
  EXPECT_TRUE(window.panelVisible[ToolPanel::BuildOutput]);
  EXPECT_EQ(layout().Pane.Height(), 200);
  pane.Click(Point{pane.ClientRect().right - 8, 7});  // the close mark
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
  form.Run(Handler::N_compileClick);  // refused while one runs: the pane shows why
  EXPECT_TRUE(window.panelVisible[ToolPanel::BuildOutput]);
  form.Run(Handler::N_buildOutputClick);
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
  form.FormClose();
  ASSERT_TRUE(registry.Get(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT_HEIGHT"));
  EXPECT_EQ(registry.Get(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT_HEIGHT")->integer, 200);
  TSettings settings;
  LoadSettings(registry, window, settings);
  EXPECT_EQ(settings.BUILD_OUTPUT_HEIGHT, 200);
  // A value of another type is the default height, without a message.
  registry.Put(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT_HEIGHT", StringValue("200"));
  LoadSettings(registry, window, settings);
  EXPECT_EQ(settings.BUILD_OUTPUT_HEIGHT, 0);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(BuildOutputTest, StoppingEndsTheBuildAndSaysSo) {
  form.Run(Handler::N_stopBuildClick);  // nothing runs: a beep
  EXPECT_EQ(pane.beeps, 1);
  EXPECT_EQ(capture.ended, 0);
  Build({"waiting"});
  form.Run(Handler::N_stopBuildClick);
  EXPECT_EQ(capture.ended, 1);
  EXPECT_FALSE(capture.Running());
  EXPECT_EQ(window.PanelText(panel::Build), "Остановлено");
  EXPECT_EQ(pane.Texts().back(), "Остановлено");
  // The next build starts at once.
  form.Run(Handler::N_compileClick);
  EXPECT_TRUE(capture.Running());
  EXPECT_EQ(capture.commands.size(), 2u);
  // With the option off the item does nothing.
  form.Settings.BUILD_OUTPUT = false;
  form.Run(Handler::N_stopBuildClick);
  EXPECT_TRUE(capture.Running());
}

// --- the option's storage ---

class BuildOutputOption : public BuildPorts, public MainFormTest {
 protected:
  void Store(RegistryValue value) { registry.Put(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT", std::move(value)); }
  std::optional<RegistryValue> Stored() const {
    return registry.Get(RegistryRoot::LocalMachine, kKey, "BUILD_OUTPUT");
  }
  bool Written() const {
    return std::find(registry.WriteLog.begin(), registry.WriteLog.end(), "BUILD_OUTPUT") != registry.WriteLog.end();
  }
};

TEST_F(BuildOutputOption, ReadsAsOnOnlyFromAStoredNonZeroInteger) {
  form.AttachBuildOutput(capture, pane);
  Store(IntegerValue(1));
  form.FormCreate();
  EXPECT_TRUE(form.Settings.BUILD_OUTPUT);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 0u);
  for (const RegistryValue& value : {IntegerValue(0), StringValue("1")}) {
    Store(value);
    TSettings settings;
    settings.BUILD_OUTPUT = true;
    EXPECT_NO_THROW(LoadSettings(registry, window, settings));
    EXPECT_FALSE(settings.BUILD_OUTPUT);
  }
  // A wrongly typed value says nothing and stops no other read.
  registry.Put(RegistryRoot::LocalMachine, kKey, "RUN_FILE", StringValue("run.bat"));
  TSettings settings;
  LoadSettings(registry, window, settings);
  EXPECT_EQ(settings.RUN_FILE, "run.bat");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(BuildOutputOption, TheStopItemFollowsTheOptionAlsoWhenALaterValueStopsTheReads) {
  form.AttachBuildOutput(capture, pane);
  registry.Put(RegistryRoot::LocalMachine, kKey, "MASM_PATH", IntegerValue(3));
  EXPECT_THROW(form.FormCreate(), ERegistryError);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 1u);
  Store(IntegerValue(1));
  EXPECT_THROW(form.FormCreate(), ERegistryError);
  EXPECT_EQ(window.hiddenItems.count(MenuItemId::N_stopBuild), 0u);
  EXPECT_FALSE(window.panelVisible[ToolPanel::BuildOutput]);
}

TEST_F(BuildOutputOption, IsWrittenAtCloseOnceItWasEverOn) {
  form.FormClose();
  EXPECT_FALSE(Written());  // never on: the store keeps the values it always had
  form.Settings.BUILD_OUTPUT = true;
  form.FormClose();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Stored()->type, RegistryType::Integer);
  EXPECT_EQ(Stored()->integer, 1);
  form.Settings.BUILD_OUTPUT = false;
  form.FormClose();
  EXPECT_EQ(Stored()->integer, 0);
  TSettings settings;
  LoadSettings(registry, window, settings);
  EXPECT_FALSE(settings.BUILD_OUTPUT);
}

}  // namespace
}  // namespace vantorel
