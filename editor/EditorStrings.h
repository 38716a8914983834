// The editor's line list: the whole text as lines of ANSI bytes without line breaks,
// and the text-level operations the editing commands are built from.
//
// A loaded text is kept as one block and its lines stay views into it until one of
// them is changed, however long; lines with tabs are expanded into shared chunks as the
// text is split, and lines of nothing but blanks view one shared run of spaces. A line
// record is 8 bytes, so a large file costs little more than its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/LineChange.h"

namespace vantorel {

class FileSystem;
struct FileBytes;
class TrailingBlanks;
class TUndoBuffer;

inline constexpr std::string_view kListIndexError = "List index out of bounds (%d)";
// The reason given when a file cannot be loaded for want of memory.
inline constexpr std::string_view kOutOfMemory = "Out of memory.";

// What the line list needs from the editor that owns it, and nothing more.
class TEditorStringsOwner {
 public:
  // The editor's paint lock: raised and lowered without a repaint. The editor's update
  // below is the same counter, so lowering it here is also the quiet way out of an
  // update that an error interrupted.
  virtual void LockOwnerPaint() noexcept = 0;
  virtual void UnlockOwnerPaint() noexcept = 0;
  // The editor's update: when its end brings the lock back to 0 the view is
  // recomputed and repainted (which runs the owner's handlers, so it may throw).
  virtual void BeginOwnerUpdate() = 0;
  virtual void EndOwnerUpdate() = 0;
  virtual int OwnerUpdateLock() const noexcept = 0;
  virtual bool OwnerKeepsTrailingBlanks() const noexcept = 0;
  // Blanks that replace one tab: the first tab stop right of column 0 (may throw for a
  // tab-stop list that is not valid).
  virtual int OwnerTabWidth() const = 0;
  virtual int OwnerCaretX() const noexcept = 0;
  virtual int OwnerCaretY() const noexcept = 0;
  // A command of the user's is running: what the list is asked to do now is the user's.
  virtual bool OwnerRunsCommand() const noexcept = 0;
  // Every change, after the watchers heard of it: the editor's own reaction (a
  // repaint, its notifications), which may run handler code and throw.
  virtual void OwnerLinesChanged(const LineChange& change) = 0;

 protected:
  ~TEditorStringsOwner() = default;
};

class TEditorStrings {
 public:
  // The undo buffer beside the list takes the records of what the list changes by
  // itself (cut trailing blanks, lines appended for the caret).
  TEditorStrings(TEditorStringsOwner& owner, TUndoBuffer& undo);
  ~TEditorStrings();
  TEditorStrings(const TEditorStrings&) = delete;
  TEditorStrings& operator=(const TEditorStrings&) = delete;

  // --- the plain list ---
  int Count() const noexcept { return static_cast<int>(store_.lines.size()); }
  std::string Get(int index) const { return std::string(View(index)); }
  // The line's bytes; valid until the list changes.
  std::string_view View(int index) const;
  void Delete(int index);
  void Clear();
  // Nested; the changes made inside are reported as one at the outermost end.
  void BeginUpdate() noexcept { ++updateCount_; }
  void EndUpdate();
  // Holds the list's update open for a scope: End() closes it and reports (handler code
  // that may throw); when an error leaves the scope first, the change stays pending and
  // is reported with the next one.
  class UpdateScope;

  // --- who hears of changes ---
  // Each change reaches every watcher, in the order they came, and then the owner.
  void AddWatcher(LineWatcher& watcher);
  void RemoveWatcher(LineWatcher& watcher) noexcept;
  // The changes made while it lives are reported with origin; nested scopes, the
  // innermost wins. Without one, the editor's text operations count as the user's and
  // the plain list's as the program's, but while a command runs.
  class OriginScope;

  // --- operations that take text in ---
  int Add(std::string_view s);
  void Insert(int index, std::string_view s);
  void Put(int index, std::string_view s);
  // Replaces the whole text. The new lines are built completely first: when that fails
  // the old text, its lines and its state stay exactly as they were.
  void SetTextStr(std::string text);
  std::string GetTextStr() const;
  // Like SetTextStr with the file's bytes; a file that cannot be read, or whose lines
  // cannot be built, fails with EFileError "Cannot open file ..." and keeps the text.
  void LoadFromFile(FileSystem& fs, const std::string& path);
  void SaveToFile(FileSystem& fs, const std::string& path) const;
  void Assign(const std::vector<std::string>& source);
  void Assign(const TEditorStrings& source);
  void AddStrings(const std::vector<std::string>& source);
  void AddStrings(const TEditorStrings& source);
  std::string ExpandTabs(std::string_view s) const;

