// What the colouring tests share: an editor painted with a colour set whose classes all
// look different, read back as one letter per column, and the golden sources.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/HeadlessWindows.h"
#include "highlight/HLEditor.h"

namespace vantorel {

namespace fs = std::filesystem;

// A colour set whose classes all look different, so a painted column tells its class.
inline TColors DistinctColors() {
  TColors c;
  c.Comment.ForeColor = Color::Rgb(1, 0, 0);
  c.Number.ForeColor = Color::Rgb(2, 0, 0);
  c.Strings.ForeColor = Color::Rgb(3, 0, 0);
  c.Symbol.ForeColor = Color::Rgb(4, 0, 0);
  c.Reserved.ForeColor = Color::Rgb(5, 0, 0);
  c.Identifier.ForeColor = Color::Rgb(6, 0, 0);
  c.Declaration.ForeColor = Color::Rgb(7, 0, 0);
  c.PlainText.ForeColor = Color::Rgb(8, 0, 0);
  c.Preproc.ForeColor = Color::Rgb(9, 0, 0);
  c.Statement.ForeColor = Color::Rgb(10, 0, 0);
  return c;
}

inline char ClassLetter(const TLineAttr& a) {
  static constexpr char kLetters[] = "?cnsyRiD.PS";
  const std::uint32_t v = a.ForeColor.value;
  return v >= 1 && v <= 10 ? kLetters[v] : '?';
}

// The golden sources named masm-rules-* are coloured with the assembler's rules, the
// others with the Java rules.
inline THighlighter RulesOf(const fs::path& source) {
  return source.filename().string().rfind("masm-rules-", 0) == 0 ? THighlighter::hlMasm : THighlighter::hlJava;
}

struct Painted {
  HeadlessWindowHost host;
  THLEditor editor{&host};
  explicit Painted(THighlighter rules = THighlighter::hlJava) {
    editor.SetHighlighter(rules);
    editor.SetColors(DistinctColors());
  }
  // One letter per column of the line: c comment, n number, s string, y symbol,
  // R reserved, i identifier, D declaration, . plain, P preprocessor (the
  // assembler's registers), S statement (its directives).
  std::string Classes(int line) {
    editor.GetLineAttr(line, 0, MaxLineColumns);
    std::string out;
    const int shown = std::min(editor.LineLength(line), MaxLineColumns);
    for (int k = 1; k <= shown; ++k) out += ClassLetter(editor.LineAttrs()[static_cast<std::size_t>(k)]);
    return out;
  }
  std::string AllClasses() {
    std::string out;
    for (int i = 0; i < editor.LineCount(); ++i) out += Classes(i) + "\n";
    return out;
  }
};

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The golden sources, in name order; with a prefix, only those whose name starts so.
inline std::vector<fs::path> GoldenSources(std::string_view prefix = {}) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::directory_iterator(VANTOREL_GOLDEN_DIR "/highlight")) {
    if (entry.path().extension() == ".asm" && entry.path().filename().string().rfind(prefix, 0) == 0) {
      out.push_back(entry.path());
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace vantorel
