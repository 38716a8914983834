#!/usr/bin/env bash
# Runs vantorel.exe under Wine, optionally with a file to open. With a display it
# runs there until the window is closed; without one it starts a virtual display,
# runs the program there, saves a screenshot and says where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh" 2>/dev/null
exe="$root/build/windows/vantorel.exe"
prefix="$root/build/wine-prefix"
"$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix

args=()
if [ -n "${1:-}" ]; then
  # A Linux path is handed over as the Windows path Wine maps it to.
  file=$(readlink -f "$1")
  args+=("$("$WINE64" winepath -w "$file" 2>/dev/null | tr -d '\r')")
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$WINE64" "$exe" "${args[@]}"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$WINE64" "$exe" "${args[@]}" >/dev/null 2>&1 &
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q 'Vantorel' && break
  sleep 0.1
done
sleep 2
shot="$root/build/screenshot.png"
import -window root "$shot"
echo "No display: the program ran on a virtual display; its screenshot is $shot"
"$WINESERVER" -k || true