  // --- the editor's internal text operations ---
  void SetLineText(int y, std::string_view s);
  void SetLineText(int y, std::string&& s);
  void SetLineText(int y, const char* s) { SetLineText(y, std::string_view(s)); }
  // Storing a line cuts its trailing blanks; an edit calls this for the lines it is
  // about to change, before its own undo record, so that the blanks a line had come
  // back once the edit is undone (a transparent record per line that has any).
  void KeepTrailingBlanksOf(int fromY, int toY);
  // Undo of such a record: the blanks go back at the end of line y when the line is
  // again as long as it was without them. Spaces the list still keeps behind the line's
  // end, or a line of spaces its shared run can show, come back without being written.
  void RestoreTrailingBlanks(int y, int at, std::string_view blanks);
  void RestoreTrailingBlanks(int y, int at, const TrailingBlanks& blanks);
  // Undo of ReLine's padding: count blanks from column at are removed when they are
  // exactly what ends line y.
  void RemovePadding(int y, int at, int count);
  // Appends lines until the caret's line exists and, when pad is set, pads the caret's
  // line with blanks up to the caret (for text typed there).
  void ReLine(bool pad = true);
  // Replaces count bytes at column at of line y by text (no line break in it), the
  // line padded with blanks up to at first: what SetLineText of the edited line gives,
  // tabs expanded and trailing blanks cut and recorded, at the cost of the edited part
  // alone. A long line is edited where it is stored.
  void ReplaceInLine(int y, int at, std::size_t count, std::string_view text);
  void InsertText(int x, int y, std::string_view text);
  void DeleteText(int beginX, int beginY, int endX, int endY);
  // DeleteText of the range (endX inclusive; an end before the begin deletes nothing),
  // then InsertText of text at its begin, with each line stored once. Done as two
  // steps, the line would be stored in between: a character of code 32 or less (a NUL)
  // left last on it would be cut, and the insertion would pad a blank in its place.
  void ReplaceText(int beginX, int beginY, int endX, int endY, std::string_view text);
  void InsertColumnText(int x, int y, std::string_view text);
  void DeleteColumnText(int beginX, int beginY, int endX, int endY);

 private:
  class Builder;

  // One line in 8 bytes: where its bytes are and how many there are. A line is a view
  // into the loaded text, a copy in a shared chunk, a view of the shared run of spaces
  // (a line of nothing but blanks), or (once edited) a string of its own in a slot; the
  // kind sits in the top two bits of the size. An empty line points nowhere, but for an
  // edited one that keeps the spaces cut from it.
  struct LineRef {
    enum Kind : std::uint32_t { Loaded, Chunked, Owned, Blank };
    static constexpr unsigned kKindShift = 30;
    static constexpr std::size_t kMaxSize = (std::size_t{1} << kKindShift) - 1;

    std::uint32_t at = 0;   // offset in the loaded text or the chunks, or the slot (0 for blanks)
    std::uint32_t tag = 0;  // kind << 30 | size (an owned line's size is its string's)

    Kind kind() const noexcept { return static_cast<Kind>(tag >> kKindShift); }
    std::size_t size() const noexcept { return tag & kMaxSize; }
    static LineRef Make(Kind kind, std::size_t at, std::size_t size) noexcept {
      return {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(kind) << kKindShift |
                                                  static_cast<std::uint32_t>(size)};
    }
  };

  // The lines and everything that holds their bytes. Swapping two stores never throws,
  // which is how a new text replaces the old one.
  struct Store {
    std::deque<LineRef> lines;
    // The loaded bytes: a file as read, or a text handed over as a string. They are
    // freed when the last line viewing them is changed.
    std::unique_ptr<char[]> file;
    std::string text;
    std::size_t views = 0;                          // lines viewing the loaded bytes
    std::vector<std::unique_ptr<char[]>> chunks;    // copied and tab-expanded lines
    // The spaces the lines of nothing but blanks view, as long as the longest of them;
    // the undo records of cut spaces share it, or the spare run when it is too short.
    std::shared_ptr<char[]> blanks;
    std::size_t blanksSize = 0;
    std::shared_ptr<char[]> spare;
    std::size_t spareSize = 0;
    // An edited line: its bytes from begin on. The bytes before begin are room for
    // edits near the start of a long line, which move the line's head into it
    // instead of moving its tail. The last hidden bytes are spaces cut from the
    // line's end and kept there, so that their undo (the step that takes back typing
    // in a long line of blanks) writes nothing; the last blanks bytes (hidden or not)
    // are known to be spaces, so that finding the line's trailing blanks again does
    // not read them.
    struct OwnedLine {
      std::string bytes;
      std::size_t begin = 0;
      std::size_t hidden = 0;
      std::size_t blanks = 0;
      std::string_view View() const noexcept {
        return std::string_view(bytes).substr(begin, bytes.size() - begin - hidden);
      }
    };
    std::vector<OwnedLine> owned;                   // edited lines, by slot
    // By slot: the line may hold a tab. Only Put and the undo of cut blanks store a
    // tab as it is; every other line has its tabs expanded.
    std::vector<std::uint8_t> tabbed;
    std::vector<std::uint32_t> freeSlots;           // capacity always covers every slot

    const char* Loaded() const noexcept { return file ? file.get() : text.data(); }
    std::string_view ViewOf(LineRef ref) const noexcept;
    // How many bytes at the end of the line are known to be spaces, without reading it.
    std::size_t KnownSpaces(LineRef ref) const noexcept;
    // Makes room for n more owned lines, so that Keep cannot fail afterwards.
    void ReserveSlots(std::size_t n);
    LineRef Keep(std::string&& s) noexcept { return Keep(OwnedLine{std::move(s)}); }
    LineRef Keep(OwnedLine&& line) noexcept;
    void Release(LineRef ref) noexcept;
    void Swap(Store& other) noexcept;
    void Drop() noexcept;  // forgets every line and frees their bytes
  };

