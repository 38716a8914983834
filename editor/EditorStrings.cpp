#include "editor/EditorStrings.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "editor/UndoBuffer.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace vantorel {

namespace {

// Trailing characters of code 32 or less (blanks and control characters).
std::size_t TrimmedLength(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return n;
}

std::string PadTo(std::string_view s, int width) {
  std::string out(s);
  if (width > 0 && out.size() < static_cast<std::size_t>(width)) out.resize(static_cast<std::size_t>(width), ' ');
  return out;
}

bool HasTab(std::string_view s) noexcept { return !s.empty() && std::memchr(s.data(), '\t', s.size()) != nullptr; }

// Clamps a column to a position inside s (negative counts as 0).
std::size_t Col(std::string_view s, long long x) {
  if (x <= 0) return 0;
  return static_cast<std::size_t>(std::min<long long>(x, static_cast<long long>(s.size())));
}

// The length of s once each of its tabs became width blanks (none for a width of 0
// or less).
std::size_t ExpandedSize(std::size_t size, std::size_t tabs, int width) {
  return size - tabs + tabs * static_cast<std::size_t>(std::max(width, 0));
}

// The first byte at or after p that is not a tab: eight at a time through long runs.
const char* EndOfTabRun(const char* p, const char* const end) noexcept {
  constexpr std::uint64_t kEightTabs = 0x0909090909090909u;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (word != kEightTabs) break;
    p += 8;
  }
  while (p < end && *p == '\t') ++p;
  return p;
}

// Writes s to out with each tab replaced by width blanks; out has room for
// ExpandedSize. When out holds blanks already (a string made of them) the blanks are
// not written again.
void ExpandInto(char* out, std::string_view s, int width, bool blanksThere = false) {
  const char* from = s.data();
  const char* const end = from + s.size();
  const std::size_t blanks = static_cast<std::size_t>(std::max(width, 0));
  while (from < end) {
    const void* hit = std::memchr(from, '\t', static_cast<std::size_t>(end - from));
    const char* tab = hit ? static_cast<const char*>(hit) : end;
    std::memcpy(out, from, static_cast<std::size_t>(tab - from));
    out += tab - from;
    if (tab == end) break;
    // A run of tabs (indentation) becomes its blanks at once.
    const char* const after = EndOfTabRun(tab + 1, end);
    const std::size_t fill = blanks * static_cast<std::size_t>(after - tab);
    if (!blanksThere) std::memset(out, ' ', fill);
    out += fill;
    from = after;
  }
}

// Where the CRs, the LFs and the tabs are among 64 bytes: bit i for byte i.
struct ByteMasks {
  std::uint64_t cr = 0;
  std::uint64_t lf = 0;
  std::uint64_t tabs = 0;
};

// The masks of the n bytes at p (n <= 64; bytes past n count as none).
ByteMasks MasksOf(const char* p, std::size_t n) noexcept {
  ByteMasks m;
#if defined(__SSE2__)
  if (n == 64) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    const __m128i b3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
    // Written out with constant shifts: as a loop the compiler kept the shift count in
    // a register, and the masks were a fifth of a large load.
    const auto mask = [&](__m128i c) {
      const auto part = [c](__m128i bytes) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, c))));
      };
      return part(b0) | part(b1) << 16 | part(b2) << 32 | part(b3) << 48;
    };
    m.cr = mask(cr);
    m.lf = mask(lf);
    m.tabs = mask(tab);
    return m;
  }
#endif
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (p[i] == '\r') m.cr |= bit;
    if (p[i] == '\n') m.lf |= bit;
    if (p[i] == '\t') m.tabs |= bit;
  }
  return m;
}

// The set bits of x. A build for processors without a count instruction makes
// std::popcount a library call, which was a seventh of loading a file of tabs; these
// few operations run inline instead.
constexpr unsigned CountBits(std::uint64_t x) noexcept {
#if defined(__POPCNT__)
  return static_cast<unsigned>(std::popcount(x));
#else
  x -= (x >> 1) & 0x5555555555555555u;
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<unsigned>((x * 0x0101010101010101u) >> 56);
#endif
}

// Passes the whole 64-byte blocks from p on (n bytes there) that hold no CR and no
// LF, the inside of a long line, adding their tabs to tabs; returns the bytes passed.
// The tabs are summed in byte counters sixteen bytes at a time, which is cheaper than
// building and counting a mask per block.
std::size_t PassUnbrokenBlocks(const char* p, std::size_t n, std::size_t& tabs) noexcept {
  std::size_t done = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i tab = _mm_set1_epi8('\t');
  bool broken = false;
  while (!broken && n - done >= 64) {
    // A byte counter gains at most 4 a block: 63 blocks keep it below 256.
    __m128i counts = _mm_setzero_si128();
    for (int blocks = 0; blocks < 63 && n - done >= 64; ++blocks) {
      __m128i v[4];
      for (int i = 0; i < 4; ++i) v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done + 16 * i));
      __m128i breaks = _mm_setzero_si128();
      for (const __m128i& bytes : v) {
        breaks = _mm_or_si128(breaks, _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
      }
      if (_mm_movemask_epi8(breaks) != 0) {
        broken = true;
        break;
      }
      for (const __m128i& bytes : v) counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, tab));
      done += 64;
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    tabs += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#else
  (void)p;
  (void)n;
  (void)tabs;
#endif
  return done;
}

// The bits below bit i (i <= 64).
constexpr std::uint64_t Below(unsigned i) noexcept { return i >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << i) - 1; }

// The path the user is shown in a load error: absolute, as the port shows it.
std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full =
      std::filesystem::absolute(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
  if (error) return path;
  const std::u8string text = full.u8string();
  return std::string(text.begin(), text.end());
}

// Holds the editor's paint lock for a scope; lowering it never throws.
class PaintLock {
 public:
  explicit PaintLock(TEditorStringsOwner& owner) noexcept : owner_(owner) { owner_.LockOwnerPaint(); }
  ~PaintLock() { owner_.UnlockOwnerPaint(); }
  PaintLock(const PaintLock&) = delete;
  PaintLock& operator=(const PaintLock&) = delete;

