// The colouring of texts: golden files (a source beside the colour class of each of its
// columns), the same colouring after random edits as for the edited text loaded anew,
// and the scanner's tokens checked against the line they came from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "highlight/HLEditor.h"
#include "highlight/Scanner.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/HighlightCheck.h"
#include "tests/unit/HighlightFixture.h"

namespace vantorel {
namespace {

// Each source is coloured as its .colors file says; a difference writes what the
// program made to a .new file beside it for review.
TEST(HighlightGolden, EverySourceIsColouredAsItsColourFileSays) {
  const std::vector<fs::path> sources = GoldenSources();
  ASSERT_GE(sources.size(), 4u);
  for (const fs::path& source : sources) {
    Painted p(RulesOf(source));
    p.editor.Lines().SetTextStr(ReadFile(source));
    const std::string got = p.AllClasses();
    fs::path expected = source;
    expected.replace_extension(".colors");
    fs::path fresh = source;
    fresh.replace_extension(".colors.new");
    if (!fs::exists(expected) || ReadFile(expected) != got) {
      std::ofstream(fresh, std::ios::binary) << got;
      ADD_FAILURE() << source.filename() << " is coloured differently; see " << fresh;
    } else {
      fs::remove(fresh);
    }
  }
}

// Random typing of the characters that open and close comments, strings and
// preprocessor lines, line breaks, deletions and undo, on every golden source with its
// own rules.
TEST(HighlightGolden, RandomEditsColourLikeTheEditedTextLoadedAnew) {
  static constexpr std::string_view kPieces[] = {"/", "*", "/*", "*/", "\"", "\\", "#",
                                                 " ", "a", "1", ";", "'", "\r", "\r\r"};
  ExpectRandomEditsColourLikeTheTextLoadedAnew(GoldenSources(), kPieces, RulesOf, 15);
}

// Each language of the table has golden sources coloured with its rules, and an id, a
// name, a stored value and a menu caption of its own. The first is stored as 0, the
// value a store that never saw the choice reads as.
TEST(HighlightGolden, EveryLanguageHasGoldenSourcesAndValuesOfItsOwn) {
  std::set<THighlighter> ids;
  std::set<std::string_view> names;
  std::set<std::string_view> captions;
  std::set<std::int32_t> stored;
  EXPECT_EQ(Languages().front().stored, 0);
  for (const LanguageRow& row : Languages()) {
    EXPECT_TRUE(ids.insert(row.language.Id()).second) << row.name;
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    EXPECT_TRUE(captions.insert(row.caption).second) << row.name;
    EXPECT_TRUE(stored.insert(row.stored).second) << row.name;
    const std::vector<fs::path> sources = GoldenSources(std::string(row.name) + "-rules");
    EXPECT_FALSE(sources.empty()) << row.name << " has no golden source";
    for (const fs::path& source : sources) EXPECT_EQ(RulesOf(source), row.language.Id()) << source.filename();
  }
}

TEST(Highlight, OnlyTheFirst1024ColumnsAreColouredAndTheRestIsPlain) {
  Painted p;
  p.editor.Lines().SetTextStr(std::string(1020, ' ') + "int x\r\nint\r\n");
  p.editor.GetLineAttr(0, 0, MaxLineColumns);
  const TLineAttrs& a = p.editor.LineAttrs();
  EXPECT_EQ(ClassLetter(a[1021]), 'R');
  EXPECT_EQ(ClassLetter(a[1024]), '.');  // the blank before x
  // Columns after a short line carry the editor's own font colour and background.
  p.editor.GetLineAttr(1, 0, MaxLineColumns);
  EXPECT_EQ(p.editor.LineAttrs()[4].ForeColor, p.editor.Font().color);
  EXPECT_EQ(p.editor.LineAttrs()[4].BackColor, p.editor.BackColor());
}

// Lines far longer than the coloured columns are scanned only as far as those columns
// need; every shown column still gets the class a scan of the whole line gives it.
TEST(Highlight, ALongLineIsColouredAsAScanOfTheWholeLineColoursIt) {
  // The first pieces open nothing that runs to the line's end; the rest may.
  static constexpr std::string_view kPieces[] = {"int ", "for", "x", "  ", "12", "0x1F", "\"ab\" ", "'q'",
                                                 "class A ", ";", "(", "abcdefgh", "\"", "/*", "*/", "// c"};
  constexpr std::size_t kClosedPieces = 12;
  const auto reference = [](const std::string& line) {
    TIParser parser;
    parser.KeepComments = true;
    parser.ScanStyle = TScanStyle::Other;
    parser.SetText(line.c_str());
    std::string out(std::min<std::size_t>(line.size(), MaxLineColumns), '.');
    std::string prev;
    for (std::string token = parser.NextToken(); !token.empty(); token = parser.NextToken()) {
      static constexpr char kLetter[] = {'c', 'n', 's', 'y', 'R', 'i', 'D'};
      const char letter = kLetter[static_cast<int>(ClassifyToken(JavaRules(), token, prev, {}))];
      for (int c = parser.TokenStart(0); c < std::min(parser.TokenEnd(0), MaxLineColumns); ++c) out[c] = letter;
      prev = token;
    }
    return out;
  };
  std::mt19937 rng(1024);
  for (int round = 0; round < 300; ++round) {
    const auto piece = [&](std::size_t count) { return kPieces[std::uniform_int_distribution<std::size_t>(0, count - 1)(rng)]; };
    // Random pieces up to a word that straddles the last coloured column, then more;
    // every other line may open a comment or a string early.
    std::string line;
    while (line.size() < 980) line += piece(round % 4 < 2 ? kClosedPieces : std::size(kPieces));
    line.resize(static_cast<std::size_t>(MaxLineColumns) - 1 - round % 6, ' ');
    line += round % 2 ? " for " : " class ";
    const std::size_t length = std::uniform_int_distribution<std::size_t>(1100, 3000)(rng);
    while (line.size() < length) line += piece(std::size(kPieces));
    Painted p;
    p.editor.Lines().SetTextStr(line);
    ASSERT_EQ(p.Classes(0), reference(line)) << "round " << round;
  }
}

// The last column is painted even when its colour differs from the column before it.
TEST(Highlight, TheLastColumnIsPaintedInItsOwnColour) {
  Painted p;
  p.host.control = &p.editor;
  p.editor.WindowCreated();
  p.editor.Lines().SetTextStr(std::string(1022, ' ') + "a(b\r\n");
  p.editor.ScrollTo(1000, 0);
  p.host.canvas.Clear();
  Inside(p.editor).view.FullRepaintPending = true;
  p.editor.Paint(p.host.canvas, p.host.client);
  std::string shown;
  for (const RecordingSurface::TextCall& run : p.host.canvas.texts) {
    if (run.y == 0) shown += run.text;
  }
  ASSERT_GE(shown.size(), 24u);
  EXPECT_EQ(shown.substr(22, 2), "a(");
}

TEST(Highlight, OwnerDecidesKeywordsAndOtherRuleSetsPaintPlain) {
  Painted p;
  p.editor.Lines().SetTextStr("int mov function f\r\n");
  p.editor.OnReservedWord = [](std::string_view token, bool& reserved) { reserved = token == "mov"; };
  // The owner's answer replaces the keyword list and the declaration rule.
  EXPECT_EQ(p.Classes(0), "iii.RRR.iiiiiiii.i");
  p.editor.OnReservedWord = nullptr;
  EXPECT_EQ(p.Classes(0), "RRR.iii.iiiiiiii.D");
  p.editor.SetSyntaxHighlighting(false);
  EXPECT_EQ(p.Classes(0), "??????????????????");  // the painter's defaults
  p.editor.SetSyntaxHighlighting(true);
  p.editor.SetHighlighter(THighlighter::hlPascal);
  EXPECT_EQ(p.Classes(0), "??????????????????");
}

// Edits made while colouring or tracking was off are not lost on the states.
TEST(Highlight, StatesFollowEditsMadeWhileColouringOrTrackingWasOff) {
  Painted p;
  p.editor.Lines().SetTextStr("a\r\nb\r\n");
  p.editor.SetSyntaxHighlighting(false);
  p.editor.RunCommand('/');
  p.editor.RunCommand('*');
  p.editor.SetSyntaxHighlighting(true);
  EXPECT_EQ(p.Classes(1), "c");
  p.editor.SetLongTokens(false);
  p.editor.RunCommand(ec::Undo);
  p.editor.SetLongTokens(true);
  EXPECT_EQ(p.Classes(1), "i");
  EXPECT_EQ(LongStatesProblem(p.editor), "");
}

// Continued lines are followed upwards without recursion: a long run of them neither
// exhausts the stack nor costs a climb per line.
TEST(Highlight, AVeryLongRunOfContinuedStringLinesIsFollowed) {
  Painted p;
  std::string text = "\"open \\\r\n";
  for (int i = 0; i < 60000; ++i) text += "more \\\r\n";
  text += "end\"\r\nint\r\n";
  p.editor.Lines().SetTextStr(text);
  const int last = p.editor.LineCount() - 1;
  EXPECT_EQ(p.editor.LongStateOfLine(last - 1), longstate::String);
  EXPECT_EQ(p.Classes(last), "RRR");
}

// --- the scanner ---

std::vector<std::string> Tokens(const char* text, bool keepComments = true) {
  TIParser parser;
  parser.KeepComments = keepComments;
  parser.SetText(text);
  std::vector<std::string> out;
  for (std::string t = parser.NextToken(); !t.empty(); t = parser.NextToken()) out.push_back(t);
  return out;
}

using Strings = std::vector<std::string>;

TEST(Scanner, CutsTokensAsTheLanguageDoes) {
  EXPECT_EQ(Tokens(""), Strings{});
  EXPECT_EQ(Tokens("  \r\n "), Strings{});
  EXPECT_EQ(Tokens("a/*b*/c"), (Strings{"a", "/*b*/", "c"}));
  EXPECT_EQ(Tokens("a/*b*/c", false), (Strings{"a", "c"}));
  EXPECT_EQ(Tokens("x*/y"), (Strings{"x", "*/y"}));
  EXPECT_EQ(Tokens("/*/ x"), (Strings{"/*/ x"}));
  EXPECT_EQ(Tokens("/**/x"), (Strings{"/**/", "x"}));
  EXPECT_EQ(Tokens("a // b\rc"), (Strings{"a", "// b", "c"}));
  EXPECT_EQ(Tokens("a\tb"), (Strings{"a", "\t", "b"}));
  EXPECT_EQ(Tokens("3.14 1.2.3 10. 1e5 0x1F"), (Strings{"3.14", "1.2.3", "10.", "1", "e5", "0", "x1F"}));
  EXPECT_EQ(Tokens("\"a\\\"b\" c"), (Strings{"\"a\\\"b\"", "c"}));
  EXPECT_EQ(Tokens("\"a\\\\\" c"), (Strings{"\"a\\\\\"", "c"}));
  EXPECT_EQ(Tokens("'it''s' x"), (Strings{"'it's'", "x"}));
  EXPECT_EQ(Tokens("'open"), (Strings{"'open"}));
  EXPECT_EQ(Tokens("$x @"), (Strings{"$", "x", "@"}));
  EXPECT_EQ(Tokens("\xE0\xE1x1"), (Strings{"\xE0", "\xE1", "x1"}));
}

// Over random lines: tokens come in order, each ends where the next may begin, what lies
// between them is blanks, a token's text is its slice of the line (a quoted literal
// loses only its doubled quotes), and the last call gives the empty token at the end.
// The text sits in a buffer of exactly its size, so a read past its NUL is caught.
TEST(Scanner, TokensTileTheLineOverRandomText) {
  std::mt19937 rng(41);
  static constexpr std::string_view kAlphabet = "ab_Z09.'\"\\/*#$ \t\r\n\xE0;(";
  for (int round = 0; round < 20000; ++round) {
    const int length = std::uniform_int_distribution<int>(0, 24)(rng);
    std::string line;
    for (int i = 0; i < length; ++i) line += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(rng)];
    std::unique_ptr<char[]> buffer(new char[line.size() + 1]);
    std::copy(line.begin(), line.end(), buffer.get());
    buffer[line.size()] = '\0';
    TIParser parser;
    parser.KeepComments = true;
    parser.SetHistoryCapacity(std::uniform_int_distribution<int>(1, 12)(rng));
    parser.SetText(buffer.get());
    int pos = 0;
    for (int guard = 0;; ++guard) {
      ASSERT_LT(guard, 100) << line;
      const std::string token = parser.NextToken();
      const int start = parser.TokenStart(0);
      const int end = parser.TokenEnd(0);
      ASSERT_EQ(parser.TokenText(0), token);
      ASSERT_LE(pos, start) << line;
      ASSERT_EQ(line.find_first_not_of(" \r\n", static_cast<std::size_t>(pos)) == std::string::npos
                    ? static_cast<int>(line.size())
                    : static_cast<int>(line.find_first_not_of(" \r\n", static_cast<std::size_t>(pos))),
                start)
          << line;
      if (token.empty()) {
        ASSERT_EQ(start, static_cast<int>(line.size())) << line;
        break;
      }
      const std::string slice = line.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
      if (slice[0] == '\'') {
        ASSERT_LE(token.size(), slice.size()) << line;
      } else {
        ASSERT_EQ(token, slice) << line;
      }
      ASSERT_GT(end, start) << line;
      pos = end;
    }
  }
}

}  // namespace
}  // namespace vantorel