  void CheckIndex(int index, int limit) const;
  // Reports a change, or adds it to the pending one while an update is open.
  void Notify(LineChange change);
  void Deliver();
  ChangeOrigin PlainOrigin() const noexcept {
    return owner_.OwnerRunsCommand() ? ChangeOrigin::User : ChangeOrigin::Program;
  }
  void NotifyLine(int y) { Notify({y, 1, 1}); }
  // Closes an update that an error interrupted: no notification, the change stays
  // pending and is reported with the next one.
  void LeaveUpdate() noexcept { --updateCount_; }
  void StoreLine(int index, std::string s);  // no tabs, no trimming, no undo
  // ReplaceInLine's work; raw stores the text as it is (no tab expansion, no cut).
  void EditLine(int y, std::size_t at, std::size_t count, std::string_view text, bool raw);
  // count spaces back at the end of line y without writing them, when the line keeps
  // them behind its end or can view them in the shared run; false when it cannot.
  bool RevealSpaces(int y, std::size_t count);
  // The record of blanks cut from a line's end; the last known bytes of cut are known
  // to be spaces.
  TrailingBlanks BlanksOf(std::string_view cut, std::size_t known = 0);
  // A record of count spaces, viewing a shared run.
  TrailingBlanks SpacesFor(std::size_t count);
  // An edited line with its tabs expanded: trailing blanks cut (and recorded), stored.
  void StoreEdited(int y, std::string text);
  void InsertLines(int index, std::span<std::string> lines);
  void InsertLine(int index, std::string s) { InsertLines(index, std::span<std::string>(&s, 1)); }
  void EraseLines(int from, int to) noexcept;  // [from, to)
  void ReplaceStore(Store& fresh);
  // Splits the store's loaded bytes (size of them) into its lines.
  void BuildLoaded(Store& into, std::size_t size) const;
  template <class Source>
  void AssignFrom(const Source& source);
  template <class Source>
  void AddStringsFrom(const Source& source);

  TEditorStringsOwner& owner_;
  TUndoBuffer& undo_;
  Store store_;
  int updateCount_ = 0;
  bool changedInUpdate_ = false;
  LineChange pending_;  // the changes made inside the open update, as one
  std::vector<LineWatcher*> watchers_;
  ChangeOrigin origin_ = ChangeOrigin::Program;
  bool originSet_ = false;
};

class TEditorStrings::UpdateScope {
 public:
  explicit UpdateScope(TEditorStrings& list) noexcept : list_(list) { list_.BeginUpdate(); }
  ~UpdateScope() {
    if (open_) list_.LeaveUpdate();
  }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;
  void End() {
    if (!open_) return;
    open_ = false;
    list_.EndUpdate();
  }

 private:
  TEditorStrings& list_;
  bool open_ = true;
};

class TEditorStrings::OriginScope {
 public:
  // overrides false: only when no scope is open yet (an operation's own default).
  OriginScope(TEditorStrings& list, ChangeOrigin origin, bool overrides = true) noexcept
      : list_(list), saved_(list.origin_), savedSet_(list.originSet_) {
    if (overrides || !list.originSet_) {
      list.origin_ = origin;
      list.originSet_ = true;
    }
  }
  ~OriginScope() {
    list_.origin_ = saved_;
    list_.originSet_ = savedSet_;
  }
  OriginScope(const OriginScope&) = delete;
  OriginScope& operator=(const OriginScope&) = delete;

 private:
  TEditorStrings& list_;
  const ChangeOrigin saved_;
  const bool savedSet_;
};

// Splits text into lines: a line ends at CR, at LF or at the end; after it one CR and
// then one LF are skipped, so CR LF, CR and LF each end one line and LF CR ends two.
// A final line break makes no empty last line unless finalBreakMakesLine is set (then
// an empty text is one empty piece too).
template <class F>
void ForEachLine(std::string_view text, bool finalBreakMakesLine, F&& piece) {
  const char* p = text.data();
  const char* const end = p + text.size();
  auto find = [end](const char* from, char c) {
    const void* hit = from < end ? std::memchr(from, c, static_cast<std::size_t>(end - from)) : nullptr;
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char* nextCr = find(p, '\r');
  const char* nextLf = find(p, '\n');
  bool endedWithBreak = true;  // an empty text counts as ending after a break
  while (p < end) {
    const char* brk = nextCr < nextLf ? nextCr : nextLf;
    piece(std::string_view(p, static_cast<std::size_t>(brk - p)));
    p = brk;
    endedWithBreak = p < end;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
    if (nextCr < p) nextCr = find(p, '\r');
    if (nextLf < p) nextLf = find(p, '\n');
  }
  if (finalBreakMakesLine && endedWithBreak) piece(std::string_view());
}

}  // namespace vantorel
