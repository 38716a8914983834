// The editor's keyboard: 16-bit command codes, the table that maps keys and two-key
// sequences to them, and the state machine that turns key-downs and characters into
// commands. Nothing here knows the editor; the editor owns a TKeyboard and a
// KeyDecoder and carries out what they answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Types.h"

namespace vantorel {

// Command codes. 0 to 255 type the character with that code; 0 from a lookup means
// "no command".
namespace ec {
inline constexpr std::uint16_t MoveLeft = 257;
inline constexpr std::uint16_t MoveUp = 258;
inline constexpr std::uint16_t MoveRight = 259;
inline constexpr std::uint16_t MoveDown = 260;
inline constexpr std::uint16_t SelectLeft = 265;
inline constexpr std::uint16_t SelectUp = 266;
inline constexpr std::uint16_t SelectRight = 267;
inline constexpr std::uint16_t SelectDown = 268;
inline constexpr std::uint16_t WordLeft = 269;
inline constexpr std::uint16_t WordRight = 270;
inline constexpr std::uint16_t SelectWordLeft = 271;
inline constexpr std::uint16_t SelectWordRight = 272;
inline constexpr std::uint16_t SelectWord = 273;
inline constexpr std::uint16_t WindowTop = 274;
inline constexpr std::uint16_t WindowBottom = 275;
inline constexpr std::uint16_t PageUp = 276;
inline constexpr std::uint16_t PageDown = 277;
inline constexpr std::uint16_t SelectPageUp = 278;
inline constexpr std::uint16_t SelectPageDown = 279;
inline constexpr std::uint16_t LineStart = 280;
inline constexpr std::uint16_t LineEnd = 281;
inline constexpr std::uint16_t DocumentStart = 282;
inline constexpr std::uint16_t DocumentEnd = 283;
inline constexpr std::uint16_t SelectLineStart = 284;
inline constexpr std::uint16_t SelectLineEnd = 285;
inline constexpr std::uint16_t SelectDocumentStart = 286;
inline constexpr std::uint16_t SelectDocumentEnd = 287;
inline constexpr std::uint16_t SelectAllCommand = 288;
inline constexpr std::uint16_t ScrollLineUp = 289;
inline constexpr std::uint16_t ScrollLineDown = 290;
inline constexpr std::uint16_t SetInclusiveBlock = 356;
inline constexpr std::uint16_t SetLineBlock = 357;
inline constexpr std::uint16_t SetColumnBlock = 358;
inline constexpr std::uint16_t SetNonInclusiveBlock = 359;
inline constexpr std::uint16_t InsertLineBreak = 377;
inline constexpr std::uint16_t Backspace = 378;
inline constexpr std::uint16_t DeleteChar = 379;
inline constexpr std::uint16_t ToggleInsertMode = 380;
inline constexpr std::uint16_t Tab = 381;
inline constexpr std::uint16_t BackTab = 382;
inline constexpr std::uint16_t IndentBlock = 383;
inline constexpr std::uint16_t UnindentBlock = 384;
inline constexpr std::uint16_t DeleteSelection = 387;
inline constexpr std::uint16_t Copy = 388;
inline constexpr std::uint16_t Cut = 389;
inline constexpr std::uint16_t Paste = 390;
inline constexpr std::uint16_t DeleteLine = 391;
inline constexpr std::uint16_t DeleteWord = 392;
inline constexpr std::uint16_t UpperCaseBlock = 393;
inline constexpr std::uint16_t LowerCaseBlock = 394;
inline constexpr std::uint16_t ToggleCaseBlock = 395;
inline constexpr std::uint16_t Undo = 396;
inline constexpr std::uint16_t BeginUndoGroupCommand = 398;
inline constexpr std::uint16_t EndUndoGroupCommand = 399;
inline constexpr std::uint16_t BeginUpdateCommand = 400;
inline constexpr std::uint16_t EndUpdateCommand = 401;
// Bookmark slot n is ToggleBookmark0 + n and JumpToBookmark0 + n.
inline constexpr std::uint16_t ToggleBookmark0 = 402;
inline constexpr std::uint16_t ToggleBookmark1 = 403;
inline constexpr std::uint16_t ToggleBookmark2 = 404;
inline constexpr std::uint16_t ToggleBookmark3 = 405;
inline constexpr std::uint16_t ToggleBookmark4 = 406;
inline constexpr std::uint16_t ToggleBookmark5 = 407;
inline constexpr std::uint16_t ToggleBookmark6 = 408;
inline constexpr std::uint16_t ToggleBookmark7 = 409;
inline constexpr std::uint16_t ToggleBookmark8 = 410;
inline constexpr std::uint16_t ToggleBookmark9 = 411;
inline constexpr std::uint16_t JumpToBookmark0 = 412;
inline constexpr std::uint16_t JumpToBookmark1 = 413;
inline constexpr std::uint16_t JumpToBookmark2 = 414;
inline constexpr std::uint16_t JumpToBookmark3 = 415;
inline constexpr std::uint16_t JumpToBookmark4 = 416;
inline constexpr std::uint16_t JumpToBookmark5 = 417;
inline constexpr std::uint16_t JumpToBookmark6 = 418;
inline constexpr std::uint16_t JumpToBookmark7 = 419;
inline constexpr std::uint16_t JumpToBookmark8 = 420;
inline constexpr std::uint16_t JumpToBookmark9 = 421;
inline constexpr std::uint16_t ShowIdentifierCompletion = 422;
inline constexpr std::uint16_t ShowTemplateCompletion = 423;
inline constexpr std::uint16_t ToggleMacroRecording = 424;
inline constexpr std::uint16_t ReplayMacro = 425;
inline constexpr std::uint16_t ColumnSelectLeft = 4096;
inline constexpr std::uint16_t ColumnSelectUp = 4097;
inline constexpr std::uint16_t ColumnSelectRight = 4098;
inline constexpr std::uint16_t ColumnSelectDown = 4099;
inline constexpr std::uint16_t DeleteWordLeft = 4106;
// Answered by LookupKey only: the key starts a two-key sequence.
inline constexpr std::uint16_t ChordMarker = 0xFFFF;
}  // namespace ec

// The shift state of a key table entry: one byte of flags, compared as a whole, so an
// entry for Ctrl does not match Ctrl+Shift.
namespace ss {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t Shift = 1;
inline constexpr std::uint8_t Alt = 2;
inline constexpr std::uint8_t Ctrl = 4;
}  // namespace ss

// The keyboard part of a shift state as a table byte; mouse buttons do not count.
constexpr std::uint8_t KeyShiftByte(const ShiftState& s) noexcept {
  return static_cast<std::uint8_t>((s.shift ? ss::Shift : 0) | (s.alt ? ss::Alt : 0) | (s.ctrl ? ss::Ctrl : 0));
}

// One entry: a key, or a sequence of two keys when Key2 is not 0.
struct TEditKey {
  std::uint16_t Key1 = 0;
  std::uint16_t Key2 = 0;
  std::uint8_t Shift1 = ss::None;
  std::uint8_t Shift2 = ss::None;
  std::uint16_t Command = 0;
  bool operator==(const TEditKey&) const = default;
};

// The entries in insertion order; every lookup takes the first that matches.
class TKeyboard {
 public:
  void AddKey(std::uint16_t command, std::uint16_t key, std::uint8_t shift);
  void AddChord(std::uint16_t command, std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2,
                std::uint8_t shift2);
  // The second key works with Ctrl and with no shift key (two entries, Ctrl first).
  void AddCtrlChord(std::uint16_t command, std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2);
  void ClearKeys() noexcept { keys_.clear(); }
  // Becomes a copy of other's entries in their order.
  void Assign(const TKeyboard& other);

