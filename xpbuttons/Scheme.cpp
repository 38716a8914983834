#include "xpbuttons/Scheme.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {
namespace {

// Theme names are compared as the system compares them: ASCII letters without case;
// no other character of these names folds.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

struct NamedScheme {
  std::string_view name;
  XPDrawnScheme scheme;
};

// The colour-scheme names of the stock XP styles and the drawn scheme each looks like.
constexpr NamedScheme kThemeSchemes[] = {
    {"NormalColor", XPDrawnScheme::Blue},
    {"Metallic", XPDrawnScheme::Silver},
    {"HomeStead", XPDrawnScheme::Green},
};

}  // namespace

XPDrawnScheme DetectThemeScheme(const ThemeQuery& theme) {
  const ThemeQuery::Version version = theme.SystemVersion();
  // Visual styles with named colour schemes came with 5.1; anything older is drawn blue.
  if (version.major <= 4 || version.minor <= 0) return XPDrawnScheme::Blue;
  const std::optional<std::string> name = theme.CurrentColorSchemeName();
  if (!name) return XPDrawnScheme::Blue;
  for (const NamedScheme& entry : kThemeSchemes) {
    if (EqualsIgnoringAsciiCase(*name, entry.name)) return entry.scheme;
  }
  return XPDrawnScheme::Blue;
}

XPDrawnScheme ResolveScheme(TXPScheme scheme, const ThemeQuery& theme) {
  switch (scheme) {
    case TXPScheme::xpBlue:
      return XPDrawnScheme::Blue;
    case TXPScheme::xpSilver:
      return XPDrawnScheme::Silver;
    case TXPScheme::xpGreen:
      return XPDrawnScheme::Green;
    case TXPScheme::xpOrange:
      return XPDrawnScheme::Orange;
    case TXPScheme::xpAutomatic:
      return DetectThemeScheme(theme);
  }
  return XPDrawnScheme::Blue;  // a value outside the setting's range: the default
}

}  // namespace vantorel
