// What the colouring tests share: an editor painted with a colour set whose classes all
// look different, read back as one letter per column, and the golden sources.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "headless/IconvCodePages.h"
#include "highlight/HLEditor.h"
#include "tests/support/HighlightCheck.h"

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

// The golden sources named <name>-rules* are coloured with the rules of the language of
// that name (masm-rules-comments.asm with the assembler's), the others with the first
// language's, Java's.
inline THighlighter RulesOf(const fs::path& source) {
  const std::string file = source.filename().string();
  for (const LanguageRow& row : Languages()) {
    if (file.rfind(std::string(row.name) + "-rules", 0) == 0) return row.language.Id();
  }
  return Languages().front().language.Id();
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

// Random edits, twelve a round, rounds rounds on each source coloured with
// rules(source): through the keyboard a piece typed character by character (seven times
// in ten), a deletion forward or back, or an undo; and the program's own line-list
// changes, a code page conversion either way or a new project. After each round every
// line is coloured exactly as the same text loaded anew colours it, whatever the edits
// carried into the lines below them, and the kept line states equal a rescan.
inline void ExpectRandomEditsColourLikeTheTextLoadedAnew(const std::vector<fs::path>& sources,
                                                        std::span<const std::string_view> pieces,
                                                        THighlighter (*rules)(const fs::path&), unsigned seed,
                                                        int rounds = 40) {
  ASSERT_FALSE(pieces.empty());
  std::mt19937 rng(seed);
  IconvCodePages codePages;
  for (const fs::path& source : sources) {
    for (int round = 0; round < rounds; ++round) {
      Painted live(rules(source));
      live.editor.Lines().SetTextStr(ReadFile(source));
      std::string trail;
      for (int edit = 0; edit < 12; ++edit) {
        const int y = std::uniform_int_distribution<int>(0, live.editor.LineCount() - 1)(rng);
        const int x = std::uniform_int_distribution<int>(0, live.editor.LineLength(y) + 1)(rng);
        live.editor.SetCaret(x, y);
        const int what = std::uniform_int_distribution<int>(0, 99)(rng);
        if (what < 70) {
          const std::string_view piece = pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
          for (const char c : piece) live.editor.RunCommand(static_cast<unsigned char>(c));
          trail += " \"" + std::string(piece) + "\"";
        } else if (what < 90) {
          const int code = what < 77 ? ec::DeleteChar : what < 84 ? ec::Backspace : ec::Undo;
          live.editor.RunCommand(code);
          trail += " " + std::to_string(code);
        } else if (what < 98) {
          const bool toDos = what < 94;
          ConvertEditorLines(live.editor, codePages, toDos ? &CodePages::WinToDos : &CodePages::DosToWin);
          trail += toDos ? " win>dos" : " dos>win";
        } else {
          PutNewProject(live.editor);
          trail += " new project";
        }
        trail += "@(" + std::to_string(x) + "," + std::to_string(y) + ")";
        // Paint a line on the way, as the screen would, so on-demand states mix in.
        if (live.editor.LineCount() > 0) live.Classes(std::min(y + 3, live.editor.LineCount() - 1));
      }
      Painted fresh(rules(source));
      fresh.editor.Lines().SetTextStr(live.editor.Lines().GetTextStr());
      ASSERT_EQ(live.AllClasses(), fresh.AllClasses()) << source.filename() << " after" << trail;
      ASSERT_EQ(LongStatesProblem(live.editor), "") << source.filename() << " after" << trail;
    }
  }
}

}  // namespace vantorel
