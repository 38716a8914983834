#include "index/Declarations.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>

namespace vantorel {

namespace {

// A statement joined from continued lines stops growing here: a file of one endless
// continued line is still read in linear time.
constexpr std::size_t kMaxStatement = 64 * 1024;
// Details are for a list's line.
constexpr std::size_t kMaxDetail = 60;
// Structures nested deeper than this are read as flat.
constexpr std::size_t kMaxNesting = 32;

constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\0'; }
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsNameStart(char c) noexcept {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@' || c == '$' || c == '?';
}
constexpr bool IsNameChar(char c) noexcept { return IsNameStart(c) || IsDigit(c); }

std::string_view Trim(std::string_view s) noexcept {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// head and tail with one blank between them, blanks collapsed to one and none at the
// ends, cut to a list line's length.
std::string Short(std::string_view head, std::string_view tail = {}) {
  std::string out;
  out.reserve(std::min(head.size() + tail.size() + 1, kMaxDetail + 1));
  for (const std::string_view part : {head, tail}) {
    // Runs of other characters go in whole, one blank before each but the first.
    for (std::size_t at = 0; at < part.size();) {
      while (at < part.size() && IsBlank(part[at])) ++at;
      std::size_t end = at;
      while (end < part.size() && !IsBlank(part[end])) ++end;
      if (end == at) break;
      if (!out.empty()) out += ' ';
      out.append(part.substr(at, end - at));
      if (out.size() > kMaxDetail) {
        out.resize(kMaxDetail - 3);
        return out + "...";
      }
      at = end;
    }
  }
  return out;
}

}  // namespace

std::string_view CodeOf(std::string_view line) noexcept {
  // Most lines hold none of the characters that matter: find the first that does.
  static constexpr auto kMatters = [] {
    std::array<bool, 256> matters{};
    for (const unsigned char c : std::string_view(";'\"<")) matters[c] = true;
    return matters;
  }();
  std::size_t start = 0;
  while (start < line.size() && !kMatters[static_cast<unsigned char>(line[start])]) ++start;
  if (start == line.size()) return line;
  if (line[start] == ';') return line.substr(0, start);
  char quote = 0;
  int angle = 0;
  for (std::size_t i = start; i < line.size(); ++i) {
    const char c = line[i];
    if (quote) {
      if (c == quote) quote = 0;  // a doubled quote closes and opens again
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '<') {
      ++angle;
    } else if (c == '>' && angle > 0) {
      --angle;
    } else if (c == '!' && angle > 0) {
      ++i;  // the next character is literal
    } else if (c == ';') {
      return line.substr(0, i);
    }
  }
  return line;
}

namespace {

// The parts of a list separated by commas that stand outside quotes, <>, () and [].
// The vector is kept from call to call, so a list costs no allocation once warm.
const std::vector<std::string_view>& SplitList(std::string_view s) {
  thread_local std::vector<std::string_view> parts;
  parts.clear();
  char quote = 0;
  int depth = 0;
  std::size_t from = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '<' || c == '(' || c == '[' || c == '{') {
      ++depth;
    } else if ((c == '>' || c == ')' || c == ']' || c == '}') && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      parts.push_back(Trim(s.substr(from, i - from)));
      from = i + 1;
    }
  }
  if (const std::string_view last = Trim(s.substr(from)); !last.empty() || !parts.empty()) parts.push_back(last);
  return parts;
}

// The leading name of a text ("hWnd:HWND" -> "hWnd", "buf[260]:BYTE" -> "buf").
std::string_view LeadingName(std::string_view s) noexcept {
  s = Trim(s);
  std::size_t n = 0;
  if (n < s.size() && IsNameStart(s[n])) {
    while (n < s.size() && IsNameChar(s[n])) ++n;
  }
  return s.substr(0, n);
}

// What follows the first ':' of a "name:type" item; empty without one.
std::string_view TypeAfterColon(std::string_view s) noexcept {
  const std::size_t colon = s.find(':');
  return colon == std::string_view::npos ? std::string_view{} : Trim(s.substr(colon + 1));
}

// A word of a statement and where it ends.
struct Word {
  std::string_view text;
  std::size_t end = 0;
};

// The word at from (blanks skipped): a name, a directive with a leading dot, or one
// other character; empty at the end.
Word NextWord(std::string_view s, std::size_t from) noexcept {
  while (from < s.size() && IsBlank(s[from])) ++from;
  if (from >= s.size()) return Word{{}, from};
  std::size_t end = from;
  if (s[end] == '.' && end + 1 < s.size() && IsNameStart(s[end + 1])) ++end;
  if (IsNameChar(s[end])) {
    while (end < s.size() && IsNameChar(s[end])) ++end;
  } else {
    ++end;
  }
  return Word{s.substr(from, end - from), end};
}

// Whether a colon stands right after the word: "c:DWORD" names a parameter c, while
// "C :DWORD" is the C language and a parameter without a name.
bool FollowedByColon(std::string_view s, const Word& w) noexcept { return w.end < s.size() && s[w.end] == ':'; }

// The words the reader acts on, one value for words it treats alike.
enum class Keyword : std::uint8_t {
  None, Comment, Include, Extern, Local, Struct, Union, Ends, Proc, Endp, Proto, Equ, TextEqu, TextOperator,
  Record, Macro, Typedef, Label, Endm, Repeat, Dup, Uses, Data, Distance,
};

// The keyword a word is, in any case; one lookup per word.
Keyword KeywordOf(std::string_view w) noexcept {
  struct Entry {
    std::string_view name;
    Keyword keyword;
  };
  static constexpr Entry kTable[] = {
      {"basic", Keyword::Distance},   {"byte", Keyword::Data},          {"c", Keyword::Distance},
      {"catstr", Keyword::TextOperator}, {"comment", Keyword::Comment}, {"db", Keyword::Data},
      {"dd", Keyword::Data},          {"df", Keyword::Data},            {"dp", Keyword::Data},
      {"dq", Keyword::Data},          {"dt", Keyword::Data},            {"dup", Keyword::Dup},
      {"dw", Keyword::Data},          {"dword", Keyword::Data},         {"endm", Keyword::Endm},
      {"endp", Keyword::Endp},        {"ends", Keyword::Ends},          {"equ", Keyword::Equ},
      {"export", Keyword::Distance},  {"extern", Keyword::Extern},      {"externdef", Keyword::Extern},
      {"extrn", Keyword::Extern},     {"far", Keyword::Distance},       {"far16", Keyword::Distance},
      {"far32", Keyword::Distance},   {"for", Keyword::Repeat},         {"forc", Keyword::Repeat},
      {"fortran", Keyword::Distance}, {"fword", Keyword::Data},         {"include", Keyword::Include},
      {"instr", Keyword::TextOperator}, {"irp", Keyword::Repeat},       {"irpc", Keyword::Repeat},
      {"label", Keyword::Label},      {"local", Keyword::Local},        {"macro", Keyword::Macro},
      {"near", Keyword::Distance},    {"near16", Keyword::Distance},    {"near32", Keyword::Distance},
      {"oword", Keyword::Data},       {"pascal", Keyword::Distance},    {"private", Keyword::Distance},
      {"proc", Keyword::Proc},        {"proto", Keyword::Proto},        {"public", Keyword::Distance},
      {"qword", Keyword::Data},       {"real10", Keyword::Data},        {"real4", Keyword::Data},
      {"real8", Keyword::Data},       {"record", Keyword::Record},      {"repeat", Keyword::Repeat},
      {"rept", Keyword::Repeat},      {"sbyte", Keyword::Data},         {"sdword", Keyword::Data},
      {"sizestr", Keyword::TextOperator}, {"stdcall", Keyword::Distance}, {"struc", Keyword::Struct},
      {"struct", Keyword::Struct},    {"substr", Keyword::TextOperator}, {"sword", Keyword::Data},
      {"syscall", Keyword::Distance}, {"tbyte", Keyword::Data},         {"textequ", Keyword::TextEqu},
      {"typedef", Keyword::Typedef},  {"union", Keyword::Union},        {"uses", Keyword::Uses},
      {"while", Keyword::Repeat},     {"word", Keyword::Data},          {"xmmword", Keyword::Data},
  };
  constexpr std::size_t kLongest = 9;
  // Open addressing on the length and the first and last letters: one probe for
  // nearly every word.
  constexpr std::size_t kSlots = 256;
  constexpr auto slot = [](std::string_view k) {
    return (static_cast<std::size_t>(static_cast<unsigned char>(k.front())) * 31 +
            static_cast<std::size_t>(static_cast<unsigned char>(k.back())) * 7 + k.size()) %
           kSlots;
  };
  static constexpr auto kSlotsTable = [slot] {
    std::array<Entry, kSlots> table{};
    for (const Entry& e : kTable) {
      std::size_t at = slot(e.name);
      while (!table[at].name.empty()) at = (at + 1) % kSlots;
      table[at] = e;
    }
    return table;
  }();
  if (w.empty() || w.size() > kLongest || !IsNameStart(w.front())) return Keyword::None;
  char lower[kLongest];
  for (std::size_t i = 0; i < w.size(); ++i) lower[i] = Lower(w[i]);
  const std::string_view key(lower, w.size());
  for (std::size_t at = slot(key);; at = (at + 1) % kSlots) {
    const Entry& e = kSlotsTable[at];
    if (e.name.empty()) return Keyword::None;
    if (e.name == key) return e.keyword;
  }
}

// name TYPE <...>, {...}, ? or N DUP(...): a data item of a structure, union or other
// named type.
bool IsInstanceOf(std::string_view s, const Word& type) {
  if (type.text.empty() || !IsNameStart(type.text.front())) return false;
  const Word init = NextWord(s, type.end);
  if (init.text == "<" || init.text == "{" || init.text == "?") return true;
  return !init.text.empty() && IsDigit(init.text.front()) && KeywordOf(NextWord(s, init.end).text) == Keyword::Dup;
}

std::string LowerWord(std::string_view w) {
  std::string out(w);
  for (char& c : out) c = Lower(c);
  return out;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
    if (out.size() > kMaxStatement) break;
  }
  return out;
}

