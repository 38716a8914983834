#include "index/InvokeHint.h"

#include <algorithm>

#include "index/Declarations.h"

namespace vantorel {

namespace {

// A statement continued over more lines than this is not followed further up.
constexpr int kMaxContinuedLines = 64;
// Aliases followed at most, so that a cycle of them ends.
constexpr int kMaxAliasSteps = 8;

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
constexpr bool IsNameChar(char c) noexcept {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '@' ||
         c == '$' || c == '?';
}

std::string_view TrimEnd(std::string_view s) noexcept {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool Continues(std::string_view code) noexcept {
  code = TrimEnd(code);
  return !code.empty() && (code.back() == '\\' || code.back() == ',');
}

// The name at from (blanks skipped first); from moves past it.
std::string_view NameAt(std::string_view s, std::size_t& from) noexcept {
  while (from < s.size() && IsBlank(s[from])) ++from;
  const std::size_t start = from;
  while (from < s.size() && IsNameChar(s[from])) ++from;
  return s.substr(start, from - start);
}

bool IsInvoke(std::string_view word) noexcept { return word.size() == 6 && SameName(word, "invoke"); }

}  // namespace

std::optional<InvokePlace> InvokeAt(const std::function<std::string_view(int line)>& lineAt, int caretY, int caretX) {
  if (caretY < 0 || caretX < 0) return std::nullopt;
  std::string_view caretLine = lineAt(caretY);
  // The caret inside a comment: no hint.
  const std::string_view before = caretLine.substr(0, std::min<std::size_t>(caretLine.size(), caretX));
  if (CodeOf(before).size() < before.size()) return std::nullopt;
  int first = caretY;
  while (first > 0 && caretY - first < kMaxContinuedLines && Continues(CodeOf(lineAt(first - 1)))) --first;

  std::string text;
  for (int y = first; y < caretY; ++y) {
    std::string_view code = TrimEnd(CodeOf(lineAt(y)));
    if (!code.empty() && code.back() == '\\') code.remove_suffix(1);
    text.append(code);
    text += ' ';
  }
  text.append(before);
  text.append(static_cast<std::size_t>(caretX) - before.size(), ' ');

  std::size_t at = 0;
  std::string_view word = NameAt(text, at);
  // A label may stand first.
  if (!word.empty() && at < text.size() && text[at] == ':') {
    at += text.compare(at, 2, "::") == 0 ? 2 : 1;
    word = NameAt(text, at);
  }
  if (!IsInvoke(word) || at >= text.size() || !IsBlank(text[at])) return std::nullopt;
  const std::string_view name = NameAt(text, at);
  if (name.empty() || at >= text.size()) return std::nullopt;
  const std::string_view rest = std::string_view(text).substr(at);
  if (!IsBlank(rest.front()) && rest.front() != ',') return std::nullopt;

  // Commas outside quotes and brackets; the first one ends the name.
  int commas = 0;
  int depth = 0;
  char quote = 0;
  for (const char c : rest) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '<' || c == '(' || c == '[' || c == '{') {
      ++depth;
    } else if ((c == '>' || c == ')' || c == ']' || c == '}') && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      ++commas;
    }
  }
  return InvokePlace{std::string(name), std::max(0, commas - 1), first};
}

std::vector<HintPart> InvokeHint(const InvokePlace& place, const FindDeclaration& find, const ParameterNames& names) {
  const Declaration* d = find(place.name);
  for (int step = 0; d && d->kind == DeclarationKind::TextAlias && step < kMaxAliasSteps; ++step) {
    d = d->type.empty() ? nullptr : find(d->type);
  }
  if (!d || (d->kind != DeclarationKind::Prototype && d->kind != DeclarationKind::Procedure)) return {};
  const std::vector<std::string>& parameters = d->parameters;
  const bool unnamed = std::any_of(parameters.begin(), parameters.end(),
                                   [](const std::string& p) { return !p.empty() && p.front() == ':'; });
  const std::vector<std::string> known = unnamed && names ? names(d->name) : std::vector<std::string>{};

  std::vector<HintPart> parts{{d->name + "(", false}};
  const auto plain = [&parts](std::string_view text) {
    if (parts.back().bold) parts.push_back({std::string(), false});
    parts.back().text += text;
  };
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (i > 0) plain(", ");
    std::string text = parameters[i];
    if (!text.empty() && text.front() == ':' && i < known.size()) text = known[i] + text;
    const bool varArg = i + 1 == parameters.size() && SameName(text.substr(text.find(':') + 1), "VARARG");
    const bool current = static_cast<std::size_t>(place.argument) == i ||
                         (varArg && static_cast<std::size_t>(place.argument) > i);
    if (current) {
      parts.push_back({std::move(text), true});
    } else {
      plain(text);
    }
  }
  plain(")");
  return parts;
}

}  // namespace vantorel
