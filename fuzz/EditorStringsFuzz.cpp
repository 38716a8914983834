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
      switch (in.Byte() % 15) {
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
