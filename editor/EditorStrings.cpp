#include "editor/EditorStrings.h"

#include <algorithm>
#include <climits>

#include "editor/Editor.h"
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

// Ends a line-list update and a paint lock on every path.
class TextOperationLock {
 public:
  explicit TextOperationLock(TEditorStrings& list) : list_(list) {
    list_.Editor().LockPaint();
    list_.BeginUpdate();
  }
  ~TextOperationLock() {
    try {
      list_.EndUpdate();
    } catch (...) {
      // The change handler does nothing while the paint lock is held.
    }
    list_.Editor().UnlockPaint();
  }
  TextOperationLock(const TextOperationLock&) = delete;
  TextOperationLock& operator=(const TextOperationLock&) = delete;

 private:
  TEditorStrings& list_;
};

}  // namespace

// --- Line ---

TEditorStrings::Line TEditorStrings::Line::CopyOf(std::string_view s) {
  if (s.empty()) return Line(nullptr, 0, false);
  char* data = new char[s.size()];
  std::memcpy(data, s.data(), s.size());
  return Line(data, s.size(), true);
}

TEditorStrings::Line::Line(Line&& other) noexcept : data_(other.data_), size_(other.size_), owned_(other.owned_) {
  other.owned_ = false;
}

TEditorStrings::Line& TEditorStrings::Line::operator=(Line&& other) noexcept {
  if (this != &other) {
    if (owned_) delete[] data_;
    data_ = other.data_;
    size_ = other.size_;
    owned_ = other.owned_;
    other.owned_ = false;
  }
  return *this;
}

TEditorStrings::Line::~Line() {
  if (owned_) delete[] data_;
}

// --- the plain list ---

TEditorStrings::TEditorStrings(TCustomEditor& editor) : editor_(editor) {}

TEditorStrings::~TEditorStrings() = default;

void TEditorStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError(FormatText(kListIndexError, {std::to_string(index)}));
}

std::string_view TEditorStrings::View(int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<std::size_t>(index)].View();
}

void TEditorStrings::Notify() {
  if (updateCount_ > 0) {
    changedInUpdate_ = true;
  } else if (OnChange) {
    OnChange();
  }
}

void TEditorStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
    changedInUpdate_ = false;
    Notify();
  }
}

void TEditorStrings::Delete(int index) {
  CheckIndex(index, Count());
  lines_.erase(lines_.begin() + index);
  Notify();
}

void TEditorStrings::Clear() {
  if (lines_.empty() && block_.empty()) return;
  lines_.clear();
  lines_.shrink_to_fit();
  block_.clear();
  block_.shrink_to_fit();
  Notify();
}

void TEditorStrings::StoreLine(int index, std::string_view s) {
  CheckIndex(index, Count());
  lines_[static_cast<std::size_t>(index)] = Line::CopyOf(s);
  Notify();
}

void TEditorStrings::InsertLine(int index, std::string_view s) {
  CheckIndex(index, Count() + 1);
  lines_.insert(lines_.begin() + index, Line::CopyOf(s));
  Notify();
}

// --- operations that take text in ---

std::string TEditorStrings::ExpandTabs(std::string_view s) const {
  if (s.empty()) return {};
  const char* tab = static_cast<const char*>(std::memchr(s.data(), '\t', s.size()));
  if (tab == nullptr) return std::string(s);
  const int width = editor_.GetTabStop(0, true);
  const std::size_t tabs = static_cast<std::size_t>(std::count(tab, s.data() + s.size(), '\t'));
  std::string out;
  out.reserve(s.size() - tabs + tabs * static_cast<std::size_t>(std::max(width, 0)));
  const char* from = s.data();
  const char* const end = s.data() + s.size();
  while (tab != nullptr) {
    out.append(from, tab);
    if (width > 0) out.append(static_cast<std::size_t>(width), ' ');
    from = tab + 1;
    tab = static_cast<const char*>(std::memchr(from, '\t', static_cast<std::size_t>(end - from)));
  }
  out.append(from, end);
  return out;
}

int TEditorStrings::Add(std::string_view s) {
  const std::string expanded = ExpandTabs(s);
  lines_.push_back(Line::CopyOf(expanded));
  Notify();
  return Count() - 1;
}

