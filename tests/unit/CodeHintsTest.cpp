// The code hints: what the text before the caret asks for, the names of the open text
// and of the procedure holding the caret offered by Ctrl+Space and narrowed as a name
// is typed, a structure's members after a dot, and the option that turns it on.
#include "app/CodeHints.h"

#include <gtest/gtest.h>

#include <cctype>

#include "headless/HeadlessWindows.h"
#include "headless/IconvCodePages.h"
#include "headless/MemoryFileSystem.h"
#include "highlight/HLEditor.h"
#include "index/NameLookup.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/KeyPress.h"
#include "tests/unit/MainFormFixture.h"

namespace vantorel {
namespace {

using Lines = std::vector<std::string>;

TEST(NameLookup, TheTextBeforeTheCaretNamesAPrefixAndAChainOfStructures) {
  struct Case {
    const char* line;
    int caretX;
    const char* prefix;
    std::vector<std::string_view> path;
  };
  const Case cases[] = {
      {"invoke MessageB", 15, "MessageB", {}},
      {"invoke MessageB, 1", 15, "MessageB", {}},  // the caret inside the statement
      {"  mov wc.", 9, "", {"wc"}},
      {"  mov wc.hIc", 12, "hIc", {"wc"}},
      {"ps.rcPaint.le", 13, "le", {"ps", "rcPaint"}},
      {"(WNDCLASSEX PTR [esi]).hI", 25, "hI", {"WNDCLASSEX"}},
      {"mov eax, ((RECT PTR [edi])).", 28, "", {"RECT"}},
      {"[esi].WNDCLASSEX.c", 18, "c", {"WNDCLASSEX"}},
      {"[esi].", 6, "", {}},  // no name before the dot: the name typed is one of its own
      {"  .if", 5, "if", {}},
      {"x)).", 4, "", {}},  // parentheses that do not close
      {"abc", 0, "", {}},
      {"abc", 9, "", {}},  // past the line's end, after blanks
  };
  for (const Case& c : cases) {
    const CompletionPlace place = PlaceBeforeCaret(c.line, c.caretX);
    EXPECT_EQ(place.prefix, c.prefix) << c.line;
    EXPECT_EQ(place.path, c.path) << c.line;
  }

  // Variables, fields, locals, parameters, typedefs and aliases lead to structures; a
  // cycle of typedefs and plain types lead nowhere.
  const FileDeclarations file = ReadDeclarations(
      "POINT STRUCT\n x dd ?\n y dd ?\nPOINT ENDS\n"
      "RECT STRUCT\n tl POINT <>\n STRUCT br\n  x dd ?\n ENDS\nRECT ENDS\n"
      "LPRECT TYPEDEF PTR RECT\nPRECT TEXTEQU <LPRECT>\nA1 TYPEDEF A2\nA2 TYPEDEF A1\n"
      "r RECT <>\npr PRECT ?\nn dd 0\nloop1 A1 ?\n"
      "f PROC p:PTR POINT\n LOCAL q:RECT\nf ENDP\n");
  const auto find = [&](std::string_view name) -> const Declaration* {
    for (const Declaration& d : file.declarations)
      if (d.name == name) return &d;
    for (const Declaration& d : file.declarations.back().members)
      if (d.name == name) return &d;
    return nullptr;
  };
  const auto members = [&](std::vector<std::string_view> path) {
    std::vector<std::string> names;
    if (const Declaration* s = StructureAtEndOf(path, find))
      for (const Declaration& m : s->members) names.push_back(m.name);
    return names;
  };
  const std::vector<std::string> rect{"tl", "br"};
  const std::vector<std::string> point{"x", "y"};
  EXPECT_EQ(members({"r"}), rect);
  EXPECT_EQ(members({"pr"}), rect);
  EXPECT_EQ(members({"r", "tl"}), point);
  EXPECT_EQ(members({"r", "br"}), (std::vector<std::string>{"x"}));
  EXPECT_EQ(members({"R", "TL"}), std::vector<std::string>{});  // the variable's name is exact...
  EXPECT_EQ(members({"r", "TL"}), point);                     // ...a member's may differ in case
  EXPECT_EQ(members({"p"}), point);
  EXPECT_EQ(members({"q", "tl"}), point);
  EXPECT_EQ(members({"RECT"}), rect);
  EXPECT_TRUE(members({"n"}).empty());
  EXPECT_TRUE(members({"loop1"}).empty());
  EXPECT_TRUE(members({"r", "nothing"}).empty());
}

class CodeHintsTest : public ::testing::Test {
 protected:
  CodeHintsTest() {
    host.control = &editor;
    host.focused = true;
    editor.WindowCreated();
    editor.Completion().SetSource(&hints);
  }
  ~CodeHintsTest() override { editor.Completion().SetSource(nullptr); }
  void Load(const Lines& lines, int x, int y) {
    editor.Lines().Assign(lines);
    editor.SetCaret(x, y);
    Inside(editor).undo.Clear();
  }
  // A letter's key goes down before it; other characters come with a key that is no
  // command.
  void Type(char ch) {
    PressKey(editor, host, std::isalnum(static_cast<unsigned char>(ch)) ? std::toupper(static_cast<unsigned char>(ch)) : 0xBA,
             {}, ch);
  }
  void Key(int key) { PressKey(editor, host, key, {}, 0); }
  void CtrlSpace() { PressKey(editor, host, vk::Space, ShiftState{false, true}, 0); }
  bool Shown() const { return !host.popups.empty() && host.popups.back()->visible; }
  std::vector<std::string> Items() {
    std::vector<std::string> out;
    for (int i = 0; i < editor.Completion().List().Count(); ++i) out.push_back(editor.Completion().List().Item(i));
    return out;
  }

