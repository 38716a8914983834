// Where the caret stands in an invoke statement, across continued lines, and the
// prototype laid out with the argument being typed marked.
#include "index/InvokeHint.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(InvokeHint, TheCaretsArgumentIsCountedOverCommasOutsideBracketsQuotesAndComments) {
  struct Case {
    std::vector<std::string> lines;
    int y;
    int x;
    const char* name;  // nullptr: no hint
    int argument;
  };
  const Case cases[] = {
      {{"invoke MessageBox"}, 0, 17, nullptr, 0},  // still typing the name
      {{"invoke MessageBox "}, 0, 18, "MessageBox", 0},
      {{"invoke MessageBox,"}, 0, 18, "MessageBox", 0},
      {{"invoke MessageBox, hWnd, "}, 0, 25, "MessageBox", 1},
      {{"  INVOKE f, hWnd, <a,b>, \"x,y\", (1,2), "}, 0, 40, "f", 4},
      {{"invoke f, a, b"}, 0, 11, "f", 0},  // the caret before the second comma
      {{"invoke f, hWnd, \\", "   addr text, "}, 1, 15, "f", 2},
      {{"invoke f, a,", "  b"}, 1, 3, "f", 1},
      {{"invoke f, a, \\ ; more", "  b, c"}, 1, 5, "f", 2},
      {{"invoke f, a ; x, y"}, 0, 16, nullptr, 0},  // in the comment
      {{"invoke f, a", "  b"}, 1, 3, nullptr, 0},   // the statement ended
      {{"start: invoke f, "}, 0, 17, "f", 0},
      {{"invoke f"}, 0, 10, "f", 0},  // past the line's end, after blanks
      {{"call f, "}, 0, 8, nullptr, 0},
      {{"invokes f "}, 0, 10, nullptr, 0},
      {{""}, 0, 0, nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto at = [&c](int y) { return std::string_view(c.lines[static_cast<std::size_t>(y)]); };
    const std::optional<InvokePlace> place = InvokeAt(at, c.y, c.x);
    SCOPED_TRACE(c.lines.back());
    ASSERT_EQ(place.has_value(), c.name != nullptr);
    if (!place) continue;
    EXPECT_EQ(place->name, c.name);
    EXPECT_EQ(place->argument, c.argument);
  }
}

TEST(InvokeHint, ThePrototypeBehindTheNameIsShownWithItsArgumentBold) {
  const FileDeclarations file = ReadDeclarations(
      "MessageBoxA PROTO :DWORD,:DWORD,:DWORD,:DWORD\n"
      "MessageBox equ <MessageBoxA>\n"
      "wsprintfA PROTO C :DWORD,:VARARG\n"
      "f PROC a:DWORD, b:DWORD\nf ENDP\n"
      "A1 equ <A2>\nA2 equ <A1>\nK equ 5\n");
  const FindDeclaration find = [&](std::string_view name) -> const Declaration* {
    for (const Declaration& d : file.declarations)
      if (d.name == name) return &d;
    return nullptr;
  };
  const ParameterNames names = [](std::string_view procedure) {
    return procedure == "MessageBoxA" ? std::vector<std::string>{"hWnd", "lpText", "lpCaption", "uType"}
                                      : std::vector<std::string>{};
  };
  // The parts joined, the bold one in [].
  const auto shown = [&](const char* name, int argument, const ParameterNames& known) {
    std::string out;
    for (const HintPart& part : InvokeHint(InvokePlace{name, argument, 0}, find, known))
      out += part.bold ? "[" + part.text + "]" : part.text;
    return out;
  };
  EXPECT_EQ(shown("MessageBox", 0, names), "MessageBoxA([hWnd:DWORD], lpText:DWORD, lpCaption:DWORD, uType:DWORD)");
  EXPECT_EQ(shown("MessageBoxA", 2, nullptr), "MessageBoxA(:DWORD, :DWORD, [:DWORD], :DWORD)");
  EXPECT_EQ(shown("MessageBoxA", 7, nullptr), "MessageBoxA(:DWORD, :DWORD, :DWORD, :DWORD)");
  EXPECT_EQ(shown("wsprintfA", 5, nullptr), "wsprintfA(:DWORD, [:VARARG])");
  EXPECT_EQ(shown("f", 1, names), "f(a:DWORD, [b:DWORD])");
  EXPECT_EQ(shown("A1", 0, nullptr), "");  // aliases in a circle
  EXPECT_EQ(shown("K", 0, nullptr), "");
  EXPECT_EQ(shown("nothing", 0, nullptr), "");
}

}  // namespace
}  // namespace vantorel
