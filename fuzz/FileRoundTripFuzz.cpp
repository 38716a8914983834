// A file's bytes go the whole way a source file goes in the program: loaded through
// the file-system port into the editor the main window uses, painted screen by screen
// until every line (up to the last column the view shows) has been drawn, saved
// through the port's real save (temporary file, then replace) and loaded again.
// Checked against a plain reading of the bytes made here: the lines as loaded (line
// breaks CR LF, CR and LF; tabs expanded; every other byte kept, NUL included), the
// characters each screen shows, the saved bytes and the text length, and that the
// saved file reloads to the same lines and saves to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Editor.h"
#include "fuzz/FuzzCheck.h"
#include "headless/HeadlessWindows.h"
#include "highlight/HLEditor.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "tests/support/EditorInternals.h"

namespace {

using namespace vantorel;

// Files in memory with the save's primitives, failing as a disk would (a taken name,
// a missing file), so the save takes its ordinary road: new temporary file, write,
// flush, replace the old file or move to a new name.
class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;

  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  FileBytes ReadInPieces(const std::string& path, const ReadObserver& observer) override {
    const auto it = files.find(path);
    if (it == files.end()) throw EFileError(FormatText(kCannotOpenFile, {path, "not found"}));
    return FileBytes::CopyOf(it->second, observer);
  }
  std::optional<FileStamp> Stamp(const std::string& path) override {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return FileStamp{it->second.size(), 0};
  }
  std::string FullPath(const std::string& path) override { return path; }
  OpenedFile CreateNew(const std::string& path) override {
    if (FileExists(path)) return {{FileFault::AlreadyExists, "exists"}, nullptr};
    return Opened(path);
  }
  OpenedFile OpenExistingTruncated(const std::string& path) override {
    if (!FileExists(path)) return {{FileFault::NotFound, "not found"}, nullptr};
    return Opened(path);
  }
  FileStatus Replace(const std::string& target, const std::string& replacement) override {
    if (!FileExists(target) || !FileExists(replacement)) return {FileFault::NotFound, "not found"};
    files[target] = std::move(files[replacement]);
    files.erase(replacement);
    return {};
  }
  FileStatus Move(const std::string& from, const std::string& to) override {
    if (FileExists(to)) return {FileFault::AlreadyExists, "exists"};
    if (!FileExists(from)) return {FileFault::NotFound, "not found"};
    files[to] = std::move(files[from]);
    files.erase(from);
    return {};
  }
  FileStatus Remove(const std::string& path) override {
    return files.erase(path) ? FileStatus{} : FileStatus{FileFault::NotFound, "not found"};
  }

 private:
  // The bytes reach the file only when it is flushed and closed, as on a disk where
  // a file left open may hold anything.
  class File : public WritableFile {
   public:
    File(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    FileStatus Write(std::string_view bytes) override {
      pending_ += bytes;
      return {};
    }
    FileStatus FlushAndClose() override {
      if (!fs_.FileExists(path_)) return {FileFault::NotFound, "not found"};
      fs_.files[path_] = std::move(pending_);
      return {};
    }

   private:
    MemoryFileSystem& fs_;
    std::string path_;
    std::string pending_;
  };
  OpenedFile Opened(const std::string& path) {
    files[path].clear();
    return {{}, std::make_unique<File>(*this, path)};
  }
};

// The lines a file is expected to load as, read here without the line list's code:
// a line ends at CR, at LF or at the end; after it one CR and then one LF are
// skipped; a final line break makes no empty line; a tab becomes tabWidth blanks.
std::vector<std::string> ExpectedLines(std::string_view bytes, int tabWidth) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // bytes of a line not yet ended have been read
  for (std::size_t i = 0; i < bytes.size();) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r') ++i;
      if (i < bytes.size() && bytes[i] == '\n') ++i;
      continue;
    }
    open = true;
    if (c == '\t') {
      line.append(static_cast<std::size_t>(std::max(tabWidth, 0)), ' ');
    } else {
      line += c;
    }
    ++i;
  }
  if (open) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void CheckLines(const TEditorStrings& lines, const std::vector<std::string>& expected) {
  Check(lines.Count() == static_cast<int>(expected.size()));
  for (int i = 0; i < lines.Count(); ++i) Check(lines.View(i) == expected[static_cast<std::size_t>(i)]);
}

// The editor as the main window sets it up, in a window of 40 columns by 12 lines, so
// that a few hundred bytes already take more than one screen either way.
struct Window {
  explicit Window(const std::string& tabStops) {
    host.control = &editor;
    host.focused = true;
    editor.SetScrollBars(TScrollStyle::ssVertical);
    editor.SetGutterWidth(30);
    editor.SetRightMargin(100);
    editor.TabStops = tabStops;
    editor.SetHighlighter(THighlighter::hlJava);
    host.client = Rect{0, 0, editor.TextLeft() + 1 + 40 * host.canvas.charWidth + 3, 12 * (host.canvas.charHeight + 1) + 5};
    editor.WindowCreated();
  }
  HeadlessWindowHost host;
  THLEditor editor{&host};
};