 private:
  TEditorStringsOwner& owner_;
};

// Holds the editor's update for a scope. Ending it repaints and runs the owner's
// handlers, which may throw, so the operation ends it with End() once its work is done.
// When an error leaves the scope first, the destructor lowers the lock quietly (the
// paint-lock way, without a repaint) and the error goes on to the caller: nothing is
// caught, nothing thrown from a destructor.
class OwnerUpdate {
 public:
  explicit OwnerUpdate(TEditorStringsOwner& owner) : owner_(owner) { owner_.BeginOwnerUpdate(); }
  ~OwnerUpdate() {
    if (open_) owner_.UnlockOwnerPaint();
  }
  OwnerUpdate(const OwnerUpdate&) = delete;
  OwnerUpdate& operator=(const OwnerUpdate&) = delete;
  void End() {
    open_ = false;
    owner_.EndOwnerUpdate();
  }

 private:
  TEditorStringsOwner& owner_;
  bool open_ = true;
};

// Bytes of the shared chunks that copied lines are packed into. A line never spans
// two chunks; a longer line gets a string of its own.
constexpr unsigned kChunkBits = 18;
constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;
constexpr std::size_t kLongestChunkedLine = kChunkSize / 16;
constexpr std::size_t kMaxChunks = (std::size_t{UINT32_MAX} + 1) >> kChunkBits;

// An edit in a line longer than this, nearer its start than its end, moves the line's
// head rather than its tail; the room kept before such a line for that.
constexpr std::size_t kMoveHeadAbove = 4096;
constexpr std::size_t kFrontRoom = 4096;

// Cut spaces up to this many are kept as bytes (inside the record's string); more are
// counted and shown through a shared run.
constexpr std::size_t kFewBlanks = 32;

// Nothing but spaces (a byte of code 32 or less that is not a space is a blank too, but
// it cannot be written back as a count).
bool AllSpaces(std::string_view s) noexcept { return s.find_first_not_of(' ') == std::string_view::npos; }

// The room kept after a long line for it to grow in place.
constexpr std::size_t BackRoom(std::size_t size) noexcept { return std::max(kFrontRoom, size / 64); }

}  // namespace

// Fills a new store: lines of the loaded text stay views of it unless they hold a tab;
// copied and tabbed lines are written, tabs expanded, into shared chunks while they are
// still in cache, and lines of nothing but tabs view the shared run of spaces, which
// Finish makes (after the loaded bytes were freed, when no line views them). The tab
// setting is read once, at the first tab.
class TEditorStrings::Builder {
 public:
  Builder(Store& into, const TEditorStringsOwner& owner) noexcept : into_(into), owner_(owner) {}

  // Takes the lines of the loaded bytes base[0, limit) that are complete; with last
  // set the text ends at limit. Called again with a larger limit as more bytes
  // arrive, it goes on where it stopped. One pass finds line breaks and tabs together.
  // A NUL byte is kept as an ordinary character: cutting the text there would lose
  // the rest of the file at the next save.
  //
  // The bytes go 64 at a time: masks of their CRs, LFs and tabs. The LF of a CR LF
  // is taken out of the breaks by the masks, so the loop runs once per line, and a
  // line's tabs are counted from the mask, so a run of indentation costs nothing per
  // tab. The state lives in locals while the loop runs: the compiler must assume that
  // a store through the byte pointer could change a member.
  void Split(const char* base, std::size_t limit, bool last) {
    std::size_t scanned = scanned_;
    std::size_t lineStart = lineStart_;
    std::size_t tabs = tabs_;
    std::uint64_t crCarry = crCarry_;
    bool inLine = false;  // the last block ended no line
    while (scanned < limit) {
      if (inLine) {
        // A block with no break leaves no CR to pair with the next one.
        const std::size_t passed = PassUnbrokenBlocks(base + scanned, limit - scanned, tabs);
        if (passed > 0) crCarry = 0;
        scanned += passed;
        inLine = false;
        if (scanned >= limit) break;
      }
      const std::size_t n = std::min<std::size_t>(64, limit - scanned);
      if (n < 64 && !last) break;  // the rest waits for the next piece
      const ByteMasks m = MasksOf(base + scanned, n);
      // An LF right after a CR ends no line of its own; the line after it starts
      // past it (for a CR at the end of the last block, at this block's first byte).
      const std::uint64_t lfOfCrLf = m.lf & (m.cr << 1 | crCarry);
      lineStart += lfOfCrLf & 1;
      std::uint64_t breaks = (m.cr | m.lf) & ~lfOfCrLf;
      inLine = (m.cr | m.lf) == 0;
      const auto endLine = [&](unsigned i) {
        const std::size_t at = scanned + i;
        AddLoaded(base, lineStart, at, tabs);
        lineStart = at + 1 + (lfOfCrLf >> i >> 1 & 1);
        tabs = 0;
      };
      if (m.tabs == 0) {
        // Most blocks hold no tab: nothing to count.
        for (; breaks != 0; breaks &= breaks - 1) endLine(static_cast<unsigned>(std::countr_zero(breaks)));
      } else {
        unsigned counted = 0;  // bits whose tabs are in tabs
        for (; breaks != 0; breaks &= breaks - 1) {
          const unsigned i = static_cast<unsigned>(std::countr_zero(breaks));
          tabs += CountBits(m.tabs & Below(i) & ~Below(counted));
          counted = i + 1;
          endLine(i);
        }
        tabs += CountBits(m.tabs & ~Below(counted));
      }
      crCarry = m.cr >> 63;
      scanned += n;
    }
    // A final line break makes no empty line.
    if (last && lineStart < limit) AddLoaded(base, lineStart, limit, tabs);
    scanned_ = scanned;
    lineStart_ = lineStart;
    tabs_ = tabs;
    crCarry_ = crCarry;
  }

