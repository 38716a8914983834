// What the driver and the probe DLL agree on: the registered message that asks the
// probe for a report, the report kinds, and how text travels in a report line.
#pragma once

#include <string>
#include <string_view>

namespace vprobe {

// Posted to the program's main window: wParam is the operation in its low byte and
// the operation's argument above it, lParam the window that receives the report as
// WM_COPYDATA (UTF-8 text, dwData = the operation).
inline constexpr wchar_t kRequestMessage[] = L"VantorelProbe";
inline constexpr char kHookProcName[] = "VantorelProbeHook";

enum Operation : unsigned {
  kPing = 1,
  // One line per panel: "index<TAB>text".
  kStatusPanels = 2,
  // One line per menu item, depth first: "position path<TAB>id<TAB>kind<TAB>caption",
  // the position path being item indices joined by "/" ("0/2/0"), kind one of
  // "sub", "sep", "item", "checked" (an item with a check mark).
  kMenuTree = 3,
  // The editor's vertical scroll bar, one line of numbers: position, min, max, page,
  // then the thumb's top and bottom and the bar's left, top, right, bottom in screen
  // pixels ("none" when the bar is not shown).
  kVerticalScrollBar = 4,
  // The text of the tool tip shown now, or an empty line when none is shown.
  kToolTip = 5,
  // Counts the program's own calls that make and delete GDI objects while the editor
  // paints itself completely as many times as the argument says: one line
  // "frames N painted P created C deleted D" (P: the program's BeginPaint calls), then
  // one line "function<TAB>calls" per function called. The counting ends with the
  // report.
  kPaintFrames = 6,
  // Makes one system function fail for the program, as its own calls see it (the
  // argument is a FailingCall); kNoFailure puts every function back. Answers "armed",
  // or "error<TAB>why".
  kFailCall = 7,
  // The build output pane's list: "count N selected S top T visible 0|1", then one
  // line per item, "kind<TAB>text" (kind 0 text, 1 error, 2 warning; the text escaped),
  // as the pane answers kPaneQueryMessage.
  kBuildPane = 8,
  // The screen rectangle of the pane's item given as the argument: "left top right bottom".
  kBuildPaneItem = 9,
  // Gives the editor's completion the lists the list tests use (the shipped program
  // gives it none), as the editor takes kCompletionListsMessage; answers "given".
  kCompletionLists = 10,
};

enum FailingCall : unsigned {
  kNoFailure = 0,
  // The next GlobalLock returns nothing (ERROR_NOT_ENOUGH_MEMORY), the ones after it work.
  kGlobalLockOnce = 1,
  // Every GetTextMetricsW fails (ERROR_INVALID_HANDLE) until kNoFailure.
  kGetTextMetricsAlways = 2,
};

// The last error the failing calls set, so that a test can ask the system for its text.
inline constexpr unsigned long kGlobalLockError = 8;   // ERROR_NOT_ENOUGH_MEMORY
inline constexpr unsigned long kTextMetricsError = 6;  // ERROR_INVALID_HANDLE

inline constexpr unsigned kArgumentShift = 8;

// The build output pane's question for its state and one of its lines (the program's
// win32/BuildPaneWindow.h holds the same message name and layout).
inline constexpr wchar_t kPaneQueryMessage[] = L"TBuildOutputQuery";
struct PaneQuery {
  wchar_t* text;
  int size;
  int count, selected, firstShown;
  int kind;
  int left, top, right, bottom;  // the line in the pane's client area
};

// The editor's message that takes the completion's lists (the program's
// win32/EditorWindow.h holds the same message name and layout).
inline constexpr wchar_t kCompletionListsMessage[] = L"THLEditorCompletionLists";
struct CompletionLists {
  const char* identifiers;
  const char* templates;
};

// Report lines are split at tabs and newlines, and panel texts and captions carry
// both; escaping them keeps a report line one line with a known number of fields.
inline std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

inline std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += text[i];
    }
  }
  return out;
}

}  // namespace vprobe
