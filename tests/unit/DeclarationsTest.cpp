// The declarations of one file as the index reads them: the short definitions a list
// shows, sources from the generator read exactly as written, and bytes of any kind
// read without harm.
#include "index/Declarations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/support/MasmSourceGenerator.h"

namespace vantorel {
namespace {

const Declaration* Find(const std::vector<Declaration>& list, std::string_view name) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const Declaration& d) { return d.name == name; });
  return it == list.end() ? nullptr : &*it;
}

// What a completion list shows after a name, what the name stands for and its
// parameters, for the shapes of the Masm32 includes and of programs.
TEST(Declarations, EachShapeGivesItsKindDefinitionTypeAndParameters) {
  struct Case {
    const char* text;
    const char* name;
    DeclarationKind kind;
    const char* detail;
    const char* type;
    std::vector<std::string> parameters;
  };
  const Case cases[] = {
      {"MessageBoxA PROTO :DWORD,:DWORD,:DWORD,:DWORD", "MessageBoxA", DeclarationKind::Prototype,
       "PROTO :DWORD,:DWORD,:DWORD,:DWORD", "", {":DWORD", ":DWORD", ":DWORD", ":DWORD"}},
      {"wsprintfA PROTO C :DWORD,:VARARG", "wsprintfA", DeclarationKind::Prototype, "PROTO C :DWORD,:VARARG", "",
       {":DWORD", ":VARARG"}},
      {"f PROTO c:DWORD", "f", DeclarationKind::Prototype, "PROTO c:DWORD", "", {"c:DWORD"}},
      {"MessageBox equ <MessageBoxA>", "MessageBox", DeclarationKind::TextAlias, "equ <MessageBoxA>", "MessageBoxA",
       {}},
      {"WM_COMMAND equ 0111h", "WM_COMMAND", DeclarationKind::Constant, "equ 0111h", "", {}},
      {"count=count+1", "count", DeclarationKind::Constant, "= count+1", "", {}},
      {"Str TEXTEQU <abc>", "Str", DeclarationKind::TextAlias, "textequ <abc>", "abc", {}},
      {"WndProc proc uses ebx esi hWnd:HWND, uMsg:UINT\r\nWndProc endp", "WndProc", DeclarationKind::Procedure,
       "proc hWnd:HWND, uMsg:UINT", "", {"hWnd:HWND", "uMsg:UINT"}},
      {"Start PROC NEAR STDCALL PUBLIC USES ebx, a:DWORD\nStart ENDP", "Start", DeclarationKind::Procedure,
       "proc a:DWORD", "", {"a:DWORD"}},
      {"szText MACRO lbl, txt:VARARG\nENDM", "szText", DeclarationKind::Macro, "macro lbl, txt:VARARG", "",
       {"lbl", "txt:VARARG"}},
      {"LPRECT TYPEDEF PTR RECT", "LPRECT", DeclarationKind::Typedef, "typedef PTR RECT", "PTR RECT", {}},
      {"EXTERNDEF C hInstance:DWORD", "hInstance", DeclarationKind::External, "externdef DWORD", "DWORD", {}},
      {"bytes LABEL BYTE", "bytes", DeclarationKind::Label, "label BYTE", "BYTE", {}},
      {"buf BYTE 260 DUP(?)", "buf", DeclarationKind::Data, "BYTE 260 DUP(?)", "BYTE", {}},
      {"pts POINT 8 DUP(<>)", "pts", DeclarationKind::Data, "POINT 8 DUP(<>)", "POINT", {}},
      {"FLAGS RECORD hi:4, lo:4=0", "FLAGS", DeclarationKind::Record, "record hi:4, lo:4=0", "", {}},
      {"P2 STRUCT\n a POINT <>\n b POINT <>\nP2 ENDS", "P2", DeclarationKind::Structure, "struct (2 members)", "", {}},
      {"L equ 1234567890123456789012345678901234567890123456789012345678", "L", DeclarationKind::Constant, "equ 12345678901234567890123456789012345678901234567890123...", "", {}},  // cut for a list
  };
  for (const Case& c : cases) {
    const FileDeclarations file = ReadDeclarations(c.text);
    const Declaration* d = Find(file.declarations, c.name);
    ASSERT_TRUE(d) << c.text;
    EXPECT_EQ(d->kind, c.kind) << c.text;
    EXPECT_EQ(d->detail, c.detail) << c.text;
    EXPECT_EQ(d->type, c.type) << c.text;
    EXPECT_EQ(d->parameters, c.parameters) << c.text;
  }
  // Includes as written, without <> or quotes; not a declaration.
  const FileDeclarations file = ReadDeclarations("include \\masm32\\include\\windows.inc\ninclude <a b.inc>\n");
  ASSERT_EQ(file.includes.size(), 2u);
  EXPECT_EQ(file.includes[0].name, "\\masm32\\include\\windows.inc");
  EXPECT_EQ(file.includes[1].name, "a b.inc");
  EXPECT_EQ(file.includes[1].line, 1);
  EXPECT_TRUE(file.declarations.empty());
}

