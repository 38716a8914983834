// Random assembler sources shaped like Masm32 programs and include files, written
// together with what an index must find in them: prototypes with and without
// parameter names, text aliases, constants, structures with nested and anonymous
// parts, procedures with USES, LOCALs and labels, macros with repeat blocks inside,
// data, statements continued with '\' or a trailing comma, COMMENT blocks and
// comments holding decoy declarations and CP1251 bytes, includes and plain code.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace vantorel {

struct ExpectedDeclaration {
  std::string name;
  int kind;  // a DeclarationKind's value
  int line;
  std::vector<std::string> members;  // structures and procedures: their members' names, in order
  int lastLine = -1;                 // structures and procedures: the line of their end
};

struct GeneratedSource {
  std::string text;
  std::vector<ExpectedDeclaration> declarations;  // in the order they are closed
  std::vector<std::string> includes;
};

class MasmSourceGenerator {
 public:
  explicit MasmSourceGenerator(unsigned seed) : rng_(seed) {}

  // About lines statements (a statement may take several lines); CR LF line ends
  // unless lfOnly.
  GeneratedSource Source(int statements, bool lfOnly = false) {
    out_ = GeneratedSource{};
    line_ = 0;
    eol_ = lfOnly ? "\n" : "\r\n";
    for (int i = 0; i < statements; ++i) Statement();
    return std::move(out_);
  }

 private:
  // The kinds, with DeclarationKind's values.
  enum Kind { kLabel, kData, kConstant, kTextAlias, kPrototype, kProcedure, kStructure, kUnion, kRecord, kMacro };

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string Name(const char* stem) { return std::string(stem) + std::to_string(serial_++); }
  std::string Case(std::string keyword) {
    if (Pick(3) == 0)
      for (char& c : keyword) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return keyword;
  }
  std::string Comment() {
    static const char* kComments[] = {" ; x PROTO :DWORD", " ; \xca\xee\xec\xec\xe5\xed\xf2\xe0\xf0\xe8\xe9",
                                      " ;; y equ 1", ""};
    return kComments[Pick(4)];
  }
  void Line(const std::string& text) {
    out_.text += text + eol_;
    ++line_;
  }
  void Expect(std::string name, int kind, int line, std::vector<std::string> members = {}, int lastLine = -1) {
    out_.declarations.push_back(ExpectedDeclaration{std::move(name), kind, line, std::move(members), lastLine});
  }

  void Statement() {
    const int first = line_;
    switch (Pick(13)) {
      case 0: {  // a prototype, parameters unnamed, named, or split over lines
        const std::string name = Name("Api");
        if (Pick(2)) {
          Line(name + " " + Case("proto") + " :DWORD,:DWORD" + Comment());
        } else if (Pick(2)) {
          Line(name + " " + Case("proto") + " " + Case("stdcall") + " hWnd:DWORD, lpText:DWORD, \\" + Comment());
          Line("    uType:DWORD");
        } else {
          Line(name + " " + Case("proto") + " C :DWORD,");
          Line("    :VARARG");
        }
        Expect(name, kPrototype, first);
        break;
      }
      case 1: {
        const std::string name = Name("Alias");
        Line(name + " " + Case("equ") + " <Api" + std::to_string(serial_) + "A>" + Comment());
        Expect(name, kTextAlias, first);
        break;
      }
      case 2: {
        const std::string name = Name("IDC_");
        Line(name + (Pick(2) ? " " + Case("equ") + " 0" + std::to_string(Pick(999)) + "h" : " = " + name + " + 1") +
             Comment());
        Expect(name, kConstant, first);
        break;
      }
      case 3: Structure(); break;
      case 4: Procedure(); break;
      case 5: {
        const std::string name = Name("mac");
        Line(name + " " + Case("macro") + " a, b:=<1, 2>, c:VARARG");
        Line("  " + Case("local") + " skip");
        Line("  " + Case("for") + " x, <a, b>");
        Line("    inner" + std::to_string(serial_) + " dd x");
        Line("  " + Case("endm"));
        Line("  fake" + std::to_string(serial_) + " " + Case("proto") + " :DWORD");
        Line(Case("endm"));
        Expect(name, kMacro, first);
        break;
      }
      case 6: {
        const std::string name = Name("sz");
        Line(name + " " + Case("db") + " \"semi; colon 'q'\",13,10,0" + Comment());
        Expect(name, kData, first);
        break;
      }
      case 7: {
        const std::string name = Name("wc");
        Line(name + " WNDCLASSEX <>" + Comment());
        Expect(name, kData, first);
        break;
      }
      case 8:  // a COMMENT block with decoys
        Line(Case("comment") + " * not x PROTO :DWORD");
        Line("decoy" + std::to_string(serial_++) + " equ 5");
        Line("end of it * ; still comment");
        break;
      case 9: {
        const std::string name = "\\masm32\\include\\f" + std::to_string(serial_++) + ".inc";
        Line(Case("include") + " " + name);
        out_.includes.push_back(name);
        break;
      }
      case 10:
        Line("    mov eax, 1" + Comment());
        Line("    invoke Api1, eax, <1,2>, \"a;b\"");
        break;
      case 11: Line(""); break;
      case 12: {
        const std::string name = Name("glob");
        Line(name + "::");
        Expect(name, kLabel, first);
        break;
      }
    }
  }

