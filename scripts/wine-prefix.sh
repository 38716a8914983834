#!/usr/bin/env bash
# Makes a Wine prefix ready to run the program: wineboot, then the fonts the program
# asks for mapped to metric-compatible free fonts (Courier New -> Liberation Mono,
# so the editor's cells are those of a monospaced font). Does nothing for a prefix
# that is already made.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh DIR}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$prefix
[ -f "$prefix/.vantorel-ready" ] && exit 0
mkdir -p "$prefix"
wine_run wineboot -i >/dev/null 2>&1 || true
wine_run reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
wine_run reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Sans Serif" /d "Liberation Sans" /f >/dev/null 2>&1
# Without a window manager Wine draws the title bar itself only when told to.
wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$WINESERVER" -w
touch "$prefix/.vantorel-ready"
