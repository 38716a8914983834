// A random editing session read from bytes: a text loaded as a file is, then keys of
// the key table, two-key sequences, typed characters, mouse presses, drags, double
// clicks, the wheel, clipboard contents another program could leave (huge, odd block
// types), block formats, macros, undo and the program's own work on the lines (loads,
// the new project, the code page conversion). After every step the editor's invariants
// are checked, per-line data kept from the line list's change reports alone must equal
// the data computed anew, and at the end undoing everything must give back the text
// as the program last left it, byte for byte. Shared by the command fuzzer and a unit
// test that replays seeded sessions.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainForm.h"
#include "editor/Editor.h"
#include "editor/KeyTable.h"
#include "headless/HeadlessWindows.h"
#include "headless/IconvCodePages.h"
#include "headless/MemoryClipboard.h"
#include "highlight/HLEditor.h"
#include "tests/support/EditorInternals.h"
#include "tests/support/HighlightCheck.h"
#include "tests/support/LineMirror.h"
#include "tests/support/Shown.h"

namespace vantorel::session {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  int Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int Word() { return Byte() | (Byte() << 8); }
  // A pixel coordinate: mostly inside the client area, sometimes far outside it.
  int Pixel(int extent) {
    const int b = Byte();
    if (b >= 240) return (b - 248) * 200;
    return b * extent / 240;
  }
  std::string Text(int maxLength) {
    std::string s;
    const int n = Byte() % (maxLength + 1);
    static const char kAlphabet[] = {'a', 'B', '1', '_', ' ', ' ', ' ', '\t', '\r', '\n', ',', ';', '\0', '\xE0', '\xC0', '(',
                                     '/', '*', '"', '\\', '#'};
    for (int i = 0; i < n && !Empty(); ++i) s += kAlphabet[Byte() % sizeof kAlphabet];
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

inline std::vector<std::string> StoredLines(const TEditor& editor) {
  std::vector<std::string> out;
  for (int i = 0; i < editor.Lines().Count(); ++i) out.emplace_back(editor.Lines().View(i));
  return out;
}

inline std::string Trimmed(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return std::string(s.substr(0, n));
}

inline std::string Tail(const TEditor& editor, int y, int x) {
  if (y < 0 || y >= editor.LineCount()) return {};
  const std::string_view line = editor.LineView(y);
  return static_cast<std::size_t>(x) < line.size() ? Trimmed(line.substr(static_cast<std::size_t>(x))) : std::string();
}

inline std::string Head(const TEditor& editor, int y, int x) {
  if (y < 0 || y >= editor.LineCount()) return {};
  const std::string_view line = editor.LineView(y);
  return std::string(line.substr(0, std::min<std::size_t>(line.size(), static_cast<std::size_t>(x))));
}

inline long long TrimmedLength(const TEditor& editor) {
  long long n = 0;
  for (int i = 0; i < editor.LineCount(); ++i) n += static_cast<long long>(Trimmed(editor.LineView(i)).size()) + 2;
  return n;
}

class Session {
 public:
  Session() {
    host.control = &editor;
    host.client = Rect{0, 0, 320, 160};
    editor.WindowCreated();
    editor.SetClipboard(&clipboard);
    editor.SetCodePages(&codePages);
    editor.SetHighlighter(THighlighter::hlJava);
    // Completion lists over the words the texts hold, a template body over lines with
    // a caret mark, items with missing parts; the typing pause timer on.
    host.focused = true;
    TCompletion& completion = editor.Completion();
    completion.SetIdentifiers({"mov=mov", "eax=register eax", "ea", "m=", "a=a/n|"});
    completion.SetTemplates({"mov=move=mov |, eax", "w=loop=w (|)/n{/n}/n", "e=e=", ";=comment=; |"});
    completion.SetEnabled(true);
  }

  // Runs the session; the first broken rule found, empty when none.
  std::string Run(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    std::string text;
    const int shape = in.Byte();
    const int length = in.Word() % 600;
    static const char kFile[] = {'m', 'o', 'v', ' ', ' ', '\t', '\r', '\n', '\n', ',', 'e', 'a', 'x', ';', '\xE0', '\0', '1',
                                 '/', '*', '"', '\\', '#', '\''};
    for (int i = 0; i < length && !in.Empty(); ++i) text += kFile[in.Byte() % sizeof kFile];
    if (shape & 1) text.insert(text.size() / 2, std::string(1500, 'w'));  // a line beyond the shown columns
    editor.Lines().SetTextStr(text);
    loaded_ = StoredLines(editor);
    std::string problem;
    int steps = 0;
    const int maxSteps = std::getenv("VANTOREL_SESSION_STEPS") ? std::atoi(std::getenv("VANTOREL_SESSION_STEPS")) : 400;
    while (!in.Empty() && problem.empty() && steps++ < maxSteps) {
      const std::size_t macroBefore = Inside(editor).commands->MacroBuffer().size();
      const bool recording = Inside(editor).commands->MacroRecording();
      events_ = 0;
      programStep_ = false;
      mirror.origins = 0;
      try {
        problem = Step(in);
      } catch (const std::exception& e) {
        problem = std::string("a step failed: ") + e.what();
      }
      if (problem.empty()) problem = OriginsProblem();
      // A command that runs other commands is recorded once: one input, one command.
      if (problem.empty() && recording && Inside(editor).commands->MacroRecording() &&
          Inside(editor).commands->MacroBuffer().size() > macroBefore + 2 * static_cast<std::size_t>(events_)) {
        problem = "one input recorded more than one command";
      }
      if (trace) {
        std::fprintf(stderr, "step %d: caret (%d, %d) top %d lines %d block %d (%d, %d)-(%d, %d) format %d\n", steps,
                     editor.CaretX(), editor.CaretY(), editor.TopLine(), editor.LineCount(), editor.HasSelection(),
                     editor.SelBeginX(), editor.SelBeginY(), editor.SelEndX(), editor.SelEndY(),
                     static_cast<int>(editor.SelBlockFormat()));
      }
      if (problem.empty()) problem = Check();
    }
    if (!problem.empty()) return problem;
    // Everything recorded goes back, and nothing else stays changed.
    if (Inside(editor).mouse->MouseSelecting()) editor.MouseUp(MouseButton::Left, {}, {0, 0});
    mirror.origins = 0;
    try {
      for (int guard = 0; Inside(editor).undo.CanUndo() && guard < 100000; ++guard) {
        editor.Undo();
        if (trace) {
          std::fprintf(stderr, "undo: pointer %d lines %d:", Inside(editor).undo.UndoPointer(), editor.LineCount());
          for (int i = std::max(0, editor.LineCount() - 3); i < editor.LineCount(); ++i) {
            std::string l;
            for (char c : editor.LineView(i)) l += c == '\0' ? std::string("\\0") : std::string(1, c);
            std::fprintf(stderr, " [%s]", l.c_str());
          }
          std::fprintf(stderr, "\n");
        }
      }
    } catch (const std::exception& e) {
      return std::string("undo failed: ") + e.what();
    }
    if (Inside(editor).undo.CanUndo()) return "undo never ends";
    if ((mirror.origins & ~LineMirror::Bit(ChangeOrigin::Undo)) != 0) return "undo reported a change as not its own";
    if (const std::string p = mirror.Problem(); !p.empty()) return "after undoing everything: " + p;
    const std::vector<std::string>& loaded = loaded_;
    if (StoredLines(editor) != loaded) {
      if (trace) {
        const std::vector<std::string> now = StoredLines(editor);
        for (std::size_t i = 0; i < std::max(now.size(), loaded.size()); ++i) {
          const auto show = [](const std::vector<std::string>& v, std::size_t k) {
            std::string out;
            if (k >= v.size()) return std::string("-");
            for (char c : v[k]) out += c == '\0' ? std::string("\\0") : std::string(1, c);
            return out;
          };
          std::fprintf(stderr, "%s %zu [%s] [%s]\n", i < now.size() && i < loaded.size() && now[i] == loaded[i] ? "  " : "!!",
                       i, show(loaded, i).c_str(), show(now, i).c_str());
        }
      }
      return "undoing everything does not give back the loaded text";
    }
    return LongStatesProblem(editor);
  }

  bool trace = std::getenv("VANTOREL_SESSION_TRACE") != nullptr;
  HeadlessWindowHost host;
  THLEditor editor{&host};
  MemoryClipboard clipboard;
  IconvCodePages codePages;
  LineMirror mirror{editor.Lines()};

 private:
  int events_ = 0;
  // The text as the program last set it, which undoing everything comes back to.
  std::vector<std::string> loaded_;
  bool programStep_ = false;
  std::vector<std::size_t> favoured_;

  static ShiftState Shift(std::uint8_t flags) {
    ShiftState s;
    s.shift = flags & ss::Shift;
    s.alt = flags & ss::Alt;
    s.ctrl = flags & ss::Ctrl;
    return s;
  }

  void Key(int key, ShiftState shift) {
    ++events_;
    editor.KeyDown(key, shift);
    editor.KeyUp(key, shift);
  }

  void FlushPosted() {
    for (int round = 0; round < 4 && !host.postedCommands.empty(); ++round) {
      const std::vector<int> posted = std::move(host.postedCommands);
      host.postedCommands.clear();
      for (int code : posted) {
        ++events_;
        editor.RunCommand(code);
      }
    }
  }

  // The keys of the commands that work on words, blocks and macros, picked more often
  // than the rest so that short sequences of them come up.
  const std::vector<std::size_t>& Favoured() {
    if (favoured_.empty()) {
      static const std::uint16_t kCommands[] = {
          ec::DeleteWordLeft,    ec::DeleteWord,          ec::SelectWord,        ec::UpperCaseBlock,
          ec::LowerCaseBlock,    ec::ToggleCaseBlock,     ec::SetLineBlock,      ec::SetColumnBlock,
          ec::SetInclusiveBlock, ec::SetNonInclusiveBlock, ec::ColumnSelectDown,  ec::ColumnSelectRight,
          ec::ToggleMacroRecording, ec::ReplayMacro,      ec::IndentBlock,       ec::UnindentBlock,
          ec::Undo,              ec::Paste,               ec::Copy,              ec::SelectRight,
          ec::SelectDown,        ec::DeleteLine};
      const TKeyboard& keys = Inside(editor).commands->Keyboard();
      for (std::size_t i = 0; i < keys.Count(); ++i) {
        if (std::find(std::begin(kCommands), std::end(kCommands), keys.Key(i).Command) != std::end(kCommands)) {
          favoured_.push_back(i);
        }
      }
    }
    return favoured_;
  }

  // A key of the table, with what its command promises checked where it is plain.
  std::string TableKey(Bytes& in, bool favoured) {
    const TKeyboard& keys = Inside(editor).commands->Keyboard();
    const std::size_t index = favoured ? Favoured()[static_cast<std::size_t>(in.Byte()) % Favoured().size()]
                                       : static_cast<std::size_t>(in.Byte()) % keys.Count();
    const TEditKey entry = keys.Key(index);
    if (trace) std::fprintf(stderr, "key %d/%d %d/%d -> command %d\n", entry.Key1, entry.Shift1, entry.Key2, entry.Shift2, entry.Command);
    const int x = editor.CaretX();
    const int y = editor.CaretY();
    const bool block = editor.HasSelection();
    const std::string tail = Tail(editor, y, x);
    const std::string head = Head(editor, y, x);
    const bool inLine = y < editor.LineCount() && x <= editor.LineLength(y);
    const int lines = editor.LineCount();
    const TextPoint begin{editor.SelBeginX(), editor.SelBeginY()};
    const TextPoint end{editor.SelEndX(), editor.SelEndY()};
    const long long textLength = TrimmedLength(editor);
    const TSelBlockFormat format = editor.SelBlockFormat();
    // With a two-key sequence still pending (its first key pressed in an earlier step;
    // the mouse and typed characters leave it pending), the entry's first key ends that
    // sequence and its command is not the one that runs.
    const bool runsEntry = !Inside(editor).commands->Decoder().ChordPending();
    const bool caseCommand = entry.Command == ec::UpperCaseBlock || entry.Command == ec::LowerCaseBlock ||
                             entry.Command == ec::ToggleCaseBlock;
    const std::vector<std::string> linesBefore = runsEntry && caseCommand && block ? StoredLines(editor)
                                                                                   : std::vector<std::string>();
    Key(entry.Key1, Shift(entry.Shift1));
    if (entry.Key2 != 0) Key(entry.Key2, Shift(entry.Shift2));
    FlushPosted();
    if (!runsEntry) return {};

    switch (entry.Command) {
      case ec::DeleteWordLeft:
        if (!block && inLine && editor.LineCount() == lines && Tail(editor, y, editor.CaretX()) != tail) {
          return "deleting the word left of the caret changed the text right of it";
        }
        break;
      case ec::DeleteWord:
        // Left of the caret nothing changes but the blanks an edited line loses at its end.
        if (!block && inLine && Trimmed(Head(editor, y, x)) != Trimmed(head)) {
          return "deleting the word right of the caret changed the text left of it";
        }
        break;
      case ec::UpperCaseBlock:
      case ec::LowerCaseBlock:
      case ec::ToggleCaseBlock:
        if (block && end.y < lines) {
          // An edited line loses its trailing blanks (undo keeps them); nothing else
          // may change length.
          if (TrimmedLength(editor) != textLength) {
            return "a case command changed the length of the text from " + std::to_string(textLength) + " to " +
                   std::to_string(TrimmedLength(editor));
          }
          // Only letters change, and only their case.
          const std::vector<std::string> now = StoredLines(editor);
          for (std::size_t i = 0; i < now.size() && i < linesBefore.size(); ++i) {
            if (codePages.LowerCase(Trimmed(now[i])) != codePages.LowerCase(Trimmed(linesBefore[i]))) {
              return "a case command changed more than the case of letters in line " + std::to_string(i) + ": [" +
                     Shown(linesBefore[i]) + "] became [" + Shown(now[i]) + "]";
            }
          }
          if (!editor.HasSelection() || editor.SelBeginX() != begin.x || editor.SelBeginY() != begin.y ||
              editor.SelEndX() != end.x || editor.SelEndY() != end.y || editor.SelBlockFormat() != format) {
            return "a case command changed the block: (" + std::to_string(begin.x) + ", " + std::to_string(begin.y) +
                   ")-(" + std::to_string(end.x) + ", " + std::to_string(end.y) + ") became (" +
                   std::to_string(editor.SelBeginX()) + ", " + std::to_string(editor.SelBeginY()) + ")-(" +
                   std::to_string(editor.SelEndX()) + ", " + std::to_string(editor.SelEndY()) + ")";
          }
        }
        break;
      default:
        break;
    }
    return {};
  }

  void Mouse(Bytes& in) {
    const Rect c = host.client;
    const int kind = in.Byte() % 6;
    const ShiftState shift = Shift(static_cast<std::uint8_t>(in.Byte() & 7));
    const Point at{in.Pixel(c.right), in.Pixel(c.bottom)};
    if (trace) std::fprintf(stderr, "mouse %d at (%d, %d)\n", kind, at.x, at.y);
    switch (kind) {
      case 0:
      case 1: {  // a click or a drag, sometimes with the auto-scroll running
        ShiftState held = shift;
        held.left = true;
        editor.MouseDown(MouseButton::Left, shift, at);
        const int moves = in.Byte() % 4;
        for (int i = 0; i < moves; ++i) {
          editor.MouseMove(held, {in.Pixel(c.right), in.Pixel(c.bottom)});
          if (in.Byte() & 1) editor.TimerTick(EditorTimer::AutoScroll);
        }
        if (kind == 0) editor.MouseUp(MouseButton::Left, shift, at);
        break;
      }
      case 2:  // a double click: press, release, the double click, its press and release
        editor.MouseDown(MouseButton::Left, shift, at);
        editor.MouseUp(MouseButton::Left, shift, at);
        editor.DblClick();
        editor.MouseDown(MouseButton::Left, shift, at);
        editor.MouseUp(MouseButton::Left, shift, at);
        break;
      case 3:
        editor.MouseDown(MouseButton::Right, shift, at);
        editor.MouseUp(MouseButton::Right, shift, at);
        break;
      case 4:
        ++events_;  // Shift+wheel moves the caret by a command
        editor.MouseWheel(shift, (in.Byte() - 128) * 10);
        break;
      default:
        editor.MouseUp(MouseButton::Left, shift, at);
        editor.MouseCaptureLost();
        break;
    }
  }

  void ForeignClipboard(Bytes& in) {
    const int kind = in.Byte() % 4;
    if (kind == 0) {
      clipboard.text = std::string(static_cast<std::size_t>(in.Byte()) * 40, 'h') + "\r\n" + in.Text(8);
    } else if (kind == 1) {
      clipboard.text.reset();
    } else {
      clipboard.text = in.Text(24);
    }
    clipboard.blockType.reset();
    if (in.Byte() & 1) clipboard.blockType = static_cast<std::uint8_t>(in.Byte() % 6 == 5 ? in.Byte() : in.Byte() % 4);
  }

  std::string Step(Bytes& in) {
    const int kind = in.Byte() % 11;
    if (trace) std::fprintf(stderr, "step kind %d\n", kind);
    switch (kind) {
      case 0:
      case 1: return TableKey(in, false);
      case 2: return TableKey(in, true);
      case 3: {  // a typed character, as the keyboard or another program sends it
        const int key = in.Byte();
        Key(key, Shift(static_cast<std::uint8_t>(in.Byte() & 7)));
        char ch = static_cast<char>(key % 3 == 0 ? '\r' : " ab_;,(\t\xE0"[key % 9]);
        ++events_;
        editor.KeyPress(ch);
        break;
      }
      case 4: Mouse(in); break;
      case 5: ForeignClipboard(in); break;
      case 6: {  // any virtual key with any shift state, bound or not
        const int key = in.Byte();
        Key(key, Shift(static_cast<std::uint8_t>(in.Byte() & 7)));
        break;
      }
      case 7: {
        static const EditMessageKind kinds[] = {EditMessageKind::Copy, EditMessageKind::Cut, EditMessageKind::Paste,
                                                EditMessageKind::Clear, EditMessageKind::Undo, EditMessageKind::CanUndo};
        editor.EditMessage(kinds[in.Byte() % 6]);
        break;
      }
      case 8: {
        const int start = in.Byte() % 2 ? in.Word() % 700 : -in.Byte();
        const int end = in.Byte() % 5 == 0 ? -1 : in.Word() % 700;
        editor.SetSelForMessage(start, end);
        break;
      }
      case 9: Completion(in); break;
      default: {
        const int b = in.Byte();
        if (b < 224) {
          editor.SetSelBlockFormat(static_cast<TSelBlockFormat>(b % 4));
        } else {
          ProgramStep(b - 224, in);
        }
        break;
      }
    }
    FlushPosted();
    return {};
  }

  // What the program does to the lines besides the user's commands. It keeps no undo
  // records that fit the new text, so the buffer starts again from it.
  void ProgramStep(int what, Bytes& in) {
    programStep_ = true;
    TEditorStrings& lines = editor.Lines();
    const int count = lines.Count();
    const int at = count > 0 ? in.Byte() % count : 0;
    if (trace) std::fprintf(stderr, "program step %d at %d\n", what % 8, at);
    switch (what % 8) {
      case 0: ConvertEditorLines(editor, codePages, &CodePages::WinToDos); break;
      case 1: ConvertEditorLines(editor, codePages, &CodePages::DosToWin); break;
      case 2: PutNewProject(editor); break;
      case 3: lines.SetTextStr(in.Text(40) + "\r\n" + in.Text(40)); break;
      case 4: lines.Add(OneLine(in)); break;
      case 5: lines.Insert(at, OneLine(in)); break;
      case 6:
        if (count > 0) lines.Delete(at);
        break;
      default:
        if (count > 0) lines.Put(at, OneLine(in));
        break;
    }
    // The list's own operations leave the caret where it was, also below the text; the
    // user's next click would bring it back.
    if (editor.CaretY() >= editor.LineCount()) editor.SetCaretInternal(editor.CaretX(), std::max(editor.LineCount() - 1, 0));
    Inside(editor).undo.Clear();
    loaded_ = StoredLines(editor);
  }

  // A line for the list's own operations, which take no line breaks (and no tab, which
  // Put would keep and a copy of the text would not).
  static std::string OneLine(Bytes& in) {
    std::string s = in.Text(12);
    std::erase_if(s, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });
    return s;
  }

  // The reports name who made the change: the program's steps only the program, the
  // user's input never the program.
  std::string OriginsProblem() const {
    const unsigned program = LineMirror::Bit(ChangeOrigin::Program);
    if (programStep_ && (mirror.origins & ~program) != 0) return "a change of the program reported as the user's";
    if (!programStep_ && (mirror.origins & program) != 0) return "a change made by the user reported as the program's";
    return {};
  }

  // The pause timer firing, or the mouse on the drop-down list while it shows.
  void Completion(Bytes& in) {
    const int what = in.Byte() % 4;
    if (what == 0 || host.popups.empty()) {
      editor.TimerTick(EditorTimer::Completion);
      return;
    }
    PopupClient& list = host.popups.back()->client;
    const Point at{in.Byte() % 320 - 10, in.Byte() % 120 - 20};
    const auto button = static_cast<MouseButton>(in.Byte() % 3);
    if (what == 1) list.PopupMouseDown(button, at);
    if (what == 2) list.PopupMouseMove(in.Byte() % 2 == 0, at);
    if (what == 3) list.PopupMouseUp(button, at);
    if (in.Byte() % 4 == 0) list.PopupTimer();
  }

  std::string Check() {
    const int lines = editor.LineCount();
    const HeadlessPopupWindow* list = host.popups.empty() ? nullptr : host.popups.back();
    if (editor.Completion().ListShown() != (list && list->visible)) return "the list's window and its state differ";
    if (list && !list->visible && (list->captured || list->timer != 0)) return "a hidden list keeps the mouse or a timer";
    if (editor.UpdateLock() != 0) return "an update or paint lock is left open";
    if (editor.UndoGroupDepth != 0) return "an undo group is left open";
    if (editor.CaretX() < 0 || editor.CaretX() > MaxLineColumns) return "caret column out of range";
    // Deleting the last line leaves the caret just below the text, no further.
    if (editor.CaretY() < 0 || editor.CaretY() > std::max(lines, 0)) return "caret line out of range";
    if (editor.HasSelection()) {
      const TextPoint b{editor.SelBeginX(), editor.SelBeginY()};
      const TextPoint e{editor.SelEndX(), editor.SelEndY()};
      if (e < b) return "block ends before it begins";
      if (b.x < 0 || b.y < 0 || e.x > MaxLineColumns) {
        return "block outside the columns: (" + std::to_string(b.x) + ", " + std::to_string(b.y) + ")-(" +
               std::to_string(e.x) + ", " + std::to_string(e.y) + ")";
      }
    }
    if (static_cast<std::size_t>(editor.SelLength()) != editor.BlockText().size()) {
      return "SelLength " + std::to_string(editor.SelLength()) + " differs from the length of the block's text " +
             std::to_string(editor.BlockText().size());
    }
    // The vertical bar's range lets the last line scroll up to the top, and a page
    // beyond while the range catches up with deleted lines.
    if (editor.TopLine() < 0 || editor.TopLine() > std::max(lines, 1) + editor.VisibleLines()) {
      return "first shown line out of range: " + std::to_string(editor.TopLine()) + " of " + std::to_string(lines) +
             " lines, caret line " + std::to_string(editor.CaretY());
    }
    if (editor.LeftColumn() < 0 || editor.LeftColumn() > MaxLineColumns) return "first shown column out of range";
    if (const std::string p = mirror.Problem(); !p.empty()) return p;
    Inside(editor).view.FullRepaintPending = true;
    editor.Paint(host.canvas, host.client);
    return LongStatesProblem(editor);
  }
};

}  // namespace vantorel::session