// The parameters of a PROC or PROTO line after its keyword: the distance, language
// and visibility words and (for a PROC) USES with its registers come first.
std::vector<std::string> Parameters(std::string_view rest, bool procedure) {
  std::size_t at = 0;
  for (;;) {
    const Word w = NextWord(rest, at);
    if (w.text.empty()) break;
    const Keyword k = KeywordOf(w.text);
    if (k == Keyword::Distance && !FollowedByColon(rest, w)) {
      at = w.end;
    } else if (procedure && k == Keyword::Uses) {
      at = w.end;
      // Registers up to the first name with a colon, or a comma.
      for (Word r = NextWord(rest, at); !r.text.empty() && r.text != "," && NextWord(rest, r.end).text != ":";
           r = NextWord(rest, at)) {
        at = r.end;
      }
    } else {
      break;
    }
  }
  std::string_view list = Trim(rest.substr(at));
  if (!list.empty() && list.front() == ',') list = Trim(list.substr(1));
  const std::vector<std::string_view>& parts = SplitList(list);
  std::vector<std::string> parameters;
  parameters.reserve(parts.size());
  for (const std::string_view p : parts)
    if (!p.empty()) parameters.emplace_back(Short(p));
  return parameters;
}

}  // namespace

void DeclarationReader::Line(std::string_view physical) {
  const int line = line_++;
  if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
  if (commentEnd_) {
    if (physical.find(commentEnd_) != std::string_view::npos) commentEnd_ = 0;
    return;
  }
  const std::string_view code = Trim(CodeOf(physical));
  // A last '\' or ',' continues the statement on the next line.
  const bool continued = !code.empty() && (code.back() == '\\' || code.back() == ',');
  if (statement_.empty()) {
    first_ = line;
    if (!code.empty() && Lower(code.front()) == 'c') {
      if (const Word w = NextWord(code, 0); KeywordOf(w.text) == Keyword::Comment) {
        const std::string_view rest = Trim(code.substr(w.end));
        if (!rest.empty() && rest.find(rest.front(), 1) == std::string_view::npos) commentEnd_ = rest.front();
        return;
      }
    }
    // Most statements take one line: read it where it stands.
    if (!continued) {
      Statement(code.substr(0, std::min(code.size(), kMaxStatement)), line);
      return;
    }
  }
  if (statement_.size() < kMaxStatement) {
    if (!statement_.empty()) statement_ += ' ';
    statement_.append(code.substr(0, kMaxStatement - std::min(statement_.size(), kMaxStatement)));
  }
  if (continued) {
    if (code.back() == '\\' && !statement_.empty() && statement_.back() == '\\') statement_.pop_back();
    return;
  }
  Statement(statement_, first_);
  statement_.clear();
}