  // A structure with fields, an anonymous union inside (its fields are the outer's)
  // and sometimes a named nested structure.
  void Structure() {
    const int first = line_;
    const std::string name = Name("ST");
    std::vector<std::string> members;
    Line(name + " " + Case("struct"));
    for (int i = Pick(4); i >= 0; --i) {
      members.push_back(Name("f"));
      Line("  " + members.back() + " " + Case("dword") + " ?" + Comment());
    }
    if (Pick(2)) {
      Line("  " + Case("union"));
      for (int i = Pick(3); i >= 0; --i) {
        members.push_back(Name("u"));
        Line("    " + members.back() + " " + Case("word") + " ?");
      }
      Line("  " + Case("ends"));
    }
    if (Pick(2)) {
      members.push_back(Name("inner"));
      Line("  " + Case("struct") + " " + members.back());
      Line("    deep" + std::to_string(serial_++) + " RECT <>");
      Line("  " + Case("ends"));
    }
    Line(name + " " + Case("ends"));
    Expect(name, kStructure, first, members, line_ - 1);
  }

  // A procedure with parameters (after USES sometimes), LOCALs and labels; a global
  // label inside it belongs to the file.
  void Procedure() {
    const int first = line_;
    const std::string name = Name("Proc");
    std::vector<std::string> members{"hWin", "uMsg"};
    Line(name + " " + Case("proc") + (Pick(2) ? " " + Case("uses") + " ebx esi" : "") + " hWin:DWORD, uMsg:DWORD" +
         Comment());
    if (Pick(2)) {
      members.push_back(Name("ps"));
      const std::string second = Name("buf");
      Line("  " + Case("local") + " " + members.back() + ":PAINTSTRUCT, " + second + "[260]:BYTE");
      members.push_back(second);
    }
    Line("  .if uMsg == 1");
    members.push_back(Name("lbl"));
    Line(members.back() + ":");
    Line("  @@:");
    std::string global;
    if (Pick(2)) {
      global = Name("out");
      Line(global + "::");
    }
    Line("  .endif");
    Line("  ret");
    Line(name + " " + Case("endp"));
    if (!global.empty()) Expect(global, kLabel, line_ - 4);
    Expect(name, kProcedure, first, members, line_ - 1);
  }

  std::mt19937 rng_;
  GeneratedSource out_;
  int line_ = 0;
  int serial_ = 0;
  std::string eol_;
};

}  // namespace vantorel