  void Paint() { host.popups.back()->Paint(); }
  const std::vector<RecordingSurface::TextCall>& Painted() const { return host.popups.back()->canvas.texts; }

  MemoryFileSystem fs;
  IconvCodePages codePages;
  std::atomic<int> wakes{0};
  HeadlessWindowHost host;
  THLEditor editor{&host};
  TCodeHints hints{editor.Lines(), fs, codePages, [] { return IncludeSearch{"C:\\work\\prog.asm", "C:\\masm32"}; },
                   [this] { ++wakes; }};
};

const Lines kProgram = {
    "IDC_OK equ 100",                                  // 0
    "idc_cancel = 101",                                // 1
    "WndProc PROTO :DWORD,:DWORD",                     // 2
    "wc WNDCLASSEX <>",                                // 3
    "WNDCLASSEX STRUCT",                               // 4
    "  cbSize dd ?",                                   // 5
    "  hIcon dd ?",                                    // 6
    "  hCursor dd ?",                                  // 7
    "WNDCLASSEX ENDS",                                 // 8
    "WndProc PROC hWin:DWORD, uMsg:DWORD",             // 9
    "  LOCAL idx:DWORD",                               // 10
    "  ",                                              // 11
    "WndProc ENDP",                                    // 12
    "  ",                                              // 13
};

TEST_F(CodeHintsTest, NamesOfTheTextAndOfTheCaretsProcedureNarrowAsANameIsTyped) {
  Load(kProgram, 2, 11);
  CtrlSpace();
  ASSERT_TRUE(Shown());
  // Sorted without regard to case; the procedure's own names among the file's, and a
  // name both declared and defined once.
  EXPECT_EQ(Items(), (Lines{"hWin", "idc_cancel", "IDC_OK", "idx", "uMsg", "wc", "WNDCLASSEX", "WndProc"}));
  EXPECT_EQ(editor.Completion().List().ItemIndex(), 0);
  // What the list shows after each name.
  host.popups.back()->Paint();
  const auto& texts = host.popups.back()->canvas.texts;
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "hWin");
  EXPECT_EQ(texts[1].text, "hWin:DWORD");
  EXPECT_EQ(texts[3].text, "= 101");
  EXPECT_EQ(texts[5].text, "equ 100");
  Key(vk::Escape);
  EXPECT_FALSE(Shown());

  // Each letter narrows the list; Enter puts the name in as one step.
  Type('i');
  Type('d');
  CtrlSpace();
  EXPECT_EQ(Items(), (Lines{"idc_cancel", "IDC_OK", "idx"}));
  Type('c');
  EXPECT_EQ(Items(), (Lines{"idc_cancel", "IDC_OK"}));
  // The index's names go on over '_'.
  Type('_');
  Type('c');
  EXPECT_EQ(Items(), (Lines{"idc_cancel"}));
  Key(vk::Return);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(editor.LineView(11), "  idc_cancel");
  editor.Undo();
  EXPECT_EQ(editor.LineView(11), "  idc_c");
  // A letter that no name goes on with closes the list.
  CtrlSpace();
  ASSERT_TRUE(Shown());
  Type('z');
  EXPECT_FALSE(Shown());
  EXPECT_EQ(editor.LineView(11), "  idc_cz");

  Key(vk::Escape);

  // Outside the procedure its names are not offered; the text's are, as it was edited.
  editor.Lines().Put(0, "IDC_OTHER equ 100");
  editor.Lines().Put(13, "I");
  editor.SetCaret(1, 13);
  CtrlSpace();
  EXPECT_EQ(Items(), (Lines{"idc_cancel", "IDC_OTHER"}));
}

TEST_F(CodeHintsTest, AfterADotTheListHoldsTheMembersOfTheStructureBeforeIt) {
  Load(kProgram, 2, 11);
  for (const char c : std::string("wc.")) Type(c);
  CtrlSpace();
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Items(), (Lines{"cbSize", "hCursor", "hIcon"}));
  Type('h');
  Type('i');
  EXPECT_EQ(Items(), (Lines{"hIcon"}));
  Key(vk::Return);
  EXPECT_EQ(editor.LineView(11), "  wc.hIcon");
  // A name that leads to no structure: nothing opens.
  editor.Lines().Put(11, "  idx.");
  editor.SetCaret(6, 11);
  CtrlSpace();
  EXPECT_FALSE(Shown());
}

