// The completion on the headless window: the words it finds at the caret, the lists
// it opens and where, the replacement and its undo, the typing pause, and the
// drop-down list's keys, mouse and drawing.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "editor/CaretCommands.h"
#include "headless/HeadlessWindows.h"
#include "highlight/HLEditor.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

using Lines = std::vector<std::string>;

class CompletionTest : public ::testing::Test {
 protected:
  CompletionTest() {
    host.control = &editor;
    host.focused = true;
    editor.WindowCreated();
    editor.OnChange = [this] { ++changes; };
  }
  Lines Text() const {
    Lines out;
    for (int i = 0; i < editor.LineCount(); ++i) out.emplace_back(editor.LineView(i));
    return out;
  }
  void Load(const Lines& lines, int x, int y) {
    editor.Lines().Assign(lines);
    editor.SetCaret(x, y);
    Inside(editor).undo.Clear();
  }
  void Key(int key, bool ctrl = false) {
    ShiftState shift;
    shift.ctrl = ctrl;
    editor.KeyDown(key, shift);
  }
  // The character's key goes down before it, as on a keyboard (letters, the blank,
  // and "(" as Shift+9).
  void Type(char ch) {
    ShiftState shift;
    shift.shift = ch == '(';
    int key = ch == '(' ? '9' : std::toupper(static_cast<unsigned char>(ch));
    editor.KeyDown(key, shift);
    editor.KeyPress(ch);
  }
  HeadlessPopupWindow* Popup() const { return host.popups.empty() ? nullptr : host.popups.back(); }
  bool Shown() const { return Popup() && Popup()->visible; }
  TCompletion& Completion() { return editor.Completion(); }

  HeadlessWindowHost host;
  THLEditor editor{&host};
  int changes = 0;
};

TEST(CompletionWords, ExtentAndWordBeforeCaretKeepTheirShapeOnRandomLines) {
  std::mt19937 rng(4404);
  static constexpr std::string_view kAlphabet = "ab9_ .()=-;";
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    const int length = std::uniform_int_distribution<int>(0, 10)(rng);
    for (int i = 0; i < length; ++i) line += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(rng)];
    for (int p = -1; p <= length + 1; ++p) {
      const WordExtent w = WordExtentAtCaret(line, p);
      SCOPED_TRACE("[" + line + "] at " + std::to_string(p));
      if (p < 1 || p > length) {
        EXPECT_TRUE(w.word.empty());
        EXPECT_TRUE(WordBeforeCaret(line, p).empty());
        continue;
      }
      // The word is a whole run of word characters reaching to P or starting at most two
      // after it (two separators at P move it one right).
      if (!w.word.empty()) {
        ASSERT_EQ(w.word, std::string_view(line).substr(w.begin - 1, w.end - w.begin + 1));
        for (const char c : w.word) EXPECT_FALSE(IsWordSeparator(c));
        EXPECT_TRUE(w.begin == 1 || IsWordSeparator(line[w.begin - 2]));
        EXPECT_TRUE(w.end == length || IsWordSeparator(line[w.end]));
        EXPECT_TRUE(w.begin <= p + 2 && w.end >= p);
      }
      const std::string_view before = WordBeforeCaret(line, p);
      ASSERT_FALSE(before.empty());
      const auto at = static_cast<std::size_t>(before.data() - line.data());
      EXPECT_TRUE(at <= static_cast<std::size_t>(p - 1) && at + before.size() >= static_cast<std::size_t>(p));
    }
  }
  EXPECT_EQ(WordExtentAtCaret("foo(", 4).word, "");            // after a separator: insert there
  EXPECT_EQ(WordExtentAtCaret("x  ab", 3).word, "ab");         // two separators: the word to the right
  EXPECT_EQ(WordBeforeCaret("a.b", 2), ".");
  EXPECT_EQ(ItemPart("for=for loop=body=x", "=", 2), "body");
  EXPECT_EQ(ItemPart("Caption", "=", 1), "");
  EXPECT_EQ(ItemPart("a::b", "::", 1), "b");
}

TEST_F(CompletionTest, TheMainWindowsConfigurationChangesNothing) {
  Load({"Ca", "for"}, 2, 0);
  Key(vk::Space, true);
  Key('J', true);
  Type('x');
  EXPECT_EQ(Text(), (Lines{"Cax", "for"}));
  EXPECT_TRUE(host.popups.empty());
  EXPECT_FALSE(host.timers.contains(EditorTimer::Completion));
}