bool DeclarationReader::AtRest() const noexcept {
  return statement_.empty() && commentEnd_ == 0 && macroDepth_ == 0 && structures_.empty() && flattened_ == 0 &&
         !procedure_;
}

FileDeclarations DeclarationReader::Take() {
  FileDeclarations out = std::move(file_);
  file_ = FileDeclarations{};
  return out;
}

FileDeclarations DeclarationReader::Finish() {
  if (!statement_.empty()) Statement(statement_, first_);
  statement_.clear();
  commentEnd_ = 0;
  macroDepth_ = 0;
  while (!structures_.empty() || flattened_ > 0) CloseStructure(line_ - 1);
  CloseProcedure(line_ - 1);
  return Take();
}

void DeclarationReader::Statement(std::string_view s, int line) {
  const Word w0 = NextWord(s, 0);
  if (w0.text.empty()) return;
  const Keyword k0 = KeywordOf(w0.text);
  const Word w1 = NextWord(s, w0.end);
  const Keyword k1 = KeywordOf(w1.text);
  if (macroDepth_ > 0) {
    if (k0 == Keyword::Endm) {
      --macroDepth_;
    } else if (k0 == Keyword::Repeat || k1 == Keyword::Macro) {
      ++macroDepth_;
    }
    return;
  }
  const std::string_view rest1 = Trim(s.substr(w1.end));
  // name: or name:: first; an instruction may follow.
  if (IsNameStart(w0.text.front()) && w1.text == ":") {
    if (w0.text == "@@") return;  // anonymous, reached by @B and @F only
    const bool global = NextWord(s, w1.end).text == ":";
    Declaration label{std::string(w0.text), DeclarationKind::Label, line, global ? "label ::" : "label", {}, {}, {}};
    if (procedure_ && !global) {
      procedure_->members.push_back(std::move(label));
    } else {
      Add(std::move(label));
    }
    return;
  }
  const std::string_view rest0 = Trim(s.substr(w0.end));
  switch (k0) {
    case Keyword::Include: {
      std::string_view name = rest0;
      if (name.size() >= 2 && ((name.front() == '<' && name.back() == '>') ||
                               (name.front() == '"' && name.back() == '"') ||
                               (name.front() == '\'' && name.back() == '\''))) {
        name = Trim(name.substr(1, name.size() - 2));
      }
      if (!name.empty()) file_.includes.push_back(IncludeLine{std::string(name), line});
      return;
    }
    case Keyword::Extern: {
      std::string_view list = rest0;
      if (const Word lang = NextWord(list, 0);
          KeywordOf(lang.text) == Keyword::Distance && !FollowedByColon(list, lang)) {
        list = list.substr(lang.end);
      }
      for (const std::string_view item : SplitList(list)) {
        const std::string_view name = LeadingName(item);
        if (name.empty()) continue;
        const std::string_view type = TypeAfterColon(item);
        Add(Declaration{std::string(name), DeclarationKind::External, line, Short(LowerWord(w0.text), type),
                        std::string(type), {}, {}});
      }
      return;
    }
    case Keyword::Local:
      if (!procedure_) return;
      for (const std::string_view item : SplitList(rest0)) {
        const std::string_view name = LeadingName(item);
        if (name.empty()) continue;
        const std::string_view type = TypeAfterColon(item);
        procedure_->members.push_back(Declaration{std::string(name), DeclarationKind::Data, line,
                                                  Short("local", Trim(item)), std::string(type), {}, {}});
      }
      return;
    case Keyword::Struct:
    case Keyword::Union:
      if (structures_.empty()) break;
      OpenStructure(std::string(IsNameStart(w1.text.empty() ? ' ' : w1.text.front()) ? w1.text : ""),
                    k0 == Keyword::Union, line);
      return;
    case Keyword::Ends:
      if (structures_.empty()) break;
      CloseStructure(line);
      return;
    default: break;
  }
  if (!IsNameStart(w0.text.front())) return;
  if (w1.text == "=") {
    Add(Declaration{std::string(w0.text), DeclarationKind::Constant, line, Short("=", rest1), {}, {}, {}});
    return;
  }
  const auto add = [&](DeclarationKind kind, std::string detail, std::string type = {}) {
    Add(Declaration{std::string(w0.text), kind, line, std::move(detail), std::move(type), {}, {}});
  };
  const bool bracketed = rest1.size() >= 2 && rest1.front() == '<' && rest1.back() == '>';
  switch (k1) {
    case Keyword::Proc: OpenProcedure(std::string(w0.text), rest1, line); return;
    case Keyword::Endp: CloseProcedure(line); return;
    case Keyword::Proto: {
      Declaration proto{std::string(w0.text), DeclarationKind::Prototype, line, Short("PROTO", rest1), {},
                        Parameters(rest1, false), {}};
      Add(std::move(proto));
      return;
    }
    case Keyword::Equ:
      if (bracketed) {
        add(DeclarationKind::TextAlias, Short("equ", rest1), std::string(Trim(rest1.substr(1, rest1.size() - 2))));
      } else {
        add(DeclarationKind::Constant, Short("equ", rest1));
      }
      return;
    case Keyword::TextEqu:
    case Keyword::TextOperator:
      add(DeclarationKind::TextAlias, Short(LowerWord(w1.text), rest1),
          k1 == Keyword::TextEqu && bracketed ? std::string(Trim(rest1.substr(1, rest1.size() - 2))) : std::string());
      return;
    case Keyword::Struct:
    case Keyword::Union: OpenStructure(std::string(w0.text), k1 == Keyword::Union, line); return;
    case Keyword::Ends:
      // Otherwise a segment's end.
      while (!structures_.empty()) CloseStructure(line);
      return;
    case Keyword::Record: add(DeclarationKind::Record, Short("record", rest1)); return;
    case Keyword::Macro: {
      Declaration macro{std::string(w0.text), DeclarationKind::Macro, line, {}, {}, {}, {}};
      for (const std::string_view p : SplitList(rest1))
        if (!p.empty()) macro.parameters.emplace_back(p);
      macro.detail = Short("macro", Joined(macro.parameters, ", "));
      Add(std::move(macro));
      macroDepth_ = 1;
      return;
    }
    case Keyword::Typedef:
      add(DeclarationKind::Typedef, Short("typedef", rest1), std::string(rest1.substr(0, std::min(rest1.size(), kMaxDetail))));
      return;
    case Keyword::Label: add(DeclarationKind::Label, Short("label", rest1), std::string(rest1)); return;
    case Keyword::Data: add(DeclarationKind::Data, Short(w1.text, rest1), std::string(w1.text)); return;
    default:
      if (IsInstanceOf(s, w1)) add(DeclarationKind::Data, Short(w1.text, rest1), std::string(w1.text));
      return;
  }
}

