// End-to-end: the block through the system clipboard (also to and from another
// program), and the palette and Events menu typing their code into the real editor.
#include <chrono>
#include <cstdio>
#include <string>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

// The list box fragment's invoke line with its CR: 219 characters, the longest string
// the palette types.
std::string ControlFragment219() {
  return "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ListBoxClass, NULL,WS_CHILD or WS_VISIBLE or WS_BORDER or "
         "WS_VSCROLL or LBS_HASSTRINGS or LBS_NOINTEGRALHEIGHT or LBS_DISABLENOSCROLL, 9,9,100,100, hWnd, 3, hInstance, "
         "NULL\r";
}

class ClipboardSnippetsTest : public E2eTest {
 protected:
  void StartOn(const std::string& text) {
    ASSERT_NO_FATAL_FAILURE(StartOnFile("clip.asm", text));
    ASSERT_TRUE(wine.FocusMainWindow());
  }
  // Clicks a palette button by its hint.
  void ClickButton(const std::string& hint) {
    const std::optional<ScreenRect> r = ParseRect(wine.Ask({"button", hint}));
    ASSERT_TRUE(r) << hint;
    ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(r->left + r->Width() / 2), std::to_string(r->top + r->Height() / 2),
                            "sleep", "0.1", "click", "1"})
                  .exitCode,
              0);
  }
};

TEST_F(ClipboardSnippetsTest, AColumnBlockPastesIntoItsColumnsAndTextCrossesToOtherPrograms) {
  StartOn("abcdef\r\nghijkl\r\nmn\r\n");
  Keys("Right");
  Keys("shift+alt+Down");
  Keys("shift+alt+Right");
  Keys("shift+alt+Right");
  Keys("ctrl+c");  // a column block holds its end column: columns 1 to 3
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"clip-get"}) == "bcd\r\nhij"; })) << wine.Ask({"clip-get"});
  Keys("ctrl+End");
  Keys("ctrl+v");  // at column 2 of the last line: the pieces go to column 2 of it and of a new line
  EXPECT_TRUE(TextBecomes("abcdef\r\nghijkl\r\nmnbcd\r\n  hij\r\n")) << Text();
  // Text another program put on the clipboard pastes as a stream at the caret.
  ASSERT_EQ(wine.Driver({"clip-set", "x;y"}).exitCode, 0);
  Keys("ctrl+Home");
  Keys("ctrl+v");
  EXPECT_TRUE(TextBecomes("x;yabcdef\r\nghijkl\r\nmnbcd\r\n  hij\r\n")) << Text();
  EXPECT_EQ(wine.Panel(3), "+");
}

TEST_F(ClipboardSnippetsTest, ThePaletteTypesEachControlsCode) {
  StartOn("start:\r\n\r\n");
  wine.Ask({"setsel", "8", "8"});  // the empty second line
  const auto started = std::chrono::steady_clock::now();
  ClickButton("TListBox");  // the longest fragment
  const std::string listBox =
      "start:\r\n; ListBoxClass     db 'listbox',0\r\ninvoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ListBoxClass, "
      "NULL,WS_CHILD or WS_VISIBLE or WS_BORDER or WS_VSCROLL or LBS_HASSTRINGS or LBS_NOINTEGRALHEIGHT or "
      "LBS_DISABLENOSCROLL, 9,9,100,100, hWnd, 3, hInstance, NULL\r\n\r\n";
  EXPECT_TRUE(TextBecomes(listBox)) << Text();
  std::printf("[ figure ] the list box fragment typed in %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count()));
  EXPECT_TRUE(WaitForPanel(3, "+"));
  for (const char* hint : {"TEdit", "TButton", "TCheckBox", "TRadioButton", "TComboBox"}) ClickButton(hint);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Text().find("9,9,120,90, hWnd, 7, hInstance, NULL") != std::string::npos; }));
  const std::string text = Text();
  for (const char* line : {"\r\n; EditClass     db 'edit',0\r\n", "\r\n; ButtonClass   db 'button',0\r\n",
                           "\r\n; CheckBoxCap   db 'CheckBox',0\r\n",
                           "\r\n invoke CreateWindowEx, NULL, addr ButtonClass, addr CheckBoxCap, BS_AUTOCHECKBOX",
                           "\r\n ; RadioButCap   db 'RadioButton',0\r\n", "\r\n ; ComboClass    db 'combobox',0\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  // Ctrl+Z takes the typed fragments back.
  Keys("ctrl+z");
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Text().size() < text.size(); }));
  // For the record: the longest fragment sent by another process one character at a
  // time (an upper bound of the program's own typing, which calls the editor directly),
  // and a 200-line paste through the posted Paste command.
  std::string fragment(ControlFragment219());
  std::printf("[ figure ] 219 characters through WM_CHAR from another process: %s ms\n",
              wine.Ask({"time-char", fragment}).c_str());
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "        mov eax, dword ptr [ebx+" + std::to_string(i) + "]\r\n";
  ASSERT_EQ(wine.Driver({"clip-set", lines}).exitCode, 0);
  std::printf("[ figure ] a 200-line paste: %s ms\n", wine.Ask({"time-command", "390"}).c_str());
}

TEST_F(ClipboardSnippetsTest, EveryEventsItemTypesItsBranch) {
  StartOn("start:\r\n\r\n");
  const char* const names[] = {"CREATE",      "PAINT",       "ACTIVATE",      "SETFOCUS",   "KILLFOCUS",
                               "QUERYENDSESSION", "DESTROY",  "CLOSE",         "MOVE",       "SIZE",
                               "KEYDOWN",     "KEYUP",       "MOUSEMOVE",     "LBUTTONDOWN", "LBUTTONUP",
                               "LBUTTONDBLCLK", "MOUSEWHEEL", "RBUTTONDOWN",  "RBUTTONUP"};
  const std::optional<ScreenRect> events = ParseRect(wine.Ask({"button", "Events"}));
  ASSERT_TRUE(events);
  for (int i = 0; i < 19; ++i) {
    // The caret to the end of the text, the empty line after the last branch, by the
    // offset of that end (the text read back ends with the last line's CR LF, which
    // the offsets do not count); a message, unlike a key, drops no character.
    const std::string end = std::to_string(Text().size() - 2);
    wine.Ask({"setsel", end, end});
    ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(events->left + 5), std::to_string(events->top + 5), "sleep",
                            "0.1", "click", "1", "sleep", "0.3", "key", "Down", "Right"})
                  .exitCode,
              0);
    for (int k = 0; k < i; ++k) ASSERT_EQ(wine.Xdotool({"key", "Down"}).exitCode, 0);
    ASSERT_EQ(wine.Xdotool({"key", "Return", "sleep", "0.3"}).exitCode, 0);
  }
  std::string expected = "start:\r\n";
  for (const char* name : names) expected += std::string("    .IF uMsg == WM_") + name + "\r\n        .ENDIF\r\n";
  expected += "\r\n";
  EXPECT_TRUE(TextBecomes(expected)) << Text();
  EXPECT_EQ(wine.Panel(3), "+");
}

}  // namespace
}  // namespace vantorel::e2e