  void AddCopy(std::string_view s) {
    Append(Place(s, static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'))));
  }

  void Finish() {
    Flush();
    // Keeps the store's promise that releasing a slot never allocates.
    into_.freeSlots.reserve(into_.owned.size());
    if (longestBlank_ > into_.blanksSize) {
      into_.blanks = std::make_shared_for_overwrite<char[]>(longestBlank_);
      std::memset(into_.blanks.get(), ' ', longestBlank_);
      into_.blanksSize = longestBlank_;
    }
  }

  // Some line is a view into the loaded bytes (else they need not be kept).
  bool Viewed() const noexcept { return into_.views > 0; }

 private:
  // The line of the loaded bytes from begin to end, holding tabs tabs.
  void AddLoaded(const char* base, std::size_t begin, std::size_t end, std::size_t tabs) {
    const std::size_t size = end - begin;
    if (size == 0) {
      Append(LineRef{});
    } else if (tabs == 0 && begin <= UINT32_MAX && size <= LineRef::kMaxSize) {
      // However long: its first edit makes it the list's own, with room to grow.
      Append(LineRef::Make(LineRef::Loaded, begin, size));
      ++into_.views;
    } else {
      Append(Place(std::string_view(base + begin, size), tabs));
    }
  }

  // Records go to the list a block at a time: one call per line into the list's own
  // growth was an eighth of a large load.
  void Append(LineRef ref) {
    pending_[pendingCount_++] = ref;
    if (pendingCount_ == kBlock) Flush();
  }
  void Flush() {
    into_.lines.insert(into_.lines.end(), pending_, pending_ + pendingCount_);
    pendingCount_ = 0;
  }

  int TabWidth() {
    if (!widthRead_) {
      width_ = owner_.OwnerTabWidth();
      widthRead_ = true;
    }
    return width_;
  }

  LineRef Place(std::string_view s, std::size_t tabs) {
    const int width = tabs > 0 ? TabWidth() : 0;
    const std::size_t size = ExpandedSize(s.size(), tabs, width);
    if (size == 0) return {};
    // A line of nothing but tabs (an indented empty line, or a megabyte of them) is a
    // view of one run of blanks that all such lines share: nothing is written for it.
    // The run is never changed, an edit makes the line a string of its own first.
    if (tabs == s.size() && size <= LineRef::kMaxSize) {
      longestBlank_ = std::max(longestBlank_, size);
      return LineRef::Make(LineRef::Blank, 0, size);
    }
    if (size > kLongestChunkedLine || (room_ < size && into_.chunks.size() >= kMaxChunks)) {
      if (into_.owned.size() >= UINT32_MAX) throw std::length_error("too many lines");
      // Laid out as an edit lays out a long line: room before it for its head to move
      // into and room after it to grow, so that editing it never starts with a copy.
      const std::size_t front = size > kMoveHeadAbove ? kFrontRoom : 0;
      std::string own;
      own.reserve(front + size + BackRoom(size));
      if (tabs == 0) {
        own.append(front, ' ');
        own.append(s);
      } else {
        own.append(front + size, ' ');
        if (tabs < s.size()) ExpandInto(own.data() + front, s, width, true);
      }
      if (into_.tabbed.capacity() == into_.tabbed.size()) into_.tabbed.reserve(2 * into_.tabbed.size() + 16);
      into_.owned.push_back(Store::OwnedLine{std::move(own), front});
      into_.tabbed.push_back(false);  // within the room reserved above
      return LineRef::Make(LineRef::Owned, into_.owned.size() - 1, 0);
    }
    if (room_ < size) {
      into_.chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
      room_ = kChunkSize;
    }
    const std::size_t offset = kChunkSize - room_;
    const std::size_t at = ((into_.chunks.size() - 1) << kChunkBits) + offset;
    ExpandInto(into_.chunks.back().get() + offset, s, width);
    room_ -= size;
    return LineRef::Make(LineRef::Chunked, at, size);
  }

  static constexpr std::size_t kBlock = 1024;

  Store& into_;
  const TEditorStringsOwner& owner_;
  LineRef pending_[kBlock];
  std::size_t pendingCount_ = 0;
  std::size_t scanned_ = 0;                   // where Split goes on
  std::size_t lineStart_ = 0;                 // the line Split is in
  std::size_t tabs_ = 0;                      // its tabs so far
  std::uint64_t crCarry_ = 0;                 // the last byte split was a CR
  std::size_t room_ = 0;  // free bytes at the end of the last chunk
  std::size_t longestBlank_ = 0;  // the longest line of nothing but tabs, expanded
  int width_ = 0;
  bool widthRead_ = false;
};

// --- the store ---

std::string_view TEditorStrings::Store::ViewOf(LineRef ref) const noexcept {
  switch (ref.kind()) {
    case LineRef::Loaded:
      return {Loaded() + ref.at, ref.size()};
    case LineRef::Chunked:
      return {chunks[ref.at >> kChunkBits].get() + (ref.at & (kChunkSize - 1)), ref.size()};
    case LineRef::Owned:
      return owned[ref.at].View();
    case LineRef::Blank:
      return {blanks.get(), ref.size()};
  }
  return {};
}

std::size_t TEditorStrings::Store::KnownSpaces(LineRef ref) const noexcept {
  switch (ref.kind()) {
    case LineRef::Owned: {
      const OwnedLine& line = owned[ref.at];
      return line.blanks - line.hidden;
    }
    case LineRef::Blank:
      return ref.size();
    default:
      return 0;
  }
}

void TEditorStrings::Store::ReserveSlots(std::size_t n) {
  if (n <= freeSlots.size()) return;
  const std::size_t total = owned.size() + (n - freeSlots.size());
  if (total > UINT32_MAX) throw std::length_error("too many lines");
  if (freeSlots.capacity() < total) freeSlots.reserve(std::max(total, 2 * freeSlots.capacity()));
  if (owned.capacity() < total) owned.reserve(std::max(total, 2 * owned.capacity()));
  if (tabbed.capacity() < total) tabbed.reserve(std::max(total, 2 * tabbed.capacity()));
}

TEditorStrings::LineRef TEditorStrings::Store::Keep(OwnedLine&& s) noexcept {
  if (s.View().empty()) return {};
  const bool tab = HasTab(s.View());
  std::size_t slot;
  if (!freeSlots.empty()) {
    slot = freeSlots.back();
    freeSlots.pop_back();
    owned[slot] = std::move(s);
    tabbed[slot] = tab;
  } else {
    slot = owned.size();
    owned.push_back(std::move(s));  // within the reserved capacity
    tabbed.push_back(tab);
  }
  return LineRef::Make(LineRef::Owned, slot, 0);
}

void TEditorStrings::Store::Release(LineRef ref) noexcept {
  if (ref.kind() == LineRef::Loaded && ref.size() > 0 && --views == 0) {
    // No line views the loaded bytes any longer (the last one was edited).
    file.reset();
    std::string().swap(text);
  }
  if (ref.kind() != LineRef::Owned) return;
  owned[ref.at] = OwnedLine{};
  tabbed[ref.at] = false;
  freeSlots.push_back(ref.at);  // the capacity covers every slot
}

void TEditorStrings::Store::Swap(Store& other) noexcept {
  lines.swap(other.lines);
  file.swap(other.file);
  text.swap(other.text);
  std::swap(views, other.views);
  chunks.swap(other.chunks);
  blanks.swap(other.blanks);
  std::swap(blanksSize, other.blanksSize);
  spare.swap(other.spare);
  std::swap(spareSize, other.spareSize);
  owned.swap(other.owned);
  tabbed.swap(other.tabbed);
  freeSlots.swap(other.freeSlots);
}

void TEditorStrings::Store::Drop() noexcept {
  lines.clear();
  file.reset();
  std::string().swap(text);
  views = 0;
  decltype(chunks)().swap(chunks);
  blanks.reset();
  blanksSize = 0;
  spare.reset();
  spareSize = 0;
  decltype(owned)().swap(owned);
  decltype(tabbed)().swap(tabbed);
  decltype(freeSlots)().swap(freeSlots);
}

// --- the plain list ---

TEditorStrings::TEditorStrings(TEditorStringsOwner& owner, TUndoBuffer& undo) : owner_(owner), undo_(undo) {}

TEditorStrings::~TEditorStrings() = default;

void TEditorStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError(FormatText(kListIndexError, {std::to_string(index)}));
}

std::string_view TEditorStrings::View(int index) const {
  CheckIndex(index, Count());
  return store_.ViewOf(store_.lines[static_cast<std::size_t>(index)]);
}

void TEditorStrings::AddWatcher(LineWatcher& watcher) { watchers_.push_back(&watcher); }

void TEditorStrings::RemoveWatcher(LineWatcher& watcher) noexcept {
  std::erase(watchers_, &watcher);
}

void TEditorStrings::Notify(LineChange change) {
  change.origin = origin_;
  pending_ = changedInUpdate_ ? MergeChanges(pending_, change) : change;
  changedInUpdate_ = true;
  if (updateCount_ == 0) Deliver();
}

void TEditorStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) Deliver();
}

