#include "editor/KeyTable.h"

namespace vantorel {

void TKeyboard::AddKey(std::uint16_t command, std::uint16_t key, std::uint8_t shift) {
  keys_.push_back(TEditKey{key, 0, shift, ss::None, command});
}

void TKeyboard::AddChord(std::uint16_t command, std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2,
                         std::uint8_t shift2) {
  keys_.push_back(TEditKey{key1, key2, shift1, shift2, command});
}

void TKeyboard::AddCtrlChord(std::uint16_t command, std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2) {
  AddChord(command, key1, shift1, key2, ss::Ctrl);
  AddChord(command, key1, shift1, key2, ss::None);
}

void TKeyboard::Assign(const TKeyboard& other) {
  if (&other == this) return;
  ClearKeys();
  for (const TEditKey& k : other.keys_) AddChord(k.Command, k.Key1, k.Shift1, k.Key2, k.Shift2);
}

std::uint16_t TKeyboard::LookupKey(std::uint16_t key, std::uint8_t shift) const noexcept {
  for (const TEditKey& k : keys_) {
    if (k.Key1 == key && k.Shift1 == shift) return k.Key2 != 0 ? ec::ChordMarker : k.Command;
  }
  return 0;
}

std::uint16_t TKeyboard::LookupChord(std::uint16_t key1, std::uint8_t shift1, std::uint16_t key2,
                                     std::uint8_t shift2) const noexcept {
  for (const TEditKey& k : keys_) {
    if (k.Key1 == key1 && k.Shift1 == shift1 && k.Key2 == key2 && k.Shift2 == shift2) return k.Command;
  }
  return 0;
}

void TKeyboard::LoadDefaultKeys() {
  constexpr std::uint8_t sh = ss::Shift;
  constexpr std::uint8_t ctl = ss::Ctrl;
  constexpr std::uint8_t ctlSh = ss::Ctrl | ss::Shift;
  constexpr std::uint8_t shAlt = ss::Shift | ss::Alt;

  ClearKeys();
  keys_.reserve(153);

  AddKey(ec::MoveLeft, vk::Left, ss::None);
  AddKey(ec::MoveRight, vk::Right, ss::None);
  AddKey(ec::MoveUp, vk::Up, ss::None);
  AddKey(ec::MoveDown, vk::Down, ss::None);

  AddKey(ec::SelectLeft, vk::Left, sh);
  AddKey(ec::SelectRight, vk::Right, sh);
  AddKey(ec::SelectUp, vk::Up, sh);
  AddKey(ec::SelectDown, vk::Down, sh);

  AddKey(ec::ColumnSelectLeft, vk::Left, shAlt);
  AddKey(ec::ColumnSelectRight, vk::Right, shAlt);
  AddKey(ec::ColumnSelectUp, vk::Up, shAlt);
  AddKey(ec::ColumnSelectDown, vk::Down, shAlt);

  AddKey(ec::LineStart, vk::Home, ss::None);
  AddKey(ec::SelectLineStart, vk::Home, sh);
  AddKey(ec::DocumentStart, vk::Home, ctl);
  AddKey(ec::SelectDocumentStart, vk::Home, ctlSh);
  AddKey(ec::LineEnd, vk::End, ss::None);
  AddKey(ec::SelectLineEnd, vk::End, sh);
  AddKey(ec::DocumentEnd, vk::End, ctl);
  AddKey(ec::SelectDocumentEnd, vk::End, ctlSh);

  AddKey(ec::WordLeft, vk::Left, ctl);
  AddKey(ec::WordRight, vk::Right, ctl);
  AddKey(ec::SelectWordLeft, vk::Left, ctlSh);
  AddKey(ec::SelectWordRight, vk::Right, ctlSh);

  AddKey(ec::SelectAllCommand, 'A', ctl);
  AddKey(ec::WindowTop, vk::Prior, ctl);
  AddKey(ec::WindowBottom, vk::Next, ctl);
  AddKey(ec::PageUp, vk::Prior, ss::None);
  AddKey(ec::PageDown, vk::Next, ss::None);
  AddKey(ec::SelectPageUp, vk::Prior, sh);
  AddKey(ec::SelectPageDown, vk::Next, sh);
  AddKey(ec::ScrollLineUp, vk::Up, ctl);
  AddKey(ec::ScrollLineDown, vk::Down, ctl);

  AddKey(ec::ToggleInsertMode, vk::Insert, ss::None);
  AddKey(ec::InsertLineBreak, vk::Return, ss::None);
  AddKey(ec::Backspace, vk::Back, ss::None);
  AddKey(ec::Backspace, vk::Back, sh);
  AddKey(ec::DeleteWordLeft, vk::Back, ctl);
  AddKey(ec::DeleteChar, vk::Delete, ss::None);
  AddKey(ec::Tab, vk::Tab, ss::None);
  AddKey(ec::BackTab, vk::Tab, sh);

  AddKey(ec::DeleteSelection, vk::Delete, ctl);
  AddKey(ec::Copy, vk::Insert, ctl);
  AddKey(ec::Cut, vk::Delete, sh);
  AddKey(ec::Paste, vk::Insert, sh);
  AddKey(ec::Copy, 'C', ctl);
  AddKey(ec::Cut, 'X', ctl);
  AddKey(ec::Paste, 'V', ctl);

  for (std::uint16_t n = 0; n < 10; ++n) AddKey(ec::ToggleBookmark0 + n, '0' + n, ctlSh);
  for (std::uint16_t n = 0; n < 10; ++n) AddKey(ec::JumpToBookmark0 + n, '0' + n, ctl);
  for (std::uint16_t n = 0; n < 10; ++n) AddCtrlChord(ec::ToggleBookmark0 + n, 'K', ctl, '0' + n);
  for (std::uint16_t n = 0; n < 10; ++n) AddCtrlChord(ec::JumpToBookmark0 + n, 'Q', ctl, '0' + n);

  AddCtrlChord(ec::SetNonInclusiveBlock, 'O', ctl, 'K');
  AddCtrlChord(ec::SetInclusiveBlock, 'O', ctl, 'I');
  AddCtrlChord(ec::SetColumnBlock, 'O', ctl, 'C');
  AddCtrlChord(ec::SetLineBlock, 'O', ctl, 'L');

  AddKey(ec::Undo, 'Z', ctl);
  AddKey(ec::Undo, vk::Back, ss::Alt);
  AddKey(ec::ShowIdentifierCompletion, vk::Space, ctl);
  AddKey(ec::ShowTemplateCompletion, 'J', ctl);

  AddCtrlChord(ec::DocumentEnd, 'Q', ctl, 'C');
  AddCtrlChord(ec::LineEnd, 'Q', ctl, 'D');
  AddCtrlChord(ec::WindowTop, 'Q', ctl, 'E');
  AddCtrlChord(ec::DocumentStart, 'Q', ctl, 'R');
  AddCtrlChord(ec::LineStart, 'Q', ctl, 'S');
  AddCtrlChord(ec::WindowTop, 'Q', ctl, 'T');
  AddCtrlChord(ec::WindowBottom, 'Q', ctl, 'U');

  AddKey(ec::DeleteWord, 'T', ctl);
  AddKey(ec::InsertLineBreak, 'N', ctl);
  AddKey(ec::DeleteLine, 'Y', ctl);

  AddCtrlChord(ec::SelectWord, 'K', ctl, 'T');
  AddCtrlChord(ec::UpperCaseBlock, 'K', ctl, 'O');
  AddCtrlChord(ec::LowerCaseBlock, 'K', ctl, 'N');
  AddCtrlChord(ec::ToggleCaseBlock, 'O', ctl, 'U');
  AddCtrlChord(ec::IndentBlock, 'K', ctl, 'I');
  AddCtrlChord(ec::UnindentBlock, 'K', ctl, 'U');

  AddKey(ec::IndentBlock, 'I', ctlSh);
  AddKey(ec::UnindentBlock, 'U', ctlSh);
  AddKey(ec::ToggleMacroRecording, 'R', ctlSh);
  AddKey(ec::ReplayMacro, 'P', ctlSh);
}

KeyDecoder::KeyStep KeyDecoder::BeginKey(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift) {
  if (!chordPending_) return KeyStep{0, true};
  // The modifier's own key-down arrives before the second key pressed with it.
  if (IsModifierKey(key)) return KeyStep{0, false};
  suppressNextChar_ = true;
  chordPending_ = false;
  return KeyStep{keys.LookupChord(chordFirstKey_, chordFirstShift_, key, shift), false};
}

std::uint16_t KeyDecoder::LookupFirst(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift) {
  if (IsModifierKey(key)) return 0;
  chordFirstKey_ = key;
  chordFirstShift_ = shift;
  const std::uint16_t command = key != 0 ? keys.LookupKey(key, shift) : 0;
  if (command == ec::ChordMarker) {
    suppressNextChar_ = true;
    chordPending_ = true;
    return 0;
  }
  suppressNextChar_ = command != 0;
  return command;
}

std::uint16_t KeyDecoder::Decode(const TKeyboard& keys, std::uint16_t key, std::uint8_t shift) {
  const KeyStep step = BeginKey(keys, key, shift);
  return step.raiseOwnerEvent ? LookupFirst(keys, key, shift) : step.command;
}

bool KeyDecoder::CharacterAllowed() noexcept {
  if (!suppressNextChar_) return true;
  suppressNextChar_ = false;
  return false;
}

}  // namespace vantorel