void DeclarationReader::OpenProcedure(const std::string& name, std::string_view rest, int line) {
  CloseProcedure(line - 1);
  Declaration procedure{name, DeclarationKind::Procedure, line, {}, {}, Parameters(rest, true), {}};
  procedure.detail = Short("proc", Joined(procedure.parameters, ", "));
  for (const std::string& p : procedure.parameters) {
    const std::string_view parameterName = LeadingName(p);
    if (parameterName.empty()) continue;
    procedure.members.push_back(Declaration{std::string(parameterName), DeclarationKind::Parameter, line, Short(p),
                                            std::string(TypeAfterColon(p)), {}, {}});
  }
  procedure_ = std::move(procedure);
}

void DeclarationReader::CloseProcedure(int endLine) {
  if (!procedure_) return;
  procedure_->lastLine = endLine;
  file_.declarations.push_back(std::move(*procedure_));
  procedure_.reset();
}

void DeclarationReader::OpenStructure(std::string name, bool isUnion, int line) {
  if (structures_.size() >= kMaxNesting) {
    ++flattened_;
    return;
  }
  structures_.push_back(Declaration{std::move(name), isUnion ? DeclarationKind::Union : DeclarationKind::Structure,
                                    line, {}, {}, {}, {}});
}

void DeclarationReader::CloseStructure(int endLine) {
  if (flattened_ > 0) {
    --flattened_;
    return;
  }
  Declaration done = std::move(structures_.back());
  structures_.pop_back();
  done.lastLine = endLine;
  done.detail = std::string(done.kind == DeclarationKind::Union ? "union" : "struct") + " (" +
                std::to_string(done.members.size()) + " members)";
  if (structures_.empty()) {
    file_.declarations.push_back(std::move(done));
  } else if (done.name.empty()) {
    // An anonymous nested structure's fields are the outer one's.
    auto& outer = structures_.back().members;
    outer.insert(outer.end(), std::make_move_iterator(done.members.begin()),
                 std::make_move_iterator(done.members.end()));
  } else {
    structures_.back().members.push_back(std::move(done));
  }
}

void DeclarationReader::Add(Declaration declaration) {
  if (!structures_.empty()) {
    structures_.back().members.push_back(std::move(declaration));
  } else {
    file_.declarations.push_back(std::move(declaration));
  }
}

FileDeclarations ReadDeclarations(std::string_view text) {
  DeclarationReader reader;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    reader.Line(text.substr(at, end - at));
    at = end + 1;
  }
  return reader.Finish();
}

}  // namespace vantorel
