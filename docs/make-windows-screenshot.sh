#!/bin/bash
# Retakes docs/screenshot-windows.png: tavrino-pcap-converter.exe under wine,
# copied alone into a folder of the sample captures, in a wine virtual desktop
# (which draws Windows' own title bar) on Xvfb, cut to the dialog. Uses the
# build's own wine prefix; needs imagemagick and xdotool, which only this
# script uses.
# Usage: docs/make-windows-screenshot.sh [WINDOWS_BUILD_DIR]   (default: build-windows)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-windows}" && pwd)"

if [ -z "${SCREENSHOT_INNER:-}" ]; then
  work="$build/screenshot"
  rm -rf "$work"
  mkdir -p "$work/Captures"
  cp "$build/tavrino-pcap-converter.exe" "$root"/samples/*.DT "$work/Captures/"
  bash "$root/scripts/wine-prefix.sh" "$build"
  SCREENSHOT_INNER=1 WORK="$work" OUT="$root/docs/screenshot-windows.png" \
    xvfb-run -a -s '-screen 0 800x600x24' bash "$0" "$build"
  rm -rf "$work"
  echo "Wrote $root/docs/screenshot-windows.png"
  exit 0
fi

export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
(cd "$WORK/Captures" && wine explorer /desktop=shot,640x480 tavrino-pcap-converter.exe) >/dev/null 2>&1 &
desktop=""
for _ in $(seq 100); do
  desktop=$(xdotool search --onlyvisible --name 'shot' 2>/dev/null | head -1) || true
  [ -n "$desktop" ] && break
  sleep 0.2
done
sleep 4
import -window "$desktop" "$WORK/desktop.png"
# The dialog stands at 0,0 on the desktop's plain background: trim that away.
convert "$WORK/desktop.png" -gravity SouthEast -trim +repage "$OUT"
WINEPREFIX="$build/wine" wineserver -k || true
