#include "highlight/Languages.h"

namespace vantorel {

std::span<const LanguageRow> Languages() {
  static const LanguageRow rows[] = {
      {JavaLanguage(), "java", 0, "подсветка Java"},
      {MasmLanguage(), "masm", 1, "подсветка MASM"},
  };
  return rows;
}

const Language* LanguageOf(THighlighter id) {
  for (const LanguageRow& row : Languages()) {
    if (row.language.Id() == id) return &row.language;
  }
  return nullptr;
}

std::size_t LanguageRowStoredAs(std::int32_t stored) {
  const auto rows = Languages();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].stored == stored) return i;
  }
  return 0;
}

}  // namespace vantorel
