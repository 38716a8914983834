#include "index/Declarations.h"

#include <algorithm>
#include <initializer_list>
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

bool Is(std::string_view word, std::string_view keyword) noexcept {
  if (word.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Lower(word[i]) != keyword[i]) return false;
  return true;
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> keywords) noexcept {
  return std::any_of(keywords.begin(), keywords.end(), [&](std::string_view k) { return Is(word, k); });
}

std::string_view Trim(std::string_view s) noexcept {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Blanks collapsed to one, cut to a list line's length.
std::string Short(std::string_view s) {
  std::string out;
  for (const char c : Trim(s)) {
    if (IsBlank(c)) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
    if (out.size() > kMaxDetail) {
      out.resize(kMaxDetail - 3);
      return out + "...";
    }
  }
  return out;
}

// The code of a line: up to a ';' that stands outside quotes and <> text.
std::string_view CutComment(std::string_view line) noexcept {
  char quote = 0;
  int angle = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
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

// The parts of a list separated by commas that stand outside quotes, <>, () and [].
std::vector<std::string_view> SplitList(std::string_view s) {
  std::vector<std::string_view> parts;
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

bool IsDataDirective(std::string_view w) noexcept {
  return IsOneOf(w, {"db", "dw", "dd", "df", "dp", "dq", "dt", "byte", "sbyte", "word", "sword", "dword", "sdword",
                     "fword", "qword", "tbyte", "real4", "real8", "real10", "oword", "xmmword"});
}

bool IsDistanceOrLanguage(std::string_view w) noexcept {
  return IsOneOf(w, {"near", "far", "near16", "near32", "far16", "far32", "c", "stdcall", "pascal", "syscall",
                     "basic", "fortran", "public", "private", "export"});
}

class Reader {
 public:
  FileDeclarations Read(std::string_view text) {
    std::string statement;
    int first = 0;
    int line = 0;
    char commentEnd = 0;  // inside a COMMENT block: its closing character
    for (std::size_t at = 0; at <= text.size(); ++line) {
      std::size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      std::string_view physical = text.substr(at, end - at);
      if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
      at = end + 1;
      if (commentEnd) {
        if (physical.find(commentEnd) != std::string_view::npos) commentEnd = 0;
        continue;
      }
      const std::string_view code = Trim(CutComment(physical));
      if (statement.empty()) {
        first = line;
        if (const Word w = NextWord(code, 0); Is(w.text, "comment")) {
          const std::string_view rest = Trim(code.substr(w.end));
          if (!rest.empty() && rest.find(rest.front(), 1) == std::string_view::npos) commentEnd = rest.front();
          continue;
        }
      }
      if (statement.size() < kMaxStatement) {
        if (!statement.empty()) statement += ' ';
        statement.append(code.substr(0, kMaxStatement - std::min(statement.size(), kMaxStatement)));
      }
      // A last '\' or ',' continues the statement on the next line.
      if (!code.empty() && (code.back() == '\\' || code.back() == ',') && at <= text.size()) {
        if (code.back() == '\\' && !statement.empty() && statement.back() == '\\') statement.pop_back();
        continue;
      }
      Take(statement, first);
      statement.clear();
    }
    if (!statement.empty()) Take(statement, first);
    while (!structures_.empty()) CloseStructure();
    CloseProcedure();
    return std::move(file_);
  }

 private:
  void Take(std::string_view s, int line) {
    const Word w0 = NextWord(s, 0);
    if (w0.text.empty()) return;
    if (macroDepth_ > 0) {
      const Word w1 = NextWord(s, w0.end);
      if (Is(w0.text, "endm")) {
        --macroDepth_;
      } else if (IsOneOf(w0.text, {"for", "forc", "irp", "irpc", "repeat", "rept", "while"}) ||
                 Is(w1.text, "macro")) {
        ++macroDepth_;
      }
      return;
    }
    const Word w1 = NextWord(s, w0.end);
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
    if (Is(w0.text, "include")) {
      std::string_view name = rest0;
      if (name.size() >= 2 && ((name.front() == '<' && name.back() == '>') ||
                               (name.front() == '"' && name.back() == '"') ||
                               (name.front() == '\'' && name.back() == '\''))) {
        name = Trim(name.substr(1, name.size() - 2));
      }
      if (!name.empty()) file_.includes.push_back(IncludeLine{std::string(name), line});
      return;
    }
    if (IsOneOf(w0.text, {"externdef", "extern", "extrn"})) {
      std::string_view list = rest0;
      if (const Word lang = NextWord(list, 0); IsDistanceOrLanguage(lang.text) && !FollowedByColon(list, lang)) {
        list = list.substr(lang.end);
      }
      for (const std::string_view item : SplitList(list)) {
        const std::string_view name = LeadingName(item);
        if (name.empty()) continue;
        const std::string_view type = TypeAfterColon(item);
        Add(Declaration{std::string(name), DeclarationKind::External, line,
                        Short(LowerWord(w0.text) + " " + std::string(type)), std::string(type), {}, {}});
      }
      return;
    }
    if (Is(w0.text, "local")) {
      if (!procedure_) return;
      for (const std::string_view item : SplitList(rest0)) {
        const std::string_view name = LeadingName(item);
        if (name.empty()) continue;
        const std::string_view type = TypeAfterColon(item);
        procedure_->members.push_back(Declaration{std::string(name), DeclarationKind::Data, line,
                                                  Short("local " + std::string(Trim(item))), std::string(type), {}, {}});
      }
      return;
    }
    if (!structures_.empty() && IsOneOf(w0.text, {"struct", "struc", "union"})) {
      const std::string_view name = IsNameStart(w1.text.empty() ? ' ' : w1.text.front()) ? w1.text : "";
      OpenStructure(std::string(name), Is(w0.text, "union"), line);
      return;
    }
    if (!structures_.empty() && Is(w0.text, "ends")) {
      CloseStructure();
      return;
    }
    if (!IsNameStart(w0.text.front())) return;
    const std::string name(w0.text);
    if (w1.text == "=") {
      Add(Declaration{name, DeclarationKind::Constant, line, Short("= " + std::string(rest1)), {}, {}, {}});
      return;
    }
    if (Is(w1.text, "proc")) {
      OpenProcedure(name, rest1, line);
    } else if (Is(w1.text, "endp")) {
      CloseProcedure();
    } else if (Is(w1.text, "proto")) {
      Declaration proto{name, DeclarationKind::Prototype, line, Short("PROTO " + std::string(rest1)), {}, {}, {}};
      proto.parameters = Parameters(rest1, false);
      Add(std::move(proto));
    } else if (Is(w1.text, "equ")) {
      if (rest1.size() >= 2 && rest1.front() == '<' && rest1.back() == '>') {
        Add(Declaration{name, DeclarationKind::TextAlias, line, Short("equ " + std::string(rest1)),
                        std::string(Trim(rest1.substr(1, rest1.size() - 2))), {}, {}});
      } else {
        Add(Declaration{name, DeclarationKind::Constant, line, Short("equ " + std::string(rest1)), {}, {}, {}});
      }
    } else if (IsOneOf(w1.text, {"textequ", "catstr", "substr", "instr", "sizestr"})) {
      std::string target;
      if (Is(w1.text, "textequ") && rest1.size() >= 2 && rest1.front() == '<' && rest1.back() == '>') {
        target = std::string(Trim(rest1.substr(1, rest1.size() - 2)));
      }
      Add(Declaration{name, DeclarationKind::TextAlias, line, Short(LowerWord(w1.text) + " " + std::string(rest1)),
                      std::move(target), {}, {}});
    } else if (IsOneOf(w1.text, {"struct", "struc", "union"})) {
      OpenStructure(name, Is(w1.text, "union"), line);
    } else if (Is(w1.text, "ends")) {
      if (!structures_.empty()) {
        while (!structures_.empty()) CloseStructure();
      }  // otherwise a segment's end
    } else if (Is(w1.text, "record")) {
      Add(Declaration{name, DeclarationKind::Record, line, Short("record " + std::string(rest1)), {}, {}, {}});
    } else if (Is(w1.text, "macro")) {
      Declaration macro{name, DeclarationKind::Macro, line, {}, {}, {}, {}};
      for (const std::string_view p : SplitList(rest1))
        if (!p.empty()) macro.parameters.emplace_back(p);
      macro.detail = Short("macro " + Joined(macro.parameters, ", "));
      Add(std::move(macro));
      macroDepth_ = 1;
    } else if (Is(w1.text, "typedef")) {
      Add(Declaration{name, DeclarationKind::Typedef, line, Short("typedef " + std::string(rest1)),
                      std::string(rest1.substr(0, std::min(rest1.size(), kMaxDetail))), {}, {}});
    } else if (Is(w1.text, "label")) {
      Add(Declaration{name, DeclarationKind::Label, line, Short("label " + std::string(rest1)), std::string(Trim(rest1)),
                      {}, {}});
    } else if (IsDataDirective(w1.text) || IsInstanceOf(s, w1)) {
      Add(Declaration{name, DeclarationKind::Data, line, Short(std::string(w1.text) + " " + std::string(rest1)),
                      std::string(w1.text), {}, {}});
    }
  }

  // name TYPE <...>, {...}, ? or N DUP(...): a data item of a structure, union or other
  // named type.
  static bool IsInstanceOf(std::string_view s, const Word& type) {
    if (type.text.empty() || !IsNameStart(type.text.front())) return false;
    const Word init = NextWord(s, type.end);
    if (init.text == "<" || init.text == "{" || init.text == "?") return true;
    return !init.text.empty() && IsDigit(init.text.front()) && Is(NextWord(s, init.end).text, "dup");
  }

  static std::string LowerWord(std::string_view w) {
    std::string out(w);
    for (char& c : out) c = Lower(c);
    return out;
  }

  static std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
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
  static std::vector<std::string> Parameters(std::string_view rest, bool procedure) {
    std::size_t at = 0;
    for (;;) {
      const Word w = NextWord(rest, at);
      if (w.text.empty()) break;
      if (IsDistanceOrLanguage(w.text) && !FollowedByColon(rest, w)) {
        at = w.end;
      } else if (procedure && Is(w.text, "uses")) {
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
    std::vector<std::string> parameters;
    for (const std::string_view p : SplitList(list))
      if (!p.empty()) parameters.emplace_back(Short(p));
    return parameters;
  }

  void OpenProcedure(const std::string& name, std::string_view rest, int line) {
    CloseProcedure();
    Declaration procedure{name, DeclarationKind::Procedure, line, {}, {}, Parameters(rest, true), {}};
    procedure.detail = Short("proc " + Joined(procedure.parameters, ", "));
    for (const std::string& p : procedure.parameters) {
      const std::string_view parameterName = LeadingName(p);
      if (parameterName.empty()) continue;
      procedure.members.push_back(Declaration{std::string(parameterName), DeclarationKind::Parameter, line, Short(p),
                                              std::string(TypeAfterColon(p)), {}, {}});
    }
    procedure_ = std::move(procedure);
  }

  void CloseProcedure() {
    if (!procedure_) return;
    file_.declarations.push_back(std::move(*procedure_));
    procedure_.reset();
  }

  void OpenStructure(std::string name, bool isUnion, int line) {
    if (structures_.size() >= kMaxNesting) {
      ++flattened_;
      return;
    }
    structures_.push_back(Declaration{std::move(name), isUnion ? DeclarationKind::Union : DeclarationKind::Structure,
                                      line, {}, {}, {}, {}});
  }

  void CloseStructure() {
    if (flattened_ > 0) {
      --flattened_;
      return;
    }
    Declaration done = std::move(structures_.back());
    structures_.pop_back();
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

  void Add(Declaration declaration) {
    if (!structures_.empty()) {
      structures_.back().members.push_back(std::move(declaration));
    } else {
      file_.declarations.push_back(std::move(declaration));
    }
  }

  FileDeclarations file_;
  std::vector<Declaration> structures_;  // open, the innermost last
  std::size_t flattened_ = 0;            // nested past kMaxNesting, read as flat
  std::optional<Declaration> procedure_;
  int macroDepth_ = 0;
};

}  // namespace

FileDeclarations ReadDeclarations(std::string_view text) { return Reader().Read(text); }

}  // namespace vantorel
