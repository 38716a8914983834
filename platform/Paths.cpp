#include "platform/Paths.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vantorel {

namespace {

constexpr bool IsAlpha(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsSeparator(char c) noexcept { return c == '\\' || c == '/'; }

}  // namespace

std::string ResolveToolPath(std::string_view path, std::string_view folder) {
  const std::string_view from = folder.empty() ? path : folder;
  const char separator =
      from.find('\\') == std::string_view::npos && from.find('/') != std::string_view::npos ? '/' : '\\';
  std::string full;
  const bool drive = path.size() >= 2 && IsAlpha(path[0]) && path[1] == ':';
  if (drive || (!path.empty() && IsSeparator(path[0]))) {
    // A root without a drive ("\src\a.asm") is on the drive of the current folder.
    if (!drive && !(path.size() >= 2 && IsSeparator(path[1])) && folder.size() >= 2 && folder[1] == ':') {
      full.push_back(folder[0]);
      full.push_back(':');
    }
    full += path;
  } else {
    full = folder;
    if (!full.empty() && !IsSeparator(full.back())) full += separator;
    full += path;
  }
  // The root: "C:" with its separator, or the "\\" of a network path whose server and
  // share no ".." climbs above.
  std::string root;
  std::size_t i = 0;
  std::size_t keep = 0;
  if (full.size() >= 2 && IsAlpha(full[0]) && full[1] == ':') {
    root = full.substr(0, 2);
    i = 2;
  } else if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
    root = "\\\\";
    i = 2;
    keep = 2;
  }
  if (keep == 0 && i < full.size() && IsSeparator(full[i])) root += separator;
  std::vector<std::string_view> parts;
  const std::string_view rest = std::string_view(full).substr(i);
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::string_view part = rest.substr(start, end - start);
    if (part == "..") {
      if (parts.size() > keep) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out = root;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) out += separator;
    out += parts[k];
  }
  return out;
}

std::string PathKey(std::string_view path, CodePages& codePages) {
  std::string plain(path);
  std::replace(plain.begin(), plain.end(), '/', '\\');
  // The system folds case in the ANSI page; a name it cannot hold is compared as it
  // is. The first byte keeps the two kinds of key apart, as they never compare equal.
  if (const std::optional<std::string> ansi = codePages.AnsiFromUtf8(plain)) return '\x01' + codePages.LowerCase(*ansi);
  return '\x02' + plain;
}

bool SamePath(std::string_view a, std::string_view b, CodePages& codePages) {
  return PathKey(a, codePages) == PathKey(b, codePages);
}

}  // namespace vantorel
