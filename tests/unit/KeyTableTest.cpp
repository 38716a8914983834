// The key table and the two-key state machine: which key gives which command, and
// which characters get dropped on the way.
#include "editor/KeyTable.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

constexpr std::uint8_t kCtrlShift = ss::Ctrl | ss::Shift;

bool IsEditorCommand(std::uint16_t code) {
  return (code >= 257 && code <= 425) || (code >= 4096 && code <= 4099) || code == 4106;
}

// Two entries clash when one could hide the other: equal sequences, or a single key
// that is also the first key of another entry.
bool Clash(const TEditKey& a, const TEditKey& b) {
  if (a.Key1 != b.Key1 || a.Shift1 != b.Shift1) return false;
  if (a.Key2 == 0 || b.Key2 == 0) return true;
  return a.Key2 == b.Key2 && a.Shift2 == b.Shift2;
}

class KeyTableDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { keys.LoadDefaultKeys(); }
  TKeyboard keys;
};

TEST_F(KeyTableDefaultsTest, HoldsEveryBindingOnceWithAnEditorCommand) {
  ASSERT_EQ(keys.Count(), 153u);
  for (std::size_t i = 0; i < keys.Count(); ++i) {
    const TEditKey& k = keys.Key(i);
    EXPECT_TRUE(IsEditorCommand(k.Command)) << "entry " << i << " command " << k.Command;
    EXPECT_NE(k.Key1, 0) << "entry " << i;
    for (std::size_t j = 0; j < i; ++j) {
      EXPECT_FALSE(Clash(keys.Key(j), k)) << "entries " << j << " and " << i;
    }
  }
  // Loading again replaces, it does not append.
  keys.LoadDefaultKeys();
  EXPECT_EQ(keys.Count(), 153u);
}

TEST_F(KeyTableDefaultsTest, SharedAndUnusualBindings) {
  EXPECT_EQ(keys.LookupKey(vk::Prior, ss::Ctrl), ec::WindowTop);
  EXPECT_EQ(keys.LookupChord('Q', ss::Ctrl, 'T', ss::None), ec::WindowTop);
  EXPECT_EQ(keys.LookupChord('Q', ss::Ctrl, 'E', ss::Ctrl), ec::WindowTop);
  EXPECT_EQ(keys.LookupKey(vk::Back, ss::Alt), ec::Undo);
  EXPECT_EQ(keys.LookupKey(vk::Back, ss::Shift), ec::Backspace);
  EXPECT_EQ(keys.LookupKey(vk::Back, ss::Ctrl), ec::DeleteWordLeft);
  EXPECT_EQ(keys.LookupKey('N', ss::Ctrl), ec::InsertLineBreak);
  EXPECT_EQ(keys.LookupKey('T', ss::Ctrl), ec::DeleteWord);
  EXPECT_EQ(keys.LookupKey(vk::Down, ss::Shift | ss::Alt), ec::ColumnSelectDown);
  EXPECT_EQ(keys.LookupKey(vk::Left, ss::Shift | ss::Alt), ec::ColumnSelectLeft);
  EXPECT_EQ(keys.LookupChord('O', ss::Ctrl, 'U', ss::None), ec::ToggleCaseBlock);
  EXPECT_EQ(keys.LookupChord('O', ss::Ctrl, 'K', ss::None), ec::SetNonInclusiveBlock);
  EXPECT_EQ(keys.LookupKey('I', kCtrlShift), ec::IndentBlock);
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, 'I', ss::Ctrl), ec::IndentBlock);
}

