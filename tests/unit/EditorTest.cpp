#include "editor/Editor.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "EditorFixture.h"
#include "headless/RecordingSurface.h"
#include "platform/Errors.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

TEST_F(EditorFixture, EndUpdateWithoutBeginIsAnAssertion) {
  try {
    editor.EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
  EXPECT_EQ(editor.UpdateLock(), 0);
}

TEST_F(EditorFixture, OnlyTheOutermostEndUpdateRepaintsAndReportsStatus) {
  int status = 0;
  editor.OnChangeStatus = [&] { ++status; };
  host.invalidations = 0;
  editor.BeginUpdate();
  editor.BeginUpdate();
  editor.EndUpdate();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(host.invalidations, 0);
  editor.EndUpdate();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(host.invalidations, 1);
  EXPECT_TRUE(Inside(editor).view.FullRepaintPending);
}

TEST_F(EditorFixture, ChangedSetsModifiedRaisesOnChangeThenStatus) {
  std::vector<std::string> order;
  editor.OnChange = [&] { order.push_back("change"); };
  editor.OnChangeStatus = [&] { order.push_back("status"); };
  editor.Changed();
  EXPECT_TRUE(editor.Modified);
  EXPECT_EQ(order, (std::vector<std::string>{"change", "status"}));
}

TEST_F(EditorFixture, ScrollBarAndBorderChangesRecreateTheWindow) {
  EXPECT_EQ(editor.ScrollBars(), TScrollStyle::ssBoth);
  editor.SetScrollBars(TScrollStyle::ssBoth);
  EXPECT_EQ(host.recreations, 0);
  editor.SetScrollBars(TScrollStyle::ssVertical);
  editor.SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(host.recreations, 2);
  host.hasWindow = false;
  editor.SetScrollBars(TScrollStyle::ssNone);
  EXPECT_EQ(host.recreations, 2);
  EXPECT_EQ(editor.ScrollBars(), TScrollStyle::ssNone);
}

TEST_F(EditorFixture, ModeChangesReportStatusAndReadOnlyMarksTheWindow) {
  int status = 0;
  editor.OnChangeStatus = [&] { ++status; };
  editor.SetInsertMode(false);
  editor.SetInsertMode(false);
  editor.SetReadOnly(true);
  EXPECT_EQ(status, 2);
  EXPECT_TRUE(host.readOnlyStyle);
  editor.SetReadOnly(false);
  EXPECT_FALSE(host.readOnlyStyle);
}

TEST_F(EditorFixture, ProgramChangesRepaintOnlyWhenShowingAndUnlocked) {
  SetLines({});
  host.invalidations = 0;
  editor.Lines().Add("a");
  EXPECT_EQ(host.invalidations, 1);
  host.showing = false;
  editor.Lines().Add("b");
  EXPECT_EQ(host.invalidations, 1);
}

// A control of the main window's configuration on a 640 x 480 client area with
// 8 x 15 pixel characters: cells of 8 x 16, 30 pixel gutter.
class ViewTest : public EditorFixture {
 protected:
  ViewTest() {
    host.control = &editor;
    editor.SetGutterWidth(30);
    editor.SetRightMargin(100);
    editor.WindowCreated();
  }
  void PaintAll() {
    host.canvas.Clear();
    Inside(editor).view.FullRepaintPending = true;
    editor.Paint(host.canvas, host.client);
  }
  // The text outputs of one row, left to right.
  std::vector<RecordingSurface::TextCall> Row(int row) const {
    std::vector<RecordingSurface::TextCall> out;
    for (const auto& t : host.canvas.texts) {
      if (t.y == row * editor.CellHeight()) out.push_back(t);
    }
    return out;
  }
  std::vector<RecordingSurface::LineCall> MarginLines() const {
    std::vector<RecordingSurface::LineCall> out;
    for (const auto& l : host.canvas.lines) {
      if (l.color == clSilver) out.push_back(l);
    }
    return out;
  }
};

TEST_F(ViewTest, GeometryFollowsTheFontAndTheClientArea) {
  EXPECT_EQ(editor.CellWidth(), 8);
  EXPECT_EQ(editor.CellHeight(), 16);
  EXPECT_EQ(editor.TextLeft(), 32);
  EXPECT_EQ(editor.VisibleLines(), 30);                 // 480 / 16
  EXPECT_EQ(editor.VisibleColumns(), (640 - 32) / 8);  // 76
  EXPECT_EQ(editor.LastVisibleLine(), 29);
  EXPECT_EQ(editor.LastVisibleColumn(), 75);
  EXPECT_EQ(editor.CharAdvances().size(), 1025u);
  EXPECT_EQ(editor.CellRect(0, 0), (Rect{33, 0, 41, 16}));
  host.client = Rect{0, 0, 20, 10};  // narrower than the gutter
  editor.UpdateEditorSize();
  EXPECT_EQ(editor.VisibleColumns(), 0);
  EXPECT_EQ(editor.VisibleLines(), 0);
}

TEST_F(ViewTest, LinesArePaintedAsRunsOfEqualAttributesOnTheGrid) {
  SetLines({"mov eax, 1", "", "ret"});
  PaintAll();
  const auto first = Row(0);
  ASSERT_EQ(first.size(), 1u);  // one colour: one output for the whole visible width
  EXPECT_EQ(first[0].x, 33);
  EXPECT_EQ(first[0].text.substr(0, 10), "mov eax, 1");
  EXPECT_EQ(first[0].text.size(), static_cast<std::size_t>(editor.VisibleColumns() + 1));
  EXPECT_EQ(first[0].text.find_first_not_of(' ', 10), std::string::npos);
  for (int advance : first[0].advances) EXPECT_EQ(advance, 8);
  EXPECT_EQ(first[0].fore, clWindowText);
  EXPECT_EQ(first[0].back, clWindow);
  ASSERT_EQ(Row(2).size(), 1u);
  EXPECT_EQ(Row(2)[0].text.substr(0, 3), "ret");
  // Rows below the text get no output, only the background.
  EXPECT_TRUE(Row(3).empty());
}

// Colours a line's columns the way a highlighter would.
class ColouringEditor : public CountingEditor {
 public:
  using CountingEditor::CountingEditor;
  void GetAttr(int, int colBeg, int colEnd) override {
    for (int c = std::max(colBeg, 4); c <= std::min(colEnd, 6); ++c) {
      MutableLineAttrs()[static_cast<std::size_t>(c + 1)].ForeColor = Color::Rgb(0, 0, 255);
      MutableLineAttrs()[static_cast<std::size_t>(c + 1)].Style = FontStyle::Bold;
    }
  }
};

TEST(ViewRuns, EachColourChangeStartsARunWithItsOwnFont) {
  HeadlessWindowHost host;
  ColouringEditor editor(&host);
  host.control = &editor;
  editor.SetGutterWidth(30);
  editor.WindowCreated();
  editor.Lines().Add("abcdefghij");
  host.canvas.Clear();
  Inside(editor).view.FullRepaintPending = true;
  editor.Paint(host.canvas, host.client);
  std::vector<RecordingSurface::TextCall> row;
  for (const auto& t : host.canvas.texts) {
    if (t.y == 0) row.push_back(t);
  }
  ASSERT_EQ(row.size(), 3u);
  EXPECT_EQ(row[0].text, "abcd");
  EXPECT_EQ(row[1].text, "efg");
  EXPECT_EQ(row[1].x, 33 + 4 * 8);
  EXPECT_EQ(row[1].fore, Color::Rgb(0, 0, 255));
  EXPECT_EQ(row[1].font.style, FontStyle::Bold);
  EXPECT_EQ(row[1].font.name, editor.Font().name);
  EXPECT_EQ(row[2].text.substr(0, 3), "hij");
  EXPECT_EQ(row[2].font.style, FontStyle::None);
}

// Colours each column from a table of a few looks in stretches of random length, with
// random bytes in each record's padding (bytes 9 to 11), which equality ignores.
class StretchColouringEditor : public TEditor {
 public:
  using TEditor::TEditor;
  std::array<TLineAttr, MaxLineColumns> looks{};
  std::mt19937 noise{1};

 protected:
  void GetAttr(int, int colBeg, int colEnd) override {
    for (int c = std::max(colBeg, 0); c <= std::min(colEnd, MaxLineColumns - 1); ++c) {
      TLineAttr& a = MutableLineAttrs()[static_cast<std::size_t>(c + 1)];
      a = looks[static_cast<std::size_t>(c)];
      auto* bytes = reinterpret_cast<unsigned char*>(&a);
      for (int k = 9; k < 12; ++k) bytes[k] = static_cast<unsigned char>(noise());
    }
  }
};

// Whatever the stretches, the scroll position and the columns asked for, a painted row
// is runs that follow each other, each of equal records, each differing from the column
// after it, with the run's colours, its font and the line's bytes (blanks past its end).
TEST(ViewRuns, RunsAreTheLongestStretchesOfEqualAttributes) {
  HeadlessWindowHost host;
  StretchColouringEditor editor(&host);
  host.control = &editor;
  editor.SetGutterWidth(30);
  editor.WindowCreated();
  std::mt19937 rng(20261208);
  const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  // Some looks differ from another in one byte only: the style, the lowest byte of
  // the frame colour, the lowest byte of the text colour.
  const TLineAttr kinds[] = {{clWindowText, clWindow, FontStyle::None, clNone},
                             {Color::Rgb(0, 0, 128), clWindow, FontStyle::None, clNone},
                             {Color::Rgb(0, 0, 128), clWindow, FontStyle::Bold, clNone},
                             {clWindowText, Color::Rgb(255, 255, 0), FontStyle::None, clNone},
                             {clWindowText, clWindow, FontStyle::None, Color{clNone.value ^ 1u}},
                             {Color{clWindowText.value ^ 1u}, clWindow, FontStyle::None, clNone}};
  for (int round = 0; round < 300; ++round) {
    if (round % 50 == 49) editor.SetFont(FontDesc{"Courier New", -13 - pick(4), FontStyle::None, clWindowText});
    host.client = Rect{0, 0, 32 + 8 * (1 + pick(140)), 32};
    editor.UpdateEditorView();
    std::string text(static_cast<std::size_t>(pick(1100)), 'a');
    for (char& ch : text) ch = static_cast<char>('a' + pick(26));
    editor.Lines().SetTextStr(text);
    const int stretch = 1 + pick(pick(2) == 0 ? 4 : 80);
    for (int c = 0; c < MaxLineColumns;) {
      const int end = std::min(c + 1 + pick(stretch), MaxLineColumns);
      const TLineAttr look = kinds[pick(static_cast<int>(std::size(kinds)))];
      for (; c < end; ++c) editor.looks[static_cast<std::size_t>(c)] = look;
    }
    editor.ScrollTo(pick(4) == 0 ? MaxLineColumns - 1 - pick(40) : pick(300), 0);
    host.canvas.Clear();
    const int from = editor.LeftColumn() - 8 + pick(editor.VisibleColumns() + 16);
    editor.PaintLine(0, from, pick(3) == 0 ? -1 : from + pick(editor.VisibleColumns() + 16));

    const TLineAttrs& attrs = editor.LineAttrs();
    int next = -1;
    for (std::size_t i = 0; i < host.canvas.texts.size(); ++i) {
      const RecordingSurface::TextCall& t = host.canvas.texts[i];
      const int first = editor.LeftColumn() + (t.x - 33) / 8;
      const int count = static_cast<int>(t.text.size());
      ASSERT_EQ((t.x - 33) % 8, 0);
      ASSERT_GT(count, 0);
      ASSERT_LE(first + count, MaxLineColumns);
      if (next >= 0) {
        ASSERT_EQ(first, next) << "round " << round;
      }
      const TLineAttr& a = attrs[static_cast<std::size_t>(first + 1)];
      for (int c = first; c < first + count; ++c) {
        ASSERT_EQ(attrs[static_cast<std::size_t>(c + 1)], a) << "round " << round << " column " << c;
        const char expected = static_cast<std::size_t>(c) < text.size() ? text[static_cast<std::size_t>(c)] : ' ';
        ASSERT_EQ(t.text[static_cast<std::size_t>(c - first)], expected);
      }
      if (i + 1 < host.canvas.texts.size()) {
        ASSERT_FALSE(attrs[static_cast<std::size_t>(first + count + 1)] == a) << "round " << round;
      }
      EXPECT_EQ(t.fore, a.ForeColor);
      EXPECT_EQ(t.back, a.BackColor);
      EXPECT_EQ(t.font.color, a.ForeColor);
      EXPECT_EQ(t.font.style, a.Style);
      EXPECT_EQ(t.font.height, editor.Font().height);
      next = first + count;
    }
  }
}

TEST_F(ViewTest, SelectionColoursTheSelectedColumnsAndLineBreaks) {
  SetLines({"abcdef", "ghijkl", "mnopqr"});
  Inside(editor).selection.SetBlock({2, 0}, {3, 2});
  editor.GetLineAttr(0, 0, 10);
  EXPECT_EQ(editor.LineAttrs()[2].BackColor, clWindow);     // column 1
  EXPECT_EQ(editor.LineAttrs()[3].BackColor, clHighlight);  // column 2
  EXPECT_EQ(editor.LineAttrs()[11].ForeColor, clHighlightText);
  editor.GetLineAttr(2, 0, 10);
  EXPECT_EQ(editor.LineAttrs()[3].BackColor, clHighlight);  // column 2
  EXPECT_EQ(editor.LineAttrs()[4].BackColor, clWindow);     // column 3: the first after the block
  Inside(editor).selection.SetFormat(TSelBlockFormat::bfInclusive);
  editor.GetLineAttr(2, 0, 10);
  EXPECT_EQ(editor.LineAttrs()[4].BackColor, clHighlight);
  // The rest of a row whose line break is selected takes the selection colour.
  Inside(editor).selection.SetFormat(TSelBlockFormat::bfNonInclusive);
  PaintAll();
  const auto rowFill = [&](int row) {
    Color c{};
    for (const auto& f : host.canvas.fills) {
      if (f.rect.top == row * 16 && f.rect.Height() == 16 && f.rect.left > 33) c = f.color;
    }
    return c;
  };
  EXPECT_EQ(rowFill(0), clHighlight);
  EXPECT_EQ(rowFill(2), clWindow);
  Inside(editor).selection.SetFormat(TSelBlockFormat::bfColumn);
  PaintAll();
  EXPECT_EQ(rowFill(0), clWindow);
}

TEST_F(ViewTest, APartlyVisibleLastRowAndColumnArePainted) {
  host.client = Rect{0, 0, 32 + 8 * 10 + 5, 16 * 3 + 7};  // 10.6 columns, 3.4 rows
  editor.UpdateEditorSize();
  SetLines({"0123456789ABCDEF", "x", "y", "z", "w"});
  PaintAll();
  EXPECT_EQ(editor.VisibleColumns(), 10);
  EXPECT_EQ(editor.VisibleLines(), 3);
  ASSERT_FALSE(Row(3).empty());  // the fourth, partly visible row
  EXPECT_EQ(Row(3)[0].text[0], 'z');
  EXPECT_TRUE(Row(4).empty());
  EXPECT_EQ(Row(0)[0].text, "0123456789A");  // columns 0 to LeftColumn + VisibleColumns
}

TEST_F(ViewTest, ALineShowsAtMostTheColumnLimit) {
  host.client = Rect{0, 0, 32 + 8 * 2000, 100};
  editor.UpdateEditorSize();
  SetLines({std::string(MaxLineColumns + 50, 'x')});
  PaintAll();
  std::size_t shown = 0;
  for (const auto& t : Row(0)) shown += t.text.size();
  EXPECT_EQ(shown, static_cast<std::size_t>(MaxLineColumns));
}

TEST_F(ViewTest, TheRightMarginStandsAfterItsColumnUntilScrolledPast) {
  host.client = Rect{0, 0, 32 + 8 * 120, 160};
  editor.UpdateEditorSize();
  SetLines({std::string(200, 'a')});
  PaintAll();
  auto margins = MarginLines();
  ASSERT_FALSE(margins.empty());
  EXPECT_EQ(margins[0].a.x, 33 + 100 * 8);
  EXPECT_EQ(margins[0].b.y, 160);
  editor.ScrollTo(100, 0);
  PaintAll();
  EXPECT_TRUE(MarginLines().empty());
  editor.ScrollTo(99, 0);
  PaintAll();
  ASSERT_FALSE(MarginLines().empty());
  EXPECT_EQ(MarginLines()[0].a.x, 33 + 8);
  // A margin beyond the visible columns is not drawn.
  editor.ScrollTo(0, 0);
  host.client = Rect{0, 0, 32 + 8 * 50, 160};
  editor.UpdateEditorSize();
  PaintAll();
  EXPECT_TRUE(MarginLines().empty());
}

TEST_F(ViewTest, NothingIsPaintedUnderALockAndAllAtTheEndUpdate) {
  SetLines({"a", "b"});
  host.canvas.Clear();
  editor.BeginUpdate();
  editor.Paint(host.canvas, Rect{0, 0, 100, 16});
  editor.RepaintLine(0);
  editor.PaintGutter();
  EXPECT_TRUE(host.canvas.texts.empty());
  EXPECT_TRUE(host.canvas.fills.empty());
  host.invalid = Rect{};
  editor.EndUpdate();
  EXPECT_EQ(host.invalid, host.client);
  host.UpdateNow();  // a small clip, but the pending full repaint covers everything
  EXPECT_FALSE(Row(1).empty());
  EXPECT_FALSE(Inside(editor).view.FullRepaintPending);
}

TEST_F(ViewTest, TheGutterHasItsThreeLines) {
  host.UpdateNow();
  host.canvas.Clear();
  editor.PaintGutter();
  EXPECT_TRUE(host.canvas.fills.empty());  // marked, drawn by the paint
  host.UpdateNow();
  // The gutter is what a paint draws last.
  const auto& fills = host.canvas.fills;
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.back().rect, (Rect{0, 0, 30, 480}));
  EXPECT_EQ(fills.back().color, clBtnFace);
  const auto& lines = host.canvas.lines;
  ASSERT_GE(lines.size(), 3u);
  const std::size_t first = lines.size() - 3;
  EXPECT_EQ(lines[first].a.x, 28);
  EXPECT_EQ(lines[first].color, clWindow);
  EXPECT_EQ(lines[first + 1].a.x, 31);
  EXPECT_EQ(lines[first + 1].width, 2);
  EXPECT_EQ(lines[first + 2].a.x, 29);
  EXPECT_EQ(lines[first + 2].color, clGray);
  EXPECT_EQ(editor.CursorAt(Point{29, 5}), TCursor::crArrow);
  EXPECT_EQ(editor.CursorAt(Point{30, 5}), TCursor::crIBeam);
}

