// The declarations of one assembler source or include file, as the index of the
// program's names needs them: each name with its kind, its line and its definition in
// short, the members of structures and procedures, and the files it includes. The text
// is bytes of the ANSI code page and nothing in it is trusted: any bytes give a result,
// in time linear in their length.
#pragma once

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
};

struct IncludeLine {
  std::string name;  // as written, without <> or quotes
  int line = 0;
};

struct FileDeclarations {
  std::vector<Declaration> declarations;
  std::vector<IncludeLine> includes;
};

// Reads every declaration of a file's text (lines ended by LF or CR LF).
FileDeclarations ReadDeclarations(std::string_view text);

}  // namespace vantorel
