// What an `invoke` hint shows: where the caret stands in an invoke statement (the
// procedure called and the argument being typed, across lines continued with a last
// '\' or ','), and the prototype laid out with that argument marked.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/NameLookup.h"

namespace vantorel {

struct InvokePlace {
  std::string name;  // the procedure as written after invoke
  int argument = 0;  // the argument being typed, from 0
  int line = 0;      // the statement's first line
};

// The caret on line caretY after caretX characters (past the line's end: after
// blanks). Nothing when the caret is not after "invoke Name" and a blank or a comma,
// is inside a comment or quotes, or the statement ended before it.
std::optional<InvokePlace> InvokeAt(const std::function<std::string_view(int line)>& lineAt, int caretY, int caretX);

// One piece of the hint's text; the argument being typed is bold.
struct HintPart {
  std::string text;
  bool bold = false;
};

// Names of the parameters of a procedure whose prototype gives only their types
// ("MessageBoxA" -> hWnd, lpText, lpCaption, uType); nothing when unknown.
using ParameterNames = std::function<std::vector<std::string>(std::string_view procedure)>;

// "MessageBoxA(hWnd:DWORD, lpText:DWORD, ...)" with the place's argument bold: the
// prototype or procedure the name leads to (through text aliases); a parameter
// without a name takes one from names when given. Nothing when the name leads to no
// prototype or procedure.
std::vector<HintPart> InvokeHint(const InvokePlace& place, const FindDeclaration& find,
                                 const ParameterNames& names = nullptr);

}  // namespace vantorel