  // The command of the first entry whose first key matches; ec::ChordMarker when that
  // entry is a two-key sequence; 0 when none matches.
  std::uint16_t LookupKey(std::uint16_t key, std::uint8_t shift) const noexcept;
  // The command of the first entry whose four key fields all match; 0 when none does.
  std::uint16_t LookupChord(std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2,
                            std::uint8_t shift2) const noexcept;

  // The editor's bindings, replacing what the table held.
  void LoadDefaultKeys();

  std::size_t Count() const noexcept { return keys_.size(); }
  const TEditKey& Key(std::size_t i) const { return keys_.at(i); }

 private:
  std::vector<TEditKey> keys_;
};

// The two-key state machine of the editor's key-down and character handling.
//
// A key-down goes in two steps, so the editor can raise its owner's key-down event
// (which may change the key) between them:
//
//   auto step = decoder.BeginKey(keys, key, shift);
//   if (step.raiseOwnerEvent) {
//     raise OnKeyDown (key, ...);
//     step.command = decoder.LookupFirst(keys, key, shift);
//   }
//   if (step.command != 0) run it;
//
// A first key of a two-key entry answers 0 and leaves the sequence pending; the next
// key-down that is not a modifier alone is its second key, whether bound or not. A
// key that answers a command drops the character it would type; so does any second
// key. Shift, Ctrl and Alt pressed alone (also their auto-repeat) are not keys here:
// they neither end nor complete a sequence and leave the dropping as it was.
class KeyDecoder {
 public:
  struct KeyStep {
    std::uint16_t command = 0;  // the command to run; 0 for none
    bool raiseOwnerEvent = false;
  };

  // With a sequence pending, key is taken as its second key (a modifier alone is
  // ignored) and the step is complete: raiseOwnerEvent is false. Otherwise nothing
  // changes yet and raiseOwnerEvent is true: raise the event, then LookupFirst.
  KeyStep BeginKey(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift);
  // Looks key up as a single key or the start of a sequence; a key of 0 finds nothing.
  std::uint16_t LookupFirst(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift);
  // Both steps for a caller without an owner event.
  std::uint16_t Decode(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift);

  // For a character message: false (and the drop is used up) when the character must
  // be dropped. Call it before any other reason to drop the character, so the drop
  // is used up in every case.
  bool CharacterAllowed() noexcept;
  // A key consumed elsewhere (by the completion list) drops its character too.
  void DropNextCharacter() noexcept { suppressNextChar_ = true; }

  static constexpr bool IsModifierKey(std::uint16_t key) noexcept {
    return key == vk::Shift || key == vk::Control || key == vk::Menu || (key >= vk::LShift && key <= vk::RMenu);
  }

  bool ChordPending() const noexcept { return chordPending_; }
  std::uint16_t ChordFirstKey() const noexcept { return chordFirstKey_; }
  std::uint8_t ChordFirstShift() const noexcept { return chordFirstShift_; }
  bool SuppressNextChar() const noexcept { return suppressNextChar_; }

 private:
  bool suppressNextChar_ = false;
  bool chordPending_ = false;
  std::uint16_t chordFirstKey_ = 0;
  std::uint8_t chordFirstShift_ = ss::None;
};

}  // namespace vantorel
