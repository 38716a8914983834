// Bracket and word-pair marks: random texts and carets against a slow reference that
// balances depth over a flat list of tokens, plus the cases the randomness cannot
// reach (the look copied by Assign, the column limit, Cyrillic pair lookup).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "editor/CaretCommands.h"
#include "headless/HeadlessWindows.h"
#include "highlight/Brackets.h"
#include "highlight/HLEditor.h"

namespace vantorel {
namespace {

struct FakeText : BracketTextPort {
  std::vector<std::string> lines;
  std::set<int> repainted;
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string_view LineView(int y) const override { return lines.at(static_cast<std::size_t>(y)); }
  void RepaintLine(int y) override { repainted.insert(y); }
};

struct Token {
  int x, y;
  std::string text;
};

// Every token of the text in reading order: a run of word characters, or one separator.
std::vector<Token> Tokens(const std::vector<std::string>& lines) {
  std::vector<Token> out;
  for (int y = 0; y < static_cast<int>(lines.size()); ++y) {
    const std::string& s = lines[static_cast<std::size_t>(y)];
    for (std::size_t x = 0; x < s.size();) {
      std::size_t e = x + 1;
      if (!IsWordSeparator(s[x])) {
        while (e < s.size() && !IsWordSeparator(s[e])) ++e;
      }
      out.push_back({static_cast<int>(x), y, s.substr(x, e - x)});
      x = e;
    }
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The marks as (start, partner), both or neither, computed over tokens: a bracket pairs with brackets,
// a word with whole words only; this holds for the alphabet below, where no pair word
// holds a separator and every word character is ASCII.
std::pair<TBracketMark, TBracketMark> ReferenceMarks(const std::vector<std::string>& lines,
                                                     const std::vector<std::pair<std::string, std::string>>& pairs,
                                                     bool caseSensitive, int cx, int cy) {
  const auto same = [&](const std::string& a, const std::string& b) {
    return caseSensitive ? a == b : Lower(a) == Lower(b);
  };
  const std::vector<Token> tokens = Tokens(lines);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.y != cy || cx < t.x || cx >= t.x + static_cast<int>(t.text.size())) continue;
    std::string partner;
    int direction = 0;
    const std::string brackets = "(<[{)>]}";
    if (const auto b = brackets.find(t.text); t.text.size() == 1 && b != std::string::npos) {
      partner = brackets.substr((b + 4) % 8, 1);
      direction = b < 4 ? 1 : -1;
    } else {
      for (const auto& [open, close] : pairs) {
        if (same(open, t.text)) { direction = 1; partner = close; break; }
        if (same(close, t.text)) { direction = -1; partner = open; break; }
      }
    }
    if (direction == 0) return {};
    int depth = 1;
    for (auto j = static_cast<std::ptrdiff_t>(i) + direction; j >= 0 && j < std::ssize(tokens); j += direction) {
      const Token& u = tokens[static_cast<std::size_t>(j)];
      if (same(u.text, partner)) {
        if (--depth == 0) {
          const int length = static_cast<int>(u.text.size());
          return {TBracketMark{t.x + 1, cy, t.x + static_cast<int>(t.text.size()), cy},
                  TBracketMark{u.x + 1, u.y, u.x + length, u.y}};
        }
      } else if (same(u.text, t.text)) {
        ++depth;
      }
    }
    return {};
  }
  return {};
}

TEST(BracketMarks, MatchReferenceOnRandomTexts) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> pieces = {"(",     ")",   "(",   ")",    "[",         "]",       "<",     ">",
                                           "{",     "}",   " ",   "x",    ";",         ".",       "begin", "end ",
                                           " end",  "Begin", "END", "beginning", "endless", "proc", "endp", "(a)"};
  const std::vector<std::pair<std::string, std::string>> pairs = {{"begin", "end"}, {"proc", "endp"}};
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const auto randomLine = [&] {
    // Short lines and lines of several 16-byte blocks.
    std::string line;
    for (int n = pick(2) == 0 ? pick(9) : pick(30); n > 0; --n) {
      line += pieces[static_cast<std::size_t>(pick(std::ssize(pieces)))];
    }
    return line;
  };
  int found = 0, foundWords = 0, moved = 0, hidden = 0;
  for (int round = 0; round < 400; ++round) {
    FakeText text;
    // Each line's identity: a line a change rewrites or adds gets a new one.
    std::vector<int> ids;
    int nextId = 0;
    text.lines.resize(static_cast<std::size_t>(1 + pick(12)));
    for (std::string& line : text.lines) {
      line = randomLine();
      ids.push_back(nextId++);
    }
    int startId = -1, partnerId = -1;
    std::string startText, partnerText;
    TBracketHighlighting marks;
    marks.Active = true;
    marks.CaseSensitiveWordPairs = pick(2) == 0;
    marks.SetWordPairs({"nothing here", "begin=end", "proc=endp"});
    for (int step = 0; step < 20; ++step) {
      if (pick(3) == 0) {
        // Lines replaced between two updates: the marks follow the lines they stand on
        // and stop being drawn when one of those goes.
        const int count = std::ssize(text.lines);
        const LineChange change{pick(count + 1), 0, pick(4), ChangeOrigin::User};
        const int removed = std::min(pick(3), count - change.first);
        text.lines.erase(text.lines.begin() + change.first, text.lines.begin() + change.first + removed);
        ids.erase(ids.begin() + change.first, ids.begin() + change.first + removed);
        for (int k = 0; k < change.added; ++k) {
          text.lines.insert(text.lines.begin() + change.first + k, randomLine());
          ids.insert(ids.begin() + change.first + k, nextId++);
        }
        marks.LinesChanged({change.first, removed, change.added, ChangeOrigin::User});
        if (marks.StartMark().IsSet()) {
          const auto startAt = std::find(ids.begin(), ids.end(), startId);
          const auto partnerAt = std::find(ids.begin(), ids.end(), partnerId);
          const bool kept = startAt != ids.end() && partnerAt != ids.end();
          ASSERT_EQ(marks.MarksDrawn(), kept && startId >= 0);
          if (marks.MarksDrawn()) {
            const auto marked = [&](const TBracketMark& m) {
              return text.lines[static_cast<std::size_t>(m.BeginY)].substr(
                  static_cast<std::size_t>(m.BeginX - 1), static_cast<std::size_t>(m.EndX - m.BeginX + 1));
            };
            ASSERT_EQ(marks.StartMark().BeginY, startAt - ids.begin());
            ASSERT_EQ(marks.PartnerMark().BeginY, partnerAt - ids.begin());
            ASSERT_EQ(marked(marks.StartMark()), startText);
            ASSERT_EQ(marked(marks.PartnerMark()), partnerText);
            moved += removed != change.added && change.first <= marks.StartMark().BeginY ? 1 : 0;
          } else {
            startId = -1;  // stays hidden until the next update
            ++hidden;
          }
          // A mark whose lines went from the end stands on the row just below the text.
          ASSERT_LE(marks.StartMark().BeginY, std::ssize(text.lines));
        }
      }
      const int cy = pick(std::ssize(text.lines) + 1);  // one caret line past the text
      const std::size_t at = static_cast<std::size_t>(cy);
      const int length = at < text.lines.size() ? static_cast<int>(text.lines[at].size()) : 0;
      const int cx = pick(length + 2) - 1;  // from before the line to past its end
      const std::set<int> before = {marks.StartMark().BeginY, marks.PartnerMark().BeginY};
      const bool wasSet = marks.StartMark().IsSet();
      text.repainted.clear();
      marks.UpdateBracketMarks(text, true, cx, cy);
      const auto [start, partner] = ReferenceMarks(text.lines, pairs, marks.CaseSensitiveWordPairs, cx, cy);
      SCOPED_TRACE(testing::Message() << "round " << round << " caret " << cx << "," << cy);
      ASSERT_EQ(marks.StartMark(), start);
      ASSERT_EQ(marks.PartnerMark(), partner);
      std::set<int> expected;
      if (wasSet) expected = before;
      if (start.IsSet()) expected.insert({start.BeginY, partner.BeginY});
      found += start.IsSet() ? 1 : 0;
      foundWords += start.IsSet() && start.EndX > start.BeginX ? 1 : 0;
      ASSERT_EQ(text.repainted, expected);
      ASSERT_TRUE(marks.MarksDrawn());
      if (start.IsSet()) {
        startId = ids[static_cast<std::size_t>(start.BeginY)];
        partnerId = ids[static_cast<std::size_t>(partner.BeginY)];
        startText = text.lines[static_cast<std::size_t>(start.BeginY)].substr(
            static_cast<std::size_t>(start.BeginX - 1), static_cast<std::size_t>(start.EndX - start.BeginX + 1));
        partnerText = text.lines[static_cast<std::size_t>(partner.BeginY)].substr(
            static_cast<std::size_t>(partner.BeginX - 1), static_cast<std::size_t>(partner.EndX - partner.BeginX + 1));
      }
    }
  }
  // Of 8,000 carets (fixed seed), enough find partners, words among them, and enough
  // marks outlive or lose their lines, to test anything.
  EXPECT_GT(found, 600);
  EXPECT_GT(foundWords, 200);
  EXPECT_GT(moved, 50);
  EXPECT_GT(hidden, 50);
}

TEST(BracketMarks, NestedWordPairAcrossLinesAndExamples) {
  FakeText text;
  text.lines = {"f(a(b)c)", "", "begin x := beginning;", "  BEGIN endless", "  end;", "end."};
  TBracketHighlighting marks;
  marks.Active = true;
  marks.SetWordPairs({"begin=end"});
  marks.UpdateBracketMarks(text, true, 1, 0);
  EXPECT_EQ(marks.PartnerMark(), (TBracketMark{8, 0, 8, 0}));
  marks.UpdateBracketMarks(text, true, 7, 0);
  EXPECT_EQ(marks.PartnerMark(), (TBracketMark{2, 0, 2, 0}));
  marks.UpdateBracketMarks(text, true, 3, 2);  // inside "begin"
  EXPECT_EQ(marks.StartMark(), (TBracketMark{1, 2, 5, 2}));
  EXPECT_EQ(marks.PartnerMark(), (TBracketMark{3, 4, 5, 4}));  // "BEGIN" is another word when case counts
  marks.CaseSensitiveWordPairs = false;
  marks.UpdateBracketMarks(text, true, 0, 2);
  EXPECT_EQ(marks.PartnerMark(), (TBracketMark{1, 5, 3, 5}));
  marks.UpdateBracketMarks(text, true, 4, 5);  // on "." after "end": a separator in no pair
  EXPECT_FALSE(marks.StartMark().IsSet());
  marks.UpdateBracketMarks(text, true, 8, 0);  // after the line's last character
  EXPECT_FALSE(marks.StartMark().IsSet());
  marks.UpdateBracketMarks(text, false, 1, 0);  // hidden or disabled
  EXPECT_FALSE(marks.StartMark().IsSet());
  marks.Active = false;
  marks.UpdateBracketMarks(text, true, 1, 0);
  EXPECT_FALSE(marks.StartMark().IsSet());
}

TEST(BracketMarks, LookUpFoldsCyrillicWhenCaseIsIgnored) {
  TBracketHighlighting marks;
  // Windows-1251: "начало=конец", "ёлка=ель".
  marks.SetWordPairs({"\xED\xE0\xF7\xE0\xEB\xEE=\xEA\xEE\xED\xE5\xF6", "\xB8\xEB\xEA\xE0=\xE5\xEB\xFC"});
  EXPECT_EQ(marks.LookUpWordPair("\xCD\xC0\xD7\xC0\xCB\xCE").Direction, 0);  // НАЧАЛО, case counts
  marks.CaseSensitiveWordPairs = false;
  const auto match = marks.LookUpWordPair("\xCA\xCE\xCD\xC5\xD6");  // КОНЕЦ
  EXPECT_EQ(match.Direction, -1);
  EXPECT_FALSE(match.CaseSensitive);
  EXPECT_EQ(match.Partner, "\xED\xE0\xF7\xE0\xEB\xEE");
  EXPECT_EQ(marks.LookUpWordPair("\xA8\xCB\xCA\xC0").Partner, "\xE5\xEB\xFC");  // ЁЛКА
}

TEST(BracketMarks, ApplyDrawsOnlyWithinColumnLimitAndAssignCopiesTheLook) {
  FakeText text;
  text.lines = {std::string(1022, ' ') + "()", std::string(1023, ' ') + "()"};
  TBracketHighlighting look;
  look.Active = true;
  look.FontColor = clWhite;
  look.BorderColor = clBlack;
  look.Color = clHighlight;
  look.CaseSensitiveWordPairs = false;
  look.SetWordPairs({"a=b"});
  TBracketHighlighting marks;
  marks.Assign(look);
  EXPECT_TRUE(marks.CaseSensitiveWordPairs);
  EXPECT_TRUE(marks.WordPairs().empty());
  const TLineAttr plain{clGray, clGray, FontStyle::None, clNone};
  const TLineAttr marked{clWhite, clHighlight, FontStyle::None, clBlack};
  const auto painted = [&](int line) {
    TLineAttrs attrs;
    attrs.fill(plain);
    marks.ApplyBracketMarks(line, attrs);
    return attrs;
  };
  for (int y : {0, 1}) {
    marks.UpdateBracketMarks(text, true, 1022 + y, y);
    ASSERT_TRUE(marks.PartnerMark().IsSet());
    const TLineAttrs attrs = painted(y);
    // Line 0 marks columns 1022 and 1023; on line 1 the partner at column 1024 is not drawn.
    EXPECT_EQ(attrs[1023], y == 0 ? marked : plain);
    EXPECT_EQ(attrs[1024], marked);
    EXPECT_EQ(attrs[1022], plain);
    EXPECT_EQ(painted(1 - y)[1024], plain);
  }
  marks.Color = clNone;  // keeps the background the line had
  EXPECT_EQ(painted(1)[1024], (TLineAttr{clWhite, clGray, FontStyle::None, clBlack}));
  marks.Active = false;
  EXPECT_EQ(painted(1)[1024], plain);
}

// The editor asks for marks only while its window is visible and takes input: a hidden
// or disabled editor shows none, and gets them back at the next caret move once it can.
TEST(BracketMarks, EditorMarksOnlyWhileVisibleAndEnabled) {
  HeadlessWindowHost host;
  THLEditor editor(&host);
  TBracketHighlighting look;
  look.Active = true;
  editor.SetBracketHighlighting(look);
  editor.Lines().SetTextStr("(a)\r\n");
  const auto marksAtStart = [&] {
    editor.SetCaret(1, 0);
    editor.SetCaret(0, 0);
    return editor.BracketHighlighting().PartnerMark().IsSet();
  };
  EXPECT_TRUE(marksAtStart());
  host.enabled = false;
  EXPECT_FALSE(marksAtStart());
  host.enabled = true;
  host.showing = false;
  EXPECT_FALSE(marksAtStart());
  host.showing = true;
  EXPECT_TRUE(marksAtStart());
  // The editor's line list moves the marks with the lines it inserts.
  editor.BeginUpdate();
  editor.Lines().Insert(0, "x");
  EXPECT_EQ(editor.BracketHighlighting().PartnerMark(), (TBracketMark{3, 1, 3, 1}));
  editor.EndUpdate();
}

}  // namespace
}  // namespace vantorel