void TEditorStrings::Insert(int index, std::string_view s) { InsertLine(index, ExpandTabs(s)); }

void TEditorStrings::Put(int index, std::string_view s) {
  CheckIndex(index, Count());
  if (!editor_.KeepTrailingBlanks) {
    const std::size_t kept = TrimmedLength(s);
    if (kept < s.size()) {
      editor_.UndoBuffer().Record<TDeleteTrailUndo>(static_cast<int>(s.size()), index,
                                                    std::string(s.size() - kept, ' '));
      s = s.substr(0, kept);
    }
  }
  StoreLine(index, s);
}

// Makes the lines views into block_; returns how many of them hold a tab.
std::size_t TEditorStrings::SplitBlock() {
  lines_.clear();
  lines_.reserve(static_cast<std::size_t>(std::count(block_.begin(), block_.end(), '\n')) + 1);
  const char* const end = block_.data() + block_.size();
  const char* nextTab = static_cast<const char*>(std::memchr(block_.data(), '\t', block_.size()));
  std::size_t withTabs = 0;
  ForEachLine(block_, false, [&](std::string_view line) {
    while (nextTab != nullptr && nextTab < line.data()) {
      nextTab = static_cast<const char*>(std::memchr(line.data(), '\t', static_cast<std::size_t>(end - line.data())));
    }
    if (nextTab != nullptr && nextTab < line.data() + line.size()) ++withTabs;
    lines_.push_back(Line::ViewOf(line));
  });
  return withTabs;
}

