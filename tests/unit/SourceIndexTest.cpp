// The index of the text being edited: after any edits, what it holds equals what
// reading the edited text anew gives, and a change reads only around itself.
#include "index/SourceIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "tests/support/MasmSourceGenerator.h"

namespace vantorel {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
  return text;
}

// A text being edited: its lines, and the index told of each change as the editor's
// line list tells its watchers.
struct EditedText {
  std::vector<std::string> lines;
  SourceIndex index;

  void Replace(int first, int removed, std::vector<std::string> added) {
    lines.erase(lines.begin() + first, lines.begin() + first + removed);
    lines.insert(lines.begin() + first, added.begin(), added.end());
    index.LinesChanged(LineChange{first, removed, static_cast<int>(added.size()), ChangeOrigin::User, false});
  }
  void Refresh() {
    index.Refresh(static_cast<int>(lines.size()), [this](int i) { return std::string_view(lines[static_cast<std::size_t>(i)]); });
  }
};

// Lines that open, close or continue what the reader keeps across lines, and ones
// that declare: an edit with them moves the rests of the reader.
const char* const kFragments[] = {
    "x PROC a:DWORD", "x ENDP", "ENDP", "S STRUCT", "  f dd ?", "S ENDS", "ENDS", "  UNION", "m MACRO a",
    "ENDM", "  FOR y, <1,2>", "COMMENT *", "*", "  mov eax, 1 \\", "Api PROTO :DWORD,", "  :DWORD",
    "K equ 5", "lbl:", "include \\masm32\\include\\a.inc", "", "; COMMENT *", "  LOCAL v:DWORD", "buf db 0",
};

TEST(SourceIndex, AfterRandomEditsItEqualsTheTextReadAnew) {
  std::mt19937 rng(7);
  const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (unsigned seed = 0; seed < 60; ++seed) {
    EditedText text;
    text.lines = SplitLines(MasmSourceGenerator(seed).Source(30 + pick(60), true).text);
    const std::vector<std::string> other = SplitLines(MasmSourceGenerator(seed + 1000).Source(40, true).text);
    for (int round = 0; round < 40; ++round) {
      for (int edits = 1 + pick(3); edits > 0; --edits) {
        const int size = static_cast<int>(text.lines.size());
        const int at = pick(size + 1);
        switch (pick(6)) {
          case 0:  // a line becomes a fragment
            if (at < size) text.Replace(at, 1, {kFragments[pick(static_cast<int>(std::size(kFragments)))]});
            break;
          case 1: {  // lines from another source come in
            const int from = pick(static_cast<int>(other.size()));
            const int n = std::min(1 + pick(8), static_cast<int>(other.size()) - from);
            text.Replace(at, 0, std::vector<std::string>(other.begin() + from, other.begin() + from + n));
            break;
          }
          case 2:  // lines go
            text.Replace(at, std::min(1 + pick(5), size - at), {});
            break;
          case 3:  // a character is typed
            if (at < size) {
              std::string line = text.lines[static_cast<std::size_t>(at)];
              line.insert(static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1)), 1, ",\\;x<"[pick(5)]);
              text.Replace(at, 1, {line});
            }
            break;
          case 4:  // a line is added at the end, where a block the end closed goes on
            text.Replace(size, 0, {kFragments[pick(static_cast<int>(std::size(kFragments)))]});
            break;
          default:  // a line is split in two
            if (at < size) {
              const std::string line = text.lines[static_cast<std::size_t>(at)];
              const std::size_t cut = static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1));
              text.Replace(at, 1, {line.substr(0, cut), line.substr(cut)});
            }
        }
      }
      text.Refresh();
      ASSERT_EQ(text.index.Declarations(), ReadDeclarations(Joined(text.lines)))
          << "seed " << seed << " round " << round << "\n" << Joined(text.lines);
    }
    // A new text replaces everything.
    text.lines = other;
    text.index.LinesChanged(LineChange{0, 0, 0, ChangeOrigin::Program, true});
    text.Refresh();
    ASSERT_EQ(text.index.Declarations(), ReadDeclarations(Joined(text.lines)));
  }
}

// Typing in a long text reads the lines around the edit, not the text. (A letter that
// breaks an ENDM rightly makes the rest of the text a macro's body, so the typed
// character here is a blank.)
TEST(SourceIndex, ATypedCharacterReadsOnlyAroundIt) {
  EditedText text;
  text.lines = SplitLines(MasmSourceGenerator(3).Source(4000, true).text);
  text.Refresh();
  const int total = text.index.LinesRead();
  ASSERT_EQ(total, static_cast<int>(text.lines.size()));
  std::mt19937 rng(5);
  int read = 0;
  for (int i = 0; i < 200; ++i) {
    const int at = std::uniform_int_distribution<int>(0, total - 1)(rng);
    text.Replace(at, 1, {" " + text.lines[static_cast<std::size_t>(at)]});
    text.Refresh();
    read += text.index.LinesRead();
    EXPECT_FALSE(text.index.Stale());
  }
  // The generator's longest block (a macro) is 7 lines.
  EXPECT_LE(read, 200 * 8);
  EXPECT_EQ(text.index.Declarations(), ReadDeclarations(Joined(text.lines)));
}

}  // namespace
}  // namespace vantorel
