#include "editor/EditorStrings.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

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

// Writes s to out with each tab replaced by width blanks; out has room for
// ExpandedSize.
void ExpandInto(char* out, std::string_view s, int width) {
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
    const char* after = tab + 1;
    while (after < end && *after == '\t') ++after;
    const std::size_t fill = blanks * static_cast<std::size_t>(after - tab);
    std::memset(out, ' ', fill);
    out += fill;
    from = after;
  }
}

bool IsBreakOrTab(char c) noexcept { return c == '\r' || c == '\n' || c == '\t'; }

// The first CR, LF or tab at or after p, or end. The three are the only bytes below
// 14 that text usually holds, so eight bytes at a time are tested for "any byte below
// 14" (the lowest flagged byte of a word is exact) and only hits are looked at.
const char* FindBreakOrTab(const char* p, const char* const end) noexcept {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const std::uint64_t below14 = (word - kOnes * 14) & ~word & kHighs;
      if (below14 == 0) {
        p += 8;
        continue;
      }
      p += std::countr_zero(below14) / 8;
      if (IsBreakOrTab(*p)) return p;
      ++p;
    }
  }
  while (p < end && !IsBreakOrTab(*p)) ++p;
  return p;
}

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

}  // namespace

// Holds the list's update open for a scope, the same way as OwnerUpdate: End() closes
// it and raises the change notification (handler code that may throw); when an error
// leaves the scope first, the destructor only closes the count and the change stays
// pending, reported with the next notification.
class TEditorStrings::UpdateScope {
 public:
  explicit UpdateScope(TEditorStrings& list) noexcept : list_(list) { list_.BeginUpdate(); }
  ~UpdateScope() {
    if (open_) list_.LeaveUpdate();
  }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;
  void End() {
    open_ = false;
    list_.EndUpdate();
  }

 private:
  TEditorStrings& list_;
  bool open_ = true;
};

// Fills a new store: lines of the loaded text stay views of it unless they hold a tab;
// copied and tabbed lines are written, tabs expanded, into shared chunks while they are
// still in cache. The tab setting is read once, at the first tab.
class TEditorStrings::Builder {
 public:
  Builder(Store& into, const TEditorStringsOwner& owner) noexcept : into_(into), owner_(owner) {}

  // The line of the loaded text from begin to end, holding that many tabs.
  void AddLoaded(std::size_t begin, std::size_t end, std::size_t tabs) {
    const std::size_t size = end - begin;
    if (tabs == 0 && begin <= UINT32_MAX && size <= LineRef::kMaxSize) {
      into_.lines.push_back(size == 0 ? LineRef{} : LineRef::Make(LineRef::Loaded, begin, size));
    } else {
      into_.lines.push_back(Place(std::string_view(into_.text).substr(begin, size), tabs));
    }
  }

