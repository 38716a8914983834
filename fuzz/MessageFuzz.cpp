// The answers the editor gives to another program's text and selection messages, on
// any text: WM_GETTEXT with every kind of buffer size (none, one byte, exact, one
// short, larger, a size that does not fit a message's signed range) and a missing
// buffer, WM_GETTEXTLENGTH, EM_GETSEL and EM_SETSEL with offsets inside the text,
// before it, past it, reversed and (0, -1). Between the questions the text and the
// selection change as they would in use: typed characters, caret keys with and without
// Shift, the block formats, WM_CLEAR, WM_UNDO, read-only on and off.
//
// Checked: nothing is written at or after a buffer's stated size (a guard region
// after each buffer, and under the address sanitizer buffers of exactly that size),
// the copied bytes are the text's, the answers agree with each other and with the line
// list, and EM_SETSEL selects what an offset model of the text made here says.
//
// The input is the text; its last bytes, read backwards, are the messages.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "fuzz/FuzzCheck.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "highlight/HLEditor.h"

namespace {

using namespace vantorel;

constexpr std::size_t kMessageBytes = 48;
constexpr std::size_t kGuard = 32;
constexpr char kUntouched = '\xA5';

class Messages {
 public:
  Messages(const std::uint8_t* data, std::size_t size) : data_(data), left_(std::min(size, kMessageBytes)), end_(size) {}
  bool Empty() const { return left_ == 0; }
  int Byte() {
    if (left_ == 0) return 0;
    --left_;
    return data_[--end_];
  }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
  std::size_t end_;
};

// WM_GETTEXT with a buffer of stated size: returns what the editor returned, after
// checking the buffer. The buffer is `room` bytes of storage (at least the bytes a
// correct answer writes) followed by a guard; nothing beyond the answer's NUL, and
// nothing at all for a size of 0 or less, may change.
int AskText(const THLEditor& editor, const std::string& text, long long size, std::size_t room) {
  std::vector<char> buffer(room + kGuard, kUntouched);
  const int n = editor.CopyTextForMessage(buffer.data(), size);
  const long long expected = size <= 0 ? 0 : std::min<long long>(static_cast<long long>(text.size()), size - 1);
  Check(n == expected);
  Check(std::memcmp(buffer.data(), text.data(), static_cast<std::size_t>(n)) == 0);
  const std::size_t written = size <= 0 ? 0 : static_cast<std::size_t>(n) + 1;
  if (size > 0) Check(buffer[static_cast<std::size_t>(n)] == '\0');
  Check(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(written), buffer.end(), [](char c) { return c == kUntouched; }));
  return n;
}

// The same request into storage of exactly the stated size, so the address sanitizer
// sees any byte written or read outside it.
void AskTextExact(const THLEditor& editor, long long size) {
  const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(size));
  editor.CopyTextForMessage(buffer.get(), size);
}

// Every text answer on the text as it stands.
void CheckTextAnswers(const THLEditor& editor) {
  const std::string text = editor.Lines().GetTextStr();  // what WM_GETTEXT copies
  const long long length = static_cast<long long>(text.size());
  // WM_GETTEXTLENGTH: the text without the line break after the last line.
  Check(editor.TextLengthForMessage() == (length == 0 ? 0 : length - 2));
  Check(editor.TextLengthForMessage() == editor.GetTextLength());

  for (const long long size : {0LL, 1LL, 2LL, length - 1, length, length + 1, length + 2, length + 100}) {
    if (size < 0) continue;
    AskText(editor, text, size, static_cast<std::size_t>(size));
    if (size > 0) AskTextExact(editor, size);
  }
  // The whole text, asked as a caller does who sizes the buffer from WM_GETTEXTLENGTH.
  const long long fromLength = editor.TextLengthForMessage() + 1;
  Check(AskText(editor, text, fromLength, static_cast<std::size_t>(fromLength)) == fromLength - 1);
  // A size larger than any buffer, and sizes a message's WPARAM would turn negative:
  // the first copies the text and stops at its NUL, the others copy nothing.
  AskText(editor, text, LLONG_MAX, static_cast<std::size_t>(length) + 1);
  AskText(editor, text, -1, 0);
  AskText(editor, text, LLONG_MIN, 0);
  // No buffer: nothing is copied whatever the size.
  for (const long long size : {-1LL, 0LL, 1LL, length + 1, LLONG_MAX}) Check(editor.CopyTextForMessage(nullptr, size) == 0);
}

