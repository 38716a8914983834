// What the line list tells about each change of its text: which lines went and which
// came in their place. Everything that keeps data per line (the highlighter's line
// states, the editor's own notifications) follows the text from these reports alone,
// so no edit can change the text without the watchers hearing of it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vantorel {

// Who made a change: the user's commands, undo taking one back, or the program
// working on the list (loading, the new project, the code page conversion).
enum class ChangeOrigin : std::uint8_t { Program, User, Undo };

// Lines first .. first + removed - 1 of the text before the change were replaced by
// lines first .. first + added - 1 of the text after it; a line edited where it stands
// is one removed and one added. wholeText: the whole text was replaced (a load).
struct LineChange {
  int first = 0;
  int removed = 0;
  int added = 0;
  ChangeOrigin origin = ChangeOrigin::Program;
  bool wholeText = false;
};

// The one change that has the effect of a followed by b.
constexpr LineChange MergeChanges(const LineChange& a, const LineChange& b) noexcept {
  // In the text between the two: a's lines end at aEnd, b's removed lines at bEnd.
  const int aEnd = a.first + a.added;
  const int bEnd = b.first + b.removed;
  const int end = std::max(aEnd, bEnd);
  const int first = std::min(a.first, b.first);
  // The end read back in the text before a and forward in the text after b.
  const int before = end - a.added + a.removed;
  const int after = end - b.removed + b.added;
  return {first, before - first, after - first, a.origin, a.wholeText || b.wholeText};
}

class LineWatcher {
 public:
  // Called after the change, with the list already as it describes. Must not throw and
  // must not change the list.
  virtual void LinesChanged(const LineChange& change) noexcept = 0;

 protected:
  ~LineWatcher() = default;
};

}  // namespace vantorel
