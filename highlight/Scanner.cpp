#include "highlight/Scanner.h"

#include <algorithm>
#include <cstring>

namespace vantorel {

namespace {

bool IsBlank(char c) noexcept { return c == '\n' || c == '\r' || c == ' '; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

const char* SkipBlanks(const char* p) noexcept {
  while (IsBlank(*p)) ++p;
  return p;
}

// The end of a double-quoted string opened at open: one past the first double quote
// behind an even run of backslashes, or the NUL.
const char* StringEnd(const char* open) noexcept {
  const char* p = open + 1;
  for (; *p != '\0'; ++p) {
    if (*p != '"') continue;
    int slashes = 0;
    for (const char* b = p - 1; b > open && *b == '\\'; --b) ++slashes;
    if (slashes % 2 == 0) return p + 1;
  }
  return p;
}

// One past the closing single quote of a literal opened at open (a doubled quote does
// not close it), or the NUL.
const char* LiteralEnd(const char* open) noexcept {
  const char* p = open + 1;
  while (*p != '\0') {
    if (*p == '\'') {
      if (p[1] != '\'') return p + 1;
      p += 2;
      continue;
    }
    ++p;
  }
  return p;
}

}  // namespace

TIParser::TIParser() : history_(10) {}

void TIParser::SetHistoryCapacity(int capacity) {
  history_.resize(static_cast<std::size_t>(std::max(capacity, 1)));
  next_ = 0;
}

const TIParser::Entry& TIParser::slot(int i) const noexcept {
  const int n = HistoryCapacity();
  int at = next_ - 1 - i % n;
  if (at < 0) at += n;
  return history_[static_cast<std::size_t>(at)];
}

const char* TIParser::CommentEnd(const char* p) const noexcept {
  if (p[0] == '/' && p[1] == '/') {
    const char* cr = std::strchr(p + 2, '\r');
    return cr ? cr : p + std::strlen(p);
  }
  if (p[0] == '/' && p[1] == '*') {
    for (const char* q = p + 2; *q != '\0'; ++q) {
      if (q[0] == '*' && q[1] == '/') return q + 2;
    }
    return p + std::strlen(p);
  }
  // A closer where a token begins: nothing after it can be trusted as code.
  if (p[0] == '*' && p[1] == '/') return p + std::strlen(p);
  return nullptr;
}

const std::string& TIParser::Record(const char* begin, const char* end) {
  Entry& e = history_[static_cast<std::size_t>(next_)];
  e.text.assign(begin, end);
  e.start = static_cast<int>(begin - textStart_);
  e.end = static_cast<int>(end - textStart_);
  if (++next_ == HistoryCapacity()) next_ = 0;
  return e.text;
}

const std::string& TIParser::NextToken() {
  const char* p = SkipBlanks(scanPos_);
  for (const char* end = CommentEnd(p); end != nullptr; end = CommentEnd(p)) {
    if (KeepComments) {
      scanPos_ = end;
      return Record(p, end);
    }
    p = SkipBlanks(end);
  }
  const char c = *p;
  const char* end = p + 1;
  if (c == '\0') {
    end = p;
  } else if (IsDigit(c)) {
    while (IsDigit(*end) || *end == '.') ++end;
  } else if (IsLetter(c)) {
    while (IsLetter(*end) || IsDigit(*end)) ++end;
  } else if (c == '\'') {
    end = LiteralEnd(p);
  } else if (c == '"') {
    end = StringEnd(p);
  }
  scanPos_ = end;
  const std::string& text = Record(p, end);
  if (c == '\'') {
    // Each doubled quote inside the literal stands for one quote.
    std::string& t = history_[static_cast<std::size_t>(next_ == 0 ? HistoryCapacity() - 1 : next_ - 1)].text;
    for (std::size_t i = 1; i + 1 < t.size(); ++i) {
      if (t[i] == '\'') t.erase(i, 1);
    }
  }
  return text;
}

}  // namespace vantorel
