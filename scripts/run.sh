#!/usr/bin/env bash
# Runs vantorel.exe under Wine, optionally with a file to open. With a display it
# runs there until the window is closed; without one it starts a virtual display,
# runs the program there, saves a screenshot and says where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
exe="$root/build/windows/vantorel.exe"
prefix="$root/build/wine-prefix"

# Wine's desktop process takes the display of the first Wine command of a prefix, so
# the display is settled before any Wine command runs.
virtual=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  virtual=1
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

"$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix

args=()
if [ -n "${1:-}" ]; then
  file=$1
  # A leading ~ or ~user that reached here unexpanded (a quoted make argument).
  case $file in
    "~") file=$HOME ;;
    "~/"*) file=$HOME/${file#"~/"} ;;
    "~"*)
      user=${file%%/*}
      user=${user#"~"}
      home=$(getent passwd "$user" | cut -d: -f6 || true)
      if [ -n "$home" ]; then
        rest=${file#"~$user"}
        file=$home$rest
      fi
      ;;
  esac
  # A Linux path is handed over as the Windows path Wine maps it to. The file need
  # not exist: the program itself decides what to do with a name that is not there.
  file=$(realpath -m -- "$file")
  args+=("$(wine_run winepath -w "$file" 2>/dev/null | tr -d '\r')")
fi

if [ -z "$virtual" ]; then
  exec env LC_ALL=ru_RU.UTF-8 "$WINE64" "$exe" "${args[@]}"
fi

wine_run "$exe" "${args[@]}" >/dev/null 2>&1 &
for _ in $(seq 300); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Vantorel' && break
  sleep 0.1
done
sleep 2
shot="$root/build/screenshot.png"
import -window root "$shot"
"$WINESERVER" -k || true
echo "No display: the program ran on a virtual display; its screenshot is $shot"
