#include "editor/BlockCommands.h"

#include <algorithm>

#include "editor/Editor.h"

namespace vantorel {

namespace {

// The part of line from column `from` on, at most `count` characters; empty when the
// line is shorter.
std::string_view Piece(std::string_view line, int from, long long count) {
  if (from < 0) from = 0;
  if (static_cast<std::size_t>(from) >= line.size() || count <= 0) return {};
  return line.substr(static_cast<std::size_t>(from),
                     static_cast<std::size_t>(std::min<long long>(count, static_cast<long long>(line.size()) - from)));
}

class CaretHidden {
 public:
  explicit CaretHidden(TCustomEditorBase& editor) : e_(editor) { e_.PaintCaret(false); }
  ~CaretHidden() { e_.PaintCaret(true); }
  CaretHidden(const CaretHidden&) = delete;
  CaretHidden& operator=(const CaretHidden&) = delete;

 private:
  TCustomEditorBase& e_;
};

}  // namespace

std::string BlockCommands::BlockText() const {
  const Selection& block = e_.SelectionModel();
  const TextPoint b = block.Begin();
  const TextPoint en = block.End();
  const int lines = e_.LineCount();
  if (!block.HasBlock() || b.y < 0 || en.y >= lines) return {};
  const TSelBlockFormat format = block.Format();
  std::string text;
  if (format == TSelBlockFormat::bfColumn) {
    for (int y = b.y; y <= en.y; ++y) {
      text += Piece(e_.LineView(y), b.x, static_cast<long long>(en.x) - b.x + 1);
      if (y < en.y) text += "\r\n";
    }
    return text;
  }
  const int incl = format == TSelBlockFormat::bfInclusive ? 1 : 0;
  if (b.y == en.y) return std::string(Piece(e_.LineView(b.y), b.x, static_cast<long long>(en.x) + incl - b.x));
  text += Piece(e_.LineView(b.y), b.x, static_cast<long long>(MaxLineColumns) * 4);
  text += "\r\n";
  for (int y = b.y + 1; y < en.y; ++y) {
    text += e_.LineView(y);
    text += "\r\n";
  }
  const std::string_view last = e_.LineView(en.y);
  text += format == TSelBlockFormat::bfLine ? last : Piece(last, 0, static_cast<long long>(en.x) + incl);
  return text;
}

void BlockCommands::EraseSelection() {
  Selection& block = e_.SelectionModel();
  if (!block.HasBlock()) return;
  TEditorUpdate update(e_);
  CaretHidden caret(e_);
  const std::string text = BlockText();
  e_.UndoBuffer().Record<TDeleteSelectedUndo>(e_.CaretX(), e_.CaretY(), text);
  block.Clear();
  const TextPoint b = block.Begin();
  const TextPoint en = block.End();
  if (block.Format() == TSelBlockFormat::bfColumn) {
    e_.Lines().DeleteColumnText(b.x, b.y, en.x, en.y);
    e_.TextModified(b.x, b.y, text, 4);
    e_.SetCaretInternal(b.x, e_.CaretY());
  } else {
    const int last = block.Format() == TSelBlockFormat::bfInclusive ? en.x : en.x - 1;
    e_.Lines().DeleteText(b.x, b.y, last, en.y);
    e_.TextModified(b.x, b.y, text, 2);
    e_.SetCaretInternal(b.x, b.y);
  }
  e_.Changed();
}

}  // namespace vantorel