TEST_F(CompletionTest, IdentifiersOpenUnderTheCaretLineAndEnterReplacesTheWord) {
  Completion().SetIdentifiers({"Caption=property Caption", "Color=property Color"});
  Load({"", "  x := Ca + 1"}, 9, 1);
  Key(vk::Space, true);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Completion().List().Count(), 2);
  EXPECT_EQ(Completion().List().ItemIndex(), 0);
  // Under the caret's cell, shifted by the borders; two items and the border high.
  const Rect below = editor.CellRect(9, 2);
  EXPECT_EQ(Popup()->bounds, (Rect{below.left + 100 - 2, below.top + 80 - 1, below.left + 98 + 300, below.top + 79 + 28}));
  EXPECT_TRUE(host.focused);
  Popup()->Paint();
  ASSERT_EQ(Popup()->canvas.texts.size(), 2u);
  EXPECT_EQ(Popup()->canvas.texts[0].text, "property Caption");
  EXPECT_EQ(Popup()->canvas.texts[0].x, 3);
  EXPECT_EQ(Popup()->canvas.texts[0].back, clHighlight);
  EXPECT_EQ(Popup()->canvas.texts[1].back, clWindow);

  Key(vk::Down);
  EXPECT_EQ(Completion().List().ItemIndex(), 1);
  Key(vk::Up);
  Key(vk::Return);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Text()[1], "  x := Caption + 1");
  EXPECT_EQ(editor.CaretX(), 14);
  EXPECT_EQ(changes, 1);
  // One step back: the word and the caret.
  editor.Undo();
  EXPECT_EQ(Text()[1], "  x := Ca + 1");
  EXPECT_EQ(editor.CaretX(), 9);
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
}

TEST_F(CompletionTest, AnExactTemplateNameExpandsAtOnceKeepingTheIndentAndTheCaretMark) {
  Completion().SetTemplates({"for=for loop=for (|;;)/n{/n}", "form=form=x"});
  for (const std::string indent : {"", "    "}) {
    SCOPED_TRACE("indent [" + indent + "]");
    Load({indent + "for"}, static_cast<int>(indent.size()) + 3, 0);
    Key('J', true);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Text(), (Lines{indent + "for (;;)", indent + "{", indent + "}"}));
    EXPECT_EQ(editor.CaretY(), 0);
    EXPECT_EQ(editor.CaretX(), static_cast<int>(indent.size()) + 5);
    editor.Undo();
    EXPECT_EQ(Text(), Lines{indent + "for"});
    EXPECT_FALSE(Inside(editor).undo.CanUndo());
  }
}

TEST_F(CompletionTest, TemplatesShowTheirNameBoldAtTheRightAndAPrefixNarrowsTheList) {
  Completion().SetTemplates({"for=for loop=f", "forin=for in=g", "while=while loop=w"});
  Load({"fo"}, 2, 0);
  Key('J', true);
  ASSERT_TRUE(Shown());
  ASSERT_EQ(Completion().List().Count(), 2);
  Popup()->Paint();
  const auto& texts = Popup()->canvas.texts;
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "for loop");
  EXPECT_EQ(texts[1].text, "for");
  EXPECT_EQ(texts[1].font.style, FontStyle::Bold);
  EXPECT_EQ(texts[1].x + 3 * 8, Popup()->ClientRect().right - 6);
  // Typing a word character keeps the list and matches again; a blank inserts first.
  Type('r');
  Type('i');
  EXPECT_EQ(Completion().List().ItemIndex(), 1);
  Type(' ');
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Text(), Lines{"g"});  // the blank at the line's end is not stored
  EXPECT_EQ(editor.CaretX(), 2);
}

TEST_F(CompletionTest, ABlankOrAParenthesisTypedWithTheListShownComesAfterTheItem) {
  Completion().SetIdentifiers({"Caption=property Caption", "Color=property Color"});
  for (const char ch : {' ', '('}) {
    Load({"Ca+1"}, 2, 0);
    Key(vk::Space, true);
    ASSERT_TRUE(Shown());
    Type(ch);
    EXPECT_EQ(Text(), Lines{std::string("Caption") + ch + "+1"});
    EXPECT_EQ(editor.CaretX(), 8);
  }
}

TEST_F(CompletionTest, NearTheScreensBottomTheListOpensAboveTheCaretLine) {
  Completion().SetIdentifiers({"a1", "a2", "a3", "a4", "a5", "a6", "a7"});
  Load({"a"}, 1, 0);
  const int h = 6 * 13 + 2;
  const int belowTop = editor.CellRect(1, 1).top + 80 - 1;
  host.screen.y = belowTop + h - 1;
  Key(vk::Space, true);
  EXPECT_EQ(Popup()->bounds.top, belowTop - h - editor.CellHeight() + 1);
  EXPECT_EQ(Popup()->bounds.Height(), h);
  // Above the screen's top it would not be seen: it stays below.
  host.clientOrigin.y = 60;
  host.screen.y = 50;
  Key(vk::Escape);
  Key(vk::Space, true);
  EXPECT_EQ(Popup()->bounds.top, belowTop - 20);
}

