#!/usr/bin/env bash
# Installs the tool chain and the test environment when something is missing:
# the mingw-w64 cross compiler, Wine, a virtual X display, xdotool, ImageMagick
# and fonts with Cyrillic glyphs. Safe to run repeatedly; does nothing when all is there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have cmake || need+=(cmake)
have g++ || need+=(g++)
have x86_64-w64-mingw32-g++-posix && have x86_64-w64-mingw32-gcc-posix || need+=(g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 mingw-w64-x86-64-dev)
have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
pkg_installed wine64 || need+=(wine64)
have Xvfb || need+=(xvfb)
have xdotool || need+=(xdotool)
have xdpyinfo || need+=(x11-utils)
have import || need+=(imagemagick)
pkg_installed fonts-dejavu-core || need+=(fonts-dejavu-core)
pkg_installed fonts-liberation || need+=(fonts-liberation)
pkg_installed libgtest-dev || need+=(libgtest-dev libgmock-dev)
pkg_installed libbenchmark-dev || need+=(libbenchmark-dev)

pkg_installed locales || need+=(locales)

# Wine reads file names and arguments through the Unix locale: with ru_RU.UTF-8
# present, Cyrillic paths reach the program intact (and the ANSI code page is 1251).
make_locale() {
  locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' && return 0
  localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 >/dev/null 2>&1 || true
}

if [ ${#need[@]} -eq 0 ]; then
  make_locale
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "installing: ${need[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
make_locale