void TEditorStrings::Deliver() {
  changedInUpdate_ = false;
  const LineChange change = pending_;
  for (LineWatcher* watcher : watchers_) watcher->LinesChanged(change);
  owner_.OwnerLinesChanged(change);
}

void TEditorStrings::EraseLines(int from, int to) noexcept {
  const auto first = store_.lines.begin() + from;
  const auto last = store_.lines.begin() + to;
  for (auto it = first; it != last; ++it) store_.Release(*it);
  store_.lines.erase(first, last);
}

void TEditorStrings::Delete(int index) {
  CheckIndex(index, Count());
  const OriginScope origin(*this, PlainOrigin(), false);
  EraseLines(index, index + 1);
  Notify({index, 1, 0});
}

void TEditorStrings::Clear() {
  if (store_.lines.empty() && !store_.file && store_.text.empty() && store_.chunks.empty() && store_.owned.empty() &&
      !store_.blanks && !store_.spare) {
    return;
  }
  const OriginScope origin(*this, PlainOrigin(), false);
  const int removed = Count();
  store_.Drop();
  // Nothing the records describe is left: taking them back would edit a text they
  // were never made for.
  undo_.Clear();
  Notify({0, removed, 0});
}

void TEditorStrings::StoreLine(int index, std::string s) {
  CheckIndex(index, Count());
  LineRef& ref = store_.lines[static_cast<std::size_t>(index)];
  if (ref.kind() == LineRef::Owned && !s.empty()) {
    store_.tabbed[ref.at] = HasTab(s);
    store_.owned[ref.at] = Store::OwnedLine{std::move(s)};
  } else {
    store_.ReserveSlots(1);
    const LineRef old = ref;
    ref = store_.Keep(std::move(s));
    store_.Release(old);
  }
  NotifyLine(index);
}

void TEditorStrings::InsertLines(int index, std::span<std::string> lines) {
  CheckIndex(index, Count() + 1);
  if (lines.empty()) return;
  // Everything that can fail comes first; after it the lines are placed without error.
  store_.ReserveSlots(lines.size());
  const auto at = store_.lines.insert(store_.lines.begin() + index, lines.size(), LineRef{});
  for (std::size_t i = 0; i < lines.size(); ++i) at[static_cast<std::ptrdiff_t>(i)] = store_.Keep(std::move(lines[i]));
  Notify({index, 0, static_cast<int>(lines.size())});
}

// --- operations that take text in ---

std::string TEditorStrings::ExpandTabs(std::string_view s) const {
  const std::size_t tabs = static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'));
  if (tabs == 0) return std::string(s);
  const int width = owner_.OwnerTabWidth();
  std::string out(ExpandedSize(s.size(), tabs, width), ' ');
  ExpandInto(out.data(), s, width, true);
  return out;
}

