// The editor's line list: the whole text as lines of ANSI bytes without line breaks,
// and the text-level operations the editing commands are built from.
//
// A loaded text is kept as one block; its lines stay views into that block until one
// of them is changed, so loading a large file costs one allocation, not one a line.
#pragma once

#include <cstddef>
#include <cstring>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

class TCustomEditor;
class FileSystem;

inline constexpr std::string_view kListIndexError = "List index out of bounds (%d)";

class TEditorStrings {
 public:
  explicit TEditorStrings(TCustomEditor& editor);
  ~TEditorStrings();
  TEditorStrings(const TEditorStrings&) = delete;
  TEditorStrings& operator=(const TEditorStrings&) = delete;

  // --- the plain list ---
  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  std::string Get(int index) const { return std::string(View(index)); }
  // The line's bytes; valid until the list changes.
  std::string_view View(int index) const;
  void Delete(int index);
  void Clear();
  // Nested; the change notification fires once at the outermost end when anything
  // changed inside.
  void BeginUpdate() noexcept { ++updateCount_; }
  void EndUpdate();
  // Called after every change while no update is open.
  std::function<void()> OnChange;

  // --- operations that take text in ---
  int Add(std::string_view s);
  void Insert(int index, std::string_view s);
  void Put(int index, std::string_view s);
  void SetTextStr(std::string text);
  std::string GetTextStr() const;
  void LoadFromFile(FileSystem& fs, const std::string& path);
  void SaveToFile(FileSystem& fs, const std::string& path) const;
  void Assign(const std::vector<std::string>& source);
  void Assign(const TEditorStrings& source);
  void AddStrings(const std::vector<std::string>& source);
  void AddStrings(const TEditorStrings& source);
  std::string ExpandTabs(std::string_view s) const;

  // --- the editor's internal text operations ---
  void SetLineText(int y, std::string_view s);
  void ReLine();
  void InsertText(int x, int y, std::string_view text);
  void DeleteText(int beginX, int beginY, int endX, int endY);
  void InsertColumnText(int x, int y, std::string_view text);
  void DeleteColumnText(int beginX, int beginY, int endX, int endY);

  TCustomEditor& Editor() const noexcept { return editor_; }

 private:
  // One line: a view into the loaded block, or bytes of its own.
  class Line {
   public:
    static Line ViewOf(std::string_view s) noexcept { return Line(s.data(), s.size(), false); }
    static Line CopyOf(std::string_view s);
    Line(Line&& other) noexcept;
    Line& operator=(Line&& other) noexcept;
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    ~Line();
    std::string_view View() const noexcept { return {data_, size_}; }

   private:
    Line(const char* data, std::size_t size, bool owned) noexcept : data_(data), size_(size), owned_(owned) {}
    const char* data_;
    std::size_t size_;
    bool owned_;
  };

  std::size_t SplitBlock();
  void CheckIndex(int index, int limit) const;
  void Notify();
  void StoreLine(int index, std::string_view s);  // no tabs, no trimming, no undo
  void InsertLine(int index, std::string_view s);
  template <class Source>
  void AssignFrom(const Source& source);
  template <class Source>
  void AddStringsFrom(const Source& source);

  TCustomEditor& editor_;
  std::vector<Line> lines_;
  std::string block_;  // the loaded text that view lines point into
  int updateCount_ = 0;
  bool changedInUpdate_ = false;
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