TEST_F(CodeHintsTest, TheIncludesNamesAreReadOnTheWorkerFollowTheDiskAndTheirProblemsAreToldOnce) {
  fs.Put("C:\\masm32\\include\\user32.inc",
         "MessageBoxA PROTO :DWORD,:DWORD,:DWORD,:DWORD\r\nMessageBox equ <MessageBoxA>\r\n");
  fs.Put("C:\\work\\consts.inc", "IDM_EXIT equ 1001\r\n");
  Load({"include \\masm32\\include\\user32.inc", "include consts.inc", "include missing.inc", "invoke MessageB"}, 15,
       3);
  hints.Update();
  hints.Indexer().WaitIdle();
  EXPECT_EQ(wakes, 1);
  const std::optional<std::string> told = hints.IncludesRead();
  ASSERT_TRUE(told);
  EXPECT_NE(told->find("missing.inc"), std::string::npos) << *told;
  EXPECT_FALSE(hints.IncludesRead());

  CtrlSpace();
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Items(), (Lines{"MessageBox", "MessageBoxA"}));
  Paint();
  ASSERT_EQ(Painted().size(), 4u);
  EXPECT_EQ(Painted()[1].text, "equ <MessageBoxA>");
  EXPECT_EQ(Painted()[3].text, "PROTO :DWORD,:DWORD,:DWORD,:DWORD");
  Key(vk::Return);
  EXPECT_EQ(editor.LineView(3), "invoke MessageBox");

  // A constant of an include in the source's folder; a change on the disk is read
  // again when the window comes to the front.
  editor.Lines().Put(3, "  mov eax, IDM");
  editor.SetCaret(14, 3);
  CtrlSpace();
  EXPECT_EQ(Items(), (Lines{"IDM_EXIT"}));
  Key(vk::Escape);
  fs.Put("C:\\work\\consts.inc", "IDM_EXIT equ 1001\r\nIDM_OPEN equ 1002\r\n");
  fs.ResetCounts();
  hints.Activated();
  hints.Indexer().WaitIdle();
  EXPECT_EQ(fs.Reads("C:\\work\\consts.inc"), 1);
  EXPECT_EQ(fs.Reads("C:\\masm32\\include\\user32.inc"), 0);
  CtrlSpace();
  EXPECT_EQ(Items(), (Lines{"IDM_EXIT", "IDM_OPEN"}));
  // The same problem is not told again with the new tree.
  EXPECT_FALSE(hints.IncludesRead());
}

// A file given on the command line is indexed as one opened: its missing include is
// told in panel 4 once the tree is read.
TEST_F(MainFormTest, TheFileOfTheCommandLineIsIndexedAndItsProblemsTold) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "CODE_HINTS", IntegerValue(1));
  window.args = {Write("prog.asm", "include missing.inc\r\n")};
  form.FormCreate();
  form.FormShow();
  ASSERT_TRUE(form.CodeHints());
  form.CodeHints()->Indexer().WaitIdle();
  form.IndexReady();
  EXPECT_NE(window.PanelText(panel::Build).find("missing.inc"), std::string::npos) << window.PanelText(panel::Build);
  EXPECT_GE(window.indexWakes, 1);
}

TEST_F(MainFormTest, TheCodeHintsOptionIsOffAtFirstAndIsKeptAcrossAStart) {
  form.FormCreate();
  memo.Lines().Assign(Lines{"IDC_OK equ 100", "I"});
  memo.SetCaret(1, 1);
  memoHost.control = &memo;
  memoHost.focused = true;
  memo.WindowCreated();
  PressKey(memo, memoHost, vk::Space, ShiftState{false, true}, 0);
  EXPECT_TRUE(memoHost.popups.empty() || !memoHost.popups.back()->visible);

  form.N4Click();
  EXPECT_FALSE(window.checkedItems.contains(MenuItemId::N_codeHints));
  form.Run(Handler::N_codeHintsClick);
  form.N4Click();
  EXPECT_TRUE(window.checkedItems.contains(MenuItemId::N_codeHints));
  PressKey(memo, memoHost, vk::Space, ShiftState{false, true}, 0);
  ASSERT_FALSE(memoHost.popups.empty());
  EXPECT_TRUE(memoHost.popups.back()->visible);
  EXPECT_EQ(memo.Completion().List().Item(0), "IDC_OK");
  PressKey(memo, memoHost, vk::Escape, {}, 0);

  form.FormClose();
  EXPECT_EQ(registry.Get(RegistryRoot::LocalMachine, kKey, "CODE_HINTS")->integer, 1);
  TFmain again{window, memo, registry, fs, dialogs, processes, codePages, shell};
  again.FormCreate();
  EXPECT_TRUE(again.Settings.CODE_HINTS);
  // Stored as text it reads as off, with no message.
  registry.Put(RegistryRoot::LocalMachine, kKey, "CODE_HINTS", StringValue("1"));
  TFmain wrong{window, memo, registry, fs, dialogs, processes, codePages, shell};
  wrong.FormCreate();
  EXPECT_FALSE(wrong.Settings.CODE_HINTS);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace vantorel