TEST_F(ViewTest, TheGutterShowsTheArrowOnlyWhileTheCursorIsTheIBeam) {
  editor.SetCursor(TCursor::crCross);
  EXPECT_EQ(host.cursorRefreshes, 1);  // the pointer takes the new cursor at once
  EXPECT_EQ(editor.CursorAt(Point{5, 5}), TCursor::crCross);
  editor.SetCursor(TCursor::crIBeam);
  EXPECT_EQ(editor.CursorAt(Point{5, 5}), TCursor::crArrow);
}

TEST_F(ViewTest, TheWindowStyleFollowsBorderThreeDAndScrollBars) {
  EditorWindowStyle style = editor.WindowStyle();
  EXPECT_TRUE(style.clientEdge);  // a single border in the 3-D look is the sunken edge
  EXPECT_FALSE(style.border);
  EXPECT_TRUE(style.tabStop);
  EXPECT_TRUE(style.vscroll && style.hscroll);
  editor.SetCtl3D(false);
  style = editor.WindowStyle();
  EXPECT_TRUE(style.border);
  EXPECT_FALSE(style.clientEdge);
  EXPECT_EQ(host.recreations, 1);
  editor.SetBorderStyle(TBorderStyle::bsNone);
  editor.SetScrollBars(TScrollStyle::ssVertical);
  style = editor.WindowStyle();
  EXPECT_FALSE(style.border || style.clientEdge || style.hscroll);
  EXPECT_TRUE(style.vscroll);
}

