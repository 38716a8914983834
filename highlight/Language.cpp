#include "highlight/Language.h"

namespace vantorel {

namespace {

// Blank means the space character only here.
char LastNonBlank(std::string_view s) noexcept {
  const std::size_t at = s.find_last_not_of(' ');
  return at == std::string_view::npos ? '\0' : s[at];
}
char FirstNonBlank(std::string_view s) noexcept {
  const std::size_t at = s.find_first_not_of(' ');
  return at == std::string_view::npos ? '\0' : s[at];
}

}  // namespace

// A quote at q is escaped by an odd run of escapes right before it; an escape in the
// first column counts only when it stands right before the quote.
bool CStyleLanguage::Escaped(std::string_view s, std::size_t q) const noexcept {
  int run = 0;
  std::size_t i = q;
  while (i >= 2 && s[i - 1] == syntax_.escape) {
    ++run;
    --i;
  }
  if (q == 1 && s[0] == syntax_.escape) ++run;
  return run % 2 == 1;
}

// The walk takes quotes as they come, escaped or not (a doubled one steps over the
// first), and does not know line comments: an opener after one still opens a block.
std::uint8_t CStyleLanguage::ScanLineState(const TextLines& text, int line, std::uint8_t state,
                                           ScanMemo& memo) const {
  const std::string_view s = text.LineView(line);
  if (s.empty()) return state == longstate::BlockComment ? state : longstate::None;
  const auto continued = [&] { return LastNonBlank(s) == syntax_.escape; };
  const auto stringState = [&] {
    return continued() && OpenStringAtEnd(text, line, memo) ? longstate::String : longstate::None;
  };
  const std::string_view open = syntax_.blockOpen;
  const std::string_view close = syntax_.blockClose;
  std::size_t p = 0;
  if (state == longstate::String) return stringState();
  if (state == longstate::Preprocessor) {
    if (continued()) return longstate::Preprocessor;
    p = 1;
  } else if (state == longstate::BlockComment) {
    const std::size_t end = s.find(close);
    if (end == std::string_view::npos) return longstate::BlockComment;
    p = end + close.size();
  }
  while (p < s.size()) {
    const char c = s[p];
    if (c == syntax_.quote) {
      const std::size_t q = s.find(c, p + 1);
      if (q == std::string_view::npos) return stringState();
      p = q + 1 < s.size() && s[q + 1] == c ? p + 1 : q + 1;
    } else if (c == syntax_.preprocessor && FirstNonBlank(s) == c && continued()) {
      return longstate::Preprocessor;
    } else if (!open.empty() && c == open[0] && s.substr(p).starts_with(open)) {
      // The closer may not share a character with the opener.
      const std::size_t end = s.find(close, p + open.size());
      if (end == std::string_view::npos) return longstate::BlockComment;
      p = end + close.size();
    } else {
      ++p;
    }
  }
  return longstate::None;
}

// Whether the line ends inside a string, following the strings that escapes continue
// from the lines above. Climbs iteratively (a long run of continued lines must not
// exhaust the stack) and remembers the line asked last, so that a downward pass does
// not climb again for every line.
bool CStyleLanguage::OpenStringAtEnd(const TextLines& text, int line, ScanMemo& memo) const {
  if (line == memo.line) return memo.value;
  const auto flips = [&](int i) {
    const std::string_view s = text.LineView(i);
    bool odd = false;
    for (std::size_t q = s.find(syntax_.quote); q != std::string_view::npos; q = s.find(syntax_.quote, q + 1)) {
      if (!Escaped(s, q)) odd = !odd;
    }
    return odd;
  };
  const auto continues = [&](int i) { return i > 0 && LastNonBlank(text.LineView(i - 1)) == syntax_.escape; };
  bool open = false;
  if (continues(line)) {
    if (memo.line == line - 1) {
      open = memo.value;
    } else {
      int top = line - 1;
      while (continues(top)) --top;
      for (int i = top; i < line; ++i) open = open != flips(i);
    }
  }
  open = open != flips(line);
  memo.line = line;
  memo.value = open;
  return open;
}

int CStyleLanguage::LongConstructEnd(std::string_view s, std::uint8_t state) const noexcept {
  if (state == longstate::BlockComment) {
    const std::size_t end = s.find(syntax_.blockClose);
    if (end != std::string_view::npos) return static_cast<int>(end + syntax_.blockClose.size() - 1);
  } else if (state == longstate::String) {
    for (std::size_t q = s.find(syntax_.quote); q != std::string_view::npos; q = s.find(syntax_.quote, q + 1)) {
      if (!Escaped(s, q)) return static_cast<int>(q);
    }
  }
  return static_cast<int>(s.size());
}

}  // namespace vantorel
