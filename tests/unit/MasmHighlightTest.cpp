// The assembler's colouring rules beside the Java ones: the word tables as compiled in,
// the colouring after random edits against the edited text loaded anew (COMMENT blocks
// carried over lines included), the scanner's tokens over random assembler text, the
// switch between the rules, and the View menu's choice with its stored value.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "MainFormFixture.h"
#include "editor/KeyTable.h"
#include "highlight/Rules.h"
#include "tests/support/HighlightCheck.h"
#include "tests/unit/HighlightFixture.h"

namespace vantorel {
namespace {

std::string Folded(std::string_view word) {
  std::string out(word);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return out;
}

// No word is in two lists (nor twice in one): its colour would depend on the lists'
// order. Every word is found in the compiled table with its list's class.
TEST(MasmWordTables, EveryWordIsListedOnceAndFoundWithItsClass) {
  std::map<std::string, std::string> seen;  // folded word -> its list
  const HighlightRules& rules = MasmRules();
  for (const WordList& list : MasmWordLists()) {
    int count = 0;
    ForEachWord(list.words, [&](std::string_view word) {
      ++count;
      const auto [at, added] = seen.emplace(Folded(word), list.name);
      EXPECT_TRUE(added) << "\"" << word << "\" is in " << at->second << " and " << list.name;
      const std::uint8_t* value = rules.words.Find(word);
      ASSERT_NE(value, nullptr) << word;
      EXPECT_EQ(static_cast<TokenClass>(*value & kClassBits), list.cls) << word;
      // Found whatever the case of its letters.
      EXPECT_EQ(rules.words.Find(Folded(word)), value) << word;
    });
    EXPECT_GT(count, 0) << list.name;
  }
  // The flagged words come from lists of their own, each word also in its class's list.
  const auto listNamed = [](std::string_view name) {
    for (const WordList& list : MasmWordLists()) {
      if (list.name == name) return list.words;
    }
    return std::string_view();
  };
  const struct {
    std::string_view words;
    std::string_view list;
    std::uint8_t flag;
  } flagged[] = {
      {MasmDeclarers(), "directives", kDeclaresName},
      {ScanTableOf(TScanStyle::Masm).dataWords, "directives", kNamesData},
      {MasmOperatorInstructions(), "instructions", kOperatorInOperand},
      {listNamed("predefined symbols"), "predefined symbols", kNoLabel},
  };
  for (const auto& f : flagged) {
    ForEachWord(f.words, [&](std::string_view word) {
      const auto at = seen.find(Folded(word));
      ASSERT_NE(at, seen.end()) << "the flagged \"" << word << "\" is in no list";
      EXPECT_EQ(at->second, f.list) << word;
      EXPECT_EQ(*rules.words.Find(word) & ~kClassBits, f.flag) << word;
    });
  }
  EXPECT_EQ(rules.words.Find("MOV2"), nullptr);
  EXPECT_EQ(rules.words.Find(""), nullptr);
}

// Random typing, pieces that open and close COMMENT blocks, text literals and
// conditions, line breaks, deletions and undo: the lines are then coloured as the same
// text loaded anew colours them, and the kept line states equal a rescan.
TEST(MasmHighlight, RandomEditsColourLikeTheEditedTextLoadedAnew) {
  static constexpr std::string_view kPieces[] = {"COMMENT ! ", "!", "comment ~", "~", ";", "<", ">", "\"", "'",
                                                 ".if ", " ", "a", "1", ":", "\r", "\r\r", "include "};
  std::vector<fs::path> sources = GoldenSources("masm-rules-");
  ASSERT_GE(sources.size(), 4u);
  ExpectRandomEditsColourLikeTheTextLoadedAnew(sources, kPieces, [](const fs::path&) { return THighlighter::hlMasm; }, 20);
}

// Over random assembler lines: tokens come in order, what lies between them is blanks
// (the tab among them), each token's text is exactly its slice of the line, its kind
// fits its first character, and the last call gives the end. The text sits in a buffer
// of exactly its size, so a read past its NUL is caught.
TEST(MasmHighlight, TokensTileTheLineOverRandomAssemblerText) {
  static constexpr std::string_view kAlphabet = "aH_@$?09.eE+-'\"!<>;: \t[]()\xE0\xFF";
  static constexpr std::string_view kWords[] = {"comment ", "COMMENT ", ".if ", "include ", ".data?", "1.5e",
                                                "rc RECT ", " dd ", "x equ "};
  std::mt19937 rng(42);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    const int length = std::uniform_int_distribution<int>(0, 24)(rng);
    while (static_cast<int>(line.size()) < length) {
      if (std::uniform_int_distribution<int>(0, 5)(rng) == 0) {
        line += kWords[std::uniform_int_distribution<std::size_t>(0, std::size(kWords) - 1)(rng)];
      } else {
        line += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(rng)];
      }
    }
    std::unique_ptr<char[]> buffer(new char[line.size() + 1]);
    std::copy(line.begin(), line.end(), buffer.get());
    buffer[line.size()] = '\0';
    TIParser parser;
    parser.ScanStyle = TScanStyle::Masm;
    parser.KeepComments = true;
    parser.SetText(buffer.get());
    std::size_t pos = 0;
    for (int guard = 0;; ++guard) {
      ASSERT_LT(guard, 100) << line;
      const std::string token = parser.NextToken();
      const auto start = static_cast<std::size_t>(parser.TokenStart(0));
      const auto end = static_cast<std::size_t>(parser.TokenEnd(0));
      ASSERT_LE(pos, start) << line;
      ASSERT_EQ(line.find_first_not_of(" \t", pos) == std::string::npos ? line.size() : line.find_first_not_of(" \t", pos),
                start)
          << line;
      if (token.empty()) {
        ASSERT_EQ(parser.Kind(0), TokenKind::End) << line;
        ASSERT_EQ(start, line.size()) << line;
        break;
      }
      ASSERT_EQ(token, line.substr(start, end - start)) << line;
      switch (parser.Kind(0)) {
        case TokenKind::String: ASSERT_TRUE(token[0] == '\'' || token[0] == '"') << line; break;
        case TokenKind::Text: ASSERT_EQ(token[0], '<') << line; break;
        case TokenKind::Number: ASSERT_TRUE(token[0] >= '0' && token[0] <= '9') << line; break;
        case TokenKind::Comment:  // a line comment, or a COMMENT directive as the line's first word
          ASSERT_TRUE(token[0] == ';' || line.find_first_not_of(" \t") == start) << line;
          break;
        case TokenKind::Other: ASSERT_EQ(token.size(), 1u) << line; break;
        default: break;
      }
      pos = end;
    }
  }
}