int TEditorStrings::Add(std::string_view s) {
  const OriginScope origin(*this, PlainOrigin(), false);
  InsertLine(Count(), ExpandTabs(s));
  return Count() - 1;
}

void TEditorStrings::Insert(int index, std::string_view s) {
  CheckIndex(index, Count() + 1);
  const OriginScope origin(*this, PlainOrigin(), false);
  InsertLine(index, ExpandTabs(s));
}

void TEditorStrings::Put(int index, std::string_view s) {
  CheckIndex(index, Count());
  const OriginScope origin(*this, PlainOrigin(), false);
  if (!owner_.OwnerKeepsTrailingBlanks()) {
    const std::size_t kept = TrimmedLength(s);
    if (kept < s.size()) {
      undo_.Record<TDeleteTrailUndo>(static_cast<int>(s.size()), index, BlanksOf(s.substr(kept)));
      s = s.substr(0, kept);
    }
  }
  StoreLine(index, std::string(s));
}

void TEditorStrings::BuildLoaded(Store& into, std::size_t size) const {
  Builder builder(into, owner_);
  builder.Split(into.Loaded(), size, true);
  if (!builder.Viewed()) std::string().swap(into.text);
  builder.Finish();
}

// Swaps the built lines in (nothing here fails until the notification) and frees the
// old ones before anyone is told.
void TEditorStrings::ReplaceStore(Store& fresh) {
  const OriginScope origin(*this, PlainOrigin(), false);
  const int removed = Count();
  store_.Swap(fresh);
  fresh.Drop();
  Notify({.first = 0, .removed = removed, .added = Count(), .wholeText = true});
}

void TEditorStrings::SetTextStr(std::string text) {
  Store fresh;
  fresh.text = std::move(text);
  BuildLoaded(fresh, fresh.text.size());
  // The records go before anyone hears of the new text.
  if (owner_.OwnerUpdateLock() == 0) undo_.Clear();
  ReplaceStore(fresh);
}

std::string TEditorStrings::GetTextStr() const {
  std::size_t total = 0;
  for (const LineRef ref : store_.lines) total += store_.ViewOf(ref).size() + 2;
  std::string out;
  out.reserve(total);
  for (const LineRef ref : store_.lines) {
    out += store_.ViewOf(ref);
    out += "\r\n";
  }
  return out;
}

void TEditorStrings::LoadFromFile(FileSystem& fs, const std::string& path) {
  // Reading and building the lines is where a load can fail; the text is not touched
  // until both are done. Errors after that come from the notifications and pass as
  // they are.
  std::optional<Store> fresh;
  try {
    fresh.emplace();
    // The lines are split while the piece just read is still in the cache.
    Builder builder(*fresh, owner_);
    FileBytes bytes =
        fs.ReadInPieces(path, [&builder](const char* base, std::size_t done) { builder.Split(base, done, false); });
    builder.Split(bytes.data.get(), bytes.size, true);
    // Freed before the shared run of spaces is made: a file of tabs is not held
    // together with its blanks.
    if (builder.Viewed()) {
      fresh->file = std::move(bytes.data);
    } else {
      bytes.data.reset();
    }
    builder.Finish();
  } catch (const EFileError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw EFileError(FormatText(kCannotOpenFile, {FullPath(path), kOutOfMemory}));
  } catch (const std::exception& e) {
    throw EFileError(FormatText(kCannotOpenFile, {FullPath(path), e.what()}));
  }
  if (owner_.OwnerUpdateLock() == 0) undo_.Clear();
  ReplaceStore(*fresh);
}

void TEditorStrings::SaveToFile(FileSystem& fs, const std::string& path) const { fs.WriteFile(path, GetTextStr()); }

// The new lines are built before anything changes, so a failure keeps the old text;
// building reads only the source, so a list may be assigned to itself.
template <class Source>
void TEditorStrings::AssignFrom(const Source& source) {
  Store fresh;
  Builder builder(fresh, owner_);
  for (std::size_t i = 0; i < source.size(); ++i) builder.AddCopy(source[i]);
  builder.Finish();
  OwnerUpdate update(owner_);
  undo_.Clear();
  ReplaceStore(fresh);
  update.End();
}

template <class Source>
void TEditorStrings::AddStringsFrom(const Source& source) {
  std::vector<std::string> added;  // copies first, so that a list may add itself
  added.reserve(source.size());
  for (std::size_t i = 0; i < source.size(); ++i) added.push_back(ExpandTabs(source[i]));
  OwnerUpdate update(owner_);
  const OriginScope origin(*this, PlainOrigin(), false);
  InsertLines(Count(), added);
  undo_.Clear();
  update.End();
}

namespace {
// A list's lines as views, indexed like a vector.
struct ViewsOf {
  const TEditorStrings& list;
  std::size_t size() const { return static_cast<std::size_t>(list.Count()); }
  std::string_view operator[](std::size_t i) const { return list.View(static_cast<int>(i)); }
};
}  // namespace

void TEditorStrings::Assign(const std::vector<std::string>& source) { AssignFrom(source); }
void TEditorStrings::Assign(const TEditorStrings& source) { AssignFrom(ViewsOf{source}); }
void TEditorStrings::AddStrings(const std::vector<std::string>& source) { AddStringsFrom(source); }
void TEditorStrings::AddStrings(const TEditorStrings& source) { AddStringsFrom(ViewsOf{source}); }

// --- the editor's internal text operations ---

void TEditorStrings::SetLineText(int y, std::string_view s) { StoreEdited(y, ExpandTabs(s)); }

void TEditorStrings::SetLineText(int y, std::string&& s) {
  // A line without a tab is stored as it is: no scan for tabs' widths, no copy.
  StoreEdited(y, s.find('\t') == std::string::npos ? std::move(s) : ExpandTabs(s));
}