TEST_F(KeyTableDefaultsTest, BookmarksByDigit) {
  EXPECT_EQ(keys.LookupKey('3', kCtrlShift), ec::ToggleBookmark3);
  EXPECT_EQ(keys.LookupKey('3', ss::Ctrl), ec::JumpToBookmark3);
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, '3', ss::None), ec::ToggleBookmark3);
  EXPECT_EQ(keys.LookupChord('Q', ss::Ctrl, '3', ss::Ctrl), ec::JumpToBookmark3);
  EXPECT_EQ(keys.LookupKey('0', kCtrlShift), 402);
  EXPECT_EQ(keys.LookupKey('9', ss::Ctrl), 421);
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, '9', ss::Ctrl), 411);
  EXPECT_EQ(keys.LookupKey('3', ss::None), 0);
}

TEST_F(KeyTableDefaultsTest, ShiftStateMustMatchExactly) {
  EXPECT_EQ(keys.LookupKey(vk::Home, ss::Ctrl), ec::DocumentStart);
  EXPECT_EQ(keys.LookupKey(vk::Home, kCtrlShift), ec::SelectDocumentStart);
  EXPECT_EQ(keys.LookupKey('A', ss::Ctrl), ec::SelectAllCommand);
  EXPECT_EQ(keys.LookupKey('A', kCtrlShift), 0);
  EXPECT_EQ(keys.LookupKey('A', ss::Ctrl | ss::Alt), 0);
  EXPECT_EQ(keys.LookupKey(vk::Left, ss::Alt), 0);
  EXPECT_EQ(keys.LookupKey('K', ss::Ctrl), ec::ChordMarker);
  EXPECT_EQ(keys.LookupKey('K', kCtrlShift), 0);
  // The second key of a sequence takes Ctrl or nothing, never Shift or Alt.
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, 'T', ss::Shift), 0);
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, 'T', kCtrlShift), 0);
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, 'T', ss::Alt), 0);
}

TEST(KeyTableTest, FirstMatchWins) {
  TKeyboard keys;
  keys.AddKey(300, 'A', ss::None);
  keys.AddKey(301, 'A', ss::None);
  keys.AddChord(302, 'B', ss::Ctrl, 'C', ss::None);
  keys.AddKey(303, 'B', ss::Ctrl);
  keys.AddChord(304, 'B', ss::Ctrl, 'C', ss::None);
  EXPECT_EQ(keys.LookupKey('A', ss::None), 300);
  // A single key behind a sequence with the same first key is never reached.
  EXPECT_EQ(keys.LookupKey('B', ss::Ctrl), ec::ChordMarker);
  EXPECT_EQ(keys.LookupChord('B', ss::Ctrl, 'C', ss::None), 302);
  EXPECT_EQ(keys.LookupChord('B', ss::Ctrl, 'D', ss::None), 0);
  EXPECT_EQ(keys.LookupKey('C', ss::None), 0);  // a second key is no key by itself
}

TEST(KeyTableTest, CtrlChordAcceptsCtrlOrNothingOnTheSecondKey) {
  TKeyboard keys;
  keys.AddCtrlChord(310, 'K', ss::Ctrl, 'B');
  ASSERT_EQ(keys.Count(), 2u);
  EXPECT_EQ(keys.Key(0), (TEditKey{'K', 'B', ss::Ctrl, ss::Ctrl, 310}));
  EXPECT_EQ(keys.Key(1), (TEditKey{'K', 'B', ss::Ctrl, ss::None, 310}));
  EXPECT_EQ(keys.LookupChord('K', ss::Ctrl, 'B', ss::Shift), 0);
  EXPECT_EQ(keys.LookupChord('K', ss::None, 'B', ss::None), 0);
}

