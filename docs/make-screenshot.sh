#!/bin/bash
# Retakes docs/screenshot.png: the window under Xvfb and openbox (whose title bar
# shows the window's icon), as a user starts it: the program copied into a
# folder of captures; and docs/progress.png, the window converting two large
# captures named on its command line (2 GiB of scratch disk for a moment). Needs xvfb, openbox, xdotool, x11-utils and imagemagick,
# which only this script uses.
# Usage: docs/make-screenshot.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

if [ -z "${SCREENSHOT_INNER:-}" ]; then
  # A fixed folder, since its name is in the picture.
  work=/tmp/tavrino-screenshot
  rm -rf "$work"
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/captures"
  cp "$build/tavrino-pcap-converter" "$root"/samples/*.DT "$work/captures/"
  mkdir -p "$work/large"
  for run in 1 2; do
    "$build/tavrino-capgen" --size 1G --seed $run "$work/large/site-$run-uplink.DT"
  done
  # Openbox keeps minimise and maximise buttons whatever a window asks for;
  # most window managers honour the dialog's request for a close box only.
  sed 's|<titleLayout>[A-Z]*</titleLayout>|<titleLayout>NLC</titleLayout>|' /etc/xdg/openbox/rc.xml >"$work/rc.xml"
  SCREENSHOT_INNER=1 WORK="$work" OUT="$root/docs/screenshot.png" PROGRESS_OUT="$root/docs/progress.png" \
    xvfb-run -a -s '-screen 0 800x600x24' bash "$0" "$build"
  echo "Wrote $root/docs/screenshot.png and $root/docs/progress.png"
  exit 0
fi

openbox --config-file "$WORK/rc.xml" >/dev/null 2>&1 &
wm=$!
sleep 1
(cd / && "$WORK/captures/tavrino-pcap-converter") >/dev/null 2>&1 &
app=$!
win=""
for _ in $(seq 50); do
  win=$(xdotool search --onlyvisible --name '^TAVRINO pcap converter$' 2>/dev/null | head -1) || true
  [ -n "$win" ] && break
  sleep 0.2
done
sleep 0.8
info="$(xwininfo -id "$win")"
x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
w=$(awk '/Width/ {print $2}' <<<"$info")
h=$(awk '/Height/ {print $2}' <<<"$info")
# Two entries selected with clicks, the pointer out of the way.
xdotool mousemove $((x + 60)) $((y + 112)) click 1
sleep 0.2
xdotool mousemove $((x + 60)) $((y + 140)) click 1
xdotool mousemove $((x + 300)) $((y + 350))
sleep 0.5
import -window root -crop $((w + 2))x$((h + 24))+$((x - 1))+$((y - 22)) +repage "$OUT"
xdotool key Escape
for _ in $(seq 25); do kill -0 $app 2>/dev/null || break; sleep 0.2; done
kill $app 2>/dev/null || true

# The progress of a batch: started on two captures, which come up selected.
(cd / && "$WORK/captures/tavrino-pcap-converter" "$WORK"/large/*.DT) >/dev/null 2>&1 &
app=$!
main=""
for _ in $(seq 50); do
  main=$(xdotool search --onlyvisible --name '^TAVRINO pcap converter$' 2>/dev/null | head -1) || true
  [ -n "$main" ] && break
  sleep 0.2
done
sleep 0.8
xdotool windowactivate --sync "$main" key Return
progress=""
for _ in $(seq 50); do
  progress=$(xdotool search --onlyvisible --name '^TAVRINO pcap converter$' 2>/dev/null | grep -v "^$main\$" | head -1) || true
  [ -n "$progress" ] && break
  sleep 0.1
done
sleep 0.7
info="$(xwininfo -id "$progress")"
x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
w=$(awk '/Width/ {print $2}' <<<"$info")
h=$(awk '/Height/ {print $2}' <<<"$info")
import -window root -crop $((w + 2))x$((h + 24))+$((x - 1))+$((y - 22)) +repage "$PROGRESS_OUT"
xdotool key Escape
sleep 0.5
xdotool key --window "$main" Escape 2>/dev/null || true
for _ in $(seq 25); do kill -0 $app 2>/dev/null || break; sleep 0.2; done
kill $app 2>/dev/null || true
kill $wm
wait