void TEditorStrings::StoreEdited(int y, std::string text) {
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  if (!owner_.OwnerKeepsTrailingBlanks()) {
    // What is cut off is kept for undo: an edit at the end of a line may leave
    // characters trailing that were inside the line (a NUL, a blank between words),
    // and the edit's own record must find the line as the edit made it.
    const std::size_t kept = TrimmedLength(text);
    if (kept < text.size()) {
      undo_.Record<TDeleteTrailUndo>(static_cast<int>(text.size()), y, BlanksOf(std::string_view(text).substr(kept)));
      text.resize(kept);
    }
  }
  StoreLine(y, std::move(text));
}

void TEditorStrings::KeepTrailingBlanksOf(int fromY, int toY) {
  if (owner_.OwnerKeepsTrailingBlanks()) return;
  fromY = std::max(fromY, 0);
  toY = std::min(toY, Count() - 1);
  for (int y = fromY; y <= toY; ++y) {
    const std::string_view line = View(y);
    // The spaces known to end the line (a line of blanks, a long line's cut ones) are
    // not read again.
    const std::size_t known = store_.KnownSpaces(store_.lines[static_cast<std::size_t>(y)]);
    const std::size_t kept = TrimmedLength(line.substr(0, line.size() - known));
    if (kept < line.size()) {
      undo_.Record<TDeleteTrailUndo>(static_cast<int>(line.size()), y, BlanksOf(line.substr(kept), known));
    }
  }
}

TrailingBlanks TEditorStrings::BlanksOf(std::string_view cut, std::size_t known) {
  known = std::min(known, cut.size());
  if (cut.size() > kFewBlanks && AllSpaces(cut.substr(0, cut.size() - known))) return SpacesFor(cut.size());
  return TrailingBlanks(std::string(cut));
}

TrailingBlanks TEditorStrings::SpacesFor(std::size_t count) {
  if (count <= store_.blanksSize) return TrailingBlanks(store_.blanks, count);
  if (count > store_.spareSize) {
    // Grown by doubling, so that many records share few runs; the records keep the
    // runs they view.
    const std::size_t size = std::max(count, 2 * store_.spareSize);
    std::shared_ptr<char[]> run = std::make_shared_for_overwrite<char[]>(size);
    std::memset(run.get(), ' ', size);
    store_.spare = std::move(run);
    store_.spareSize = size;
  }
  return TrailingBlanks(store_.spare, count);
}

void TEditorStrings::RestoreTrailingBlanks(int y, int at, std::string_view blanks) {
  if (y < 0 || y >= Count() || View(y).size() != static_cast<std::size_t>(at)) return;
  EditLine(y, static_cast<std::size_t>(at), 0, blanks, true);
}

void TEditorStrings::RestoreTrailingBlanks(int y, int at, const TrailingBlanks& blanks) {
  if (y < 0 || y >= Count() || View(y).size() != static_cast<std::size_t>(at)) return;
  if (blanks.OnlySpaces() && RevealSpaces(y, blanks.size())) return;
  EditLine(y, static_cast<std::size_t>(at), 0, blanks, true);
}

bool TEditorStrings::RevealSpaces(int y, std::size_t count) {
  LineRef& ref = store_.lines[static_cast<std::size_t>(y)];
  const std::size_t size = store_.ViewOf(ref).size();
  Store::OwnedLine* const line = ref.kind() == LineRef::Owned ? &store_.owned[ref.at] : nullptr;
  const bool kept = line != nullptr && line->hidden >= count;
  // A line of spaces (or none) becomes a longer view of the shared run.
  const bool viewed = !kept && (size == 0 || ref.kind() == LineRef::Blank) && size + count <= store_.blanksSize &&
                      size + count <= LineRef::kMaxSize;
  if (!kept && !viewed) return false;
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  if (kept) {
    line->hidden -= count;
  } else {
    store_.Release(ref);
    ref = LineRef::Make(LineRef::Blank, 0, size + count);
  }
  NotifyLine(y);
  return true;
}

void TEditorStrings::RemovePadding(int y, int at, int count) {
  if (y < 0 || y >= Count() || at < 0 || count <= 0) return;
  const std::string_view line = View(y);
  if (line.size() != static_cast<std::size_t>(at) + static_cast<std::size_t>(count)) return;
  if (line.find_first_not_of(' ', static_cast<std::size_t>(at)) != std::string_view::npos) return;
  EditLine(y, static_cast<std::size_t>(at), static_cast<std::size_t>(count), {}, true);
}

void TEditorStrings::ReLine(bool pad) {
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  const int caretX = owner_.OwnerCaretX();
  const int caretY = owner_.OwnerCaretY();
  int lastLength = Count() > 0 ? static_cast<int>(View(Count() - 1).size()) : caretX;
  while (Count() <= caretY) {
    undo_.Record<TReLineUndo>(lastLength, caretY);
    store_.lines.push_back(LineRef{});
    Notify({Count() - 1, 0, 1});
    lastLength = 0;
  }
  if (!pad) return;
  const std::string_view line = View(caretY);
  const int length = static_cast<int>(line.size());
  if (length < caretX) {
    undo_.Record<TReLinePadUndo>(length, caretY, std::string(static_cast<std::size_t>(caretX - length), ' '));
    StoreLine(caretY, PadTo(View(caretY), caretX));
  }
}

void TEditorStrings::ReplaceInLine(int y, int at, std::size_t count, std::string_view text) {
  EditLine(y, static_cast<std::size_t>(std::max(at, 0)), count, text, false);
}