TEST_F(CompletionTest, ThePauseTimerOffersAMatchOnlyWhileHiddenAndEnabled) {
  Completion().SetIdentifiers({"alpha=alpha", "beta=beta"});
  Completion().SetEnabled(true);
  Load({""}, 0, 0);
  Type('a');
  EXPECT_EQ(host.timers[EditorTimer::Completion], 800);
  int key = vk::Shift;
  editor.KeyDown(key, {});
  EXPECT_FALSE(host.timers.contains(EditorTimer::Completion));
  Type('l');
  editor.TimerTick(EditorTimer::Completion);
  ASSERT_TRUE(Shown());
  EXPECT_FALSE(host.timers.contains(EditorTimer::Completion));
  Key(vk::Escape);
  EXPECT_EQ(Text(), Lines{"al"});
  // No match, or the word already whole: nothing opens.
  Load({"alpha"}, 5, 0);
  editor.TimerTick(EditorTimer::Completion);
  EXPECT_FALSE(Shown());
  Load({"zz"}, 2, 0);
  editor.TimerTick(EditorTimer::Completion);
  EXPECT_FALSE(Shown());
  // Without the focus, or cancelled by the owner, nothing opens either.
  Load({"al"}, 2, 0);
  host.focused = false;
  Key(vk::Space, true);
  EXPECT_FALSE(Shown());
  host.focused = true;
  editor.OnCompletionIdentifier = [](TCompletionBase&, bool& cancel) { cancel = true; };
  Key(vk::Space, true);
  EXPECT_FALSE(Shown());
}

TEST_F(CompletionTest, TheMouseSelectsDragsScrollsAndChooses) {
  std::vector<std::string> items;
  for (int i = 0; i < 10; ++i) items.push_back("w" + std::to_string(i) + "=word " + std::to_string(i));
  Completion().SetIdentifiers(items);
  editor.OnCompletionApply = [](TCompletionBase&, const std::string& old, std::string& text) { text += "/*" + old + "*/"; };
  Load({"w"}, 1, 0);
  Key(vk::Space, true);
  HeadlessPopupWindow& popup = *Popup();
  popup.client.PopupMouseDown(MouseButton::Left, {10, 13 * 2 + 1});
  EXPECT_TRUE(popup.captured);
  EXPECT_EQ(Completion().List().ItemIndex(), 2);
  // Held below the list: far away the timer is quick, close by slow; each tick scrolls.
  // Moves outside that keep the speed leave the running timer alone, or it would
  // never fire while the mouse moves.
  const int starts = popup.timerStarts;
  for (int y = 20; y < 30; ++y) popup.client.PopupMouseMove(true, {10 + y, 6 * 13 + y});
  EXPECT_EQ(popup.timer, 50);
  EXPECT_EQ(popup.timerStarts, starts + 1);
  popup.client.PopupMouseMove(true, {10, 6 * 13 + 3});
  popup.client.PopupMouseMove(true, {12, 6 * 13 + 4});
  EXPECT_EQ(popup.timer, 200);
  EXPECT_EQ(popup.timerStarts, starts + 2);
  for (int i = 0; i < 6; ++i) popup.client.PopupTimer();
  EXPECT_EQ(Completion().List().TopIndex(), 4);
  popup.client.PopupMouseMove(true, {10, 13 * 5 + 2});
  EXPECT_EQ(popup.timer, 0);
  EXPECT_EQ(Completion().List().ItemIndex(), 9);
  popup.client.PopupMouseUp(MouseButton::Left, {10, 13 * 5 + 2});
  EXPECT_FALSE(popup.captured);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Text(), Lines{"w9/*w*/"});

  // Released outside, or a cancelled mode: closed without a change.
  Load({"w"}, 1, 0);
  Key(vk::Space, true);
  popup.client.PopupMouseDown(MouseButton::Left, {10, 2});
  popup.client.PopupMouseUp(MouseButton::Left, {10, -5});
  EXPECT_FALSE(Shown());
  Key(vk::Space, true);
  popup.client.PopupCancelMode();
  EXPECT_FALSE(Shown());
  // A press in the text closes it too.
  Key(vk::Space, true);
  editor.MouseDown(MouseButton::Left, {}, {40, 5});
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Text(), Lines{"w"});
  EXPECT_EQ(host.popups.size(), 1u);
}

}  // namespace
}  // namespace vantorel
