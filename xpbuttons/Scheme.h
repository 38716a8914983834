// The colour schemes of the XP-look buttons: the setting, the four schemes a button
// draws in, and the detection of the scheme from the system's visual style.
#pragma once

#include "platform/Theme.h"

namespace vantorel {

enum class TXPScheme { xpBlue, xpSilver, xpGreen, xpAutomatic, xpOrange };
enum class XPDrawnScheme { Blue = 0, Silver = 1, Green = 2, Orange = 3 };

// Blue, silver or green from the theme's colour-scheme name; blue on systems before
// 5.1, without the theme library, or for any other name. A failure the system
// reports while asking goes on to the caller.
XPDrawnScheme DetectThemeScheme(const ThemeQuery& theme);
XPDrawnScheme ResolveScheme(TXPScheme scheme, const ThemeQuery& theme);

}  // namespace vantorel
