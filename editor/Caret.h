// The caret's cell as a value that keeps itself on the reachable grid: never a
// negative column or line, never a column beyond the last reachable one.
#pragma once

#include <algorithm>

#include "editor/EditorTypes.h"

namespace vantorel {

class Caret {
 public:
  constexpr int X() const noexcept { return at_.x; }
  constexpr int Y() const noexcept { return at_.y; }
  constexpr TextPoint At() const noexcept { return at_; }
  // Clamps (x, y) onto the grid and moves there; true when the caret moved.
  constexpr bool MoveTo(int x, int y) noexcept {
    const TextPoint to{std::clamp(x, 0, MaxLineColumns), std::max(y, 0)};
    if (to == at_) return false;
    at_ = to;
    return true;
  }

 private:
  TextPoint at_;
};

}  // namespace vantorel
