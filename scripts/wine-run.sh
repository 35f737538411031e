#!/bin/bash
# Runs a Windows program of the build under wine, in the build's own prefix
# (see wine-prefix.sh).
#   wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
bash "$(dirname "$0")/wine-prefix.sh" "$build"
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
exec wine "$@"
