#include "highlight/Brackets.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "editor/CaretCommands.h"

namespace vantorel {
namespace {

constexpr std::string_view kOpeners = "(<[{";
constexpr std::string_view kClosers = ")>]}";
constexpr std::size_t kNone = std::string_view::npos;

// The walk's case-insensitive match folds only "A" to "Z": it runs over the whole text
// on every caret move, so it stays a plain byte comparison.
constexpr char FoldAscii(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// The lower case of a Windows-1251 byte, for matching a word against the pair list the
// way the user's locale does: ASCII, the Russian letters and the other Cyrillic ones.
constexpr std::array<unsigned char, 256> MakeAnsiLower() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  constexpr std::pair<int, int> kOthers[] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
                                             {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
                                             {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (const auto& [upper, lower] : kOthers) t[static_cast<std::size_t>(upper)] = static_cast<unsigned char>(lower);
  return t;
}
constexpr std::array<unsigned char, 256> kAnsiLower = MakeAnsiLower();

bool SameWord(std::string_view a, std::string_view b, bool caseSensitive) noexcept {
  if (caseSensitive) return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return kAnsiLower[static_cast<unsigned char>(x)] == kAnsiLower[static_cast<unsigned char>(y)];
         });
}

// The positions where one of two tokens may start: their first byte, followed by their
// second when they have one. With ignoreCase, both sides are compared with bit 0x20 set,
// which finds each letter in both cases (and a few other bytes: the caller verifies
// every candidate). The walk spends its time here, skipping text that holds no
// candidate, sixteen bytes at a time where the processor has SSE2.
class CandidateFinder {
 public:
  CandidateFinder(std::string_view a, std::string_view b, bool ignoreCase) noexcept
      : fold_(ignoreCase ? 0x20 : 0), probes_{MakeProbe(a), MakeProbe(b)} {
    for (unsigned c = 0; c < starts_.size(); ++c) {
      for (std::size_t k = 0; k < probes_.size(); ++k) {
        if ((c | fold_) == probes_[k].first) starts_[c] |= static_cast<unsigned char>(1u << k);
      }
    }
#ifdef __SSE2__
    foldBytes_ = _mm_set1_epi8(static_cast<char>(fold_));
    for (std::size_t k = 0; k < 2; ++k) {
      first_[k] = _mm_set1_epi8(static_cast<char>(probes_[k].first));
      second_[k] = _mm_set1_epi8(static_cast<char>(probes_[k].oneByte ? 0xFF : probes_[k].second));
      anySecond_[k] = _mm_set1_epi8(static_cast<char>(probes_[k].oneByte ? 0xFF : 0));
    }
#endif
  }

  // The first candidate at or after from; kNone when there is none. Next and Prev are
  // called once a line and once a candidate: inlined into the walk they cost a fifth
  // less over a long text.
  [[gnu::always_inline]] std::size_t Next(std::string_view s, std::size_t from) const noexcept {
    const std::size_t n = s.size();
    std::size_t i = from;
#ifdef __SSE2__
    if (n >= kReach && i + 1 < n) {
      for (; i + kReach <= n; i += kBlock) {
        if (const unsigned m = Mask(s.data() + i)) return i + static_cast<std::size_t>(std::countr_zero(m));
      }
      // One block ending at the line's last but one byte takes the rest but the last.
      if (i + 1 < n) {
        const std::size_t j = n - kReach;
        if (const unsigned m = Mask(s.data() + j) & (~0u << (i - j))) {
          return j + static_cast<std::size_t>(std::countr_zero(m));
        }
        i = n - 1;
      }
    }
#endif
    for (; i < n; ++i) {
      if (At(s, i)) return i;
    }
    return kNone;
  }

  // The last candidate before `to`; kNone when there is none.
  [[gnu::always_inline]] std::size_t Prev(std::string_view s, std::size_t to) const noexcept {
    const std::size_t n = s.size();
    std::size_t e = std::min(to, n);
#ifdef __SSE2__
    if (n >= kReach) {
      // A block reads one byte past its end, so the line's last byte is looked at alone.
      if (e == n) {
        if (At(s, n - 1)) return n - 1;
        --e;
      }
      for (; e >= kBlock; e -= kBlock) {
        if (const unsigned m = Mask(s.data() + e - kBlock)) return e - kBlock + Highest(m);
      }
      if (const unsigned m = Mask(s.data()) & ((1u << e) - 1)) return Highest(m);
      return kNone;
    }
#endif
    while (e > 0) {
      if (At(s, --e)) return e;
    }
    return kNone;
  }