std::vector<std::string> Names(const std::vector<Declaration>& list) {
  std::vector<std::string> names;
  for (const Declaration& d : list) names.push_back(d.name);
  return names;
}

// Every source the generator writes reads back as exactly what it wrote: the names, in
// order, with their kinds and lines, the members of structures and procedures, and
// the includes; CR LF and LF line ends read the same.
TEST(Declarations, GeneratedSourcesReadExactlyAsWritten) {
  for (unsigned seed = 0; seed < 400; ++seed) {
    const GeneratedSource source = MasmSourceGenerator(seed).Source(1 + static_cast<int>(seed % 60));
    const FileDeclarations file = ReadDeclarations(source.text);
    SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + source.text);
    ASSERT_EQ(file.declarations.size(), source.declarations.size());
    for (std::size_t i = 0; i < file.declarations.size(); ++i) {
      const Declaration& got = file.declarations[i];
      const ExpectedDeclaration& want = source.declarations[i];
      ASSERT_EQ(got.name, want.name);
      EXPECT_EQ(static_cast<int>(got.kind), want.kind) << got.name;
      EXPECT_EQ(got.line, want.line) << got.name;
      EXPECT_EQ(got.lastLine, want.lastLine) << got.name;
      if (got.kind == DeclarationKind::Structure || got.kind == DeclarationKind::Procedure) {
        EXPECT_EQ(Names(got.members), want.members) << got.name;
      }
    }
    std::vector<std::string> includes;
    for (const IncludeLine& include : file.includes) includes.push_back(include.name);
    EXPECT_EQ(includes, source.includes);
    const GeneratedSource lf = MasmSourceGenerator(seed).Source(1 + static_cast<int>(seed % 60), true);
    EXPECT_EQ(Names(ReadDeclarations(lf.text).declarations), Names(file.declarations));
  }
}

// Random bytes, generated sources cut and mangled at random, and a line of 10 MB are
// read without harm: every line named is in the text and every definition is short.
TEST(Declarations, AnyBytesAreReadWithoutHarm) {
  std::mt19937 rng(31);
  const auto check = [](std::string_view text) {
    const FileDeclarations file = ReadDeclarations(text);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const Declaration& d : file.declarations) {
      ASSERT_GE(d.line, 0);
      ASSERT_LT(d.line, lines);
      ASSERT_LE(d.detail.size(), 60u);
    }
  };
  for (int i = 0; i < 300; ++i) {
    std::string text = MasmSourceGenerator(static_cast<unsigned>(i)).Source(40).text;
    for (int k = std::uniform_int_distribution<int>(0, 30)(rng); k > 0; --k) {
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(rng);
      const std::string pieces[] = {"\\", ",", "<", ">", "\"", "'", ";", "\n", "STRUCT", "ENDS", "ENDM", "MACRO",
                                    "ENDP", "comment *", std::string(1, static_cast<char>(rng()))};
      text.insert(at, pieces[rng() % std::size(pieces)]);
    }
    ASSERT_NO_FATAL_FAILURE(check(text));
    std::string bytes(std::uniform_int_distribution<std::size_t>(0, 2000)(rng), '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    ASSERT_NO_FATAL_FAILURE(check(bytes));
  }
  std::string huge = "x PROTO ";
  huge.append(10 * 1024 * 1024, 'a');
  huge += "\ny equ 1\n";
  ASSERT_NO_FATAL_FAILURE(check(huge));
  EXPECT_EQ(Names(ReadDeclarations(huge).declarations), (std::vector<std::string>{"x", "y"}));
}

}  // namespace
}  // namespace vantorel
