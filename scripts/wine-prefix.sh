#!/bin/bash
# Creates (once) the build's own wine prefix, made safe for tests: drive Z:
# (the whole file system) removed, only the build folder mapped, as drive T:,
# no menu or desktop integration, and the user's folders real folders inside
# the prefix instead of links into the home folder.
#   wine-prefix.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

if [ ! -f "$WINEPREFIX/.tpc-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  rm -f "$WINEPREFIX/dosdevices/z:"
  ln -sfn "$build" "$WINEPREFIX/dosdevices/t:"
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
  done
  touch "$WINEPREFIX/.tpc-ready"
fi
# wine may put drive Z: back on a later start; take it away every time.
rm -f "$WINEPREFIX/dosdevices/z:"

# A wineserver kept running for quick starts, until a minute after the last
# program. Its first program starts wine's background programs (services, the
# desktop), which would hold on to that program's output pipe and so keep its
# reader waiting: start them here, with no output to hold. (wineserver -p60
# fails when the prefix's server already runs.)
if wineserver -p60 2>/dev/null; then
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