 private:
  struct Probe {
    unsigned char first = 0;
    unsigned char second = 0;
    bool oneByte = true;
  };
  Probe MakeProbe(std::string_view w) const noexcept {
    Probe p;
    p.first = static_cast<unsigned char>(static_cast<unsigned char>(w[0]) | fold_);
    p.oneByte = w.size() == 1;
    if (!p.oneByte) p.second = static_cast<unsigned char>(static_cast<unsigned char>(w[1]) | fold_);
    return p;
  }
  bool At(std::string_view s, std::size_t q) const noexcept {
    const unsigned starts = starts_[static_cast<unsigned char>(s[q])];
    if (starts == 0) return false;
    for (std::size_t k = 0; k < probes_.size(); ++k) {
      if ((starts >> k & 1) == 0) continue;
      const Probe& p = probes_[k];
      if (p.oneByte) return true;
      if (q + 1 < s.size() && static_cast<unsigned char>(static_cast<unsigned char>(s[q + 1]) | fold_) == p.second) {
        return true;
      }
    }
    return false;
  }

  unsigned char fold_;
  std::array<Probe, 2> probes_;
  std::array<unsigned char, 256> starts_{};  // bit k: the byte may begin probe k

#ifdef __SSE2__
  static constexpr std::size_t kBlock = 16;
  static constexpr std::size_t kReach = kBlock + 1;  // bytes a block reads: the second byte of its last position
  static std::size_t Highest(unsigned m) noexcept { return static_cast<std::size_t>(31 - std::countl_zero(m)); }
  // Bit k: a candidate at p + k. Reads p[0] to p[16].
  unsigned Mask(const char* p) const noexcept {
    const __m128i x0 = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), foldBytes_);
    const __m128i x1 = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1)), foldBytes_);
    __m128i any = _mm_setzero_si128();
    for (std::size_t k = 0; k < 2; ++k) {
      const __m128i second = _mm_cmpeq_epi8(_mm_or_si128(x1, anySecond_[k]), second_[k]);
      any = _mm_or_si128(any, _mm_and_si128(_mm_cmpeq_epi8(x0, first_[k]), second));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(any));
  }
  __m128i foldBytes_;
  __m128i first_[2];
  __m128i second_[2];
  __m128i anySecond_[2];
#endif
};

// Tells the start word and the partner word apart at a candidate position: each counts
// only as a whole word, inside the line with a separator (or the line's edge) on both
// sides. The separators are a table here, as this runs for every candidate of the walk.
class WholeWords {
 public:
  WholeWords(std::string_view start, std::string_view partner, bool caseSensitive) noexcept
      : start_(start), partner_(partner), caseSensitive_(caseSensitive) {
    for (unsigned c = 0; c < separator_.size(); ++c) separator_[c] = IsWordSeparator(static_cast<char>(c));
  }
  // -1: the partner stands at q; +1: the start word does; 0: neither.
  int operator()(std::string_view s, std::size_t q) const noexcept {
    if (q > 0 && !Separator(s[q - 1])) return 0;
    if (At(s, q, partner_)) return -1;
    return At(s, q, start_) ? 1 : 0;
  }

 private:
  bool Separator(char c) const noexcept { return separator_[static_cast<unsigned char>(c)]; }
  bool At(std::string_view s, std::size_t q, std::string_view w) const noexcept {
    if (w.size() > s.size() - q) return false;
    const std::size_t end = q + w.size();
    if (end < s.size() && !Separator(s[end])) return false;
    if (caseSensitive_) return std::memcmp(s.data() + q, w.data(), w.size()) == 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (FoldAscii(s[q + i]) != FoldAscii(w[i])) return false;
    }
    return true;
  }

  std::string_view start_;
  std::string_view partner_;
  bool caseSensitive_;
  std::array<bool, 256> separator_{};
};

struct Partner {
  bool found = false;
  std::size_t x = 0;
  int y = 0;
};

// Walks from position p of line y (whose text is s) in the given direction across the
// lines, keeping the nesting depth, to the candidate that closes it. classify tells a
// candidate position apart: -1 the partner, +1 another start token, 0 neither.
template <class Classify>
Partner WalkToPartner(BracketTextPort& text, int y, std::string_view s, std::size_t p, int direction,
                      const CandidateFinder& candidates, const Classify& classify) {
  std::int64_t depth = 1;
  const auto closes = [&](std::size_t q) {
    const int kind = classify(s, q);
    if (kind < 0) return --depth == 0;
    if (kind > 0) ++depth;
    return false;
  };
  if (direction > 0) {
    const int count = text.LineCount();
    for (std::size_t from = p + 1;; from = 0) {
      for (std::size_t q = candidates.Next(s, from); q != kNone; q = candidates.Next(s, q + 1)) {
        if (closes(q)) return Partner{true, q, y};
      }
      if (++y >= count) return {};
      s = text.LineView(y);
    }
  }
  for (std::size_t to = p;; to = s.size()) {
    for (std::size_t q = candidates.Prev(s, to); q != kNone; q = candidates.Prev(s, q)) {
      if (closes(q)) return Partner{true, q, y};
    }
    if (--y < 0) return {};
    s = text.LineView(y);
  }
}

}  // namespace

void TBracketHighlighting::Assign(const TBracketHighlighting& source) noexcept {
  Active = source.Active;
  FontColor = source.FontColor;
  BorderColor = source.BorderColor;
  Color = source.Color;
}