  void AddCopy(std::string_view s) {
    into_.lines.push_back(Place(s, static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'))));
  }

  // Keeps the store's promise that releasing a slot never allocates.
  void Finish() { into_.freeSlots.reserve(into_.owned.size()); }

 private:
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
    if (size > kLongestChunkedLine || (room_ < size && into_.chunks.size() >= kMaxChunks)) {
      if (into_.owned.size() >= UINT32_MAX) throw std::length_error("too many lines");
      std::string own(size, ' ');
      ExpandInto(own.data(), s, width);
      into_.owned.push_back(std::move(own));
      return LineRef::Make(LineRef::Owned, into_.owned.size() - 1, 0);
    }
    if (room_ < size) {
      into_.chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
      room_ = kChunkSize;
    }
    const std::size_t offset = kChunkSize - room_;
    ExpandInto(into_.chunks.back().get() + offset, s, width);
    room_ -= size;
    return LineRef::Make(LineRef::Chunked, ((into_.chunks.size() - 1) << kChunkBits) + offset, size);
  }

  Store& into_;
  const TEditorStringsOwner& owner_;
  std::size_t room_ = 0;  // free bytes at the end of the last chunk
  int width_ = 0;
  bool widthRead_ = false;
};

// --- the store ---

std::string_view TEditorStrings::Store::ViewOf(LineRef ref) const noexcept {
  switch (ref.kind()) {
    case LineRef::Loaded:
      return {text.data() + ref.at, ref.size()};
    case LineRef::Chunked:
      return {chunks[ref.at >> kChunkBits].get() + (ref.at & (kChunkSize - 1)), ref.size()};
    case LineRef::Owned:
      return owned[ref.at];
  }
  return {};
}

void TEditorStrings::Store::ReserveSlots(std::size_t n) {
  if (n <= freeSlots.size()) return;
  const std::size_t total = owned.size() + (n - freeSlots.size());
  if (total > UINT32_MAX) throw std::length_error("too many lines");
  if (freeSlots.capacity() < total) freeSlots.reserve(std::max(total, 2 * freeSlots.capacity()));
  if (owned.capacity() < total) owned.reserve(std::max(total, 2 * owned.capacity()));
}

TEditorStrings::LineRef TEditorStrings::Store::Keep(std::string&& s) noexcept {
  if (s.empty()) return {};
  std::size_t slot;
  if (!freeSlots.empty()) {
    slot = freeSlots.back();
    freeSlots.pop_back();
    owned[slot] = std::move(s);
  } else {
    slot = owned.size();
    owned.push_back(std::move(s));  // within the reserved capacity
  }
  return LineRef::Make(LineRef::Owned, slot, 0);
}

void TEditorStrings::Store::Release(LineRef ref) noexcept {
  if (ref.kind() != LineRef::Owned) return;
  owned[ref.at] = std::string();
  freeSlots.push_back(ref.at);  // the capacity covers every slot
}

void TEditorStrings::Store::Swap(Store& other) noexcept {
  lines.swap(other.lines);
  text.swap(other.text);
  chunks.swap(other.chunks);
  owned.swap(other.owned);
  freeSlots.swap(other.freeSlots);
}

void TEditorStrings::Store::Drop() noexcept {
  lines.clear();
  std::string().swap(text);
  decltype(chunks)().swap(chunks);
  decltype(owned)().swap(owned);
  decltype(freeSlots)().swap(freeSlots);
}

// --- the plain list ---

TEditorStrings::TEditorStrings(TEditorStringsOwner& owner) : owner_(owner) {}

TEditorStrings::~TEditorStrings() = default;

void TEditorStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError(FormatText(kListIndexError, {std::to_string(index)}));
}

std::string_view TEditorStrings::View(int index) const {
  CheckIndex(index, Count());
  return store_.ViewOf(store_.lines[static_cast<std::size_t>(index)]);
}

void TEditorStrings::Notify() {
  if (updateCount_ > 0) {
    changedInUpdate_ = true;
    return;
  }
  changedInUpdate_ = false;
  if (OnChange) OnChange();
}

void TEditorStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) Notify();
}

void TEditorStrings::EraseLines(int from, int to) noexcept {
  const auto first = store_.lines.begin() + from;
  const auto last = store_.lines.begin() + to;
  for (auto it = first; it != last; ++it) store_.Release(*it);
  store_.lines.erase(first, last);
}

void TEditorStrings::Delete(int index) {
  CheckIndex(index, Count());
  EraseLines(index, index + 1);
  Notify();
}

void TEditorStrings::Clear() {
  if (store_.lines.empty() && store_.text.empty() && store_.chunks.empty() && store_.owned.empty()) return;
  store_.Drop();
  // Nothing the records describe is left: taking them back would edit a text they
  // were never made for.
  owner_.OwnerUndoBuffer().Clear();
  Notify();
}

void TEditorStrings::StoreLine(int index, std::string s) {
  CheckIndex(index, Count());
  LineRef& ref = store_.lines[static_cast<std::size_t>(index)];
  if (ref.kind() == LineRef::Owned && !s.empty()) {
    store_.owned[ref.at] = std::move(s);
  } else {
    store_.ReserveSlots(1);
    const LineRef old = ref;
    ref = store_.Keep(std::move(s));
    store_.Release(old);
  }
  Notify();
}

