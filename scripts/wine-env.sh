# Sourced by the scripts that run the program under Wine: finds the Wine launcher
# and sets the environment every run uses.
WINE64=$(command -v wine64 || true)
[ -n "$WINE64" ] || WINE64=/usr/lib/wine/wine64
WINESERVER=$(command -v wineserver || true)
[ -n "$WINESERVER" ] || WINESERVER=$(dirname "$WINE64")/wineserver
export WINEDEBUG=-all
# Windows-1251 as the ANSI code page, so Cyrillic bytes show as Cyrillic.
export LC_ALL=ru_RU.UTF-8
# No prompts to install .NET or Gecko into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
