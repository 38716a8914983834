// The clipboard in memory: what was put last, and a switch that makes it fail like a
// clipboard another program holds.
#pragma once

#include <optional>
#include <stdexcept>

#include "platform/Clipboard.h"

namespace vantorel {

class MemoryClipboard : public Clipboard {
 public:
  void SetText(std::string_view value) override {
    if (locked) throw std::runtime_error("The clipboard is held by another program.");
    text = std::string(value);
    blockType.reset();
  }
  void SetBlockType(std::uint8_t type) override {
    if (locked) throw std::runtime_error("The clipboard is held by another program.");
    blockType = type;
  }
  std::optional<std::string> Text() override { return locked ? std::nullopt : text; }
  std::optional<std::uint8_t> BlockType() override { return locked ? std::nullopt : blockType; }

  std::optional<std::string> text;
  std::optional<std::uint8_t> blockType;
  bool locked = false;
};

}  // namespace vantorel