TEST_F(ViewTest, TheCaretSitsAtTheLeftEdgeOfItsCell) {
  host.focused = true;
  editor.FocusReceived();
  EXPECT_EQ(host.caretSize, (Point{2, 14}));
  EXPECT_EQ(host.caretPos, (Point{32, 1}));
  EXPECT_TRUE(host.CaretVisible());
  Inside(editor).caret.MoveTo(3, 2);
  editor.PaintCaret(false);
  EXPECT_FALSE(host.CaretVisible());
  editor.PaintCaret(true);
  EXPECT_EQ(host.caretPos, (Point{32 + 24, 33}));
  EXPECT_TRUE(host.CaretVisible());
  // Scrolled out to the left, the caret is out of sight.
  SetLines({std::string(50, 'a')});
  editor.ScrollTo(10, 0);
  host.UpdateNow();
  EXPECT_EQ(host.caretPos, kCaretOutOfSight);
  EXPECT_TRUE(host.CaretVisible());
  editor.SetHideCaret(true);
  editor.PaintCaret(false);
  EXPECT_TRUE(host.CaretVisible());
  editor.FocusLost();
  EXPECT_FALSE(host.caretExists);
}

TEST_F(ViewTest, ScrollBarRangesFollowTheText) {
  std::vector<std::string> many(2000, "line");
  SetLines(many);
  auto& v = Inside(editor).view.VertScrollBar();
  EXPECT_EQ(v.Page(), 30);
  EXPECT_EQ(v.Max(), 2000 + 30 - 2);
  EXPECT_EQ(v.LargeChange, 30);
  host.UpdateNow();  // the system bar takes its values with the paint
  EXPECT_EQ(host.bars[ScrollBarKind::Vertical].max, 2028);
  EXPECT_EQ(Inside(editor).view.HorzScrollBar().Max(), 1023);
  EXPECT_EQ(Inside(editor).view.HorzScrollBar().Page(), 76);
  // An empty text still counts one line.
  SetLines({});
  EXPECT_EQ(v.Max(), 1 + 30 - 2);
}