TBracketHighlighting::WordPairMatch TBracketHighlighting::LookUpWordPair(std::string_view word) const {
  WordPairMatch match;
  match.CaseSensitive = CaseSensitiveWordPairs;
  for (const std::string& line : wordPairs_) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string_view left = std::string_view(line).substr(0, eq);
    const std::string_view right = std::string_view(line).substr(eq + 1);
    if (SameWord(left, word, CaseSensitiveWordPairs)) {
      match.Direction = 1;
      match.Partner = right;
      return match;
    }
    if (SameWord(right, word, CaseSensitiveWordPairs)) {
      match.Direction = -1;
      match.Partner = left;
      return match;
    }
  }
  return match;
}

void TBracketHighlighting::UpdateBracketMarks(BracketTextPort& text, bool showing, int caretX, int caretY) {
  ClearMarks(text);
  if (Active && showing) FindMarks(text, caretX, caretY);
}

void TBracketHighlighting::ClearMarks(BracketTextPort& text) {
  stale_ = false;
  const TBracketMark start = start_;
  const TBracketMark partner = partner_;
  start_ = TBracketMark{};
  partner_ = TBracketMark{};
  if (start.IsSet()) text.RepaintLine(start.BeginY);
  if (partner.IsSet() && !(start.IsSet() && start.BeginY == partner.BeginY)) text.RepaintLine(partner.BeginY);
}

void TBracketHighlighting::FindMarks(BracketTextPort& text, int caretX, int caretY) {
  if (caretY < 0 || caretY >= text.LineCount()) return;
  const std::string_view s = text.LineView(caretY);
  if (caretX < 0 || static_cast<std::size_t>(caretX) >= s.size()) return;
  std::size_t p = static_cast<std::size_t>(caretX);
  std::size_t startLength = 1;
  std::size_t partnerLength = 1;
  Partner found;
  const std::size_t opener = kOpeners.find(s[p]);
  const std::size_t closer = kClosers.find(s[p]);
  if (opener != kNone || closer != kNone) {
    const char own = s[p];
    const char other = opener != kNone ? kClosers[opener] : kOpeners[closer];
    const CandidateFinder candidates(std::string_view(&own, 1), std::string_view(&other, 1), false);
    found = WalkToPartner(text, caretY, s, p, opener != kNone ? 1 : -1, candidates,
                          [other](std::string_view line, std::size_t q) { return line[q] == other ? -1 : 1; });
  } else {
    // The run of word characters around the caret, or the separator under it alone.
    std::size_t end = p + 1;
    if (!IsWordSeparator(s[p])) {
      while (p > 0 && !IsWordSeparator(s[p - 1])) --p;
      while (end < s.size() && !IsWordSeparator(s[end])) ++end;
    }
    const std::string_view word = s.substr(p, end - p);
    const WordPairMatch pair = LookUpWordPair(word);
    if (pair.Direction == 0 || pair.Partner.empty()) return;
    startLength = word.size();
    partnerLength = pair.Partner.size();
    const CandidateFinder candidates(word, pair.Partner, !pair.CaseSensitive);
    found = WalkToPartner(text, caretY, s, p, pair.Direction, candidates,
                          WholeWords(word, pair.Partner, pair.CaseSensitive));
  }
  if (!found.found) return;
  start_ = TBracketMark{static_cast<int>(p) + 1, caretY, static_cast<int>(p + startLength), caretY};
  partner_ = TBracketMark{static_cast<int>(found.x) + 1, found.y, static_cast<int>(found.x + partnerLength), found.y};
  text.RepaintLine(caretY);
  if (found.y != caretY) text.RepaintLine(found.y);
}

void TBracketHighlighting::LinesChanged(const LineChange& change) noexcept {
  for (TBracketMark* mark : {&start_, &partner_}) {
    if (!mark->IsSet() || mark->BeginY < change.first) continue;
    if (change.wholeText) {
      stale_ = true;
    } else if (mark->BeginY >= change.first + change.removed) {
      mark->BeginY += change.added - change.removed;
    } else {
      // The marked line went or was rewritten: the line now in its place is repainted.
      stale_ = true;
      mark->BeginY = change.first + std::min(mark->BeginY - change.first, std::max(change.added - 1, 0));
    }
    mark->EndY = mark->BeginY;
  }
}

void TBracketHighlighting::ApplyBracketMarks(int line, TLineAttrs& attrs) const noexcept {
  if (!Active || stale_) return;
  for (const TBracketMark* mark : {&start_, &partner_}) {
    if (!mark->IsSet() || line < mark->BeginY || line > mark->EndY) continue;
    if (mark->EndX > MaxLineColumns || mark->EndX < mark->BeginX) continue;
    for (int k = std::max(mark->BeginX, 1); k <= mark->EndX; ++k) {
      TLineAttr& a = attrs[static_cast<std::size_t>(k)];
      if (FontColor != clNone) a.ForeColor = FontColor;
      if (Color != clNone) a.BackColor = Color;
      a.BorderColor = BorderColor;
    }
  }
}

}  // namespace vantorel
