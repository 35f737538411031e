#!/bin/bash
# Throughput and memory of dt2pcap against `cat IN > OUT` on the same capture.
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

now() { date +%s.%N; }
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

bench() {
  local name=$1; shift
  local in=$dir/$name.DT
  local frames; frames=$(generate "$in" "$@")
  local bytes; bytes=$(stat -c %s "$in")
  cat "$in" > /dev/null                       # into the page cache
  "$conv" "$in" && cat "$in" > "$dir/$name.cat" # first writes of both outputs
  local conv_times=() cat_times=()
  for ((i = 0; i < runs; i++)); do
    sync
    local t0; t0=$(now); "$conv" "$in"; local t1; t1=$(now)
    conv_times+=("$(echo "$t1 - $t0" | bc -l)")
    sync
    t0=$(now); cat "$in" > "$dir/$name.cat"; t1=$(now)
    cat_times+=("$(echo "$t1 - $t0" | bc -l)")
  done
  local conv_med cat_med peak
  conv_med=$(printf '%s\n' "${conv_times[@]}" | median)
  cat_med=$(printf '%s\n' "${cat_times[@]}" | median)
  peak=$(peak_kib "$in")
  printf '%-22s %6.0f MiB  %9d frames\n' "$name" "$(echo "$bytes / 1048576" | bc -l)" "$frames"
  printf '  dt2pcap  median %6.3f s  %7.0f MB/s  %10.0f frames/s   (runs: %s)\n' "$conv_med" \
    "$(echo "$bytes / $conv_med / 1000000" | bc -l)" "$(echo "$frames / $conv_med" | bc -l)" "${conv_times[*]}"
  printf '  cat      median %6.3f s  %7.0f MB/s  %10.0f frames/s   (runs: %s)\n' "$cat_med" \
    "$(echo "$bytes / $cat_med / 1000000" | bc -l)" "$(echo "$frames / $cat_med" | bc -l)" "${cat_times[*]}"
  printf '  ratio dt2pcap/cat %.2f   dt2pcap peak memory %.1f MiB\n\n' "$(echo "$conv_med / $cat_med" | bc -l)" \
    "$(echo "$peak / 1024" | bc -l)"
  rm -f "$in" "$dir/$name.pcap" "$dir/$name.cat"
}

echo "dt2pcap against cat, $runs runs each, alternating, captures in the page cache ($(nproc) cores)"
echo
bench mixed-1GiB --size 1G --seed 11
bench 60-byte-512MiB --size 512M --frame-size 60 --header-only 0 --seed 12

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