// Where "<" opens a text literal and where it brackets a data definition's initialiser
// (or compares, in a condition): the kind of the first token that starts with "<".
TEST(MasmHighlight, AngleBracketsAreTextExceptInDataDefinitionsAndConditions) {
  const struct {
    const char* line;
    TokenKind kind;
  } cases[] = {
      {"MessageBox equ <MessageBoxA>", TokenKind::Text},
      {"ONE TEXTEQU <1>", TokenKind::Text},
      {"both CatStr <a>, <b>", TokenKind::Text},
      {"option nokeyword:<c>", TokenKind::Text},
      {"FOR arg, <1, 2>", TokenKind::Text},
      {"zero eax, <1, 2>", TokenKind::Text},  // a macro's arguments
      {"P proc <loadds>", TokenKind::Text},    // the prologue's arguments
      {"echo the end <1>", TokenKind::Text},
      {"lbl: rc RECT <1>", TokenKind::Text},   // after a label, left as text
      {"RECT <1, 2, 3, 4>", TokenKind::Text},  // a lone type reads as a macro call
      {"rc RECT <0, 0, 100, 100>", TokenKind::Other},
      {"wc\tWNDCLASSEX <>", TokenKind::Other},
      {"pts POINT 8 DUP (<>)", TokenKind::Other},
      {"pts POINT count dup (<>)", TokenKind::Other},
      {"msg db <Hi>, 0", TokenKind::Other},
      {"  DWORD 1, <2>", TokenKind::Other},
      {"x sdword <<1>, 2>", TokenKind::Other},
      {".if eax < 5", TokenKind::Other},
      {".while a <= <1>", TokenKind::Other},
  };
  for (const auto& c : cases) {
    TIParser parser;
    parser.ScanStyle = TScanStyle::Masm;
    parser.SetText(c.line);
    TokenKind kind = TokenKind::End;
    for (int guard = 0; guard < 40 && kind == TokenKind::End; ++guard) {
      const std::string& token = parser.NextToken();
      if (token.empty()) break;
      if (token[0] == '<') kind = parser.Kind(0);
    }
    EXPECT_EQ(kind, c.kind) << c.line;
  }
}

// Switching the rules recolours every line and recomputes the states from the top,
// also below the window an edit would rescan.
TEST(MasmHighlight, SwitchingTheRulesColoursAsAFreshEditorWithThem) {
  std::string text = "/* java opener\r\n";
  for (int i = 0; i < kRescanWindow + 100; ++i) text += i % 1000 == 0 ? "COMMENT ! x\r\nmov eax, 1 !\r\n" : "mov ax, 0ah ; c\r\n";
  text += "*/ int x; // tail\r\nCOMMENT ~ open to the end\r\nmov\r\n";
  for (const THighlighter first : {THighlighter::hlJava, THighlighter::hlMasm}) {
    Painted p(first);
    p.editor.Lines().SetTextStr(text);
    const int invalidations = p.host.invalidations;
    const THighlighter second = first == THighlighter::hlJava ? THighlighter::hlMasm : THighlighter::hlJava;
    p.editor.SetHighlighter(second);
    EXPECT_GT(p.host.invalidations, invalidations);
    EXPECT_EQ(LongStatesProblem(p.editor), "");
    Painted fresh(second);
    fresh.editor.Lines().SetTextStr(text);
    ASSERT_EQ(p.AllClasses(), fresh.AllClasses());
  }
  Painted masm(THighlighter::hlMasm);
  masm.editor.Lines().SetTextStr(text);
  const int last = masm.editor.LineCount() - 1;
  EXPECT_EQ(masm.Classes(last - 2), "yy.RRR.iccccccccc");  // "*/ int x; // tail": int is an instruction
  EXPECT_EQ(masm.Classes(last), "ccc");                     // still inside the ~ block
}