TEST(KeyTableTest, AssignCopiesEveryEntryInOrder) {
  TKeyboard source;
  source.AddKey(320, 'A', ss::None);
  source.AddKey(321, 'A', ss::None);
  source.AddChord(322, 'B', ss::Alt, 'C', ss::Shift);
  TKeyboard target;
  target.AddKey(330, 'Z', ss::None);
  target.Assign(source);
  ASSERT_EQ(target.Count(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(target.Key(i), source.Key(i)) << i;
  EXPECT_EQ(target.LookupKey('A', ss::None), 320);
  EXPECT_EQ(target.LookupKey('Z', ss::None), 0);

  target.Assign(target);
  EXPECT_EQ(target.Count(), 3u);
  target.ClearKeys();
  EXPECT_EQ(target.Count(), 0u);
  EXPECT_EQ(source.Count(), 3u);  // a copy, not shared entries
  EXPECT_EQ(target.LookupKey('A', ss::None), 0);
}

TEST(KeyTableTest, ShiftStateBecomesTheTableByte) {
  ShiftState s;
  EXPECT_EQ(KeyShiftByte(s), ss::None);
  s.left = s.right = s.middle = true;  // mouse buttons are not part of it
  EXPECT_EQ(KeyShiftByte(s), ss::None);
  s.shift = s.ctrl = true;
  EXPECT_EQ(KeyShiftByte(s), 5);
  s.alt = true;
  EXPECT_EQ(KeyShiftByte(s), 7);
}

class KeyDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { keys.LoadDefaultKeys(); }
  std::uint16_t Press(std::uint16_t key, std::uint8_t shift = ss::None) { return decoder.Decode(keys, key, shift); }
  TKeyboard keys;
  KeyDecoder decoder;
};

TEST_F(KeyDecoderTest, SequenceWithPlainOrCtrlSecondKey) {
  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  EXPECT_TRUE(decoder.ChordPending());
  EXPECT_FALSE(decoder.CharacterAllowed());  // Ctrl+K's own character
  EXPECT_EQ(Press('T'), ec::SelectWord);
  EXPECT_FALSE(decoder.ChordPending());
  EXPECT_FALSE(decoder.CharacterAllowed());  // the 't' is not typed
  EXPECT_TRUE(decoder.CharacterAllowed());   // only one character is dropped

  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  EXPECT_EQ(Press('T', ss::Ctrl), ec::SelectWord);
  EXPECT_FALSE(decoder.ChordPending());
}

TEST_F(KeyDecoderTest, ModifiersAloneNeitherEndNorCompleteASequence) {
  // Ctrl+K, Ctrl held down auto-repeats, then T.
  EXPECT_EQ(Press(vk::Control, ss::Ctrl), 0);
  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Press(vk::Control, ss::Ctrl), 0);
  EXPECT_EQ(Press(vk::LControl, ss::Ctrl), 0);
  EXPECT_TRUE(decoder.ChordPending());
  EXPECT_EQ(decoder.ChordFirstKey(), 'K');
  EXPECT_EQ(Press('T'), ec::SelectWord);

  // Ctrl+K, Ctrl released, Shift pressed, Shift+T: nothing happens, nothing is typed.
  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  EXPECT_EQ(Press(vk::Shift, ss::Shift), 0);
  EXPECT_TRUE(decoder.ChordPending());
  EXPECT_EQ(Press('T', ss::Shift), 0);
  EXPECT_FALSE(decoder.ChordPending());
  EXPECT_FALSE(decoder.CharacterAllowed());
}

TEST_F(KeyDecoderTest, UnboundSecondKeyEndsTheSequence) {
  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  EXPECT_EQ(Press('Z', ss::Ctrl), 0);  // not Undo: it is taken as the second key
  EXPECT_FALSE(decoder.ChordPending());
  EXPECT_FALSE(decoder.CharacterAllowed());
  EXPECT_EQ(Press('Z', ss::Ctrl), ec::Undo);
  // A first key pressed again as second key also ends the sequence.
  EXPECT_EQ(Press('Q', ss::Ctrl), 0);
  EXPECT_EQ(Press('Q', ss::Ctrl), 0);
  EXPECT_FALSE(decoder.ChordPending());
}

TEST_F(KeyDecoderTest, CharactersDoNotEndASequence) {
  EXPECT_EQ(Press('Q', ss::Ctrl), 0);
  EXPECT_FALSE(decoder.CharacterAllowed());
  EXPECT_TRUE(decoder.CharacterAllowed());
  EXPECT_TRUE(decoder.ChordPending());
  EXPECT_EQ(Press('3'), ec::JumpToBookmark3);
}

