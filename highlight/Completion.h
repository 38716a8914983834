// The editor's completion: two lists from the owner's configuration (identifiers that
// replace the word at the caret, templates that expand there with line breaks and a
// caret mark), the drop-down list that offers them under the caret line, the typing
// pause timer, and the replacement as one undo step.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/CompletionList.h"

namespace vantorel {

struct EditorContext;
class TCompletionBase;

// The editor's completion events; the owner assigns them.
struct CompletionEvents {
  // Asked before a list is filled; setting cancel keeps it closed.
  std::function<void(TCompletionBase& sender, bool& cancel)> OnCompletionIdentifier;
  std::function<void(TCompletionBase& sender, bool& cancel)> OnCompletionTemplate;
  // Draws one item in place of the list's own drawing.
  std::function<void(TEditorCompletionList& list, int index, const Rect& rect, bool selected, Surface& canvas)>
      OnCompletionDrawItem;
  // The height of an item of a variable-height list.
  std::function<void(TEditorCompletionList& list, int index, int& height)> OnCompletionMeasureItem;
  // May change the identifier text that replaces oldString.
  std::function<void(TCompletionBase& sender, const std::string& oldString, std::string& newString)>
      OnCompletionApply;
};

// An identifier a completion source offers: the name inserted, and what the list shows
// after it (the kind and the definition in short). The source keeps the bytes until it
// is asked again.
struct SourcedItem {
  std::string_view name;
  std::string_view detail;
};

// Where a completion takes its identifiers from in place of its configured list: the
// names a program's index knows for the place of the caret.
class CompletionSource {
 public:
  virtual ~CompletionSource() = default;
  // The items for the caret on line (caretX: the 1-based position of the character left
  // of the caret; caretY: the line's index), in the order to show them.
  virtual void Candidates(std::string_view line, int caretX, int caretY, std::vector<SourcedItem>& items) = 0;
};

// Part k of an item cut at each separator (0 is the item's start); empty when missing.
std::string ItemPart(std::string_view item, std::string_view separator, int k);

// The word the caret stands after (caretX is the 1-based position of the character
// left of the caret): the run of word characters holding it, or that one character
// when it is a separator; empty when the caret is at a line's start or past its end.
std::string_view WordBeforeCaret(std::string_view line, int caretX);

// The word the completion replaces: 1-based first and last position (last < first
// when the word is empty).
struct WordExtent {
  std::string_view word;
  int begin = 0;
  int end = -1;
};
WordExtent WordExtentAtCaret(std::string_view line, int caretX);

// Equal over the first text's length, "A" to "Z" matched with "a" to "z".
bool StartsWithIgnoringCase(std::string_view item, std::string_view prefix) noexcept;

class TCompletionBase : private CompletionListOwner {
 public:
  enum Mode { IdentifierMode = 0, TemplateMode = 1 };

  TCompletionBase(EditorContext& context, CompletionEvents& events);
  virtual ~TCompletionBase() = default;
  TCompletionBase(const TCompletionBase&) = delete;
  TCompletionBase& operator=(const TCompletionBase&) = delete;

  int DropDownCount = 6;
  // 0: the editor's width and two borders.
  int DropDownWidth = 300;
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value);
  int ItemHeight = kListItemHeight;
  unsigned Interval() const noexcept { return interval_; }
  void SetInterval(unsigned value) noexcept { interval_ = value; }
  TListBoxStyle ListBoxStyle = TListBoxStyle::lbStandard;

  int CurrentMode() const noexcept { return mode_; }
  bool ListShown() const noexcept { return listShown_; }
  TEditorCompletionList& List() noexcept { return list_; }

  // Ctrl+Space (mode 0) and Ctrl+J (mode 1).
  void OpenCompletion(int mode);
  void ShowList(int mode, bool showAlways);
  void CloseList(bool apply);
  void UpdateMatch();
  // The typing pause ended.
  void TimerTick();

  // A character that goes on with the word rather than ending the list.
  virtual bool IsWordCharacter(char ch) const;
  virtual bool HandleKeyDown(int key);
  virtual void HandleKeyPress(char ch);
  // Selects the first item that begins with the word before the caret; true when its
  // name is that word.
  virtual bool MatchWordInList();
  virtual void FillList() = 0;
  virtual void InsertItemPart(int part) = 0;
  virtual int TemplateCount() const = 0;
  virtual int IdentifierCount() const = 0;
  virtual std::string SeparatorText() const = 0;

 protected:
  // Whether the list is filled anew at each typed word character (a list that narrows
  // to the word typed) rather than only its selection moving.
  virtual bool Narrows() const { return false; }
  // Draws an item in a way of the derived list; false leaves it to the list's own way.
  virtual bool DrawItem(Surface& surface, int index, const Rect& rect, bool selected) {
    (void)surface, (void)index, (void)rect, (void)selected;
    return false;
  }
  // The caret line's text (empty past the end of the text) and the caret column.
  std::string_view CaretLine() const;
  std::string_view WordAtCaret() const { return WordBeforeCaret(CaretLine(), CaretColumn()); }
  int CaretColumn() const;
  // false when the owner's event cancels (or the editor lacks the focus for templates).
  bool Allowed(int mode);
  // Replaces the word at the caret by value (a template body when templateBody).
  void ReplaceWordAtCaret(const std::string& value, bool templateBody, char caretChar, std::string_view crlf);
  std::string SelectedItem() const { return list_.Item(list_.ItemIndex()); }

  EditorContext& c_;
  CompletionEvents& events_;
  TEditorCompletionList list_;

 private:
  // CompletionListOwner
  void DrawListItem(Surface& surface, int index, const Rect& rect, bool selected) override;
  int MeasureListItem(int index, int height) override;
  void ListDone(bool apply) override { CloseList(apply); }
  void StopTimer();
  void StartTimer();
  Rect ListBounds() const;

  bool enabled_ = false;
  unsigned interval_ = 800;
  int mode_ = IdentifierMode;
  bool listShown_ = false;
  int rememberedIndex_ = -1;
};

class TCompletion : public TCompletionBase {
 public:
  using TCompletionBase::TCompletionBase;

  const std::vector<std::string>& Identifiers() const noexcept { return identifiers_; }
  void SetIdentifiers(const std::vector<std::string>& lines) { identifiers_ = lines; }
  // A source of identifiers in place of the list above; nullptr: the list.
  void SetSource(CompletionSource* source) noexcept { source_ = source; }
  CompletionSource* Source() const noexcept { return source_; }
  const std::vector<std::string>& Templates() const noexcept { return templates_; }
  void SetTemplates(const std::vector<std::string>& lines) { templates_ = lines; }
  char CaretChar = '|';
  std::string CRLF = "/n";
  std::string Separator = "=";

  void FillList() override;
  void InsertItemPart(int part) override;
  int TemplateCount() const override { return static_cast<int>(templates_.size()); }
  int IdentifierCount() const override {
    return static_cast<int>(source_ ? sourced_.size() : identifiers_.size());
  }
  std::string SeparatorText() const override { return Separator; }
  bool MatchWordInList() override;
  // The index's names hold '_', '@', '$' and '?' too.
  bool IsWordCharacter(char ch) const override;

 protected:
  bool Narrows() const override { return Sourced(); }
  bool DrawItem(Surface& surface, int index, const Rect& rect, bool selected) override;

 private:
  bool Sourced() const noexcept { return source_ && CurrentMode() == IdentifierMode; }

  CompletionSource* source_ = nullptr;
  std::vector<SourcedItem> sourced_;
  std::vector<std::string> identifiers_;
  std::vector<std::string> templates_;
};

}  // namespace vantorel