// EM_GETSEL agrees with SelStart and SelLength and packs them as the message does.
CaretCommands::SelOffsets CheckSelAnswer(const THLEditor& editor) {
  const CaretCommands::SelOffsets sel = editor.GetSelForMessage();
  Check(sel.start == editor.SelStart());
  Check(editor.SelLength() >= 0);
  Check(sel.end == sel.start + editor.SelLength());
  const bool fits = sel.start >= 0 && sel.start <= 65535 && sel.end >= 0 && sel.end <= 65535;
  const std::uint32_t packed = static_cast<std::uint32_t>(sel.start) | static_cast<std::uint32_t>(sel.end) << 16;
  Check(sel.result == (fits ? static_cast<std::intptr_t>(packed) : -1));
  // The answer another program gets: through both pointers, one of them, or none.
  std::uint32_t start = 0xDEADBEEF;
  std::uint32_t end = 0xDEADBEEF;
  Check(editor.AnswerGetSel(&start, &end) == sel.result);
  Check(start == static_cast<std::uint32_t>(sel.start) && end == static_cast<std::uint32_t>(sel.end));
  std::uint32_t only = 0;
  Check(editor.AnswerGetSel(&only, nullptr) == sel.result && only == static_cast<std::uint32_t>(sel.start));
  Check(editor.AnswerGetSel(nullptr, &only) == sel.result && only == static_cast<std::uint32_t>(sel.end));
  Check(editor.AnswerGetSel(nullptr, nullptr) == sel.result);
  // Offsets of places in the text lie within it. (A block can name lines that are
  // gone, after an undo; the offsets of those are -1 and its length 0.)
  const long long length = editor.GetTextLength();
  const int count = editor.LineCount();
  const bool inText = editor.HasSelection() ? editor.SelBeginY() < count && editor.SelEndY() < count
                                            : editor.CaretY() < count;
  if (inText) {
    Check(sel.start >= 0 && sel.start <= length);
    Check(sel.end >= sel.start && sel.end <= length);
  }
  return sel;
}

// The place an offset names, as the message defines it, read from the lines here:
// the offset of the place, or -1 for an empty text. Between a line's CR and LF is the
// next line's start, and a column past the last one the caret reaches is that column.
// An offset before the text names its start; one past the text names its start when
// it starts the selection and its end when it ends one.
enum class Past { ToStart, ToEnd };
long long PlaceOfOffset(const THLEditor& editor, long long offset, Past past) {
  const int count = editor.LineCount();
  if (count == 0) return -1;
  if (offset < 0) return 0;
  long long start = 0;
  for (int y = 0; y < count; ++y) {
    const long long length = editor.LineLength(y);
    if (offset <= start + length) return start + std::min<long long>(offset - start, MaxLineColumns);
    if (offset == start + length + 1 && y + 1 < count) return start + length + 2;
    start += length + 2;
  }
  if (past == Past::ToStart) return 0;
  const long long lastStart = start - editor.LineLength(count - 1) - 2;
  return lastStart + std::min(editor.LineLength(count - 1), MaxLineColumns);
}

