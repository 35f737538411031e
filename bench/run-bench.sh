#!/bin/bash
# Throughput and memory of dt2pcap against `cat IN > OUT` on the same capture:
# wall, user and system time, medians of alternating runs, each into a fresh output.
# Usage: bench/run-bench.sh [BUILD_DIR]
#   BENCH_RUNS   runs of each command per capture (default 5, at least 3)
#   BENCH_DIR    where the temporary captures go (default $TMPDIR or /tmp); needs ~20 GiB free
#   BENCH_BIG=0  skip the 4 GiB and 5 GiB memory and 64-bit offset checks
set -euo pipefail
build=${1:-build}
gen=$build/tavrino-capgen
conv=$(realpath "$build/dt2pcap")
runs=${BENCH_RUNS:-5}
[ "$runs" -ge 3 ] || runs=3
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/dt2pcap-bench.XXXXXX")
trap 'rm -rf "$dir"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Peak resident memory of one conversion, in KiB.
peak_kib() {
  /usr/bin/time -f %M -o "$dir/time.txt" "$conv" "$1" && cat "$dir/time.txt"
}

# Generates a capture; prints its frame count.
generate() {
  local out=$1; shift
  "$gen" --verbose "$@" "$out" | awk '/^entries:/ { print $2 }'
}

# Runs a command with a fresh output: the previous output removed and the disk
# synced first, untimed, so that freeing and writing back old data is not
# counted. Prints "wall user system" in seconds.
TIMEFORMAT='%3R %3U %3S'
timed() {
  local out=$1; shift
  rm -f "$out"; sync
  { time "$@" > /dev/null; } 2>&1
}
timed_cat() {
  local in=$1 out=$2
  rm -f "$out"; sync
  { time cat "$in" > "$out"; } 2>&1
}

bench() {
  local name=$1; shift
  local in=$dir/$name.DT
  local frames; frames=$(generate "$in" "$@")
  local bytes; bytes=$(stat -c %s "$in")
  cat "$in" > /dev/null                       # into the page cache
  timed "$dir/$name.pcap" "$conv" "$in" > /dev/null   # one untimed round of each first
  timed_cat "$in" "$dir/$name.cat" > /dev/null
  local conv_runs=() cat_runs=()
  for ((i = 0; i < runs; i++)); do
    conv_runs+=("$(timed "$dir/$name.pcap" "$conv" "$in")")
    cat_runs+=("$(timed_cat "$in" "$dir/$name.cat")")
  done
  column() { printf '%s\n' "${@:2}" | awk -v c="$1" '{ print $c }' | median; }
  local conv_med cat_med peak
  conv_med=$(column 1 "${conv_runs[@]}")
  cat_med=$(column 1 "${cat_runs[@]}")
  peak=$(peak_kib "$in")
  printf '%-22s %6.0f MiB  %9d frames\n' "$name" "$(echo "$bytes / 1048576" | bc -l)" "$frames"
  printf '  dt2pcap  median %6.3f s (user %.3f, sys %.3f)  %7.0f MB/s  %10.0f frames/s   (wall: %s)\n' "$conv_med" \
    "$(column 2 "${conv_runs[@]}")" "$(column 3 "${conv_runs[@]}")" \
    "$(echo "$bytes / $conv_med / 1000000" | bc -l)" "$(echo "$frames / $conv_med" | bc -l)" \
    "$(printf '%s\n' "${conv_runs[@]}" | awk '{ printf "%s ", $1 }')"
  printf '  cat      median %6.3f s (user %.3f, sys %.3f)  %7.0f MB/s  %10.0f frames/s   (wall: %s)\n' "$cat_med" \
    "$(column 2 "${cat_runs[@]}")" "$(column 3 "${cat_runs[@]}")" \
    "$(echo "$bytes / $cat_med / 1000000" | bc -l)" "$(echo "$frames / $cat_med" | bc -l)" \
    "$(printf '%s\n' "${cat_runs[@]}" | awk '{ printf "%s ", $1 }')"
  printf '  ratio dt2pcap/cat %.2f   dt2pcap peak memory %.1f MiB\n\n' "$(echo "$conv_med / $cat_med" | bc -l)" \
    "$(echo "$peak / 1024" | bc -l)"
  rm -f "$in" "$dir/$name.pcap" "$dir/$name.cat"
}

# Time stamps as users get them: in the machine's own zone.
unset TZ
echo "dt2pcap against cat, $runs runs each, alternating, captures in the page cache, outputs fresh ($(nproc) cores)"
echo
bench mixed-1GiB --size 1G --seed 11
bench 60-byte-512MiB --size 512M --frame-size 60 --header-only 0 --seed 12
# One 60-byte frame a second for three and a half days: a new second, so a
# new time stamp to compute, at almost every frame.
bench sparse-3.5-days --frames 302400 --rate 1 --frame-size 60 --header-only 0 --resolution 2 --seed 14

# Replacing an earlier .pcap of the same size: dt2pcap puts the new data on
# the disk before the rename (so a power loss leaves old or new), which cat
# onto the existing file does not do until something syncs.
replace_bench() {
  local in=$dir/replace.DT out=$dir/replace.pcap
  generate "$in" --size 1G --seed 15 > /dev/null
  cat "$in" > /dev/null
  "$conv" "$in"; cp "$out" "$dir/replace.copy"; sync
  local conv_runs=() cat_runs=() catsync_runs=()
  for ((i = 0; i < runs; i++)); do
    sync
    conv_runs+=("$( { time "$conv" "$in"; } 2>&1 | awk '{ print $1 }')")
    sync
    cat_runs+=("$( { time cat "$dir/replace.copy" > "$out"; } 2>&1 | awk '{ print $1 }')")
    sync
    catsync_runs+=("$( { time sh -c 'cat "$1" > "$2" && sync' sh "$dir/replace.copy" "$out"; } 2>&1 | awk '{ print $1 }')")
  done
  echo "Replacing an earlier 1 GiB .pcap (medians of $runs, wall seconds):"
  printf '  dt2pcap %.3f   cat onto it %.3f   cat onto it + sync %.3f\n\n' \
    "$(printf '%s\n' "${conv_runs[@]}" | median)" "$(printf '%s\n' "${cat_runs[@]}" | median)" \
    "$(printf '%s\n' "${catsync_runs[@]}" | median)"
  rm -f "$in" "$out" "$dir/replace.copy"
}
replace_bench

if [ "${BENCH_BIG:-1}" != 0 ]; then
  echo "Memory does not grow with the input; offsets beyond 4 GiB:"
  for case in "1GiB:--size 1G" "4GiB:--size 4G" "5GiB:--size 5G --filler 1G"; do
    name=${case%%:*}
    in=$dir/big-$name.DT
    # shellcheck disable=SC2086
    frames=$(generate "$in" ${case#*:} --seed 13)
    peak=$(peak_kib "$in")
    records=$(python3 -c "
import struct,sys
f=open(sys.argv[1],'rb'); f.seek(24); n=0
while True:
    h=f.read(16)
    if len(h)<16: break
    n+=1; f.seek(struct.unpack('<I',h[8:12])[0],1)
print(n)" "${in%.DT}.pcap")
    printf '  %-5s input %5.2f GiB  output %5.2f GiB  frames %9d  records read back %9d  peak %.1f MiB\n' "$name" \
      "$(echo "$(stat -c %s "$in") / 1073741824" | bc -l)" \
      "$(echo "$(stat -c %s "${in%.DT}.pcap") / 1073741824" | bc -l)" "$frames" "$records" "$(echo "$peak / 1024" | bc -l)"
    rm -f "$in" "${in%.DT}.pcap"
  done
fi