void TEditorStrings::SetTextStr(std::string text) {
  // A NUL byte is kept as an ordinary character: cutting the text there would lose
  // the rest of the file at the next save.
  BeginUpdate();
  try {
    Clear();
    block_ = std::move(text);
    const std::size_t withTabs = SplitBlock();
    if (withTabs * 4 > lines_.size()) {
      // Mostly tabbed text: one expanded copy of the whole block.
      lines_.clear();
      block_ = ExpandTabs(block_);
      SplitBlock();
    } else if (withTabs > 0) {
      // A few tabbed lines: only those get bytes of their own.
      for (Line& line : lines_) {
        if (line.View().find('\t') != std::string_view::npos) line = Line::CopyOf(ExpandTabs(line.View()));
      }
    }
    if (!lines_.empty()) changedInUpdate_ = true;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (editor_.UpdateLock() == 0) editor_.UndoBuffer().Clear();
  editor_.TextAllChanged();
}

std::string TEditorStrings::GetTextStr() const {
  std::size_t total = 0;
  for (const Line& line : lines_) total += line.View().size() + 2;
  std::string out;
  out.reserve(total);
  for (const Line& line : lines_) {
    out += line.View();
    out += "\r\n";
  }
  return out;
}

void TEditorStrings::LoadFromFile(FileSystem& fs, const std::string& path) {
  std::string bytes = fs.ReadFile(path);  // fails before the list is touched
  BeginUpdate();
  try {
    SetTextStr(std::move(bytes));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TEditorStrings::SaveToFile(FileSystem& fs, const std::string& path) const { fs.WriteFile(path, GetTextStr()); }

template <class Source>
void TEditorStrings::AssignFrom(const Source& source) {
  editor_.BeginUpdate();
  try {
    BeginUpdate();
    try {
      Clear();
      for (int i = 0; i < static_cast<int>(source.size()); ++i) Add(source[static_cast<std::size_t>(i)]);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    editor_.UndoBuffer().Clear();
    editor_.TextAllChanged();
  } catch (...) {
    editor_.EndUpdate();
    throw;
  }
  editor_.EndUpdate();
}

template <class Source>
void TEditorStrings::AddStringsFrom(const Source& source) {
  editor_.BeginUpdate();
  try {
    BeginUpdate();
    try {
      for (int i = 0; i < static_cast<int>(source.size()); ++i) Add(source[static_cast<std::size_t>(i)]);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    editor_.UndoBuffer().Clear();
  } catch (...) {
    editor_.EndUpdate();
    throw;
  }
  editor_.EndUpdate();
}

namespace {
// Copies a list's lines first, so that assigning a list to itself is safe.
std::vector<std::string> LinesOf(const TEditorStrings& list) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) out.emplace_back(list.View(i));
  return out;
}
}  // namespace

void TEditorStrings::Assign(const std::vector<std::string>& source) { AssignFrom(source); }
void TEditorStrings::Assign(const TEditorStrings& source) { AssignFrom(LinesOf(source)); }
void TEditorStrings::AddStrings(const std::vector<std::string>& source) { AddStringsFrom(source); }
void TEditorStrings::AddStrings(const TEditorStrings& source) { AddStringsFrom(LinesOf(source)); }

// --- the editor's internal text operations ---

void TEditorStrings::SetLineText(int y, std::string_view s) {
  editor_.LockPaint();
  try {
    std::string text = ExpandTabs(s);
    if (!editor_.KeepTrailingBlanks) text.resize(TrimmedLength(text));
    StoreLine(y, text);
  } catch (...) {
    editor_.UnlockPaint();
    throw;
  }
  editor_.UnlockPaint();
}

void TEditorStrings::ReLine() {
  editor_.LockPaint();
  try {
    int lastLength = Count() > 0 ? static_cast<int>(View(Count() - 1).size()) : editor_.CaretX();
    while (Count() <= editor_.CaretY()) {
      editor_.UndoBuffer().Record<TReLineUndo>(lastLength, editor_.CaretY());
      lines_.push_back(Line::CopyOf({}));
      Notify();
      lastLength = 0;
    }
    const std::string_view line = View(editor_.CaretY());
    if (static_cast<int>(line.size()) < editor_.CaretX()) StoreLine(editor_.CaretY(), PadTo(line, editor_.CaretX()));
  } catch (...) {
    editor_.UnlockPaint();
    throw;
  }
  editor_.UnlockPaint();
}

void TEditorStrings::InsertText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  TextOperationLock lock(*this);
  while (Count() <= y) InsertLine(Count(), {});
  const std::string line = PadTo(View(y), x);
  const std::size_t split = Col(line, x);
  const std::string head = line.substr(0, split);
  const std::string tail = line.substr(split);

  std::vector<std::string_view> pieces;
  ForEachLine(text, true, [&pieces](std::string_view piece) { pieces.push_back(piece); });
  if (pieces.size() == 1) {
    SetLineText(y, head + std::string(pieces[0]) + tail);
    return;
  }
  for (std::size_t i = 1; i < pieces.size(); ++i) Insert(y + static_cast<int>(i), pieces[i]);
  SetLineText(y, head + std::string(pieces[0]));
  const int last = y + static_cast<int>(pieces.size()) - 1;
  SetLineText(last, std::string(View(last)) + tail);
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
  TextOperationLock lock(*this);
  const std::string first = PadTo(View(beginY), beginX);
  const std::string head = first.substr(0, static_cast<std::size_t>(beginX));
  std::string tail;
  if (endY >= 0) {
    const std::string_view last = View(endY);
    tail = std::string(last.substr(Col(last, lastX + 1)));
  }
  if (endY > beginY) {
    lines_.erase(lines_.begin() + beginY + 1, lines_.begin() + endY + 1);
    Notify();
  }
  SetLineText(beginY, head + tail);
}

void TEditorStrings::InsertColumnText(int x, int y, std::string_view textIn) {
  const std::string text(textIn);  // the text may be a view of a line that changes below
  if (y < 0) y = 0;
  TextOperationLock lock(*this);
  int row = y;
  ForEachLine(text, false, [&](std::string_view piece) {
    while (Count() <= row) InsertLine(Count(), {});
    std::string line = PadTo(View(row), x);
    line.insert(Col(line, x), piece);
    SetLineText(row, line);
    ++row;
  });
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
  TextOperationLock lock(*this);
  for (int row = beginY; row <= endY; ++row) {
    std::string line(View(row));
    const std::size_t from = Col(line, beginX);
    const std::size_t to = Col(line, lastX + 1);
    if (to > from) line.erase(from, to - from);
    SetLineText(row, line);
  }
}

}  // namespace vantorel
