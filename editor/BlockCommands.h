// What the editor does with the selected block as text: reading it in its format
// and erasing it with one undo record. The clipboard and the block indent and case
// commands build on these.
#pragma once

#include <string>

namespace vantorel {

class TCustomEditor;

class BlockCommands {
 public:
  explicit BlockCommands(TCustomEditor& editor) noexcept : e_(editor) {}

  // The block's text, lines joined by CR LF; empty without a block or when the block
  // names lines that are gone.
  std::string BlockText() const;
  // Deletes the block; the caret goes to its start.
  void EraseSelection();

 private:
  TCustomEditor& e_;
};

}  // namespace vantorel
