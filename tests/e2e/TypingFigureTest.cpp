// End-to-end: the editor paints only in WM_PAINT, at the end of the message that changed
// it. A sideways-scrolling burst of characters leaves the editor's pixels as a full
// repaint paints them, and the palette's longest fragment types its text. How long that
// fragment takes, against a system EDIT control with a notepad's scroll bars typing the
// same characters in the driver's own process, is printed for the record: all of the
// session on one processor, the themes off.
#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

// What the palette's list box button types: its two fragments, a CR ending each.
const std::string kListBoxFragment =
    "; ListBoxClass     db 'listbox',0\r"
    "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ListBoxClass, NULL,WS_CHILD or WS_VISIBLE or WS_BORDER or "
    "WS_VSCROLL or LBS_HASSTRINGS or LBS_NOINTEGRALHEIGHT or LBS_DISABLENOSCROLL, 9,9,100,100, hWnd, 3, hInstance, "
    "NULL\r";

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::string List(const std::vector<double>& v) {
  std::string out;
  for (double d : v) out += (out.empty() ? "" : " ") + std::to_string(static_cast<int>(d + 0.5));
  return out;
}

// Every process of the session on one processor (the Wine server, the program, the
// driver, the X server): they hand over to each other without waking a second
// processor, whose wake-up time would otherwise swamp the figure.
struct OnOneProcessor {
  OnOneProcessor() {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
  }
};

class TypingFigureTest : private OnOneProcessor, public E2eTest {
 protected:
  // One click of the list box button at the end of the text, in milliseconds until
  // the editor has painted.
  double PaletteRound() {
    const std::string end = std::to_string(Text().size() - 2);
    wine.Ask({"setsel", end, end});
    return std::stod(wine.Ask({"time-palette", "TListBox"}));
  }
  // A long line typed from another process scrolls sideways many times; what that
  // leaves must be what painting the whole editor anew gives, the caret included.
  // The edge left of the text and the first pixel of the first column are left out:
  // a sideways move leaves there what it brings.
  void ExpectALongLinePaintsAsAFullRepaint() {
    const std::string end = std::to_string(Text().size() - 2);
    wine.Ask({"setsel", end, end});
    wine.Ask({"char", std::string(40, ' ') + "mov eax, [ebx+ecx*4+12345678h] ; " + std::string(90, 'z') + "\r"});
    wine.Ask({"char", std::string(130, 'y')});
    const std::optional<Image> typed = EditorShot();
    wine.Ask({"repaint-now"});
    const std::optional<Image> repainted = EditorShot();
    ASSERT_TRUE(typed && repainted);
    ASSERT_EQ(typed->width, repainted->width);
    // The caret blinks: its cells are not compared.
    std::istringstream caretReply(wine.Ask({"caret"}));
    std::string caretWindow;
    ScreenRect caret;
    caretReply >> caretWindow >> caret.left >> caret.top >> caret.right >> caret.bottom;
    // The caret stands after the last character typed, at the right edge the view
    // scrolled to, not where the scrolls would have carried it.
    EXPECT_GT(caret.left, typed->width - 3 * 9) << caret.left;
    int differing = 0;
    for (int y = 0; y < typed->height; ++y) {
      for (int x = 0; x < typed->width; ++x) {
        const bool underCaret = x >= caret.left && x < caret.right && y >= caret.top && y < caret.bottom;
        if (x != 32 && x != 33 && !underCaret && typed->At(x, y) != repainted->At(x, y)) {
          if (++differing < 5) std::printf("differs at %d,%d: %06x vs %06x\n", x, y, typed->At(x, y), repainted->At(x, y));
        }
      }
    }
    EXPECT_EQ(differing, 0);
  }
  std::size_t Count(const std::string& what) {
    const std::string text = Text();
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST_F(TypingFigureTest, TypingPaintsWhatAFullRepaintPaintsAndItsTimeIsPrinted) {
  // The themes off, as a notepad is timed: with them, Wine draws every scroll bar
  // change in the theme's images, which takes longer than the typing itself.
  ASSERT_EQ(wine.Reg({"add", R"(HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager)", "/v", "ThemeActive",
                      "/t", "REG_SZ", "/d", "0", "/f"})
                .exitCode,
            0);
  ASSERT_NO_FATAL_FAILURE(StartOnFile("typing.asm", "start:\r\n\r\n"));
  ASSERT_TRUE(wine.FocusMainWindow());
  constexpr int kRounds = 5;
  std::vector<double> typed;
  for (int i = 0; i < kRounds; ++i) typed.push_back(PaletteRound());
  EXPECT_EQ(Count("LBS_DISABLENOSCROLL, 9,9,100,100"), 1u * kRounds) << Text();
  ASSERT_NO_FATAL_FAILURE(ExpectALongLinePaintsAsAFullRepaint());

  const std::optional<ScreenRect> editor = ParseRect(wine.Ask({"client", "editor"}));
  ASSERT_TRUE(editor);
  const ScreenRect r = *editor;
  std::vector<double> control;
  std::istringstream lines(wine.Ask({"time-edit-control", kListBoxFragment, std::to_string(r.Width()), "5"}));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) control.push_back(std::stod(line));
  }
  ASSERT_FALSE(control.empty());
  const double yardstick = std::max(Median(control), 0.001);
  std::printf("[ figure ] the palette's %zu-character fragment typed in the program, ms: %s (median %.1f, "
              "%.2f x the EDIT control); a system EDIT control %d px wide with scroll bars in the driver's "
              "process: %s (median %.1f)\n",
              kListBoxFragment.size(), List(typed).c_str(), Median(typed), Median(typed) / yardstick, r.Width(),
              List(control).c_str(), Median(control));
}

}  // namespace
}  // namespace vantorel::e2e
