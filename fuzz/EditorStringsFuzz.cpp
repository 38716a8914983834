// Drives the line list with a stream of text operations made from the fuzzer's bytes
// and checks that the text stays whole: every lock is released, per-line data kept
// from the change reports alone matches the text, the lengths agree, and what is
// saved reloads to the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "fuzz/FuzzCheck.h"
#include "headless/HeadlessWindows.h"
#include "platform/Errors.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/LineMirror.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  int Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Small coordinates, sometimes negative or far past the text.
  int Coord() {
    const int b = Byte();
    if (b >= 250) return b * 40;
    return b % 24 - 2;
  }
  std::string Text() {
    std::string s;
    const int n = Byte() % 12;
    static const char kAlphabet[] = {'a', 'b', ' ', '\t', '\r', '\n', '\0', '\xAB', 'x', ' '};
    for (int i = 0; i < n; ++i) s += kAlphabet[Byte() % sizeof kAlphabet];
    return s;
  }
  // A line long enough for the ways the list holds long lines: over 64 KiB of text, over
  // 16 KiB of tabs or blanks, with a short end that may be blank.
  std::string LongLine() {
    static const char kFill[] = {'x', '\t', ' ', '\t'};
    const int kind = Byte();
    const std::size_t size = (kind & 1 ? 66'000 : 17'000) + static_cast<std::size_t>(Byte()) * 13;
    std::string s(size, kFill[(kind >> 1) % sizeof kFill]);
    if (kind & 8) s.insert(static_cast<std::size_t>(Byte()) * 7, Text());
    return s + Text();
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantorel;
  HeadlessWindowHost host;
  TEditor editor(&host);
  host.control = &editor;
  editor.WindowCreated();
  TEditorStrings& lines = editor.Lines();
  LineMirror mirror(lines);
  Input in(data, size);
  editor.TabStops = (in.Byte() & 1) ? "3 5" : "4";
  editor.KeepTrailingBlanks = in.Byte() & 1;
  while (!in.Empty()) {
    try {
      const int op = in.Byte();
      // The highest bytes choose the operations on long lines and undo, so that the
      // other bytes keep their meaning for the inputs found before them.
      if (op >= 240) {
        switch (op % 4) {
          case 0: {
            std::string text = in.Text() + "\r\n" + in.LongLine();
            if (in.Byte() & 1) text += "\n" + in.LongLine() + "\r" + in.Text();
            lines.SetTextStr(std::move(text));
            break;
          }
          case 1: {
            // Typing as the editor does it: the line's trailing blanks are kept for
            // undo, then the text goes in where the line is stored.
            const int y = in.Coord();
            lines.KeepTrailingBlanksOf(y, y);
            lines.ReplaceInLine(y, in.Coord(), static_cast<std::size_t>(in.Byte() % 4), in.Text());
            break;
          }
          case 2: Inside(editor).undo.Undo(lines); break;
          default: lines.Put(in.Coord(), in.LongLine()); break;
        }
        Check(editor.UpdateLock() == 0);
        Check(mirror.Problem().empty());
        continue;
      }
      switch (op % 15) {
        case 0: lines.SetTextStr(in.Text() + in.Text()); break;
        case 1: lines.InsertText(in.Coord(), in.Coord(), in.Text()); break;
        case 2: lines.DeleteText(in.Coord(), in.Coord(), in.Coord(), in.Coord()); break;
        case 3: lines.InsertColumnText(in.Coord(), in.Coord(), in.Text()); break;
        case 4: lines.DeleteColumnText(in.Coord(), in.Coord(), in.Coord(), in.Coord()); break;
        case 5: lines.Put(in.Coord(), in.Text()); break;
        case 6: lines.Insert(in.Coord(), in.Text()); break;
        case 7: lines.Delete(in.Coord()); break;
        case 8: {
          const int x = in.Coord() & 63;
          Inside(editor).caret.MoveTo(x, in.Coord() & 15);
          lines.ReLine();
          break;
        }
        case 9: lines.SetLineText(in.Coord(), in.Text()); break;
        case 10: editor.ScrollTo(in.Coord(), in.Coord()); break;
        case 11: lines.Assign(std::vector<std::string>{in.Text(), in.Text()}); break;
        case 12:
          if (lines.Count() < 64) lines.AddStrings(lines);
          break;
        case 13: lines.ReplaceText(in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Text()); break;
        default: {
          // A list update around several of the list's own operations reports once.
          TEditorStrings::UpdateScope update(lines);
          if (in.Byte() & 1) lines.Clear();
          lines.Add(in.Text());
          lines.Insert(0, in.Text());
          update.End();
          break;
        }
      }
    } catch (const EListError&) {
      // An index outside the list is the caller's error and leaves the text as it was.
    }
    Check(editor.UpdateLock() == 0);
    Check(mirror.Problem().empty());
  }
  const std::string saved = lines.GetTextStr();
  Check(editor.GetTextLength() == (saved.empty() ? 0 : static_cast<long long>(saved.size()) - 2));
  // Lines without line breaks or tabs (a stored line may keep a tab; loading expands
  // it) reload to themselves.
  bool reloadsAlike = true;
  for (int i = 0; i < lines.Count(); ++i) {
    reloadsAlike &= lines.View(i).find_first_of("\r\n\t") == std::string_view::npos;
  }
  if (reloadsAlike) {
    TEditor other(&host);
    other.Lines().SetTextStr(saved);
    Check(other.Lines().GetTextStr() == saved);
  }
  Inside(editor).view.FullRepaintPending = true;
  editor.Paint(host.canvas, host.client);
  return 0;
}
