#include "highlight/HLEditor.h"

#include <algorithm>

namespace vantorel {

namespace {

// Blank means the space character only here.
char LastNonBlank(std::string_view s) noexcept {
  const std::size_t at = s.find_last_not_of(' ');
  return at == std::string_view::npos ? '\0' : s[at];
}
char FirstNonBlankChar(std::string_view s) noexcept {
  const std::size_t at = s.find_first_not_of(' ');
  return at == std::string_view::npos ? '\0' : s[at];
}

// A double quote at q is escaped by an odd run of backslashes right before it; a
// backslash in the first column counts only when it stands right before the quote.
bool Escaped(std::string_view s, std::size_t q) noexcept {
  int run = 0;
  std::size_t i = q;
  while (i >= 2 && s[i - 1] == '\\') {
    ++run;
    --i;
  }
  if (q == 1 && s[0] == '\\') ++run;
  return run % 2 == 1;
}

// The first "/" at or after from whose preceding character is "*".
std::size_t CommentCloser(std::string_view s, std::size_t from) noexcept {
  for (std::size_t q = std::max<std::size_t>(from, 1); q < s.size(); ++q) {
    if (s[q] == '/' && s[q - 1] == '*') return q;
  }
  return std::string_view::npos;
}

}  // namespace

THLEditor::THLEditor(WindowHost* host) : TEditor(host), longStates_(kLastTrackedLine + 1, longstate::None) {
  parser_.KeepComments = true;
  parser_.ScanStyle = TScanStyle::Other;
}

const HighlightRules* THLEditor::Rules() const noexcept {
  switch (highlighter_) {
    case THighlighter::hlJava: return &JavaRules();
    case THighlighter::hlMasm: return &MasmRules();
    default: return nullptr;
  }
}

bool THLEditor::TracksLongConstructs() const noexcept { return Rules() != nullptr; }

void THLEditor::SetHighlighter(THighlighter value) {
  if (value == highlighter_) return;
  highlighter_ = value;
  const HighlightRules* rules = Rules();
  parser_.ScanStyle = rules ? rules->scanStyle : TScanStyle::Other;
  RescanLongStates(0);
  View().RepaintAll();
}

void THLEditor::SetColors(const TColors& value) {
  colors_ = value;
  View().RepaintAll();
}

void THLEditor::SetSyntaxHighlighting(bool value) {
  const bool resume = value && !syntaxHighlighting_;
  syntaxHighlighting_ = value;
  if (resume) RescanLongStates(-1);
  View().RepaintAll();
}

void THLEditor::SetLongTokens(bool value) {
  const bool resume = value && !longTokens_;
  longTokens_ = value;
  if (resume) RescanLongStates(-1);
  View().RepaintAll();
}

std::uint8_t THLEditor::StoredLongState(int line) const noexcept {
  return line >= 0 && line <= kLastTrackedLine ? longStates_[static_cast<std::size_t>(line)] : longstate::None;
}

std::uint8_t THLEditor::LongStateOfLine(int line) {
  if (!longTokens_ || line < 0 || line > kLastTrackedLine) return longstate::None;
  if (line >= statesLines_ || longStates_[static_cast<std::size_t>(line)] == longstate::Unknown) RescanLongStates(line);
  const std::uint8_t state = longStates_[static_cast<std::size_t>(line)];
  // A state that could not be computed (the line is gone) carries nothing.
  return state == longstate::Unknown ? longstate::None : state;
}

bool THLEditor::RescanLongStates(int from) {
  openLine_ = -1;
  if (!syntaxHighlighting_ || !longTokens_ || !TracksLongConstructs() || LineCount() == 0) return false;
  const int maxLine = std::min(LineCount() - 1, kLastTrackedLine);
  // Lines added below the text the states were computed for have no state yet.
  if (statesLines_ <= maxLine) {
    std::fill(longStates_.begin() + std::max(statesLines_, 1), longStates_.begin() + maxLine + 1, longstate::Unknown);
  }
  statesLines_ = LineCount();
  if (from > maxLine) return false;
  auto at = [this](int i) -> std::uint8_t& { return longStates_[static_cast<std::size_t>(i)]; };
  int start;
  int windowEnd;
  if (from < 0) {
    std::fill(longStates_.begin(), longStates_.begin() + maxLine + 1, longstate::Unknown);
    start = 0;
    windowEnd = maxLine;
  } else if (at(from) != longstate::Unknown) {
    start = from;
    windowEnd = std::min(from + kRescanWindow, maxLine);
  } else if (from > 0 && at(from - 1) == longstate::Unknown) {
    start = 0;
    windowEnd = maxLine;
  } else {
    start = std::max(from - 1, 0);
    windowEnd = std::min(start + kRescanWindow, maxLine);
  }
  at(0) = longstate::None;
  bool changed = false;
  std::uint8_t state = at(start);
  for (int i = start; i < windowEnd; ++i) {
    state = ScanLineState(i, state);
    if (at(i + 1) != state) {
      at(i + 1) = state;
      changed = true;
    }
  }
  if (windowEnd < maxLine) std::fill(longStates_.begin() + windowEnd + 1, longStates_.begin() + maxLine + 1, longstate::Unknown);
  return changed;
}

std::uint8_t THLEditor::ScanLineState(int line, std::uint8_t state) {
  const HighlightRules* rules = Rules();
  if (rules != nullptr && rules->longConstructs == LongConstructs::BlockDirective) {
    return ScanDirectiveLineState(line, state);
  }
  return ScanCStyleLineState(line, state);
}

// A COMMENT block takes in the whole line that holds its delimiter again, the line
// that opens it included.
std::uint8_t THLEditor::ScanDirectiveLineState(int line, std::uint8_t state) const {
  const std::string_view s = LineView(line);
  if (state != longstate::None) {
    return s.find(longstate::DirectiveCommentDelimiter(state)) == std::string_view::npos ? state : longstate::None;
  }
  const std::size_t at = BlockDirectiveDelimiter(ScanTableOf(TScanStyle::Masm), s);
  if (at == std::string_view::npos || s.find(s[at], at + 1) != std::string_view::npos) return longstate::None;
  return longstate::DirectiveComment(s[at]);
}

std::uint8_t THLEditor::ScanCStyleLineState(int line, std::uint8_t state) {
  const std::string_view s = LineView(line);
  if (s.empty()) return state == longstate::BlockComment ? state : longstate::None;
  std::size_t p = 0;
  if (state == longstate::String) {
    return LastNonBlank(s) == '\\' && OpenStringAtEnd(line) ? longstate::String : longstate::None;
  }
  if (state == longstate::Preprocessor) {
    if (LastNonBlank(s) == '\\') return longstate::Preprocessor;
    p = 1;
  } else if (state == longstate::BlockComment) {
    const std::size_t close = CommentCloser(s, 0);
    if (close == std::string_view::npos) return longstate::BlockComment;
    p = close + 1;
  }
  while (p < s.size()) {
    const char c = s[p];
    if (c == '"') {
      const std::size_t q = s.find('"', p + 1);
      if (q == std::string_view::npos) {
        return LastNonBlank(s) == '\\' && OpenStringAtEnd(line) ? longstate::String : longstate::None;
      }
      p = q + 1 < s.size() && s[q + 1] == '"' ? p + 1 : q + 1;
    } else if (c == '#' && FirstNonBlankChar(s) == '#' && LastNonBlank(s) == '\\') {
      return longstate::Preprocessor;
    } else if (c == '/' && p + 1 < s.size() && s[p + 1] == '*') {
      const std::size_t close = CommentCloser(s, p + 3);
      if (close == std::string_view::npos) return longstate::BlockComment;
      p = close + 1;
    } else {
      ++p;
    }
  }
  return longstate::None;
}

// Whether the line ends inside a double-quoted string, following the strings that
// backslashes continue from the lines above. Climbs iteratively (a long run of
// continued lines must not exhaust the stack) and remembers the line asked last, so
// that a downward rescan does not climb again for every line.
bool THLEditor::OpenStringAtEnd(int line) {
  if (line == openLine_) return openValue_;
  const auto flips = [this](int i) {
    const std::string_view s = LineView(i);
    bool odd = false;
    for (std::size_t q = s.find('"'); q != std::string_view::npos; q = s.find('"', q + 1)) {
      if (!Escaped(s, q)) odd = !odd;
    }
    return odd;
  };
  const auto continues = [this](int i) { return i > 0 && LastNonBlank(LineView(i - 1)) == '\\'; };
  bool open = false;
  if (continues(line)) {
    if (openLine_ == line - 1) {
      open = openValue_;
    } else {
      int top = line - 1;
      while (continues(top)) --top;
      for (int i = top; i < line; ++i) open = open != flips(i);
    }
  }
  open = open != flips(line);
  openLine_ = line;
  openValue_ = open;
  return open;
}

int THLEditor::LongConstructEnd(const HighlightRules& rules, std::string_view s, std::uint8_t state) const noexcept {
  const int length = static_cast<int>(s.size());
  if (rules.longConstructs == LongConstructs::BlockDirective) return length;
  if (state == longstate::BlockComment) {
    for (std::size_t q = s.find('*'); q != std::string_view::npos; q = s.find('*', q + 1)) {
      if (q + 1 < s.size() && s[q + 1] == '/') return static_cast<int>(q + 1);
    }
    return length;
  }
  if (state == longstate::String) {
    for (std::size_t q = s.find('"'); q != std::string_view::npos; q = s.find('"', q + 1)) {
      if (!Escaped(s, q)) return static_cast<int>(q);
    }
  }
  return length;
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
  return syntaxHighlighting_ && Rules() != nullptr && line >= 0 && line < LineCount();
}

void THLEditor::GetAttr(int line, int, int colEnd) {
  const HighlightRules* rules = Rules();
  if (!GetAttrFillsLine(line)) return;
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
    const int end = LongConstructEnd(*rules, lineText_, state);
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
      if (rules->labels && index == 0 && kind == TokenKind::Word &&
          lineText_[static_cast<std::size_t>(parser_.TokenEnd(0))] == ':' &&
          ((word = rules->words.Find(token)) == nullptr || (*word & kNoLabel) == 0)) {
        k = TokenClass::Declaration;
      } else {
        k = ClassifyToken(*rules, kind, token, prev, OnReservedWord, &flags);
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
  openLine_ = -1;
  const HighlightRules* rules = Rules();
  if (!longTokens_ || rules == nullptr) return;
  const int lines = LineCount();
  bool rescan = action == TextAction::AllChanged || action == TextAction::Replace ||
                text.find_first_of(rules->significant) != std::string_view::npos;
  // A change without those characters can still move a construct's end: a deleted
  // quote, a letter typed behind a continuing backslash, lines that came or went.
  if (!rescan) rescan = lines != statesLines_;
  if (!rescan && y >= 0 && y < lines && y < kLastTrackedLine && syntaxHighlighting_) {
    const std::uint8_t here = longStates_[static_cast<std::size_t>(y)];
    const std::uint8_t below = longStates_[static_cast<std::size_t>(y + 1)];
    rescan = here != longstate::Unknown && below != longstate::Unknown && y + 1 < lines && ScanLineState(y, here) != below;
  }
  if (rescan && RescanLongStates(action == TextAction::AllChanged ? -1 : y)) View().RepaintAll();
}

void THLEditor::ApplyBracketMarks(int line, int, int) { brackets_.ApplyBracketMarks(line, MutableLineAttrs()); }

void THLEditor::UpdateBracketMarks() {
  brackets_.UpdateBracketMarks(marksText_, host_ != nullptr && host_->IsShowing() && host_->IsEnabled(), CaretX(),
                               CaretY());
}

bool THLEditor::OfferKeyToCompletion(int& key, ShiftState) {
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
