// The line states (LongStates): per line, what a construct running over several lines
// carries into its start, for one text read through TextLines and the current
// Language. Kept current through the text's changes, in a window below the changed
// line, and completed on demand while lines are painted.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/EditorTypes.h"
#include "editor/LineChange.h"
#include "highlight/Language.h"

namespace vantorel {

// Lines 0 to this one keep a state; later lines start with nothing carried in.
inline constexpr int kLastTrackedLine = 65536;
// How far below an edit the states are recomputed at once.
inline constexpr int kRescanWindow = 5000;

class LineStates : public LineWatcher {
 public:
  explicit LineStates(const TextLines& text);

  // The language whose constructs are followed; none follows nothing. The states are
  // not recomputed here.
  const Language* CurrentLanguage() const noexcept { return language_; }
  void SetLanguage(const Language* language) noexcept { language_ = language; }
  // Whether constructs are followed at all; off, every line starts with nothing.
  bool LongTokens() const noexcept { return longTokens_; }
  // Whether the states are kept current; off while nothing is coloured.
  bool SyntaxHighlighting() const noexcept { return syntaxHighlighting_; }
  // Turning either back on computes the states anew: while it was off, edits were not
  // followed.
  void SetLongTokens(bool value);
  void SetSyntaxHighlighting(bool value);

  // The state stored for the start of a line (Unknown when not yet computed).
  std::uint8_t StoredLongState(int line) const noexcept;
  // The state at the start of a line, computed when not yet known.
  std::uint8_t LongStateOfLine(int line);
  // Recomputes the states from line from (below 0: the whole text); true when one changed.
  bool RescanLongStates(int from);
  // The text changed at line y (the editor's TextModified report): the states are
  // recomputed when the change can have moved a construct's end. True when a state
  // changed, so that every line must be painted again.
  bool TextModified(int y, std::string_view text, TextAction action);
  // A change of the lines, as the line list reports it. The editor's own edits are
  // followed through TextModified, which each of them calls; a change the program made
  // (the code page conversion, lines the owner put) calls nothing there, so the states
  // are recomputed here from its first line. A new text is rescanned whole by the
  // editor's TextAllChanged.
  void LinesChanged(const LineChange& change) noexcept override;

 private:
  bool Tracking() const noexcept { return longTokens_ && syntaxHighlighting_ && language_ != nullptr; }
  std::uint8_t& At(int line) noexcept { return longStates_[static_cast<std::size_t>(line)]; }
  void Forget(int first, int last) noexcept;

  const TextLines& text_;
  const Language* language_ = nullptr;
  bool longTokens_ = true;
  bool syntaxHighlighting_ = true;
  std::vector<std::uint8_t> longStates_;
  // How many lines the text had when the states were last computed; entries for lines
  // below that are stale, and a report with another line count rescans.
  int statesLines_ = 1;
  ScanMemo memo_;
};

}  // namespace vantorel