TEST_F(ViewTest, ABarWithoutItsStyleKeepsItsValuesButShowsNothing) {
  editor.SetScrollBars(TScrollStyle::ssVertical);
  editor.WindowCreated();  // as the window made anew with the new style
  host.bars.clear();
  SetLines(std::vector<std::string>(300, "x"));
  host.UpdateNow();
  EXPECT_TRUE(host.bars.count(ScrollBarKind::Vertical));
  EXPECT_FALSE(host.bars.count(ScrollBarKind::Horizontal));
  editor.ScrollTo(40, 0);  // the view still scrolls sideways
  EXPECT_EQ(editor.LeftColumn(), 40);
  EXPECT_EQ(Inside(editor).view.HorzScrollBar().Position(), 40);
  host.UpdateNow();
  EXPECT_FALSE(host.bars.count(ScrollBarKind::Horizontal));
}

TEST_F(ViewTest, ScrollCodesMoveTheTextOrOnlyTheBar) {
  SetLines(std::vector<std::string>(200, "x"));
  auto& v = Inside(editor).view.VertScrollBar();
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::LineDown);
  EXPECT_EQ(editor.TopLine(), 1);
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::PageDown);
  EXPECT_EQ(editor.TopLine(), 31);
  EXPECT_EQ(v.Position(), 31);
  host.trackPosition[ScrollBarKind::Vertical] = 120;
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::ThumbTrack);
  EXPECT_EQ(editor.TopLine(), 120);
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::Bottom);  // bar only
  EXPECT_EQ(v.Position(), v.Max());
  EXPECT_EQ(editor.TopLine(), 120);
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::Top);
  EXPECT_EQ(v.Position(), 0);
  EXPECT_EQ(editor.TopLine(), 120);
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::PageUp);  // from the bar's position
  EXPECT_EQ(editor.TopLine(), 0);
  editor.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::LineUp);  // clamped at the top
  EXPECT_EQ(editor.TopLine(), 0);
}

