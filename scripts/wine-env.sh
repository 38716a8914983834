# Sourced by the scripts that run the program under Wine: finds the Wine launcher
# and sets the environment every run uses.
WINE64=$(command -v wine64 || true)
[ -n "$WINE64" ] || WINE64=/usr/lib/wine/wine64
WINESERVER=$(command -v wineserver || true)
[ -n "$WINESERVER" ] || WINESERVER=$(dirname "$WINE64")/wineserver
export WINEDEBUG=-all
# No prompts to install .NET or Gecko into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Runs Wine with Windows-1251 as the ANSI code page, so Cyrillic bytes show as
# Cyrillic. (Set for Wine only: the shell itself may not have that locale.)
wine_run() { env LC_ALL=ru_RU.UTF-8 "$WINE64" "$@"; }
