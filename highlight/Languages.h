// The languages the highlighter colours, as one table: each row a language with its
// id, its short name, the value that keeps the choice in the settings and the caption
// of its item in the View menu. The menu, the settings and THLEditor::SetHighlighter
// read it; a further language is its own file under languages/ and one row.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "highlight/Language.h"

namespace vantorel {

struct LanguageRow {
  const Language& language;
  // Lower case; its golden sources are named <name>-rules*, its menu item N_hl<name>.
  std::string_view name;
  std::int32_t stored;  // HIGHLIGHTER in the settings: stored files rely on each value
  std::string_view caption;
};

// The first row is the language a missing or unknown stored value chooses.
std::span<const LanguageRow> Languages();
// The language of an id, or nullptr: the other ids colour nothing.
const Language* LanguageOf(THighlighter id);
// The index of the row whose stored value this is; any other value is the first row's.
std::size_t LanguageRowStoredAs(std::int32_t stored);

// Each language's object and rules, defined in its file.
const Language& JavaLanguage();
const Language& MasmLanguage();
const HighlightRules& JavaRules();
const HighlightRules& MasmRules();
// A token classified as the Java scanner would have cut it, its kind read from its text.
TokenClass ClassifyToken(const HighlightRules& rules, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord);

// The assembler's word lists as compiled in, for the tables' checks.
struct WordList {
  std::string_view name;
  std::string_view words;
  TokenClass cls;
};
std::span<const WordList> MasmWordLists();
// The directives that declare the name in front of them, and the instructions that are
// also operators (each also in a list above).
std::string_view MasmDeclarers();
std::string_view MasmOperatorInstructions();

}  // namespace vantorel