// EM_SETSEL and what it must select: (0, -1) everything, else the block from the
// start's place to the place length = end - start further on, or with no block the
// caret at that place when the length is not positive.
void SetSel(THLEditor& editor, int start, int end) {
  const bool model = editor.SelBlockFormat() == TSelBlockFormat::bfNonInclusive;
  editor.SetSelForMessage(start, end);
  const CaretCommands::SelOffsets sel = CheckSelAnswer(editor);
  if (!model || editor.LineCount() == 0) {
    if (editor.LineCount() == 0) Check(sel.start == -1 && editor.SelLength() == 0);
    return;
  }
  if (start == 0 && end == -1) {
    Check(sel.start == 0);
    const int last = editor.LineCount() - 1;
    if (editor.LineLength(last) <= MaxLineColumns) Check(sel.end == editor.GetTextLength());
    return;
  }
  const long long length = static_cast<long long>(end) - start;
  // A length that an int cannot hold is the undefined-behaviour sanitizer's to report.
  if (length < INT_MIN || length > INT_MAX) return;
  const long long from = PlaceOfOffset(editor, start, Past::ToStart);
  const long long to = PlaceOfOffset(editor, from + length, Past::ToEnd);
  if (length > 0) {
    Check(sel.start == from && sel.end == to);
  } else {
    Check(sel.start == to && sel.end == to);
  }
  Check(editor.CaretY() >= 0 && editor.CaretY() < editor.LineCount());
}

// Offsets worth trying on a text of the given length: its ends, small offsets (which
// fall on the CR and LF of line breaks too), around the message's 16-bit limit, and
// far out on both sides.
int Offset(Messages& in, long long length) {
  const int pick = in.Byte();
  const int any = in.Byte();
  const long long offsets[] = {0,     1,      -1,     length, length + 1, length - 1, length + 2, length / 2,
                               65535, 65536, INT_MAX, INT_MIN, -2,        any,        any * 7,    any - 128};
  return static_cast<int>(std::clamp<long long>(offsets[pick % std::size(offsets)], INT_MIN, INT_MAX));
}

ShiftState Shift(int bits) {
  ShiftState s;
  s.shift = (bits & 1) != 0;
  s.ctrl = (bits & 2) != 0;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HeadlessWindowHost host;
  THLEditor editor(&host);
  host.control = &editor;
  host.focused = true;
  editor.SetGutterWidth(30);
  editor.SetRightMargin(100);
  editor.SetHighlighter(THighlighter::hlJava);
  editor.WindowCreated();
  editor.Lines().SetTextStr(std::string(reinterpret_cast<const char*>(data), size));

  CheckTextAnswers(editor);
  CheckSelAnswer(editor);
  static const int kKeys[] = {vk::Left, vk::Right, vk::Up, vk::Down, vk::Home, vk::End, vk::Prior, vk::Next};
  static const std::uint16_t kFormats[] = {ec::SetNonInclusiveBlock, ec::SetInclusiveBlock, ec::SetLineBlock,
                                           ec::SetColumnBlock};
  Messages in(data, size);
  while (!in.Empty()) {
    bool textChanged = false;
    switch (in.Byte() % 8) {
      case 0:
      case 1: {
        const long long length = editor.GetTextLength();
        const int start = Offset(in, length);
        SetSel(editor, start, Offset(in, length));
        break;
      }
      case 2: {
        char ch = static_cast<char>(in.Byte());
        editor.KeyPress(ch);
        textChanged = true;
        break;
      }
      case 3: {
        const int b = in.Byte();
        int key = kKeys[b % std::size(kKeys)];
        editor.KeyDown(key, Shift(b >> 3));
        host.UpdateNow();
        break;
      }
      case 4:
        Check(editor.EditMessage(EditMessageKind::Undo) == 1);
        textChanged = true;
        break;
      case 5:
        editor.EditMessage(EditMessageKind::Clear);
        textChanged = true;
        break;
      case 6: editor.RunCommand(kFormats[in.Byte() % std::size(kFormats)]); break;
      case 7: editor.SetReadOnly(!editor.ReadOnly()); break;
    }
    if (textChanged) CheckTextAnswers(editor);
    CheckSelAnswer(editor);
  }
  SetSel(editor, 0, -1);
  CheckTextAnswers(editor);
  return 0;
}
