// Random editing sessions on loaded text, each taken back completely with Undo: the
// text returns byte for byte (trailing blanks and all), the caret and the block stay
// inside the text, and no step fails. After every key and every undo the highlighter's
// per-line states equal a rescan of the text from scratch. Completion inserts words and
// templates on the way.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "headless/MemoryClipboard.h"
#include "highlight/HLEditor.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/HighlightCheck.h"
#include "tests/support/KeyPress.h"
#include "tests/support/Shown.h"

namespace vantorel {
namespace {

std::vector<std::string> Stored(const THLEditor& editor) {
  std::vector<std::string> out;
  for (int i = 0; i < editor.Lines().Count(); ++i) out.emplace_back(editor.Lines().View(i));
  return out;
}

std::string RandomLine(std::mt19937& rng) {
  static constexpr std::string_view kAlphabet = "abcxyz_019 ,.;:()[]+-   /*\"\\#'";
  std::string line(std::uniform_int_distribution<int>(0, 4)(rng), ' ');  // indentation
  const int length = std::uniform_int_distribution<int>(0, 14)(rng);
  for (int i = 0; i < length; ++i) line += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(rng)];
  // Real files have tabs inside lines and blanks (or a tab) at their ends.
  if (std::uniform_int_distribution<int>(0, 3)(rng) == 0 && !line.empty()) {
    line.insert(std::uniform_int_distribution<std::size_t>(0, line.size() - 1)(rng), 1, '\t');
  }
  if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) line += std::uniform_int_distribution<int>(0, 1)(rng) ? "  " : "\t";
  // Files carry control characters the loader keeps (a NUL, a form feed, an end-of-file
  // mark), some of them where an edit leaves them last on the line.
  if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) {
    static constexpr char kControls[] = {'\0', '\f', '\x1a'};
    line.insert(std::uniform_int_distribution<std::size_t>(0, line.size())(rng), 1,
                kControls[std::uniform_int_distribution<std::size_t>(0, 2)(rng)]);
  }
  // Now and then a line longer than the columns the editor shows.
  if (std::uniform_int_distribution<int>(0, 40)(rng) == 0) line += std::string(1100, 'w');
  // Rarely one of the long lines the list holds in ways of their own: over 64 KiB of
  // text, or a run of tabs or blanks over 16 KiB (alone, a view of the shared blanks)
  // with or without the line's text after it, which typing near its start cuts off.
  switch (std::uniform_int_distribution<int>(0, 150)(rng)) {
    case 0: line.insert(0, std::string(66'000, 'l')); break;
    case 1: line = std::string(9'000, '\t'); break;
    case 2: line.insert(0, std::string(17'000, ' ')); break;
    case 3: line.insert(0, std::string(9'000, '\t')); break;
    default: break;
  }
  return line;
}

struct Step {
  int key;
  bool shift, ctrl, alt;
  char ch;  // a character message after the key, 0 for none
};

// Keys a user presses while writing: typing, Enter, the deleting keys, Tab, word and
// line commands, caret moves and Shift selections, clipboard keys.
const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {'A', false, false, false, 'a'}, {'B', true, false, false, 'B'}, {vk::Space, false, false, false, ' '},
      {'9', false, false, false, '9'}, {0xBC, false, false, false, ','}, {vk::Return, false, false, false, '\r'},
      {vk::Back, false, false, false, 0}, {vk::Delete, false, false, false, 0}, {vk::Tab, false, false, false, 0},
      {vk::Tab, true, false, false, 0}, {vk::Back, false, true, false, 0}, {'T', false, true, false, 0},
      {'Y', false, true, false, 0}, {vk::Left, false, false, false, 0}, {vk::Right, false, false, false, 0},
      {vk::Up, false, false, false, 0}, {vk::Down, false, false, false, 0}, {vk::Home, false, false, false, 0},
      {vk::End, false, false, false, 0}, {vk::Left, false, true, false, 0}, {vk::Right, false, true, false, 0},
      {vk::Left, true, false, false, 0}, {vk::Right, true, false, false, 0}, {vk::Down, true, false, false, 0},
      {vk::Up, true, false, false, 0}, {vk::Down, true, false, true, 0}, {vk::Right, true, false, true, 0},
      {'C', false, true, false, 0}, {'X', false, true, false, 0}, {'V', false, true, false, 0},
      {vk::Insert, false, false, false, 0}, {'I', true, true, false, 0}, {'U', true, true, false, 0},
      // The characters that open and close constructs running over several lines.
      {0xBF, false, false, false, '/'}, {'8', true, false, false, '*'}, {0xDE, true, false, false, '"'},
      {0xDC, false, false, false, '\\'}, {'3', true, false, false, '#'},
      // Completion: both lists, and the keys that move in and close a shown list.
      {vk::Space, false, true, false, 0}, {'J', false, true, false, 0}, {vk::Escape, false, false, false, 0},
  };
  return steps;
}

// Replays a session; returns the first problem found, empty when none.
std::string Replay(const std::vector<std::string>& text, TextPoint caret, const std::vector<Step>& steps) {
  HeadlessWindowHost host;
  THLEditor editor(&host);
  editor.SetHighlighter(THighlighter::hlJava);
  MemoryClipboard clipboard;
  host.control = &editor;
  host.client = Rect{0, 0, 400, 160};
  editor.WindowCreated();
  editor.SetClipboard(&clipboard);
  host.focused = true;
  // Lists whose words the random text holds, a template body over lines with a caret
  // mark, and items with missing parts.
  editor.Completion().SetIdentifiers({"abc=property abc", "a", "xyz_1=", "b=x/*y"});
  editor.Completion().SetTemplates({"for=for loop=for (|;;)/n{/n}", "a=a=/n  |/n", "ab", "x=x=\"|"});
  // Loaded as a file is: line ends of either kind, sometimes none after the last line.
  std::string file;
  for (std::size_t i = 0; i < text.size(); ++i) {
    file += text[i];
    if (i + 1 < text.size() || text.size() % 2 == 0) file += i % 3 == 0 ? "\n" : "\r\n";
  }
  editor.Lines().SetTextStr(file);
  const std::vector<std::string> before = Stored(editor);
  editor.SetCaret(caret.x, caret.y);
  Inside(editor).undo.Clear();
  for (const Step& step : steps) {
    ShiftState shift;
    shift.shift = step.shift;
    shift.ctrl = step.ctrl;
    shift.alt = step.alt;
    PressKey(editor, host, step.key, shift, step.ch);
    // Deleting the last line leaves the caret just below the text, no further.
    if (editor.CaretY() > editor.LineCount()) return "caret below the text";
    if (editor.HasSelection() && editor.SelEndY() >= editor.LineCount()) return "block beyond the text";
    if (editor.UpdateLock() != 0 || editor.UndoGroupDepth != 0) return "a lock or group left open";
    if (std::string p = LongStatesProblem(editor); !p.empty()) return p;
  }
  for (int guard = 0; Inside(editor).undo.CanUndo() && guard < 10000; ++guard) {
    editor.Undo();
    if (std::string p = LongStatesProblem(editor); !p.empty()) return "after an undo: " + p;
  }
  if (Inside(editor).undo.CanUndo()) return "undo never ends";
  const std::vector<std::string> after = Stored(editor);
  if (after != before) {
    std::string got;
    for (const auto& l : Stored(editor)) got += "[" + Shown(l) + "]";
    return "text differs: " + got;
  }
  return {};
}

std::string Describe(const std::vector<std::string>& text, TextPoint caret, const std::vector<Step>& steps) {
  std::string out = "text:";
  for (const auto& l : text) out += " [" + Shown(l) + "]";
  out += " caret (" + std::to_string(caret.x) + ", " + std::to_string(caret.y) + ") keys:";
  for (const Step& s : steps) {
    out += " " + std::to_string(s.key) + (s.shift ? "S" : "") + (s.ctrl ? "C" : "") + (s.alt ? "A" : "");
  }
  return out;
}

TEST(UndoProperty, EveryRandomSessionIsTakenBackCompletely) {
  std::mt19937 rng(20261207);
  for (int session = 0; session < 3000; ++session) {
    std::vector<std::string> text;
    const int lines = std::uniform_int_distribution<int>(0, 8)(rng);
    for (int i = 0; i < lines; ++i) text.push_back(RandomLine(rng));
    const TextPoint caret{std::uniform_int_distribution<int>(0, 12)(rng), std::uniform_int_distribution<int>(0, 8)(rng)};
    std::vector<Step> steps;
    const int count = std::uniform_int_distribution<int>(1, 40)(rng);
    for (int i = 0; i < count; ++i) steps.push_back(Steps()[std::uniform_int_distribution<std::size_t>(0, Steps().size() - 1)(rng)]);
    std::string problem = Replay(text, caret, steps);
    if (problem.empty()) continue;
    // Shrink the session to the fewest keys that still show the problem.
    for (std::size_t i = 0; i < steps.size();) {
      std::vector<Step> fewer = steps;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
      if (!Replay(text, caret, fewer).empty()) {
        steps = fewer;
      } else {
        ++i;
      }
    }
    FAIL() << "session " << session << ": " << Replay(text, caret, steps) << "; " << Describe(text, caret, steps);
  }
}

}  // namespace
}  // namespace vantorel