// Paints the screen with the view at (left, top) and checks every text run: it lies
// on the cell grid, shows the line's bytes (blanks past its end) and only lines that
// exist; the runs of each shown line cover every visible column.
void CheckScreen(Window& w, const std::vector<std::string>& expected, int left, int top) {
  THLEditor& editor = w.editor;
  RecordingSurface& canvas = w.host.canvas;
  w.host.UpdateNow();
  canvas.Clear();
  Inside(editor).view.FullRepaintPending = true;
  editor.Paint(canvas, w.host.client);

  const int cw = editor.CellWidth();
  const int ch = editor.CellHeight();
  const int rows = editor.VisibleLines();
  const int lastColumn = std::min(left + editor.VisibleColumns() - 1, MaxLineColumns - 1);
  // Per visible row, the columns drawn.
  std::vector<std::vector<bool>> drawn(static_cast<std::size_t>(rows + 1),
                                       std::vector<bool>(static_cast<std::size_t>(lastColumn - left + 1), false));
  for (const RecordingSurface::TextCall& run : canvas.texts) {
    Check(run.y % ch == 0);
    Check((run.x - editor.TextLeft() - 1) % cw == 0);
    const int row = run.y / ch;
    const int line = top + row;
    Check(row >= 0 && row <= rows);
    Check(line < static_cast<int>(expected.size()));
    const std::string& bytes = expected[static_cast<std::size_t>(line)];
    const int first = left + (run.x - editor.TextLeft() - 1) / cw;
    Check(first >= left);
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      const std::size_t column = static_cast<std::size_t>(first) + i;
      Check(run.text[i] == (column < bytes.size() ? bytes[column] : ' '));
      if (static_cast<int>(column) <= lastColumn) drawn[static_cast<std::size_t>(row)][column - static_cast<std::size_t>(left)] = true;
    }
  }
  for (int row = 0; row < rows && top + row < static_cast<int>(expected.size()); ++row) {
    const auto& columns = drawn[static_cast<std::size_t>(row)];
    Check(std::all_of(columns.begin(), columns.end(), [](bool b) { return b; }));
  }
}

// Scrolls through the whole text a screen at a time, and across the screens whose
// lines reach past the visible columns, painting each position.
void PaintEverything(Window& w, const std::vector<std::string>& expected) {
  THLEditor& editor = w.editor;
  const int rows = std::max(editor.VisibleLines(), 1);
  const int columns = std::max(editor.VisibleColumns(), 1);
  const int count = static_cast<int>(expected.size());
  for (int top = 0; top == 0 || top < count; top += rows) {
    std::size_t widest = 0;
    for (int line = top; line < std::min(top + rows, count); ++line) {
      widest = std::max(widest, expected[static_cast<std::size_t>(line)].size());
    }
    const int reach = static_cast<int>(std::min<std::size_t>(widest, MaxLineColumns));
    for (int left = 0; left == 0 || left < reach; left += columns) {
      editor.ScrollTo(left, top);
      Check(editor.TopLine() == top && editor.LeftColumn() == left);
      CheckScreen(w, expected, left, top);
    }
  }
  editor.ScrollTo(0, 0);
}

const char* const kTabStops[] = {"3 5", "4", "8 16", "1"};
constexpr const char* kPath = "C:\\masm32\\source\\prog.asm";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  MemoryFileSystem fs;
  fs.files[kPath] = bytes;

  Window w(kTabStops[size % std::size(kTabStops)]);
  THLEditor& editor = w.editor;
  editor.KeepTrailingBlanks = size % 2 == 0;  // does not change a load; checked that it doesn't
  editor.Lines().LoadFromFile(fs, kPath);
  const std::vector<std::string> expected = ExpectedLines(bytes, editor.GetTabStop(0, true));
  CheckLines(editor.Lines(), expected);
  Check(!editor.Modified);
  Check(editor.UpdateLock() == 0);

  PaintEverything(w, expected);

  // The save goes through the temporary file and leaves only the target behind.
  editor.Lines().SaveToFile(fs, kPath);
  Check(fs.files.size() == 1);
  const std::string saved = fs.files[kPath];
  Check(saved == Joined(expected));
  Check(editor.Lines().GetTextStr() == saved);
  Check(editor.GetTextLength() == (saved.empty() ? 0 : static_cast<long long>(saved.size()) - 2));
  Check(editor.TextLengthForMessage() == editor.GetTextLength());

  // A saved file holds no tab and only CR LF breaks: it loads to the same lines, and
  // saving those under a new name writes the same bytes.
  Window again("3 5");
  again.editor.Lines().LoadFromFile(fs, kPath);
  CheckLines(again.editor.Lines(), expected);
  again.editor.Lines().SaveToFile(fs, "C:\\masm32\\source\\copy.asm");
  Check(fs.files.size() == 2);
  Check(fs.files["C:\\masm32\\source\\copy.asm"] == saved);
  return 0;
}