TEST_F(ViewTest, ScrollingByALineShiftsPixelsAndPaintsTheUncoveredStrip) {
  SetLines(std::vector<std::string>(200, "x"));
  int scrolled = 0;
  editor.OnScroll = [&] { ++scrolled; };
  PaintAll();
  host.scrolls.clear();
  host.canvas.Clear();
  host.invalid = Rect{};
  editor.ScrollTo(0, 1);
  EXPECT_TRUE(host.scrolls.empty());  // the pixels move before the paint
  host.UpdateNow();
  ASSERT_EQ(host.scrolls.size(), 1u);
  EXPECT_EQ(host.scrolls[0].dy, -16);
  EXPECT_EQ(host.scrolls[0].area, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(host.scrolls[0].clip, (Rect{0, 0, 640, 496}));
  // Only the last rows (and the partial one below) were painted again.
  int firstPaintedRow = 1000;
  for (const auto& t : host.canvas.texts) firstPaintedRow = std::min(firstPaintedRow, t.y / 16);
  EXPECT_GE(firstPaintedRow, 28);
  EXPECT_EQ(scrolled, 1);
  // A jump of a whole page repaints everything without shifting pixels.
  host.scrolls.clear();
  editor.ScrollTo(0, 100);
  host.UpdateNow();
  EXPECT_TRUE(host.scrolls.empty());
  EXPECT_EQ(editor.TopLine(), 100);
  EXPECT_EQ(Inside(editor).view.VertScrollBar().Position(), 100);
}

TEST_F(ViewTest, ScrollingUnderALockOnlyStoresThePosition) {
  SetLines(std::vector<std::string>(200, "x"));
  editor.BeginUpdate();
  host.scrolls.clear();
  editor.Scroll(true, 5);
  EXPECT_EQ(editor.TopLine(), 5);
  EXPECT_TRUE(host.scrolls.empty());
  editor.EndUpdate();
}

TEST(ScrollBar, RangeErrorsKeepTheValuesAndPositionsAreClamped) {
  HeadlessWindowHost host;
  TControlScrollBar95 bar(ScrollBarKind::Vertical, &host);
  EXPECT_EQ(bar.Page(), 1);
  bar.SetMax(10);
  bar.SetPosition(20);
  EXPECT_EQ(bar.Position(), 10);
  try {
    bar.SetMin(11);
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Scrollbar property out of range");
  }
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 10);
  // Without a window the values are kept but nothing reaches the system bar.
  EXPECT_TRUE(host.bars.empty());
  bar.SetHasWindow(true);
  EXPECT_EQ(host.bars[ScrollBarKind::Vertical].position, 10);
  bar.SetMin(-5);  // negative values are not passed on
  bar.SetPosition(-5);
  EXPECT_EQ(host.bars[ScrollBarKind::Vertical].position, 10);
}

TEST(ScrollBar, OnScrollMayChangeThePosition) {
  HeadlessWindowHost host;
  TControlScrollBar95 bar(ScrollBarKind::Horizontal, &host);
  bar.SetMax(100);
  bar.OnScroll = [](ScrollCode, int& position) { position = 42; };
  bar.ScrollMessage(ScrollCode::LineDown);
  EXPECT_EQ(bar.Position(), 42);
  bar.OnScroll = nullptr;
  bar.ScrollMessage(ScrollCode::EndScroll);
  EXPECT_EQ(bar.Position(), 42);
}

}  // namespace
}  // namespace vantorel
