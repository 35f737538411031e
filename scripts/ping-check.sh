#!/bin/bash
# The window during long batches, under Xvfb with openbox: a batch of three
# 1 GiB captures must show its progress dialog and answer every _NET_WM_PING
# within 250 ms until "Done.", also when run again over the .pcaps it wrote; Esc in the progress dialog during the second
# capture must leave the first .pcap complete, the second's earlier .pcap as it
# was, the third not converted, and show no "Done.".
#
# Usage: scripts/ping-check.sh [BUILD] [SIZE]   (SIZE for tavrino-capgen, default 1G)
# Needs Xvfb, openbox, xdotool and libx11-dev (make deps). Takes a few minutes
# and 6 x SIZE of disk under $TMPDIR, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
SIZE=${2:-1G}
TITLE="TAVRINO pcap converter"
BOX_TITLE=tavrino-pcap-converter   # message boxes carry the program's name

for tool in Xvfb openbox xdotool g++; do
    command -v "$tool" >/dev/null || { echo "ping-check: $tool missing (make deps)" >&2; exit 2; }
done
g++ -std=c++17 -O2 -Wall -Wextra scripts/ping-probe/ping_probe.cpp -lX11 -o "$BUILD/ping-probe"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tpc-ping-XXXXXX")
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
sleep 1

CAPS="$WORK/caps"
mkdir -p "$CAPS"
for name in a b c; do
    "$BUILD/tavrino-capgen" --size "$SIZE" --seed "$(printf '%d' "'$name")" "$CAPS/$name.DT"
done
# On the disk before the batches, as captures copied in long ago would be:
# the batches are not to wait behind the generator's write-back.
sync
echo "captures: $(du -sh "$CAPS" | cut -f1) in $CAPS"

# Starts the window on the three captures (selected by the command line) and
# the probe on it; sets APP, PROBE and WIN.
start_window() {
    "$BUILD/tavrino-pcap-converter" "$CAPS/a.DT" "$CAPS/b.DT" "$CAPS/c.DT" >"$WORK/app.log" 2>&1 &
    APP=$!
    PIDS+=($APP)
    WIN=$(xdotool search --sync --onlyvisible --name "^$TITLE\$" | head -1)
    "$BUILD/ping-probe" "$TITLE" 50 >"$WORK/probe.txt" &
    PROBE=$!
    PIDS+=($PROBE)
    sleep 1
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || true
}

# The ids of visible windows titled $1, one a line.
windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

stop_window() {
    kill -TERM "$PROBE"
    wait "$PROBE" || true
    kill -TERM "$APP" 2>/dev/null || true
    wait "$APP" 2>/dev/null || true
}

result=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "  ok    $1"; else echo "  FAIL  $1"; result=1; fi
}

# Runs the batch of the three captures to its "Done." box and checks the pings
# and the pcaps; sets WORST to the slowest ping reply.
whole_batch() {
    start_window
    local started ended progress_seen=no
    started=$(date +%s.%N)
    xdotool key --window "$WIN" Return   # the focus starts on "Start conversion"
    while [ -z "$(windows "$BOX_TITLE")" ]; do
        [ "$(windows "$TITLE" | wc -l)" -ge 2 ] && progress_seen=yes
        kill -0 "$APP" 2>/dev/null || { echo "the window ended" >&2; exit 1; }
        sleep 0.1
    done
    ended=$(date +%s.%N)
    stop_window
    echo "  batch took $(echo "$ended - $started" | bc) s"
    echo "  $(cat "$WORK/probe.txt")"
    check "progress dialog shown" [ "$progress_seen" = yes ]
    check "every ping answered within 250 ms" grep -q ' over-250ms 0 unanswered 0 ' "$WORK/probe.txt"
    for name in a b c; do
        check "$name.pcap complete" cmp -s "$CAPS/$name.pcap" <("$BUILD/dt2pcap" -o - "$CAPS/$name.DT")
    done
    WORST=$(sed -n 's/.* worst \([0-9.]*\) ms.*/\1/p' "$WORK/probe.txt")
}

echo "== whole batch"
whole_batch
first_worst=$WORST

# Renaming a new file over an earlier one makes ext4 write the new file's data
# out there, and the earlier file's data must be on the disk first anyway.
echo "== whole batch again, each .pcap replacing the earlier one"
whole_batch
replace_worst=$WORST

echo "== Esc during the second capture"
rm -f "$CAPS/a.pcap" "$CAPS/c.pcap"
printf 'an earlier b.pcap\n' >"$CAPS/b.pcap"
earlier=$(sha256sum <"$CAPS/b.pcap")
start_window
xdotool key --window "$WIN" Return
# The second capture is being read once the window holds it open.
until ls -l "/proc/$APP/fd" 2>/dev/null | grep -q "$CAPS/b.DT"; do
    kill -0 "$APP" 2>/dev/null || { echo "the window ended" >&2; exit 1; }
    sleep 0.05
done
sleep 0.2
progress=$(windows "$TITLE" | grep -v "^$WIN\$" | head -1)
if [ -n "$progress" ]; then
    xdotool windowactivate --sync "$progress" >/dev/null 2>&1 || true
    xdotool key --window "$progress" Escape
else
    echo "  FAIL  no progress dialog to press Esc in"
    result=1
fi
sleep 3
check "no \"Done.\" box" [ -z "$(windows "$BOX_TITLE")" ]
check "progress dialog gone" [ "$(windows "$TITLE" | wc -l)" -eq 1 ]
check "window still running" kill -0 "$APP"
stop_window
echo "  $(cat "$WORK/probe.txt")"
check "every ping answered within 250 ms" grep -q ' over-250ms 0 unanswered 0 ' "$WORK/probe.txt"
check "a.pcap complete" cmp -s "$CAPS/a.pcap" <("$BUILD/dt2pcap" -o - "$CAPS/a.DT")
check "b.pcap as it was" [ "$(sha256sum <"$CAPS/b.pcap")" = "$earlier" ]
check "c.pcap not written" [ ! -e "$CAPS/c.pcap" ]
check "nothing else left in the folder" [ "$(ls -A "$CAPS" | tr '\n' ' ')" = "a.DT a.pcap b.DT b.pcap c.DT " ]
echo "worst ping reply: whole batch $first_worst ms, replacing batch $replace_worst ms, cancelled batch $(sed -n 's/.* worst \([0-9.]*\) ms.*/\1/p' "$WORK/probe.txt") ms"
exit $result
