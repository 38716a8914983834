// The declarations of one assembler source or include file, as the index of the
// program's names needs them: each name with its kind, its line and its definition in
// short, the members of structures and procedures, and the files it includes. The text
// is bytes of the ANSI code page and nothing in it is trusted: any bytes give a result,
// in time linear in their length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

enum class DeclarationKind {
  Label,      // name: / name:: / name LABEL type
  Data,       // name DB ... / name STRUCTNAME <> / a structure's field / a LOCAL
  Constant,   // name EQU expr / name = expr
  TextAlias,  // name EQU <text> / name TEXTEQU <text>, CATSTR ...
  Prototype,  // name PROTO ...
  Procedure,  // name PROC ... name ENDP
  Structure,  // name STRUCT / STRUC ... name ENDS
  Union,      // name UNION ... name ENDS
  Record,     // name RECORD field:bits, ...
  Macro,      // name MACRO params ... ENDM
  Typedef,    // name TYPEDEF type
  External,   // EXTERNDEF / EXTERN / EXTRN name:type
  Parameter,  // a PROC's or a MACRO's parameter
};

struct Declaration {
  std::string name;
  DeclarationKind kind = DeclarationKind::Label;
  int line = 0;  // the first line of its statement, from 0
  // The definition in short, as a completion list shows it after the name:
  // "PROTO :DWORD,:DWORD", "equ 0111h", "struct (10 members)", "proc hWnd:HWND, uMsg:UINT".
  std::string detail;
  // What the name stands for: a data item's or parameter's type ("WNDCLASSEX"), a text
  // alias's text ("MessageBoxA"), a typedef's type; empty otherwise.
  std::string type;
  // Prototypes, procedures and macros: the parameters as written ("hWnd:HWND", ":DWORD").
  std::vector<std::string> parameters;
  // Structures and unions: their fields (the fields of an anonymous nested structure or
  // union stand among them; a named one is a member with members of its own).
  // Procedures: their parameters, LOCALs and labels.
  std::vector<Declaration> members;
  // Procedures, structures and unions: the line of their end (ENDP, ENDS, or the text's
  // last line when it is missing); -1 for the rest.
  int lastLine = -1;

  friend bool operator==(const Declaration&, const Declaration&) = default;
};

struct IncludeLine {
  std::string name;  // as written, without <> or quotes
  int line = 0;

  friend bool operator==(const IncludeLine&, const IncludeLine&) = default;
};

struct FileDeclarations {
  std::vector<Declaration> declarations;
  std::vector<IncludeLine> includes;

  friend bool operator==(const FileDeclarations&, const FileDeclarations&) = default;
};

// The code of a line: up to a ';' that stands outside quotes and <> text.
std::string_view CodeOf(std::string_view line) noexcept;

// Reads every declaration of a file's text (lines ended by LF or CR LF).
FileDeclarations ReadDeclarations(std::string_view text);

// Reads declarations one line at a time. Between statements with no block open (no
// procedure, structure, macro body or COMMENT block, no continued line) the reader is
// at rest: what follows reads the same from a new reader started there, so an index of
// a text being edited can read again only from the rest before a change to the first
// rest after it that it already knew.
class DeclarationReader {
 public:
  // firstLine: the number the next line fed gets.
  explicit DeclarationReader(int firstLine = 0) : line_(firstLine) {}

  // One line, without its line end (a last CR is cut).
  void Line(std::string_view physical);
  bool AtRest() const noexcept;
  // The number the next line fed gets.
  int NextLine() const noexcept { return line_; }
  // What was read since the last call: the declarations closed and the includes.
  FileDeclarations Take();
  // Ends the text: a statement still continued is read and open blocks are closed.
  FileDeclarations Finish();

 private:
  void Statement(std::string_view s, int line);
  void OpenProcedure(const std::string& name, std::string_view rest, int line);
  void CloseProcedure(int endLine);
  void OpenStructure(std::string name, bool isUnion, int line);
  void CloseStructure(int endLine);
  void Add(Declaration declaration);

  FileDeclarations file_;
  std::string statement_;  // a statement continued on the next line, joined so far
  int first_ = 0;          // its first line
  int line_ = 0;
  char commentEnd_ = 0;    // inside a COMMENT block: its closing character
  std::vector<Declaration> structures_;  // open, the innermost last
  std::size_t flattened_ = 0;            // nested past the limit, read as flat
  std::optional<Declaration> procedure_;
  int macroDepth_ = 0;
};

}  // namespace vantorel