void TEditorStrings::InsertLines(int index, std::span<std::string> lines) {
  CheckIndex(index, Count() + 1);
  if (lines.empty()) return;
  // Everything that can fail comes first; after it the lines are placed without error.
  store_.ReserveSlots(lines.size());
  const auto at = store_.lines.insert(store_.lines.begin() + index, lines.size(), LineRef{});
  for (std::size_t i = 0; i < lines.size(); ++i) at[static_cast<std::ptrdiff_t>(i)] = store_.Keep(std::move(lines[i]));
  Notify();
}

// --- operations that take text in ---

std::string TEditorStrings::ExpandTabs(std::string_view s) const {
  const std::size_t tabs = static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'));
  if (tabs == 0) return std::string(s);
  const int width = owner_.OwnerTabWidth();
  std::string out(ExpandedSize(s.size(), tabs, width), ' ');
  ExpandInto(out.data(), s, width);
  return out;
}

int TEditorStrings::Add(std::string_view s) {
  InsertLine(Count(), ExpandTabs(s));
  return Count() - 1;
}

void TEditorStrings::Insert(int index, std::string_view s) {
  CheckIndex(index, Count() + 1);
  InsertLine(index, ExpandTabs(s));
}

void TEditorStrings::Put(int index, std::string_view s) {
  CheckIndex(index, Count());
  if (!owner_.OwnerKeepsTrailingBlanks()) {
    const std::size_t kept = TrimmedLength(s);
    if (kept < s.size()) {
      owner_.OwnerUndoBuffer().Record<TDeleteTrailUndo>(static_cast<int>(s.size()), index,
                                                        std::string(s.substr(kept)));
      s = s.substr(0, kept);
    }
  }
  StoreLine(index, std::string(s));
}

// One pass over the text finds line breaks and tabs together. A NUL byte is kept as an
// ordinary character: cutting the text there would lose the rest of the file at the
// next save.
void TEditorStrings::BuildLoaded(Store& into, std::string text) const {
  into.text = std::move(text);
  Builder builder(into, owner_);
  const char* const base = into.text.data();
  const char* const end = base + into.text.size();
  const char* line = base;
  const char* p = base;
  std::size_t tabs = 0;
  for (;;) {
    p = FindBreakOrTab(p, end);
    if (p < end && *p == '\t') {
      // Indentation comes in runs: they are counted here, not one search per tab.
      while (p < end && *p == '\t') {
        ++tabs;
        ++p;
      }
      continue;
    }
    if (p == end && line == end) break;  // a final line break makes no empty line
    builder.AddLoaded(static_cast<std::size_t>(line - base), static_cast<std::size_t>(p - base), tabs);
    if (p == end) break;
    if (*p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
    line = p;
    tabs = 0;
  }
  builder.Finish();
}

// Swaps the built lines in (nothing here fails until the notification) and frees the
// old ones before anyone is told.
void TEditorStrings::ReplaceStore(Store& fresh) {
  const bool changes = Count() > 0 || !fresh.lines.empty();
  store_.Swap(fresh);
  fresh.Drop();
  if (changes) Notify();
}

void TEditorStrings::SetTextStr(std::string text) {
  Store fresh;
  BuildLoaded(fresh, std::move(text));
  ReplaceStore(fresh);
  if (owner_.OwnerUpdateLock() == 0) owner_.OwnerUndoBuffer().Clear();
  owner_.OwnerTextAllChanged();
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
    BuildLoaded(*fresh, fs.ReadFile(path));
  } catch (const EFileError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw EFileError(FormatText(kCannotOpenFile, {FullPath(path), kOutOfMemory}));
  } catch (const std::exception& e) {
    throw EFileError(FormatText(kCannotOpenFile, {FullPath(path), e.what()}));
  }
  UpdateScope update(*this);
  ReplaceStore(*fresh);
  if (owner_.OwnerUpdateLock() == 0) owner_.OwnerUndoBuffer().Clear();
  owner_.OwnerTextAllChanged();
  update.End();
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
  ReplaceStore(fresh);
  owner_.OwnerUndoBuffer().Clear();
  owner_.OwnerTextAllChanged();
  update.End();
}

