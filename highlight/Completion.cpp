#include "highlight/Completion.h"

#include <algorithm>

#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/Selection.h"
#include "editor/TextEdits.h"
#include "editor/Typing.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

namespace {

// The list's own font: a standard list box's, not the editor's.
const FontDesc& ListFont(FontStyle style) {
  static const FontDesc plain{"MS Sans Serif", -11, FontStyle::None, clWindowText, kDefaultCharset};
  static const FontDesc bold{"MS Sans Serif", -11, FontStyle::Bold, clWindowText, kDefaultCharset};
  return style == FontStyle::Bold ? bold : plain;
}

char FoldLatin(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

std::string_view Trimmed(std::string_view s) noexcept {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Text in the current font with its natural advances; returns its width.
int TextWidth(Surface& surface, std::string_view text, std::vector<int>& advances) {
  advances.clear();
  int width = 0;
  for (const char c : text) {
    advances.push_back(surface.MeasureText(std::string_view(&c, 1)).x);
    width += advances.back();
  }
  return width;
}

}  // namespace

std::string ItemPart(std::string_view item, std::string_view separator, int k) {
  if (k < 0) return {};
  if (separator.empty()) return k == 0 ? std::string(item) : std::string();
  std::size_t from = 0;
  for (int i = 0; i < k; ++i) {
    const std::size_t at = item.find(separator, from);
    if (at == std::string_view::npos) return {};
    from = at + separator.size();
  }
  const std::size_t to = item.find(separator, from);
  return std::string(item.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
}

bool StartsWithIgnoringCase(std::string_view item, std::string_view prefix) noexcept {
  if (item.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldLatin(item[i]) != FoldLatin(prefix[i])) return false;
  }
  return true;
}

std::string_view WordBeforeCaret(std::string_view line, int caretX) {
  const int length = static_cast<int>(line.size());
  if (caretX < 1 || caretX > length) return {};
  const auto at = [line](int p) { return line[static_cast<std::size_t>(p - 1)]; };
  if (IsWordSeparator(at(caretX))) return line.substr(static_cast<std::size_t>(caretX - 1), 1);
  int b = caretX;
  while (b > 1 && !IsWordSeparator(at(b - 1))) --b;
  int e = caretX;
  while (e < length && !IsWordSeparator(at(e + 1))) ++e;
  return line.substr(static_cast<std::size_t>(b - 1), static_cast<std::size_t>(e - b + 1));
}

WordExtent WordExtentAtCaret(std::string_view line, int caretX) {
  const int length = static_cast<int>(line.size());
  if (caretX < 1 || caretX > length) return {};
  // Positions outside the line count as separators.
  const auto separator = [line, length](int p) {
    return p < 1 || p > length || IsWordSeparator(line[static_cast<std::size_t>(p - 1)]);
  };
  int p = caretX;
  if (separator(p) && separator(p - 1)) ++p;
  int begin = p + 1;
  if (!separator(p)) {
    begin = p;
    while (!separator(begin - 1)) --begin;
  }
  int end = begin;
  while (end <= length && !separator(end)) ++end;
  --end;
  WordExtent extent;
  extent.begin = begin;
  extent.end = end;
  if (end >= begin) extent.word = line.substr(static_cast<std::size_t>(begin - 1), static_cast<std::size_t>(end - begin + 1));
  return extent;
}

// ---------------------------------------------------------------------------

TCompletionBase::TCompletionBase(EditorContext& context, CompletionEvents& events)
    : c_(context), events_(events), list_(context.host, *this) {}

void TCompletionBase::SetEnabled(bool value) {
  enabled_ = value;
  if (!value) StopTimer();
}

void TCompletionBase::StartTimer() {
  if (WindowHost* host = c_.host) host->StartTimer(EditorTimer::Completion, static_cast<int>(interval_));
}

void TCompletionBase::StopTimer() {
  if (WindowHost* host = c_.host) host->StopTimer(EditorTimer::Completion);
}

std::string_view TCompletionBase::CaretLine() const {
  const int y = c_.caret.Y();
  return y < c_.LineCount() ? c_.LineView(y) : std::string_view();
}

int TCompletionBase::CaretColumn() const { return c_.caret.X(); }

bool TCompletionBase::Allowed(int mode) {
  const WindowHost* host = c_.host;
  if (!host || !host->Focused()) return false;
  bool cancel = false;
  const auto& ask = mode == TemplateMode ? events_.OnCompletionTemplate : events_.OnCompletionIdentifier;
  if (ask) ask(*this, cancel);
  return !cancel;
}

void TCompletionBase::OpenCompletion(int mode) {
  if (listShown_) CloseList(false);
  mode_ = mode;
  if (mode == TemplateMode) {
    if (!Allowed(mode) || TemplateCount() == 0) return;
    FillList();
    if (MatchWordInList()) {
      InsertItemPart(2);
      return;
    }
  }
  ShowList(mode, true);
}

void TCompletionBase::ShowList(int mode, bool showAlways) {
  CloseList(false);
  mode_ = mode;
  const bool allowed = Allowed(mode);
  FillList();
  const bool exact = MatchWordInList();
  if (!allowed || list_.Count() == 0) return;
  if (!showAlways && (list_.ItemIndex() < 0 || exact)) return;
  list_.SetItemHeight(ItemHeight);
  listShown_ = true;
  // The pause timer looks for a list to show; one is shown now.
  StopTimer();
  list_.SetStyle(ListBoxStyle == TListBoxStyle::lbStandard ? TListBoxStyle::lbOwnerDrawFixed : ListBoxStyle);
  list_.Open(ListBounds());
}

Rect TCompletionBase::ListBounds() const {
  const WindowHost* host = c_.host;
  if (!host) return {};
  const Rect cell = c_.view.CellRect(c_.caret.X() - c_.view.LeftColumn(), c_.caret.Y() - c_.view.TopLine() + 1);
  const Point origin = host->ClientOrigin();
  const Point border = host->BorderSize();
  const int x = cell.left + origin.x - 2 * border.x;
  int y = cell.top + origin.y - border.y;
  const int h = std::min(DropDownCount, list_.Count()) * ItemHeight + 2;
  const int w = DropDownWidth != 0 ? DropDownWidth : 2 * border.x + host->WindowWidth();
  if (y + h > host->ScreenSize().y) {
    const int above = y - h - c_.view.CellHeight() + 1;
    if (above >= 0) y = above;
  }
  return Rect{x, y, x + w, y + h};
}

bool TCompletionBase::MatchWordInList() {
  const std::string_view word = WordAtCaret();
  int found = -1;
  if (!Trimmed(word).empty()) {
    for (int i = 0; i < list_.Count() && found < 0; ++i) {
      if (StartsWithIgnoringCase(list_.Item(i), word)) found = i;
    }
  }
  list_.SetItemIndex(found);
  return found >= 0 && EqualIgnoringCase(Trimmed(ItemPart(list_.Item(found), SeparatorText(), 0)), word);
}

void TCompletionBase::UpdateMatch() {
  if (Narrows()) {
    FillList();
    if (list_.Count() == 0) {
      CloseList(false);
      return;
    }
    list_.Open(ListBounds());
  }
  MatchWordInList();
  const int source = mode_ == TemplateMode ? TemplateCount() : IdentifierCount();
  if (!Allowed(mode_) || source == 0) CloseList(false);
}

bool TCompletionBase::HandleKeyDown(int key) {
  if (!listShown_) return false;
  switch (key) {
    case vk::Return: CloseList(true); return true;
    case vk::Escape: CloseList(false); return true;
    case vk::Prior:
    case vk::Next:
    case vk::End:
    case vk::Home:
    case vk::Up:
    case vk::Down: list_.KeyDown(key); return true;
    default: return false;
  }
}

void TCompletionBase::HandleKeyPress(char ch) {
  if (listShown_) {
    if (IsWordCharacter(ch)) {
      UpdateMatch();
    } else {
      CloseList(true);
    }
  } else if (enabled_) {
    StartTimer();
  }
}

bool TCompletionBase::IsWordCharacter(char ch) const { return IsIdentifierCharacter(ch); }

void TCompletionBase::TimerTick() { ShowList(IdentifierMode, false); }

void TCompletionBase::CloseList(bool apply) {
  if (!listShown_) return;
  rememberedIndex_ = list_.ItemIndex();
  list_.Hide();
  listShown_ = false;
  StopTimer();
  if (apply && rememberedIndex_ >= 0) InsertItemPart(mode_ == IdentifierMode ? 0 : 2);
}

void TCompletionBase::ReplaceWordAtCaret(const std::string& value, bool templateBody, char caretChar,
                                         std::string_view crlf) {
  const int x = c_.caret.X();
  const int y = c_.caret.Y();
  const WordExtent extent = WordExtentAtCaret(CaretLine(), x);
  if (extent.word == value) return;
  const std::string old(extent.word);
  int begin = extent.begin;
  int end = extent.end;
  if (old.empty()) {
    begin = x + 1;
    end = x;
  }
  std::string text;
  std::size_t caretAt = std::string::npos;
  if (!templateBody) {
    text = value;
    if (events_.OnCompletionApply) events_.OnCompletionApply(*this, old, text);
  } else {
    const std::string indent(static_cast<std::size_t>(std::max(0, x - static_cast<int>(old.size()))), ' ');
    for (std::size_t i = 0; i < value.size();) {
      if (!crlf.empty() && std::string_view(value).substr(i, crlf.size()) == crlf) {
        text += "\r\n";
        text += indent;
        i += crlf.size();
        continue;
      }
      if (value[i] == caretChar) {
        if (caretAt == std::string::npos) caretAt = text.size();
      } else {
        text += value[i];
      }
      ++i;
    }
  }
  {
    TEditorEdit edit(c_, {.group = true});
    c_.caretOps->Deselect();
    c_.Lines().KeepTrailingBlanksOf(y, y);
    c_.Lines().ReLine();
    c_.undo.Record<TReplaceUndo>(x, y, begin - 1, y, old, text);
    // One step: the line is not stored without the word first, which would cut a
    // NUL left last on it and pad a blank in its place.
    EditText(c_, [&] { c_.Lines().ReplaceText(begin - 1, y, end - 1, y, text); },
             {begin - 1, y, text, TextAction::Replace});
    const std::string_view cut = std::string_view(text).substr(0, caretAt);
    const std::size_t lastBreak = cut.rfind('\n');
    if (lastBreak == std::string_view::npos) {
      c_.caretOps->SetCaret(begin - 1 + static_cast<int>(cut.size()), y);
    } else {
      const int breaks = static_cast<int>(std::count(cut.begin(), cut.end(), '\n'));
      c_.caretOps->SetCaret(static_cast<int>(cut.size() - lastBreak - 1), y + breaks);
    }
    edit.End();
  }
  c_.notices.Changed();
}

void TCompletionBase::DrawListItem(Surface& surface, int index, const Rect& rect, bool selected) {
  if (events_.OnCompletionDrawItem) {
    events_.OnCompletionDrawItem(list_, index, rect, selected, surface);
    return;
  }
  if (DrawItem(surface, index, rect, selected)) return;
  const Color back = selected ? clHighlight : clWindow;
  const Color fore = selected ? clHighlightText : clWindowText;
  surface.FillRect(rect, back);
  const std::string& item = list_.Item(index);
  std::vector<int> advances;
  surface.SetFont(ListFont(FontStyle::None));
  const std::string description = ItemPart(item, SeparatorText(), 1);
  TextWidth(surface, description, advances);
  if (!description.empty()) surface.DrawTextRun(rect.left + 3, rect.top, description, advances.data(), fore, back, 0);
  if (mode_ != TemplateMode) return;
  const std::string name = ItemPart(item, SeparatorText(), 0);
  surface.SetFont(ListFont(FontStyle::Bold));
  const int width = TextWidth(surface, name, advances);
  if (!name.empty()) surface.DrawTextRun(rect.right - 6 - width, rect.top, name, advances.data(), fore, back, 0);
}

int TCompletionBase::MeasureListItem(int index, int height) {
  if (events_.OnCompletionMeasureItem) events_.OnCompletionMeasureItem(list_, index, height);
  return height;
}

// ---------------------------------------------------------------------------

void TCompletion::FillList() {
  list_.Clear();
  if (Sourced()) {
    sourced_.clear();
    source_->Candidates(CaretLine(), CaretColumn(), c_.caret.Y(), sourced_);
    std::vector<std::string> names;
    names.reserve(sourced_.size());
    for (const SourcedItem& item : sourced_) names.emplace_back(item.name);
    list_.Assign(std::move(names));
    return;
  }
  if (CurrentMode() == IdentifierMode) {
    for (const std::string& line : identifiers_) list_.Add(line);
    return;
  }
  const std::string_view word = WordAtCaret();
  const auto matches = [word](const std::string& line) { return StartsWithIgnoringCase(line, word); };
  const bool any = std::any_of(templates_.begin(), templates_.end(), matches);
  for (const std::string& line : templates_) {
    if (!any || matches(line)) list_.Add(line);
  }
}

bool TCompletion::IsWordCharacter(char ch) const {
  return TCompletionBase::IsWordCharacter(ch) || (Sourced() && (ch == '_' || ch == '@' || ch == '$' || ch == '?'));
}

// A sourced list holds only names that begin with what is typed: the first is chosen,
// and it is exact when it is the word itself.
bool TCompletion::MatchWordInList() {
  if (!Sourced()) return TCompletionBase::MatchWordInList();
  list_.SetItemIndex(list_.Count() > 0 ? 0 : -1);
  return list_.Count() > 0 && EqualIgnoringCase(list_.Item(0), WordAtCaret());
}

// The name, and after it in grey the kind and the definition.
bool TCompletion::DrawItem(Surface& surface, int index, const Rect& rect, bool selected) {
  if (!Sourced() || index < 0 || index >= static_cast<int>(sourced_.size())) return false;
  const SourcedItem& item = sourced_[static_cast<std::size_t>(index)];
  const Color back = selected ? clHighlight : clWindow;
  surface.FillRect(rect, back);
  std::vector<int> advances;
  surface.SetFont(ListFont(FontStyle::None));
  const int width = TextWidth(surface, item.name, advances);
  if (!item.name.empty()) {
    surface.DrawTextRun(rect.left + 3, rect.top, item.name, advances.data(), selected ? clHighlightText : clWindowText,
                        back, 0);
  }
  TextWidth(surface, item.detail, advances);
  if (!item.detail.empty()) {
    surface.DrawTextRun(rect.left + 3 + width + 8, rect.top, item.detail, advances.data(),
                        selected ? clHighlightText : clGray, back, 0);
  }
  return true;
}

void TCompletion::InsertItemPart(int part) {
  if (List().ItemIndex() < 0) return;
  ReplaceWordAtCaret(ItemPart(SelectedItem(), Separator, part), CurrentMode() == TemplateMode, CaretChar, CRLF);
}

}  // namespace vantorel