// The text must not be a view of the list's own lines: the line may move as it grows.
void TEditorStrings::EditLine(int y, std::size_t at, std::size_t count, std::string_view textIn, bool raw) {
  CheckIndex(y, Count());
  LineRef& ref = store_.lines[static_cast<std::size_t>(y)];
  const std::string_view old = store_.ViewOf(ref);
  if (!raw && ref.kind() == LineRef::Owned && store_.tabbed[ref.at]) {
    // A tab stored as it is gets expanded by any edit of its line: the line is built
    // anew, as a whole.
    std::string line = PadTo(old, static_cast<int>(std::min<std::size_t>(at, INT_MAX)));
    line.replace(at, count, textIn);
    SetLineText(y, std::string_view(line));
    return;
  }
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  const std::string expanded = raw || !HasTab(textIn) ? std::string() : ExpandTabs(textIn);
  const std::string_view text = expanded.empty() ? textIn : std::string_view(expanded);
  const std::size_t size = old.size();
  const std::size_t pad = at > size ? at - size : 0;
  const std::size_t removed = at < size ? std::min(count, size - at) : 0;
  const std::size_t tailFrom = std::min(at, size) + removed;
  const std::size_t newSize = size + pad - removed + text.size();
  const std::size_t head = std::min(at, size);
  const std::size_t tail = size - tailFrom;
  // The last bytes of the tail known to be spaces are not read again: a long line of
  // blanks is not scanned at every edit.
  const std::size_t known = store_.KnownSpaces(ref);
  const std::size_t tailSpaces = std::min(known, tail);

  // The edited line is head (the line up to at), pad blanks, text, then the old tail.
  // Its trailing blanks are found and recorded before anything changes, so that a
  // failure leaves the line as it was.
  std::size_t kept = newSize;
  if (!raw && !owner_.OwnerKeepsTrailingBlanks()) {
    kept = newSize - tail + TrimmedLength(old.substr(tailFrom, tail - tailSpaces));
    if (kept == newSize - tail) {
      kept -= text.size() - TrimmedLength(text);
      if (kept == newSize - tail - text.size()) kept = TrimmedLength(old.substr(0, head));
    }
  }
  // Near the start of a long line (typing never goes past column 1024) the head moves,
  // into the room before the line, instead of the tail.
  const bool moveHead = size > kMoveHeadAbove && head < tail;
  const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(pad + text.size()) - static_cast<std::ptrdiff_t>(removed);
  Store::OwnedLine* line = nullptr;
  Store::OwnedLine fresh;
  if (ref.kind() == LineRef::Owned) {
    line = &store_.owned[ref.at];
  } else {
    // The line becomes the list's own once; later edits change it where it is, in
    // room left for them (a long line is not copied again at the next character).
    store_.ReserveSlots(1);
    line = &fresh;
  }
  const std::size_t frontRoom = moveHead ? std::max<std::size_t>(kFrontRoom, 2 * text.size()) : 0;
  if (line == &fresh || (moveHead && delta > 0 && line->begin < static_cast<std::size_t>(delta))) {
    // A new layout: room before the line for the head to move into and after it
    // to grow, and the spaces kept behind it. Nothing has changed yet when this fails.
    const std::size_t hidden = line->hidden;
    std::string bytes;
    bytes.reserve(frontRoom + newSize + hidden + newSize / 8);
    bytes.append(frontRoom, ' ');
    bytes.append(old);  // the line as it is, wherever it was stored
    bytes.append(hidden, ' ');
    *line = Store::OwnedLine{std::move(bytes), frontRoom, hidden, known + hidden};
  } else if (!moveHead && delta > static_cast<std::ptrdiff_t>(line->hidden) &&
             line->bytes.capacity() < line->begin + newSize) {
    line->bytes.reserve(std::max(line->begin + newSize, 2 * line->bytes.capacity()));
  }
  // What is cut from the end of the edited line: the end of each of its pieces.
  const std::string_view now = line->View();
  const std::size_t textAt = head + pad;
  const auto keptOf = [kept](std::size_t start, std::size_t length) {
    return kept > start ? std::min(length, kept - start) : 0;
  };
  const std::string_view headCut = now.substr(keptOf(0, head), head - keptOf(0, head));
  const std::size_t padCut = pad - keptOf(head, pad);
  const std::string_view textCut = text.substr(keptOf(textAt, text.size()));
  const std::string_view tailCut = now.substr(tailFrom + keptOf(textAt + text.size(), tail));
  const bool cutSpaces = kept < newSize && AllSpaces(headCut) && AllSpaces(textCut) &&
                         AllSpaces(tailCut.substr(0, tailCut.size() - std::min(tailSpaces, tailCut.size())));
  if (kept < newSize && !undo_.Undoing()) {
    TrailingBlanks cut;
    if (cutSpaces && newSize - kept > kFewBlanks) {
      cut = SpacesFor(newSize - kept);
    } else {
      std::string bytes;
      bytes.reserve(newSize - kept);
      bytes.append(headCut);
      bytes.append(padCut, ' ');
      bytes.append(textCut);
      bytes.append(tailCut);
      cut = TrailingBlanks(std::move(bytes));
    }
    undo_.Record<TDeleteTrailUndo>(static_cast<int>(newSize), y, std::move(cut));
  }
  // Nothing below fails: the room is there.
  if (moveHead) {
    // The head moves by delta (left to make room, right to close it) and the text
    // goes between it and the tail, which stays where it is.
    char* const bytes = line->bytes.data();
    const std::size_t to = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(line->begin) - delta);
    std::memmove(bytes + to, bytes + line->begin, head);
    if (!text.empty()) std::memcpy(bytes + to + head, text.data(), text.size());
    line->begin = to;
  } else if (delta <= static_cast<std::ptrdiff_t>(line->hidden)) {
    // Where the bytes are: a growing tail moves over spaces kept behind the line, a
    // shrinking one leaves spaces behind it.
    char* const bytes = line->bytes.data() + line->begin;
    if (tail > 0) std::memmove(bytes + tailFrom + delta, bytes + tailFrom, tail);
    if (pad > 0) std::memset(bytes + head, ' ', pad);
    if (!text.empty()) std::memcpy(bytes + textAt, text.data(), text.size());
    if (delta < 0) std::memset(bytes + newSize, ' ', static_cast<std::size_t>(-delta));
    line->hidden = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(line->hidden) - delta);
  } else {
    // The spaces kept behind the line give way to it.
    line->bytes.resize(line->bytes.size() - line->hidden);
    line->hidden = 0;
    if (pad > 0) line->bytes.append(pad, ' ');
    line->bytes.replace(line->begin + at, removed, text);
  }
  // The line now ends at kept: spaces cut from it stay behind its end for their undo,
  // other blanks go.
  if (kept < newSize && cutSpaces) {
    line->hidden += newSize - kept;
    line->blanks = line->hidden;
  } else if (kept < newSize) {
    line->bytes.resize(line->begin + kept);
    line->hidden = 0;
    line->blanks = 0;
  } else {
    line->blanks = line->hidden + tailSpaces;
  }
  if (line == &fresh) {
    const LineRef previous = ref;
    ref = store_.Keep(std::move(fresh));
    store_.Release(previous);
  } else if (kept == 0 && line->hidden == 0) {
    store_.Release(ref);
    ref = LineRef{};
  } else if (raw && HasTab(text)) {
    store_.tabbed[ref.at] = true;
  }
  NotifyLine(y);
}

