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

bash "$here/wine-prefix.sh" "$windows"
export WINEPREFIX=$windows/wine WINEDEBUG=-all
wineserver -p
trap 'WINEPREFIX=$windows/wine wineserver -k 2>/dev/null || true' EXIT

# One test at a time: the wine prefix and its windows are shared. The window's
# tests need a display: a virtual one of their own. The first program in it
# starts wine's own background programs (the desktop, services), which would
# otherwise hold on to that program's output pipe: start them with none.
(cd "$windows" && xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  'wine cmd /c exit </dev/null >/dev/null 2>&1; ctest --output-on-failure -j1')
bash "$here/compare-windows.sh" "$linux" "$windows"
echo "Windows tests took $(( $(date +%s) - start )) s"
