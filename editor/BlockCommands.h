// What the editor does with the selected block as text: reading it in its format,
// erasing it, copying, cutting and pasting it through the clipboard (with its block
// type), replacing it, and indenting or unindenting it by two blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel {

struct EditorContext;
class Clipboard;
class CodePages;

class BlockCommands {
 public:
  explicit BlockCommands(EditorContext& context) noexcept : c_(context) {}

  // The block's text, lines joined by CR LF; empty without a block or when the block
  // names lines that are gone.
  std::string BlockText() const;
  // Deletes the block; the caret goes to its start.
  void EraseSelection();

  void SetClipboard(Clipboard* clipboard) noexcept { clipboard_ = clipboard; }
  // The case mapping of the ANSI code page, for the case commands.
  void SetCodePages(CodePages* codePages) noexcept { codePages_ = codePages; }
  // Replaces the block by its upper-case, lower-case or inverted-case form.
  void ConvertBlockCase(int code);
  void CopySelection();
  void CutSelection();
  void PasteClipboard();
  // Inserts text at the caret and moves the caret behind it.
  void InsertStreamText(std::string_view text);
  void InsertColumnBlock(int x, int y, std::string_view text);
  // Replaces the block (or inserts at the caret) by text, which is then the block.
  void ReplaceBlock(std::string_view text);
  // The block commands: line indent of a stream or line block, column indent of a
  // column block.
  void IndentBlock(bool indent);
  void IndentLines(bool unindent);
  void InsertBlankColumn(int x, int fromY, int toY);
  void RemoveBlankColumn(int x, int fromY, int toY);

  // What the Edit commands may do now.
  bool ClipboardHasText() const;
  bool BlockNotEmpty() const;
  bool BlockCuttable() const;
  // The block does not yet cover the whole text (what a Select all item would ask).
  bool BlockNotWhole() const;
  // The block type the clipboard holds: 3 (stream) when it holds none.
  std::uint8_t ClipboardBlockType() const;

 private:
  // The block names lines the text no longer has (left by an undo that removed them).
  bool BlockNamesGoneLines() const;

  EditorContext& c_;
  Clipboard* clipboard_ = nullptr;
  CodePages* codePages_ = nullptr;
};

}  // namespace vantorel