// --- the View menu's choice and its stored value ---

class HighlighterChoiceTest : public MainFormTest {
 protected:
  std::optional<RegistryValue> Stored() { return registry.Get(RegistryRoot::LocalMachine, kKey, "HIGHLIGHTER"); }
  MenuItemId Marked() {
    const auto at = window.radioChoices.find({MenuItemId::N_hljava, MenuItemId::N_hlmasm});
    return at == window.radioChoices.end() ? MenuItemId::None : at->second;
  }
};

TEST_F(HighlighterChoiceTest, TheStoredChoiceIsAppliedAtStartAndAnyOtherValueMeansJava) {
  const struct {
    const char* what;
    std::optional<RegistryValue> stored;
    THighlighter expected;
  } cases[] = {
      {"missing", std::nullopt, THighlighter::hlJava},
      {"1", IntegerValue(1), THighlighter::hlMasm},
      {"0", IntegerValue(0), THighlighter::hlJava},
      {"2", IntegerValue(2), THighlighter::hlJava},
      {"-1", IntegerValue(-1), THighlighter::hlJava},
      {"a string", StringValue("1"), THighlighter::hlJava},
  };
  for (const auto& c : cases) {
    MemoryRegistry store;
    if (c.stored) store.Put(RegistryRoot::LocalMachine, kKey, "HIGHLIGHTER", *c.stored);
    HeadlessWindowHost host;
    THLEditor editor(&host);
    HeadlessMainWindow shown;
    TFmain started(shown, editor, store, fs, dialogs, processes, codePages, shell);
    started.FormCreate();
    EXPECT_EQ(editor.Highlighter(), c.expected) << c.what;
    const MenuItemId marked = shown.radioChoices[std::pair{MenuItemId::N_hljava, MenuItemId::N_hlmasm}];
    EXPECT_EQ(marked, c.expected == THighlighter::hlMasm ? MenuItemId::N_hlmasm : MenuItemId::N_hljava) << c.what;
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

// A string stored with another type stops the reads after it with a message; the
// choice, read before the strings, is applied all the same.
TEST_F(HighlighterChoiceTest, TheChoiceHoldsWhenALaterValueFails) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "HIGHLIGHTER", IntegerValue(1));
  registry.Put(RegistryRoot::LocalMachine, kKey, "MASM_PATH", IntegerValue(5));
  EXPECT_ANY_THROW(form.FormCreate());
  EXPECT_EQ(memo.Highlighter(), THighlighter::hlMasm);
  EXPECT_EQ(Marked(), MenuItemId::N_hlmasm);
}

TEST_F(HighlighterChoiceTest, TheMenuRecoloursAtOnceAndTheChoiceIsStoredAtClose) {
  form.FormCreate();
  EXPECT_EQ(Marked(), MenuItemId::N_hljava);
  memo.SetColors(DistinctColors());
  memo.Lines().SetTextStr("mov eax, 0FFh ; c\r\n");
  Painted expected(THighlighter::hlJava);
  expected.editor.Lines().SetTextStr("mov eax, 0FFh ; c\r\n");
  const auto classes = [this] {
    memo.GetLineAttr(0, 0, MaxLineColumns);
    std::string out;
    for (int k = 1; k <= memo.LineLength(0); ++k) out += ClassLetter(memo.LineAttrs()[static_cast<std::size_t>(k)]);
    return out;
  };
  EXPECT_EQ(classes(), expected.Classes(0));

  const int invalidations = memoHost.invalidations;
  form.Run(Handler::N_hlmasmClick);
  EXPECT_GT(memoHost.invalidations, invalidations);
  EXPECT_EQ(Marked(), MenuItemId::N_hlmasm);
  EXPECT_EQ(classes(), "RRR.PPPy.nnnn.ccc");
  form.FormClose();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Stored()->type, RegistryType::Integer);
  EXPECT_EQ(Stored()->integer, 1);

  form.Run(Handler::N_hljavaClick);
  EXPECT_EQ(Marked(), MenuItemId::N_hljava);
  EXPECT_EQ(classes(), expected.Classes(0));
  form.FormClose();
  EXPECT_EQ(Stored()->integer, 0);
}

}  // namespace
}  // namespace vantorel
