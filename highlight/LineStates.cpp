#include "highlight/LineStates.h"

#include <algorithm>

namespace vantorel {

LineStates::LineStates(const TextLines& text) : text_(text), longStates_(kLastTrackedLine + 1, longstate::None) {}

void LineStates::SetLongTokens(bool value) {
  const bool resume = value && !longTokens_;
  longTokens_ = value;
  if (resume) RescanLongStates(-1);
}

void LineStates::SetSyntaxHighlighting(bool value) {
  const bool resume = value && !syntaxHighlighting_;
  syntaxHighlighting_ = value;
  if (resume) RescanLongStates(-1);
}

void LineStates::Forget(int first, int last) noexcept {
  std::fill(longStates_.begin() + first, longStates_.begin() + last + 1, longstate::Unknown);
}

std::uint8_t LineStates::StoredLongState(int line) const noexcept {
  return line >= 0 && line <= kLastTrackedLine ? longStates_[static_cast<std::size_t>(line)] : longstate::None;
}

std::uint8_t LineStates::LongStateOfLine(int line) {
  if (!longTokens_ || line < 0 || line > kLastTrackedLine) return longstate::None;
  if (line >= statesLines_ || At(line) == longstate::Unknown) RescanLongStates(line);
  const std::uint8_t state = At(line);
  // A state that could not be computed (the line is gone) carries nothing.
  return state == longstate::Unknown ? longstate::None : state;
}

bool LineStates::RescanLongStates(int from) {
  memo_.Forget();
  const int lines = text_.LineCount();
  if (!Tracking() || lines == 0) return false;
  const int maxLine = std::min(lines - 1, kLastTrackedLine);
  // Lines added below the text the states were computed for have no state yet.
  if (statesLines_ <= maxLine) Forget(std::max(statesLines_, 1), maxLine);
  statesLines_ = lines;
  if (from > maxLine) return false;
  int start;
  int windowEnd;
  if (from < 0) {
    Forget(0, maxLine);
    start = 0;
    windowEnd = maxLine;
  } else if (At(from) != longstate::Unknown) {
    start = from;
    windowEnd = std::min(from + kRescanWindow, maxLine);
  } else if (from > 0 && At(from - 1) == longstate::Unknown) {
    start = 0;
    windowEnd = maxLine;
  } else {
    start = std::max(from - 1, 0);
    windowEnd = std::min(start + kRescanWindow, maxLine);
  }
  At(0) = longstate::None;
  bool changed = false;
  std::uint8_t state = At(start);
  for (int i = start; i < windowEnd; ++i) {
    state = language_->ScanLineState(text_, i, state, memo_);
    if (At(i + 1) != state) {
      At(i + 1) = state;
      changed = true;
    }
  }
  if (windowEnd < maxLine) Forget(windowEnd + 1, maxLine);
  return changed;
}

bool LineStates::TextModified(int y, std::string_view text, TextAction action) {
  memo_.Forget();
  if (!longTokens_ || language_ == nullptr) return false;
  const int lines = text_.LineCount();
  bool rescan = action == TextAction::AllChanged || action == TextAction::Replace ||
                text.find_first_of(language_->Rules().significant) != std::string_view::npos;
  // A change without those characters can still move a construct's end: a deleted
  // quote, a letter typed behind a continuing backslash, lines that came or went.
  if (!rescan) rescan = lines != statesLines_;
  if (!rescan && y >= 0 && y < lines && y < kLastTrackedLine && syntaxHighlighting_) {
    const std::uint8_t here = At(y);
    const std::uint8_t below = At(y + 1);
    rescan = here != longstate::Unknown && below != longstate::Unknown && y + 1 < lines &&
             language_->ScanLineState(text_, y, here, memo_) != below;
  }
  return rescan && RescanLongStates(action == TextAction::AllChanged ? -1 : y);
}

void LineStates::LinesChanged(const LineChange& change) noexcept {
  // The memo names a line of the text as it was.
  memo_.Forget();
  if (change.origin != ChangeOrigin::Program || change.wholeText) return;
  try {
    RescanLongStates(change.first);
  } catch (...) {
    // Not known is always true: the states are computed again as lines are painted.
    const int last = std::min(text_.LineCount() - 1, kLastTrackedLine);
    if (last >= 0) Forget(0, last);
  }
}

}  // namespace vantorel
