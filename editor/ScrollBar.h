// A scroll bar of the editor kept as values: range, page, position and steps. With
// a window it mirrors the values to the system bar; without one it keeps them, so
// the view scrolls the same whether the bar is shown or not.
#pragma once

#include <functional>
#include <optional>

#include "platform/WindowHost.h"

namespace vantorel {

inline constexpr const char* kScrollBarRangeError = "Scrollbar property out of range";

class TControlScrollBar95 {
 public:
  TControlScrollBar95(ScrollBarKind kind, WindowHost* host) : kind_(kind), host_(host) {}

  ScrollBarKind Kind() const noexcept { return kind_; }
  int Position() const noexcept { return position_; }
  int Min() const noexcept { return min_; }
  int Max() const noexcept { return max_; }
  int Page() const noexcept { return page_; }
  int SmallChange = 1;
  int LargeChange = 1;

  // Each throws EInvalidOperation when Max would fall below Min; the values stay.
  void SetMin(int value) { Set(value, max_, position_, page_); }
  void SetMax(int value) { Set(min_, value, position_, page_); }
  void SetPosition(int value) { Set(min_, max_, value, page_); }
  void SetPage(int value) { Set(min_, max_, position_, value); }

  // Whether the bar is shown on the control's window (its style is on).
  bool HasWindow() const noexcept { return hasWindow_; }
  void SetHasWindow(bool value);

  // A scroll request from the system bar: the new position, clamped, goes through
  // OnScroll (which may change it) and is then stored.
  void ScrollMessage(ScrollCode code);
  std::function<void(ScrollCode code, int& position)> OnScroll;

  // Asked before the values go to the system bar: true when the owner takes it upon
  // itself to call Flush before its next paint, so a burst of changes reaches the
  // bar once. The system redraws the bar on every change, which is slow.
  std::function<bool()> Defer;
  // Mirrors values that Defer held back.
  void Flush();

 private:
  void Set(int min, int max, int position, int page);
  void Mirror(bool mayDefer = true);

  // The values the system bar was last given: the same values are not sent again.
  struct Shown {
    int min, max, page, position;
    bool operator==(const Shown&) const = default;
  };

  ScrollBarKind kind_;
  WindowHost* host_;
  int position_ = 0;
  int min_ = 0;
  int max_ = 0;
  int page_ = 1;
  bool hasWindow_ = false;
  bool held_ = false;
  std::optional<Shown> shown_;
};

}  // namespace vantorel