template <class Source>
void TEditorStrings::AddStringsFrom(const Source& source) {
  std::vector<std::string> added;  // copies first, so that a list may add itself
  added.reserve(source.size());
  for (std::size_t i = 0; i < source.size(); ++i) added.push_back(ExpandTabs(source[i]));
  OwnerUpdate update(owner_);
  InsertLines(Count(), added);
  owner_.OwnerUndoBuffer().Clear();
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
  if (!owner_.OwnerKeepsTrailingBlanks()) {
    // What is cut off is kept for undo: an edit at the end of a line may leave
    // characters trailing that were inside the line (a NUL, a blank between words),
    // and the edit's own record must find the line as the edit made it.
    const std::size_t kept = TrimmedLength(text);
    if (kept < text.size()) {
      owner_.OwnerUndoBuffer().Record<TDeleteTrailUndo>(static_cast<int>(text.size()), y, text.substr(kept));
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
    const std::size_t kept = TrimmedLength(line);
    if (kept < line.size()) {
      owner_.OwnerUndoBuffer().Record<TDeleteTrailUndo>(static_cast<int>(line.size()), y,
                                                        std::string(line.substr(kept)));
    }
  }
}

void TEditorStrings::RestoreTrailingBlanks(int y, int at, std::string_view blanks) {
  if (y < 0 || y >= Count() || View(y).size() != static_cast<std::size_t>(at)) return;
  PaintLock paint(owner_);
  StoreLine(y, std::string(View(y)) + std::string(blanks));
}

void TEditorStrings::RemovePadding(int y, int at, int count) {
  if (y < 0 || y >= Count() || at < 0 || count <= 0) return;
  const std::string_view line = View(y);
  if (line.size() != static_cast<std::size_t>(at) + static_cast<std::size_t>(count)) return;
  if (line.find_first_not_of(' ', static_cast<std::size_t>(at)) != std::string_view::npos) return;
  PaintLock paint(owner_);
  StoreLine(y, std::string(line.substr(0, static_cast<std::size_t>(at))));
}

void TEditorStrings::ReLine(bool pad) {
  PaintLock paint(owner_);
  const int caretX = owner_.OwnerCaretX();
  const int caretY = owner_.OwnerCaretY();
  int lastLength = Count() > 0 ? static_cast<int>(View(Count() - 1).size()) : caretX;
  while (Count() <= caretY) {
    owner_.OwnerUndoBuffer().Record<TReLineUndo>(lastLength, caretY);
    store_.lines.push_back(LineRef{});
    Notify();
    lastLength = 0;
  }
  if (!pad) return;
  const std::string_view line = View(caretY);
  const int length = static_cast<int>(line.size());
  if (length < caretX) {
    owner_.OwnerUndoBuffer().Record<TReLinePadUndo>(length, caretY, std::string(static_cast<std::size_t>(caretX - length), ' '));
    StoreLine(caretY, PadTo(View(caretY), caretX));
  }
}

void TEditorStrings::InsertText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  PaintLock paint(owner_);
  UpdateScope update(*this);
  while (Count() <= y) InsertLine(Count(), {});
  const std::string line = PadTo(View(y), x);
  const std::size_t split = Col(line, x);
  const std::string head = line.substr(0, split);
  const std::string tail = line.substr(split);

  std::vector<std::string_view> pieces;
  ForEachLine(text, true, [&pieces](std::string_view piece) { pieces.push_back(piece); });
  if (pieces.size() == 1) {
    SetLineText(y, head + std::string(pieces[0]) + tail);
  } else {
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
  UpdateScope update(*this);
  const std::string first = PadTo(View(beginY), beginX);
  const std::string head = first.substr(0, static_cast<std::size_t>(beginX));
  std::string tail;
  if (endY >= 0) {
    const std::string_view last = View(endY);
    tail = std::string(last.substr(Col(last, lastX + 1)));
  }
  if (endY > beginY) {
    EraseLines(beginY + 1, endY + 1);
    Notify();
  }
  SetLineText(beginY, head + tail);
  update.End();
}

void TEditorStrings::InsertColumnText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  PaintLock paint(owner_);
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