void TEditorStrings::InsertText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  UpdateScope update(*this);
  while (Count() <= y) InsertLine(Count(), {});
  std::vector<std::string_view> pieces;
  ForEachLine(text, true, [&pieces](std::string_view piece) { pieces.push_back(piece); });
  if (pieces.size() == 1) {
    ReplaceInLine(y, x, 0, pieces[0]);
  } else {
    const std::string line = PadTo(View(y), x);
    const std::size_t split = Col(line, x);
    const std::string head = line.substr(0, split);
    const std::string tail = line.substr(split);
    for (std::size_t i = 1; i < pieces.size(); ++i) Insert(y + static_cast<int>(i), pieces[i]);
    SetLineText(y, head + std::string(pieces[0]));
    const int last = y + static_cast<int>(pieces.size()) - 1;
    SetLineText(last, std::string(View(last)) + tail);
  }
  update.End();
}

void TEditorStrings::DeleteText(int beginX, int beginY, int endX, int endY) {
  if (beginY < 0) beginX = beginY = 0;
  if (beginY >= Count()) return;
  long long lastX = endX;
  if (endY >= Count()) {
    endY = Count() - 1;
    lastX = INT_MAX - 1;
  }
  if (beginX < 0) beginX = 0;
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  UpdateScope update(*this);
  if (endY == beginY && lastX + 1 >= beginX) {
    // Within one line: only the deleted part moves.
    ReplaceInLine(beginY, beginX, static_cast<std::size_t>(lastX + 1 - beginX), {});
    update.End();
    return;
  }
  const std::string first = PadTo(View(beginY), beginX);
  const std::string head = first.substr(0, static_cast<std::size_t>(beginX));
  std::string tail;
  if (endY >= 0) {
    const std::string_view last = View(endY);
    tail = std::string(last.substr(Col(last, lastX + 1)));
  }
  if (endY > beginY) {
    EraseLines(beginY + 1, endY + 1);
    Notify({beginY + 1, endY - beginY, 0});
  }
  SetLineText(beginY, head + tail);
  update.End();
}

void TEditorStrings::ReplaceText(int beginX, int beginY, int endX, int endY, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (beginY < 0) beginX = beginY = 0;
  if (beginX < 0) beginX = 0;
  if (beginY >= Count()) {
    InsertText(beginX, beginY, text);
    return;
  }
  long long lastX = endX;
  if (endY >= Count()) {
    endY = Count() - 1;
    lastX = INT_MAX - 1;
  }
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  UpdateScope update(*this);
  std::vector<std::string_view> pieces;
  ForEachLine(text, true, [&pieces](std::string_view piece) { pieces.push_back(piece); });
  // Nothing deleted when the range ends before it begins.
  const bool deletes = endY > beginY || (endY == beginY && lastX + 1 > beginX);
  if (pieces.size() == 1 && (!deletes || endY == beginY)) {
    ReplaceInLine(beginY, beginX, deletes ? static_cast<std::size_t>(lastX + 1 - beginX) : 0, pieces[0]);
    update.End();
    return;
  }
  const std::string first = PadTo(View(beginY), beginX);
  const std::string head = first.substr(0, static_cast<std::size_t>(beginX));
  std::string tail;
  if (deletes) {
    const std::string_view last = View(endY);
    tail = std::string(last.substr(Col(last, lastX + 1)));
    if (endY > beginY) {
      EraseLines(beginY + 1, endY + 1);
      Notify({beginY + 1, endY - beginY, 0});
    }
  } else {
    tail = first.substr(static_cast<std::size_t>(beginX));
  }
  for (std::size_t i = 1; i < pieces.size(); ++i) Insert(beginY + static_cast<int>(i), pieces[i]);
  const int last = beginY + static_cast<int>(pieces.size()) - 1;
  if (last == beginY) {
    SetLineText(beginY, head + std::string(pieces[0]) + tail);
  } else {
    SetLineText(beginY, head + std::string(pieces[0]));
    SetLineText(last, std::string(View(last)) + tail);
  }
  update.End();
}

void TEditorStrings::InsertColumnText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  UpdateScope update(*this);
  int row = y;
  ForEachLine(text, false, [&](std::string_view piece) {
    while (Count() <= row) InsertLine(Count(), {});
    std::string line = PadTo(View(row), x);
    line.insert(Col(line, x), piece);
    SetLineText(row, std::move(line));
    ++row;
  });
  update.End();
}

void TEditorStrings::DeleteColumnText(int beginX, int beginY, int endX, int endY) {
  if (beginY < 0) beginX = beginY = 0;
  if (beginY >= Count()) return;
  long long lastX = endX;
  if (endY >= Count()) {
    endY = Count() - 1;
    lastX = INT_MAX - 1;
  }
  if (beginX < 0) beginX = 0;
  PaintLock paint(owner_);
  const OriginScope origin(*this, ChangeOrigin::User, false);
  UpdateScope update(*this);
  for (int row = beginY; row <= endY; ++row) {
    std::string line(View(row));
    const std::size_t from = Col(line, beginX);
    const std::size_t to = Col(line, lastX + 1);
    if (to > from) line.erase(from, to - from);
    SetLineText(row, std::move(line));
  }
  update.End();
}

}  // namespace vantorel
