#!/bin/bash
# `make run`: the converter window on a folder of sample captures, set up the
# way the tool is used: the program copied into the folder of captures and
# started there (the window lists the folder its own file lies in).
# Usage: scripts/run-demo.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
program="$build/tavrino-pcap-converter"
demo="$build/demo"

if [ ! -x "$program" ]; then
  echo "run-demo: $program is missing; build it first (make build)" >&2
  exit 1
fi

# A fresh folder each time, so no .pcap of an earlier run lingers.
rm -rf "$demo"
mkdir -p "$demo"
cp "$program" "$demo/"
shopt -s nullglob
samples=("$root"/samples/*.DT)
if [ ${#samples[@]} -gt 0 ]; then
  cp "${samples[@]}" "$demo/"
else
  echo "run-demo: samples/ holds no captures yet, so the list will be empty"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: no display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): the window needs one."
  if [ ${#samples[@]} -gt 0 ]; then
    echo "Converting the samples in $demo with dt2pcap instead:"
    (cd "$demo" && "$build/dt2pcap" -- *.DT)
    ls -l "$demo"/*.pcap
  fi
  exit 0
fi

echo "Opening the converter window on $demo"
echo "(select entries with a click or \"Select all\", then \"Start conversion\"; Esc closes it)"
cd "$demo"
exec ./tavrino-pcap-converter
