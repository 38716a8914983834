#include "highlight/Rules.h"

#include <algorithm>
#include <bit>

namespace vantorel {

WordTable::WordTable(std::initializer_list<List> lists, bool ignoreCase) : ignoreCase_(ignoreCase) {
  std::size_t count = 0;
  for (const List& list : lists) ForEachWord(list.words, [&count](std::string_view) { ++count; });
  slots_.resize(std::bit_ceil(std::max<std::size_t>(count * 2, 16)));
  const std::size_t mask = slots_.size() - 1;
  for (const List& list : lists) {
    ForEachWord(list.words, [&](std::string_view word) {
      if (Find(word) != nullptr) return;
      Slot s;
      s.hash = Hash(word);
      s.offset = static_cast<std::uint32_t>(text_.size());
      s.length = static_cast<std::uint16_t>(word.size());
      s.value = list.value;
      for (const char c : word) text_ += ignoreCase_ ? ascii::Lower(c) : c;
      std::size_t i = s.hash & mask;
      while (slots_[i].length != 0) i = (i + 1) & mask;
      slots_[i] = s;
      longest_ = std::max(longest_, word.size());
    });
  }
}

std::uint32_t WordTable::Hash(std::string_view word) const noexcept {
  std::uint32_t h = 2166136261u;
  for (const char c : word) {
    h ^= static_cast<unsigned char>(ignoreCase_ ? ascii::Lower(c) : c);
    h *= 16777619u;
  }
  return h;
}

bool WordTable::Equal(const Slot& s, std::string_view token) const noexcept {
  if (s.length != token.size()) return false;
  const char* w = text_.data() + s.offset;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if ((ignoreCase_ ? ascii::Lower(token[i]) : token[i]) != w[i]) return false;
  }
  return true;
}

const std::uint8_t* WordTable::Find(std::string_view token) const noexcept {
  if (token.empty() || token.size() > longest_) return nullptr;
  const std::uint32_t h = Hash(token);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = h & mask; slots_[i].length != 0; i = (i + 1) & mask) {
    if (slots_[i].hash == h && Equal(slots_[i], token)) return &slots_[i].value;
  }
  return nullptr;
}

TokenClass ClassifyToken(const HighlightRules& rules, TokenKind kind, std::string_view token, std::string_view prev,
                         const ReservedWordHook& onReservedWord, std::uint8_t* wordFlags) {
  if (wordFlags) *wordFlags = 0;
  if (onReservedWord) {
    bool reserved = false;
    onReservedWord(token, reserved);
    if (reserved) return TokenClass::Reserved;
  } else {
    if (kind == TokenKind::Word && !(rules.memberAfterDot && prev == ".")) {
      if (const std::uint8_t* value = rules.words.Find(token)) {
        if (wordFlags) *wordFlags = *value & ~kClassBits;
        if ((*value & kOperatorInOperand) != 0 && !prev.empty() && prev != ":") {
          // After a prefix (lock and ...) it is still the instruction; after another
          // of its kind (xor not 0) an operator.
          const std::uint8_t* before = rules.words.Find(prev);
          if (before == nullptr || static_cast<TokenClass>(*before & kClassBits) != TokenClass::Reserved ||
              (*before & kOperatorInOperand) != 0) {
            return TokenClass::Statement;
          }
        }
        return static_cast<TokenClass>(*value & kClassBits);
      }
    }
    if (!rules.declarer.empty() && prev == rules.declarer) return TokenClass::Declaration;
  }
  switch (kind) {
    case TokenKind::Comment: return TokenClass::Comment;
    case TokenKind::String:
    case TokenKind::FileName: return TokenClass::Strings;
    case TokenKind::Text: return TokenClass::PlainText;
    case TokenKind::Number: return rules.isNumber(token) ? TokenClass::Number : TokenClass::Identifier;
    default: break;
  }
  if (token.size() == 1 && rules.symbols[static_cast<unsigned char>(token[0])]) return TokenClass::Symbol;
  if (rules.hexAfterZero && prev == "0" && !token.empty() && (token[0] == 'x' || token[0] == 'X')) {
    return TokenClass::Number;
  }
  return TokenClass::Identifier;
}

}  // namespace vantorel
