#!/bin/bash
# The Windows build's tests under wine, then the Linux and Windows builds
# compared over the same captures. One wine prefix for the whole run, with its
# wineserver kept running (-p) so that each test program starts quickly.
#   test-windows.sh WINDOWS_BUILD LINUX_BUILD
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
start=$(date +%s)

export WINEPREFIX=$windows/wine WINEDEBUG=-all
trap 'WINEPREFIX=$windows/wine wineserver -k 2>/dev/null || true' EXIT

# One test at a time: the wine prefix and its windows are shared. The window's
# tests need a display: a virtual one of their own, in which wine's server and
# background programs start (wine-prefix.sh) before the first test.
(cd "$windows" && xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  "bash '$here/wine-prefix.sh' '$windows' && ctest --output-on-failure -j1")
bash "$here/compare-windows.sh" "$linux" "$windows"
echo "Windows tests took $(( $(date +%s) - start )) s"
