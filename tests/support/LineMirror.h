// A watcher that keeps a value per line (its length and a hash of its bytes) from the
// line list's change reports alone, as any per-line data would be kept. Problem()
// compares it with the values computed from the text as it is now: a change that was
// not reported, or reported with the wrong lines, shows as a difference.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorStrings.h"

namespace vantorel {

class LineMirror : public LineWatcher {
 public:
  explicit LineMirror(TEditorStrings& lines) : lines_(lines) {
    for (int i = 0; i < lines.Count(); ++i) kept_.push_back(ValueOf(i));
    lines_.AddWatcher(*this);
  }
  ~LineMirror() { lines_.RemoveWatcher(*this); }
  LineMirror(const LineMirror&) = delete;
  LineMirror& operator=(const LineMirror&) = delete;

  void LinesChanged(const LineChange& c) noexcept override {
    origins |= 1u << static_cast<unsigned>(c.origin);
    if (!broken_.empty()) return;
    const int had = static_cast<int>(kept_.size());
    if (c.first < 0 || c.removed < 0 || c.added < 0 || c.first + c.removed > had ||
        had - c.removed + c.added != lines_.Count()) {
      broken_ = "a report of lines " + std::to_string(c.first) + " +" + std::to_string(c.removed) + " -> +" +
                std::to_string(c.added) + " does not fit " + std::to_string(had) + " lines becoming " +
                std::to_string(lines_.Count());
      return;
    }
    kept_.erase(kept_.begin() + c.first, kept_.begin() + c.first + c.removed);
    std::vector<Value> fresh;
    for (int i = c.first; i < c.first + c.added; ++i) fresh.push_back(ValueOf(i));
    kept_.insert(kept_.begin() + c.first, fresh.begin(), fresh.end());
  }

  // Empty while the kept values are those of the text.
  std::string Problem() const {
    if (!broken_.empty()) return broken_;
    if (static_cast<int>(kept_.size()) != lines_.Count()) {
      return "the reports make " + std::to_string(kept_.size()) + " lines of " + std::to_string(lines_.Count());
    }
    for (int i = 0; i < lines_.Count(); ++i) {
      if (kept_[static_cast<std::size_t>(i)] != ValueOf(i)) {
        return "line " + std::to_string(i) + " changed without a report that covers it";
      }
    }
    return {};
  }

  // One bit per ChangeOrigin seen since it was last cleared.
  unsigned origins = 0;
  static constexpr unsigned Bit(ChangeOrigin origin) noexcept { return 1u << static_cast<unsigned>(origin); }

 private:
  struct Value {
    std::size_t length;
    std::uint64_t hash;
    bool operator==(const Value&) const = default;
  };
  Value ValueOf(int i) const {
    const std::string_view s = lines_.View(i);
    std::uint64_t h = 1469598103934665603u;
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return {s.size(), h};
  }

  TEditorStrings& lines_;
  std::vector<Value> kept_;
  std::string broken_;
};

}  // namespace vantorel