TEST_F(KeyDecoderTest, ACommandKeyDropsTheNextCharacterUntilAPlainKey) {
  EXPECT_EQ(Press(vk::Right), ec::MoveRight);
  EXPECT_FALSE(decoder.CharacterAllowed());
  EXPECT_TRUE(decoder.CharacterAllowed());

  // Right makes no character of its own; the drop waits, through a modifier alone,
  // for the next character ...
  EXPECT_EQ(Press(vk::Right), ec::MoveRight);
  EXPECT_EQ(Press(vk::RShift, ss::Shift), 0);
  EXPECT_TRUE(decoder.SuppressNextChar());
  // ... or ends at the next key without a command, whose character is typed.
  EXPECT_EQ(Press('A'), 0);
  EXPECT_TRUE(decoder.CharacterAllowed());

  // A modifier alone does not arm the drop either.
  EXPECT_EQ(Press(vk::Menu, ss::Alt), 0);
  EXPECT_TRUE(decoder.CharacterAllowed());

  decoder.DropNextCharacter();
  EXPECT_FALSE(decoder.CharacterAllowed());
  EXPECT_TRUE(decoder.CharacterAllowed());
}

TEST_F(KeyDecoderTest, OwnerEventComesBetweenTheStepsAndMayChangeTheKey) {
  KeyDecoder::KeyStep step = decoder.BeginKey(keys, vk::Right, ss::None);
  EXPECT_TRUE(step.raiseOwnerEvent);
  EXPECT_FALSE(decoder.SuppressNextChar());  // nothing decided before the event
  // The owner swallowed the key.
  EXPECT_EQ(decoder.LookupFirst(keys, 0, ss::None), 0);
  EXPECT_TRUE(decoder.CharacterAllowed());

  // The owner turned Ctrl+Z into Ctrl+K: the changed key starts the sequence.
  step = decoder.BeginKey(keys, 'Z', ss::Ctrl);
  ASSERT_TRUE(step.raiseOwnerEvent);
  EXPECT_EQ(decoder.LookupFirst(keys, 'K', ss::Ctrl), 0);
  EXPECT_TRUE(decoder.ChordPending());

  // The second key raises no owner event and is complete after the first step.
  step = decoder.BeginKey(keys, 'T', ss::None);
  EXPECT_FALSE(step.raiseOwnerEvent);
  EXPECT_EQ(step.command, ec::SelectWord);
  // So does a modifier alone while a sequence is pending, without deciding anything.
  EXPECT_EQ(Press('K', ss::Ctrl), 0);
  step = decoder.BeginKey(keys, vk::Shift, ss::Shift);
  EXPECT_FALSE(step.raiseOwnerEvent);
  EXPECT_EQ(step.command, 0);
  EXPECT_TRUE(decoder.ChordPending());
  // With nothing pending, a modifier alone raises the owner event.
  EXPECT_EQ(Press('T'), ec::SelectWord);
  EXPECT_TRUE(decoder.BeginKey(keys, vk::Control, ss::Ctrl).raiseOwnerEvent);
}

TEST(KeyModifiersTest, OnlyShiftCtrlAltAndTheirSidesAreModifiers) {
  for (int key : {vk::Shift, vk::Control, vk::Menu, vk::LShift, vk::RShift, vk::LControl, vk::RControl, vk::LMenu,
                  vk::RMenu}) {
    EXPECT_TRUE(KeyDecoder::IsModifierKey(static_cast<std::uint16_t>(key))) << key;
  }
  for (int key : {0x0F, 0x13, 0x14, 0x5B, 0x5C, 0x9F, 0xA6, 0x41}) {
    EXPECT_FALSE(KeyDecoder::IsModifierKey(static_cast<std::uint16_t>(key))) << key;
  }
}

}  // namespace
}  // namespace vantorel
