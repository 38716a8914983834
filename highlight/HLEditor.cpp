#include "highlight/HLEditor.h"

#include <algorithm>

namespace vantorel {

THLEditor::THLEditor(WindowHost* host) : TEditor(host) {
  parser_.KeepComments = true;
  parser_.ScanStyle = TScanStyle::Other;
  Lines().AddWatcher(states_);
  Lines().AddWatcher(brackets_);
  context_.completion = this;
}

THLEditor::~THLEditor() {
  Lines().RemoveWatcher(brackets_);
  Lines().RemoveWatcher(states_);
}

void THLEditor::SetHighlighter(THighlighter value) {
  if (value == highlighter_) return;
  highlighter_ = value;
  const Language* language = LanguageOf(value);
  states_.SetLanguage(language);
  parser_.ScanStyle = language ? language->Rules().scanStyle : TScanStyle::Other;
  RescanLongStates(0);
  context_.view.RepaintAll();
}

void THLEditor::SetColors(const TColors& value) {
  colors_ = value;
  context_.view.RepaintAll();
}

void THLEditor::SetSyntaxHighlighting(bool value) {
  states_.SetSyntaxHighlighting(value);
  context_.view.RepaintAll();
}

void THLEditor::SetLongTokens(bool value) {
  states_.SetLongTokens(value);
  context_.view.RepaintAll();
}

const TSymbolColor& THLEditor::ColorOf(TokenClass k) const noexcept {
  switch (k) {
    case TokenClass::Comment: return colors_.Comment;
    case TokenClass::Number: return colors_.Number;
    case TokenClass::Strings: return colors_.Strings;
    case TokenClass::Symbol: return colors_.Symbol;
    case TokenClass::Reserved: return colors_.Reserved;
    case TokenClass::Declaration: return colors_.Declaration;
    case TokenClass::Preproc: return colors_.Preproc;
    case TokenClass::Statement: return colors_.Statement;
    case TokenClass::PlainText: return colors_.PlainText;
    case TokenClass::Identifier: break;
  }
  return colors_.Identifier;
}

namespace {
constexpr std::size_t kScannedColumns = MaxLineColumns + 256;
}  // namespace

// Exactly the lines GetAttr colours: it fills every column of them up to colEnd.
bool THLEditor::GetAttrFillsLine(int line) const {
  return SyntaxHighlighting() && states_.CurrentLanguage() != nullptr && line >= 0 && line < LineCount();
}

void THLEditor::GetAttr(int line, int, int colEnd) {
  if (!GetAttrFillsLine(line)) return;
  const Language& language = *states_.CurrentLanguage();
  const HighlightRules& rules = language.Rules();
  const std::string_view s = LineView(line);
  const int length = static_cast<int>(s.size());
  const std::uint8_t state = LongStateOfLine(line);
  // Only columns 0 to 1023 have attributes: the scanner reads the line that far and a
  // margin beyond it, so a token reaching over the last column is still seen whole
  // (no word it is compared with is that long). A 10 MB line costs what a short one does.
  lineText_.assign(s.substr(0, std::min(s.size(), kScannedColumns)));
  parser_.SetText(lineText_.c_str());
  const TSymbolColor& base = state != longstate::None ? colors_.Comment : colors_.PlainText;
  bool scan = true;
  if (state != longstate::None) {
    const int end = language.LongConstructEnd(lineText_, state);
    // A construct that ends past the scanned columns covers every column shown.
    if (end >= length || static_cast<std::size_t>(end) + 1 >= lineText_.size()) {
      scan = false;
    } else {
      parser_.SetScanPos(lineText_.c_str() + end + 1);
    }
  }
  TLineAttrs& attrs = MutableLineAttrs();
  const int shown = std::min(length, MaxLineColumns);
  const TLineAttr baseAttr{base.ForeColor, base.BackColor, base.Style, clNone};
  // Past the line's end only the columns being painted are filled: the rest of the
  // 1024 would be written for every painted line and never read.
  const int plainEnd = std::clamp(colEnd + 1, shown, MaxLineColumns);
  FillLineAttrs(attrs.data() + shown + 1, attrs.data() + plainEnd + 1,
                TLineAttr{Font().color, BackColor(), Font().style, clNone});
  if (!scan) {
    FillLineAttrs(attrs.data() + 1, attrs.data() + shown + 1, baseAttr);
    return;
  }
  // The line's own colour goes only where no token lies: up to filled every column is
  // coloured already, and the tokens come in order, so no later token covers a gap.
  int filled = 0;
  const auto paint = [&attrs, &filled, &baseAttr](int start, int end, const TSymbolColor& k) {
    const int first = start + 1;
    const int last = std::min(end, MaxLineColumns);
    if (start > filled) FillLineAttrs(attrs.data() + filled + 1, attrs.data() + std::min(start, MaxLineColumns) + 1, baseAttr);
    if (first <= last) FillLineAttrs(attrs.data() + first, attrs.data() + last + 1, TLineAttr{k.ForeColor, k.BackColor, k.Style, clNone});
    filled = std::max(filled, std::min(end, MaxLineColumns));
  };
  // The token before is read from the scanner's history, so no token is copied.
  TokenClass first = TokenClass::PlainText;  // the class of the line's first token, when a word
  try {
    for (int index = 0;; ++index) {
      const std::string& token = parser_.NextToken();
      if (token.empty() || parser_.TokenStart(0) >= MaxLineColumns) break;
      const TokenKind kind = parser_.Kind(0);
      const std::string_view prev = index > 0 ? std::string_view(parser_.TokenText(1)) : std::string_view();
      std::uint8_t flags = 0;
      TokenClass k;
      const std::uint8_t* word = nullptr;
      if (rules.labels && index == 0 && kind == TokenKind::Word &&
          lineText_[static_cast<std::size_t>(parser_.TokenEnd(0))] == ':' &&
          ((word = rules.words.Find(token)) == nullptr || (*word & kNoLabel) == 0)) {
        k = TokenClass::Declaration;
      } else {
        k = ClassifyToken(rules, kind, token, prev, OnReservedWord, &flags);
      }
      if (index == 0 && kind == TokenKind::Word) first = k;
      if (index == 1) {
        // "WndProc proc": the name in front of a declaring word is what it declares;
        // "size dd ?": the word in front of a data directive is the data's name.
        if ((flags & kDeclaresName) != 0 && first == TokenClass::Identifier) {
          paint(parser_.TokenStart(1), parser_.TokenEnd(1), colors_.Declaration);
        } else if ((flags & kNamesData) != 0 && first != TokenClass::PlainText && first != TokenClass::Identifier &&
                   first != TokenClass::Reserved && first != TokenClass::Declaration) {
          paint(parser_.TokenStart(1), parser_.TokenEnd(1), colors_.Identifier);
        }
      }
      paint(parser_.TokenStart(0), parser_.TokenEnd(0), ColorOf(k));
    }
  } catch (...) {
    // A failure part-way leaves the line coloured as far as it got.
  }
  if (filled < shown) FillLineAttrs(attrs.data() + filled + 1, attrs.data() + shown + 1, baseAttr);
}

void THLEditor::TextModified(int x, int y, std::string_view text, TextAction action) {
  TEditor::TextModified(x, y, text, action);
  if (states_.TextModified(y, text, action)) context_.view.RepaintAll();
}

void THLEditor::ApplyBracketMarks(int line, int, int) { brackets_.ApplyBracketMarks(line, MutableLineAttrs()); }

void THLEditor::UpdateBracketMarks() {
  brackets_.UpdateBracketMarks(text_, host_ != nullptr && host_->IsShowing() && host_->IsEnabled(), CaretX(),
                               CaretY());
}

bool THLEditor::OfferKey(int& key, ShiftState) {
  if (completion_.ListShown()) return completion_.HandleKeyDown(key);
  // Each key going down restarts the typing pause.
  if (host_) host_->StopTimer(EditorTimer::Completion);
  return false;
}

void THLEditor::TimerTick(EditorTimer timer) {
  if (timer == EditorTimer::Completion) {
    completion_.TimerTick();
  } else {
    TEditor::TimerTick(timer);
  }
}

}  // namespace vantorel
