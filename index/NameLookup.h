// What the text before the caret asks the index for, and the structures behind names:
// a name being typed, or after a dot the members of the structure that the names
// before it lead to ("wc.", "wc.rcPaint.", "(WNDCLASSEX PTR [esi]).").
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "index/Declarations.h"
#include "index/NameTable.h"

namespace vantorel {

struct CompletionPlace {
  std::string_view prefix;             // the part of the name typed before the caret
  std::vector<std::string_view> path;  // before a dot: the chain of names, first to last
};

// caretX: the 1-based position of the character left of the caret (0 at the line's
// start; past the line's end the caret stands after blanks).
CompletionPlace PlaceBeforeCaret(std::string_view line, int caretX);

// Finds the declaration a name stands for where the caret is; nullptr when unknown.
using FindDeclaration = std::function<const Declaration*(std::string_view name)>;

// The structure or union a declaration leads to: itself, or the type of a variable,
// field, parameter, local, external or typedef, or the target of a text alias, each
// followed a few steps at most; nullptr when it leads to none.
const Declaration* StructureOf(const Declaration* declaration, const FindDeclaration& find);

// The structure whose members follow the path's last dot.
const Declaration* StructureAtEndOf(const std::vector<std::string_view>& path, const FindDeclaration& find);

// A member by name: the exact name first, then one that differs in the case of Latin
// letters only.
const Declaration* MemberNamed(const Declaration& structure, std::string_view name);

}  // namespace vantorel
