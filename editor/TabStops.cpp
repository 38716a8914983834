#include "editor/TabStops.h"

#include <charconv>

#include "platform/Errors.h"

namespace vantorel {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

int ToInt(std::string_view piece) {
  int value = 0;
  std::string_view digits = piece;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
    throw Exception(FormatText("'%s' is not a valid integer value", {piece}));
  }
  return negative ? -value : value;
}

// Grid step beyond the last stop; previousStop is the stop before the last one.
int GridStep(int last, int previousStop) {
  const int d = last - previousStop;
  return d > 0 ? d : 1;
}

int FloorMod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

std::vector<int> ParseTabStops(std::string_view tabStops) {
  std::vector<int> stops;
  std::size_t pos = 0;
  while (pos <= tabStops.size()) {
    const std::size_t blank = tabStops.find(' ', pos);
    const std::string_view piece =
        Trim(tabStops.substr(pos, blank == std::string_view::npos ? std::string_view::npos : blank - pos));
    if (piece.empty()) break;
    stops.push_back(ToInt(piece) - 1);
    if (blank == std::string_view::npos) break;
    pos = blank + 1;
  }
  return stops;
}

int GetTabStop(std::string_view tabStops, int x, bool next) {
  const std::vector<int> stops = ParseTabStops(tabStops);
  if (next) {
    for (int stop : stops) {
      if (stop > x) return stop;
    }
    if (stops.empty()) return x + 1;
    const int last = stops.back();
    const int d = GridStep(last, stops.size() > 1 ? stops[stops.size() - 2] : 1);
    return x + d - FloorMod(x - last, d);
  }
  if (stops.empty()) return x > 0 ? x - 1 : 0;
  const int last = stops.back();
  if (x > last) {
    const int d = GridStep(last, stops.size() > 1 ? stops[stops.size() - 2] : 0);
    const int r = FloorMod(x - last, d);
    return r > 0 ? x - r : x - d;
  }
  int result = 0;
  for (int stop : stops) {
    if (stop < x) result = stop;
  }
  return result;
}

}  // namespace vantorel
