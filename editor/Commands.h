// The editor's keyboard road: key-downs are looked up in the key table (one key or
// a two-key sequence) and become commands, typed characters become character
// commands, and RunCommand carries every command out: caret moves, selections,
// pages and scrolling, block formats, bookmarks and macros itself, the text,
// clipboard, undo and completion commands through the editor's entry points.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editor/KeyTable.h"
#include "platform/Types.h"

namespace vantorel {

struct EditorContext;

// The clipboard and undo messages an edit control answers.
enum class EditMessageKind { Copy, Cut, Paste, Clear, Undo, CanUndo };

struct TBookmark {
  int X = 0;
  int Y = 0;
  bool Valid = false;
};

class CommandDispatcher {
 public:
  explicit CommandDispatcher(EditorContext& context);

  TKeyboard& Keyboard() noexcept { return keys_; }
  const KeyDecoder& Decoder() const noexcept { return decoder_; }
  // A key went down; key becomes 0 when it ran a command.
  void KeyDown(int& key, ShiftState shift);
  // A character message; dropped after a command key and while read-only.
  void KeyPress(char& ch);
  void RunCommand(std::uint16_t code);

  bool MacroRecording() const noexcept { return macroRecording_; }
  const std::string& MacroBuffer() const noexcept { return macroBuffer_; }
  const std::string& LastMacro() const noexcept { return lastMacro_; }
  const std::array<TBookmark, 10>& Bookmarks() const noexcept { return bookmarks_; }

  // A command is being carried out (the user's, or a macro's replaying them).
  bool Running() const noexcept { return running_ > 0; }

 private:
  // The target caret (x, y) and how the caret goes there at the end.
  struct Target {
    int x;
    int y;
    bool caretUndo = true;
  };
  // Carries the command out; true when it ends at once (no caret step after it).
  bool Carry(std::uint16_t code, Target& t);
  bool Move(std::uint16_t code, Target& t);
  void Page(bool down, bool select, Target& t);
  void ScrollLine(bool down, Target& t);
  void JumpToBookmark(int slot, Target& t);
  void ToggleBookmark(int slot);
  void DeleteWord();
  void ReplayMacro();

  EditorContext& c_;
  TKeyboard keys_;
  KeyDecoder decoder_;
  bool macroRecording_ = false;
  std::string macroBuffer_;
  std::string lastMacro_;
  // How deep RunCommand is nested: commands that other commands run (a column
  // selection's selection, a replay's commands) are not recorded, and a replay runs
  // only at the top.
  int running_ = 0;
  std::array<TBookmark, 10> bookmarks_{};
};

}  // namespace vantorel
