// The system clipboard as the editor uses it: text, and one byte in a private
// format that tells what kind of block the text came from. Any failure of the system
// clipboard (held by another program, no text) reads as "nothing there".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard and puts the text on it. Throws when the clipboard cannot
  // take it.
  virtual void SetText(std::string_view text) = 0;
  // Adds the block-type byte beside the text put last. Throws when it cannot.
  virtual void SetBlockType(std::uint8_t type) = 0;
  // The text on the clipboard, read within its stated size and up to its first NUL;
  // nullopt when there is none or the clipboard cannot be read.
  virtual std::optional<std::string> Text() = 0;
  // The first byte of the block-type data; nullopt when there is none.
  virtual std::optional<std::uint8_t> BlockType() = 0;
};

}  // namespace vantorel
