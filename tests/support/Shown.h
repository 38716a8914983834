// A line of the text as a failure report shows it: control characters (a NUL, a form
// feed) written out, so a report says which byte differs.
#pragma once

#include <string>
#include <string_view>

namespace vantorel {

inline std::string Shown(std::string_view line) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : line) {
    if (static_cast<unsigned char>(c) < ' ') {
      out += "\\x";
      out += kHex[(c >> 4) & 15];
      out += kHex[c & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace vantorel
