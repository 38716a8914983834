#include "editor/EditorStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <tuple>

#include "editor/KeyTable.h"
#include "editor/UndoBuffer.h"
#include "tests/support/EditorInternals.h"

#include "EditorFixture.h"
#include "TempFolder.h"
#include "headless/PosixFileSystem.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

class LoadText : public EditorFixture {
 protected:
  Lines Load(std::string bytes) {
    editor.Lines().SetTextStr(std::move(bytes));
    return AllLines();
  }
};

TEST_F(LoadText, LineBreaksOfEveryKind) {
  EXPECT_EQ(Load("a\r\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(Load("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(Load("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Load("a\rb"), (Lines{"a", "b"}));
  EXPECT_EQ(Load("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(Load("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(Load("\r\n"), (Lines{""}));
  EXPECT_EQ(Load("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Load(""), Lines{});
}

TEST_F(LoadText, NulBytesAreKeptAsCharacters) {
  const std::string text = Bytes("ab\0cd\r\nef\0\r\n\0");
  const Lines lines = Load(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string("ab\0cd", 5));
  EXPECT_EQ(lines[1], std::string("ef\0", 3));
  EXPECT_EQ(lines[2], std::string("\0", 1));
  EXPECT_EQ(editor.Lines().GetTextStr(), text + "\r\n");
}

TEST_F(LoadText, TabsBecomeBlanksOfTheFirstStop) {
  EXPECT_EQ(Load("\tx"), (Lines{"  x"}));
  EXPECT_EQ(Load("a\t\tb\r\n\t"), (Lines{"a    b", "  "}));
  editor.TabStops = "4";
  EXPECT_EQ(Load("\tx"), (Lines{"   x"}));
  editor.TabStops = "1";  // a stop at column 0 only: the grid beyond it is one column wide
  EXPECT_EQ(Load("a\tb"), (Lines{"a b"}));
}

TEST_F(LoadText, FewAndManyTabbedLinesExpandAlike) {
  // A text with a few tabbed lines expands them one by one, a mostly tabbed text as
  // a whole: both must give the same lines.
  EXPECT_EQ(Load("a\r\nb\r\nc\r\n\td\r\ne\r\nf"), (Lines{"a", "b", "c", "  d", "e", "f"}));
  EXPECT_EQ(Load("\ta\r\n\tb\r\nc"), (Lines{"  a", "  b", "c"}));
  EXPECT_EQ(editor.Lines().GetTextStr(), "  a\r\n  b\r\nc\r\n");
}

TEST_F(LoadText, ControlAndHighBytesAreCharactersAtEveryAlignment) {
  // The scan for breaks and tabs looks at several bytes at once; bytes just below,
  // between and above CR, LF and tab must stay characters wherever they fall.
  for (std::size_t lead = 0; lead < 17; ++lead) {
    const std::string prefix(lead, 'p');
    const Lines lines = Load(prefix + Bytes("\x0B\x0C\x08\x0E\xE0\xFF\x00" "a\tb\x01\r\n\x1F") + prefix);
    ASSERT_EQ(lines.size(), 2u) << lead;
    EXPECT_EQ(lines[0], prefix + Bytes("\x0B\x0C\x08\x0E\xE0\xFF\x00" "a  b\x01")) << lead;
    EXPECT_EQ(lines[1], "\x1F" + prefix) << lead;
  }
}

// A file read in pieces of a chosen size, as the system may hand a read over.
class PiecesFileSystem : public FileSystem {
 public:
  std::string bytes;
  std::size_t piece = 1;
  bool FileExists(const std::string&) override { return true; }
  FileBytes ReadInPieces(const std::string&, const ReadObserver& observer) override {
    return FileBytes::CopyOf(bytes, observer, piece);
  }
  std::optional<FileStamp> Stamp(const std::string&) override { return FileStamp{bytes.size(), 0}; }
  std::string FullPath(const std::string& path) override { return path; }
  OpenedFile CreateNew(const std::string&) override { return {{FileFault::Other, "read only"}, nullptr}; }
  OpenedFile OpenExistingTruncated(const std::string&) override { return {{FileFault::Other, "read only"}, nullptr}; }
  FileStatus Replace(const std::string&, const std::string&) override { return {FileFault::Other, "read only"}; }
  FileStatus Move(const std::string&, const std::string&) override { return {FileFault::Other, "read only"}; }
  FileStatus Remove(const std::string&) override { return {FileFault::Other, "read only"}; }
};

TEST_F(LoadText, AnyTextReadInPiecesOfAnySizeSplitsAsTheLineRuleSays) {
  // The load splits lines while the file is still being read, 64 bytes at a time, so
  // a CR LF, a tab run or a line may straddle a piece or a block anywhere.
  std::mt19937 random(7);
  const char kAlphabet[] = {'a', 'b', '\t', '\r', '\n', '\0', '\x0B', '\xE0'};
  PiecesFileSystem fs;
  for (int round = 0; round < 3000; ++round) {
    const std::size_t size = random() % (round % 10 == 0 ? 2000 : 200);
    fs.bytes.clear();
    for (std::size_t i = 0; i < size; ++i) fs.bytes += kAlphabet[random() % (round % 3 == 0 ? 5 : 8)];
    if (round % 100 == 1) {
      // A line long enough to be made the list's own as it loads, alone or among others.
      const std::size_t run = 65000 + random() % 2000;
      fs.bytes.insert(random() % (fs.bytes.size() + 1), std::string(run, kAlphabet[random() % 3]));
    }
    fs.piece = 1 + random() % 150;
    Lines expected;
    ForEachLine(fs.bytes, false, [&](std::string_view line) { expected.push_back(editor.Lines().ExpandTabs(line)); });
    editor.Lines().LoadFromFile(fs, "f.asm");
    ASSERT_EQ(AllLines(), expected) << "round " << round << ", piece " << fs.piece;
    ASSERT_EQ(Load(fs.bytes), expected) << "round " << round;
  }
}

// Where a text record says its text was, and the text: cut trailing blanks are kept
// as a count or as bytes, and compare by what they hold.
std::tuple<int, int, std::string> RecordedText(const TUndo& record) {
  if (const auto* trail = dynamic_cast<const TDeleteTrailUndo*>(&record)) {
    return {trail->X, trail->Y, std::string(std::string_view(trail->Text))};
  }
  const auto* text = dynamic_cast<const TInsertUndo*>(&record);
  if (text == nullptr) return {-1, -1, "not a text record"};
  return {text->X, text->Y, text->Text};
}

TEST(ReplaceInLine, EditsInPlaceAsTheWholeLineWouldBeStoredWithTheSameUndo) {
  // An edit in place must store and record exactly what storing the edited line whole
  // does: every line kind (loaded, chunked, owned, put with a tab, empty, long enough
  // that an edit near its start moves its head, long enough to be owned from the
  // load), padding past the end, trailing blanks
  // from the tail, the text or the head, and undo of it all.
  HeadlessWindowHost hostA;
  HeadlessWindowHost hostB;
  TEditor inPlace(&hostA);
  TEditor whole(&hostB);
  std::mt19937 random(11);
  const char kAlphabet[] = {'a', ' ', ' ', '\t', '\x01', 'b'};
  const auto piece = [&](std::size_t most) {
    std::string s(random() % (most + 1), 'a');
    for (char& c : s) c = kAlphabet[random() % std::size(kAlphabet)];
    return s;
  };
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const std::size_t longLine = round % 4 == 0 ? 70000 : 5000;
    // Line 4 is now and then a long run of tabs (a view of the shared blanks) or of
    // blanks before a short end: edits near its start cut off what follows them.
    const std::string runs[] = {piece(12), std::string(9000, '\t'), std::string(20000, ' ') + piece(3), piece(12)};
    for (int i = 0; i < 6; ++i) {
      text += (i == 3 ? std::string(longLine, 'x') + piece(12) : i == 4 ? runs[round % 4] : piece(12)) + "\r\n";
    }
    for (TEditor* e : {&inPlace, &whole}) {
      e->Lines().SetTextStr(text);
      e->Lines().Put(1, "p\tq  ");
      e->Lines().SetLineText(2, "owned line");
    }
    for (int step = 0; step < 12; ++step) {
      const int y = static_cast<int>(random() % 6);
      const int at = static_cast<int>(random() % (y == 3 ? longLine + 30 : 16));
      const std::size_t count = random() % 5;
      const std::string inserted = piece(y == 3 && random() % 8 == 0 ? 3000 : 4);
      inPlace.Lines().ReplaceInLine(y, at, count, inserted);
      std::string line(whole.Lines().View(y));
      if (line.size() < static_cast<std::size_t>(at)) line.resize(static_cast<std::size_t>(at), ' ');
      line.replace(static_cast<std::size_t>(at), count, inserted);
      whole.Lines().SetLineText(y, std::string_view(line));
      ASSERT_EQ(inPlace.Lines().GetTextStr(), whole.Lines().GetTextStr()) << "round " << round << " step " << step;
      const TUndoBuffer& a = Inside(inPlace).undo;
      const TUndoBuffer& b = Inside(whole).undo;
      ASSERT_EQ(a.Count(), b.Count());
      for (int i = 0; i < a.Count(); ++i) {
        ASSERT_EQ(a.Item(i).Class(), b.Item(i).Class());
        ASSERT_EQ(RecordedText(a.Item(i)), RecordedText(b.Item(i))) << "round " << round;
      }
    }
    while (Inside(inPlace).undo.CanUndo()) inPlace.RunCommand(ec::Undo);
    while (Inside(whole).undo.CanUndo()) whole.RunCommand(ec::Undo);
    ASSERT_EQ(inPlace.Lines().GetTextStr(), whole.Lines().GetTextStr()) << "round " << round;
  }
}

TEST_F(LoadText, LongAndManyTabbedLinesKeepTheirBytes) {
  // Enough tabbed lines to fill several shared blocks, and tabbed lines too long for
  // one, between lines that stay views of the loaded text.
  std::string text;
  Lines expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string body(static_cast<std::size_t>(i % 50 == 0 ? 17000 + i : 100 + i % 300),
                           static_cast<char>('a' + i % 26));
    if (i % 2 == 0) {
      text += body + "\t" + std::to_string(i) + "\r\n";
      expected.push_back(body + "  " + std::to_string(i));
    } else {
      text += body + "\n";
      expected.push_back(body);
    }
  }
  EXPECT_EQ(Load(text), expected);
  std::string saved;
  for (const std::string& line : expected) saved += line + "\r\n";
  EXPECT_EQ(editor.Lines().GetTextStr(), saved);
}

TEST_F(LoadText, EditedLinesStayApartFromTheLoadedOnes) {
  // Lines of every kind are edited, deleted and inserted in turn, checked against a
  // plain list after each step; edited lines reuse the room of deleted ones.
  Lines model = Load("one\r\n\ttwo\r\nthree\r\n\tfour\r\nfive");
  auto check = [&](const char* step) { EXPECT_EQ(AllLines(), model) << step; };
  editor.Lines().SetLineText(0, "ONE");
  model[0] = "ONE";
  check("edit a loaded line");
  editor.Lines().SetLineText(1, "TWO\t");
  model[1] = "TWO";
  check("edit an expanded line");
  editor.Lines().Delete(0);
  model.erase(model.begin());
  check("delete an edited line");
  editor.Lines().Insert(1, "new");
  model.insert(model.begin() + 1, "new");
  editor.Lines().Put(3, "");
  model[3] = "";
  check("insert, then empty an expanded line");
  editor.Lines().SetLineText(0, std::string(editor.Lines().View(0)) + "!");
  model[0] = "TWO!";
  editor.Lines().InsertText(2, 2, "x\r\ny");
  model[2] = "thx";
  model.insert(model.begin() + 3, "yree");
  check("edit again and split a loaded line");
  editor.Lines().DeleteText(0, 0, 1, 5);
  model = {"ve"};
  check("join across every kind");
}

TEST_F(LoadText, LeavesModifiedAloneAndClearsUndo) {
  editor.Modified = true;
  Inside(editor).undo.Record<TCaretUndo>(1, 1);
  Load("x\r\ny");
  EXPECT_TRUE(editor.Modified);
  EXPECT_EQ(changeEvents, 0);
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
  EXPECT_EQ(editor.textAllChanged, 2);  // the list's notification, then the final step
  ASSERT_FALSE(editor.modifications.empty());
  EXPECT_EQ(editor.modifications.back().action, 0);
}

TEST_F(LoadText, UnderAnUpdateLockUndoIsKept) {
  Inside(editor).undo.Record<TCaretUndo>(1, 1);
  editor.BeginUpdate();
  Load("x");
  EXPECT_TRUE(Inside(editor).undo.CanUndo());
  editor.EndUpdate();
}

TEST_F(EditorFixture, GetTextStrEndsEveryLine) {
  SetLines({"a", "b"});
  EXPECT_EQ(editor.Lines().GetTextStr(), "a\r\nb\r\n");
  SetLines({});
  EXPECT_EQ(editor.Lines().GetTextStr(), "");
}

TEST_F(EditorFixture, PutTrimsTrailingBlanksWithAnUndoItem) {
  SetLines({"x"});
  editor.Lines().Put(0, "ab  ");
  EXPECT_EQ(editor.Lines().Get(0), "ab");
  ASSERT_EQ(Inside(editor).undo.Count(), 1);
  const auto& item = static_cast<const TDeleteTrailUndo&>(Inside(editor).undo.Item(0));
  EXPECT_EQ(item.Class(), UndoClass::DeleteTrail);
  EXPECT_TRUE(item.IsTransparent());
  EXPECT_EQ(std::string_view(item.Text), "  ");
  EXPECT_EQ(item.X, 4);
  EXPECT_EQ(item.Y, 0);
}

TEST_F(EditorFixture, PutKeepsTabsAndControlCharactersCountAsBlanks) {
  SetLines({"x"});
  editor.Lines().Put(0, "a\tb\x01\t");
  EXPECT_EQ(editor.Lines().Get(0), "a\tb");
  // Bytes above 127 are characters, not blanks.
  editor.Lines().Put(0, "a\xE0");
  EXPECT_EQ(editor.Lines().Get(0), "a\xE0");
}

TEST_F(EditorFixture, PutWithKeepTrailingBlanksStoresAll) {
  SetLines({"x"});
  editor.KeepTrailingBlanks = true;
  editor.Lines().Put(0, "ab  ");
  EXPECT_EQ(editor.Lines().Get(0), "ab  ");
  EXPECT_EQ(Inside(editor).undo.Count(), 0);
}

TEST_F(EditorFixture, AddKeepsBlanksUntilTheLineIsEdited) {
  SetLines({});
  editor.Lines().Add("ab  ");
  EXPECT_EQ(editor.Lines().Get(0), "ab  ");
  editor.Lines().SetLineText(0, "ab  ");
  EXPECT_EQ(editor.Lines().Get(0), "ab");
  // What an edit cuts off is kept for undo, as a transparent record of its own.
  ASSERT_EQ(Inside(editor).undo.Count(), 1);
  EXPECT_EQ(Inside(editor).undo.Item(0).Class(), UndoClass::DeleteTrail);
  Inside(editor).undo.Undo(editor.Lines());
  EXPECT_EQ(editor.Lines().Get(0), "ab  ");
}

TEST_F(EditorFixture, EachAddOrClearRunsTextAllChangedOnce) {
  SetLines({});
  editor.Lines().Add("a");
  EXPECT_EQ(editor.textAllChanged, 1);
  editor.Lines().Insert(0, "b");
  EXPECT_EQ(editor.textAllChanged, 2);
  editor.Lines().Clear();
  EXPECT_EQ(editor.textAllChanged, 3);
  EXPECT_EQ(changeEvents, 0);
  EXPECT_FALSE(editor.Modified);
}

TEST_F(EditorFixture, ListChangesUnderAnUpdateLockNotifyNothing) {
  SetLines({});
  editor.BeginUpdate();
  editor.Lines().Add("a");
  editor.Lines().Add("b");
  EXPECT_EQ(editor.textAllChanged, 0);
  editor.EndUpdate();
  EXPECT_EQ(editor.textAllChanged, 0);
  EXPECT_GT(host.invalidations, 0);
}

// An editor whose whole-text notification fails on request.
class FailingNotificationEditor : public TEditor {
 public:
  using TEditor::TEditor;
  void TextAllChanged() override {
    if (failing) throw Exception("notification failed");
    TEditor::TextAllChanged();
  }
  bool failing = false;
};

struct ReportCounter : LineWatcher {
  void LinesChanged(const LineChange&) noexcept override { ++calls; }
  int calls = 0;
};

// A run of changes merged into one: the text outside the merged lines is the same
// before the run and after it, and the merged counts match the line counts.
TEST(EditorStringsReports, MergedChangesCoverEveryLineTheRunChanged) {
  std::mt19937 rng(29);
  const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, std::max(n, 0))(rng); };
  for (int round = 0; round < 2000; ++round) {
    std::vector<int> text(static_cast<std::size_t>(pick(12)));
    std::iota(text.begin(), text.end(), 0);
    const std::vector<int> before = text;
    int fresh = 1000;
    LineChange merged;
    const int steps = 1 + pick(5);
    for (int i = 0; i < steps; ++i) {
      const int count = static_cast<int>(text.size());
      LineChange c;
      c.first = pick(count);
      c.removed = pick(count - c.first);
      c.added = pick(3);
      text.erase(text.begin() + c.first, text.begin() + c.first + c.removed);
      for (int k = 0; k < c.added; ++k) text.insert(text.begin() + c.first, fresh++);
      merged = i == 0 ? c : MergeChanges(merged, c);
    }
    const auto show = [&] { return "round " + std::to_string(round); };
    ASSERT_GE(merged.first, 0) << show();
    ASSERT_LE(merged.first + merged.removed, static_cast<int>(before.size())) << show();
    ASSERT_EQ(static_cast<int>(before.size()) - merged.removed + merged.added, static_cast<int>(text.size())) << show();
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + merged.first, text.begin())) << show();
    EXPECT_TRUE(std::equal(before.begin() + merged.first + merged.removed, before.end(),
                           text.begin() + merged.first + merged.added, text.end()))
        << show();
  }
}

TEST(EditorStringsReports, FailuresInATextOperationReachTheCallerAndReleaseTheLocks) {
  HeadlessWindowHost host;
  FailingNotificationEditor editor(&host);
  editor.Lines().Assign(Lines{"abc"});
  ReportCounter reports;
  editor.Lines().AddWatcher(reports);
  // The editor's reaction at the end of the list's update fails: the error is not
  // swallowed, the text is changed, the watchers heard of it and every lock is down.
  editor.failing = true;
  {
    TEditorStrings::UpdateScope update(editor.Lines());
    editor.Lines().Add("1");
    editor.Lines().Add("2");
    EXPECT_THROW(update.End(), Exception);
  }
  EXPECT_EQ(editor.Lines().GetTextStr(), "abc\r\n1\r\n2\r\n");
  EXPECT_EQ(editor.UpdateLock(), 0);
  EXPECT_EQ(reports.calls, 1);
  // The list's update is closed too: the next change reports at once.
  editor.failing = false;
  editor.Lines().Add("d");
  EXPECT_EQ(reports.calls, 2);

  // A failure half-way through (the tab stops of the first piece): nothing is told
  // while the error goes by, and the list's update is closed all the same.
  editor.TabStops = "x";
  EXPECT_THROW(editor.Lines().InsertText(0, 0, "\ta\r\nb"), Exception);
  EXPECT_EQ(reports.calls, 2);
  EXPECT_EQ(editor.UpdateLock(), 0);
  editor.Lines().Add("e");
  EXPECT_EQ(reports.calls, 3);
}

TEST(EditorUpdate, AFailureWhileTheEditorIsUpdatingLeavesItsLockDown) {
  HeadlessWindowHost host;
  FailingNotificationEditor editor(&host);
  editor.Lines().Assign(Lines{"old"});
  // Inside the update: the whole-text notification fails.
  editor.failing = true;
  EXPECT_THROW(editor.Lines().Assign(Lines{"new"}), Exception);
  EXPECT_EQ(editor.Lines().GetTextStr(), "new\r\n");
  EXPECT_EQ(editor.UpdateLock(), 0);
  // At its end: the status handler run by the repaint fails.
  editor.failing = false;
  editor.OnChangeStatus = [] { throw Exception("status failed"); };
  EXPECT_THROW(editor.Lines().AddStrings(Lines{"more"}), Exception);
  EXPECT_EQ(editor.Lines().GetTextStr(), "new\r\nmore\r\n");
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, IndexOutOfRangeIsAListError) {
  SetLines({"a"});
  try {
    editor.Lines().Get(1);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(editor.Lines().Put(-1, "x"), EListError);
  EXPECT_THROW(editor.Lines().Delete(5), EListError);
  EXPECT_THROW(editor.Lines().Insert(2, "x"), EListError);
  editor.Lines().Insert(1, "b");  // inserting at Count appends
  EXPECT_EQ(AllLines(), (Lines{"a", "b"}));
}

TEST_F(EditorFixture, AssignReplacesTextExpandsTabsAndClearsUndo) {
  SetLines({"old"});
  Inside(editor).undo.Record<TCaretUndo>(0, 0);
  editor.Lines().Assign(Lines{"a\tb", "c"});
  EXPECT_EQ(AllLines(), (Lines{"a  b", "c"}));
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
  EXPECT_EQ(editor.UpdateLock(), 0);
  // A list assigned to itself keeps its lines.
  editor.Lines().Assign(editor.Lines());
  EXPECT_EQ(AllLines(), (Lines{"a  b", "c"}));
}

TEST_F(EditorFixture, AddStringsAppendsAndClearsUndo) {
  SetLines({"a"});
  Inside(editor).undo.Record<TCaretUndo>(0, 0);
  editor.Lines().AddStrings(Lines{"b", "\tc"});
  EXPECT_EQ(AllLines(), (Lines{"a", "b", "  c"}));
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, InsertTextPadsAndSplits) {
  SetLines({"ab"});
  editor.Lines().InsertText(5, 0, "x");
  EXPECT_EQ(AllLines(), (Lines{"ab   x"}));

  SetLines({"abc"});
  editor.Lines().InsertText(1, 0, "1\r\n2");
  EXPECT_EQ(AllLines(), (Lines{"a1", "2bc"}));

  SetLines({"abc"});
  editor.Lines().InsertText(3, 0, "\r\n");
  EXPECT_EQ(AllLines(), (Lines{"abc", ""}));

  SetLines({"abc"});
  editor.Lines().InsertText(1, 0, "x\ny\rz\r\n");
  EXPECT_EQ(AllLines(), (Lines{"ax", "y", "z", "bc"}));
}

TEST_F(EditorFixture, InsertTextCreatesMissingLinesAndTakesNegativeYAsZero) {
  SetLines({"a"});
  editor.Lines().InsertText(1, 3, "z");
  EXPECT_EQ(AllLines(), (Lines{"a", "", "", " z"}));
  editor.Lines().InsertText(0, -4, "q");
  EXPECT_EQ(editor.Lines().Get(0), "qa");
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, InsertTextOfAnEmptyTextTrimsTheLine) {
  SetLines({"ab  "});
  editor.Lines().InsertText(1, 0, "");
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
}

TEST_F(EditorFixture, InsertTextOfAViewOfItsOwnLine) {
  SetLines({"abc"});
  editor.Lines().InsertText(1, 0, editor.Lines().View(0));
  EXPECT_EQ(AllLines(), (Lines{"aabcbc"}));
}

TEST_F(EditorFixture, DeleteTextJoinsLines) {
  SetLines({"abc", "def"});
  editor.Lines().DeleteText(1, 0, 0, 1);
  EXPECT_EQ(AllLines(), (Lines{"aef"}));

  SetLines({"abc", "def", "ghi"});
  editor.Lines().DeleteText(1, 0, 1, 0);
  EXPECT_EQ(AllLines(), (Lines{"ac", "def", "ghi"}));

  SetLines({"abc", "def", "ghi"});
  editor.Lines().DeleteText(3, 0, -1, 1);  // the line break after "abc"
  EXPECT_EQ(AllLines(), (Lines{"abcdef", "ghi"}));
}

TEST_F(EditorFixture, DeleteTextClampsItsRange) {
  SetLines({"abc", "def"});
  editor.Lines().DeleteText(1, 0, 0, 9);  // past the end: to the end of the text
  EXPECT_EQ(AllLines(), (Lines{"a"}));

  SetLines({"abc"});
  editor.Lines().DeleteText(5, -1, 1, 0);  // a negative line starts at the top
  EXPECT_EQ(AllLines(), (Lines{"c"}));

  SetLines({"abc"});
  editor.Lines().DeleteText(0, 1, 0, 1);  // below the text: nothing
  EXPECT_EQ(AllLines(), (Lines{"abc"}));

  SetLines({"ab"});
  editor.Lines().DeleteText(4, 0, 6, 0);  // past the line end pads, then trims
  EXPECT_EQ(AllLines(), (Lines{"ab"}));
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, ColumnTextGoesIntoEachLine) {
  SetLines({"a", "bcd"});
  editor.Lines().InsertColumnText(2, 0, "X\r\nY");
  EXPECT_EQ(AllLines(), (Lines{"a X", "bcYd"}));

  SetLines({"a"});
  editor.Lines().InsertColumnText(1, 0, "1\r\n2\r\n");
  EXPECT_EQ(AllLines(), (Lines{"a1", " 2"}));

  SetLines({"abcd", "ef"});
  editor.Lines().DeleteColumnText(1, 0, 2, 1);
  EXPECT_EQ(AllLines(), (Lines{"ad", "e"}));

  SetLines({"abcd", "efgh"});
  editor.Lines().DeleteColumnText(2, 0, 2, 7);  // past the last line: to each line's end
  EXPECT_EQ(AllLines(), (Lines{"ab", "ef"}));
}

TEST_F(EditorFixture, ReLineAppendsLinesAndPadsTheCaretLine) {
  SetLines({"ab"});
  Inside(editor).caret.MoveTo(4, 2);
  editor.Lines().ReLine();
  EXPECT_EQ(AllLines(), (Lines{"ab", "", "    "}));
  // Two appended lines and the padding, each taken back with the step next to them.
  ASSERT_EQ(Inside(editor).undo.Count(), 3);
  EXPECT_EQ(Inside(editor).undo.Item(2).Class(), UndoClass::ReLinePad);
  EXPECT_TRUE(Inside(editor).undo.Item(2).IsTransparent());
  const auto& first = static_cast<const TReLineUndo&>(Inside(editor).undo.Item(0));
  const auto& second = static_cast<const TReLineUndo&>(Inside(editor).undo.Item(1));
  EXPECT_EQ(first.Text, "\r\n");
  EXPECT_EQ(first.X, 2);
  EXPECT_EQ(second.X, 0);
  EXPECT_EQ(first.Y, 2);
  EXPECT_TRUE(first.IsTransparent());
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, ReLineOnAnExistingLongLineChangesNothing) {
  SetLines({"abcdef"});
  Inside(editor).caret.MoveTo(3, 0);
  editor.Lines().ReLine();
  EXPECT_EQ(AllLines(), (Lines{"abcdef"}));
  EXPECT_EQ(Inside(editor).undo.Count(), 0);
}

TEST_F(EditorFixture, TextLengthAndMessageAnswers) {
  SetLines({"ab", "c"});
  EXPECT_EQ(editor.GetTextLength(), 5);
  EXPECT_EQ(editor.TextLengthForMessage(), 5);
  char buffer[16];
  EXPECT_EQ(editor.CopyTextForMessage(buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "ab\r\nc\r\n");
  // A short buffer gets as much as fits and always a NUL.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(editor.CopyTextForMessage(small, 4), 3);
  EXPECT_STREQ(small, "ab\r");
  EXPECT_EQ(editor.CopyTextForMessage(nullptr, 10), 0);
  EXPECT_EQ(editor.CopyTextForMessage(small, 0), 0);
  SetLines({});
  EXPECT_EQ(editor.GetTextLength(), 0);
  EXPECT_EQ(editor.CopyTextForMessage(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
}

TEST_F(EditorFixture, GetLineTextOutsideTheText) {
  SetLines({"a"});
  std::string s = "junk";
  EXPECT_FALSE(editor.GetLineText(1, s));
  EXPECT_EQ(s, "");
  EXPECT_FALSE(editor.GetLineText(-1, s));
  EXPECT_TRUE(editor.GetLineText(0, s));
  EXPECT_EQ(s, "a");
}

class FileRoundTrip : public EditorFixture {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) { return folder.Write(name, bytes); }
  static std::string Read(const std::string& path) { return TempFolder::Read(path); }
  TempFolder folder;
  const std::filesystem::path& dir = folder.Path();
  PosixFileSystem fs;
};

TEST_F(FileRoundTrip, SavingWritesCrLfAfterEveryLineAndKeepsEveryByte) {
  const std::string original = Bytes("mov eax, 1\n\tret\r\nx\0y\xAB\r");
  const std::string path = Write("a.asm", original);
  editor.Lines().LoadFromFile(fs, path);
  editor.Lines().SaveToFile(fs, path);
  EXPECT_EQ(Read(path), Bytes("mov eax, 1\r\n  ret\r\nx\0y\xAB\r\n"));
}

TEST_F(FileRoundTrip, MissingFileFailsWithoutTouchingTheText) {
  SetLines({"keep"});
  try {
    editor.Lines().LoadFromFile(fs, (dir / "none.asm").string());
    FAIL() << "no error";
  } catch (const EFileError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Cannot open file \"" + (dir / "none.asm").string() + "\". ", 0), 0u) << message;
  }
  EXPECT_EQ(AllLines(), (Lines{"keep"}));
}

TEST_F(FileRoundTrip, SaveIntoAMissingFolderFailsAndWritesNothing) {
  SetLines({"a"});
  const std::string path = (dir / "no" / "x.asm").string();
  EXPECT_THROW(editor.Lines().SaveToFile(fs, path), EFileError);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST_F(FileRoundTrip, SaveLeavesNoTemporaryFileBehind) {
  const std::string path = Write("b.asm", "old");
  SetLines({"new"});
  editor.Lines().SaveToFile(fs, path);
  EXPECT_EQ(Read(path), "new\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

}  // namespace
}  // namespace vantorel
