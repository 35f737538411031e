#!/bin/bash
# Runs the Linux dt2pcap and dt2pcap.exe under wine over the same captures --
# the samples, generator captures, every small capture the conversion tests
# build, and broken ones -- and compares what each writes (every .pcap and
# standard output byte for byte), says (standard error) and returns.
#   compare-windows.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
work=$windows/compare
rm -rf "$work"
mkdir -p "$work/captures"
caps=$work/captures

# The captures.
cp "$here"/../samples/*.DT "$caps"/
gen=$linux/tavrino-capgen
"$gen" --frames 8 --seed 1 --resolution 1 "$caps/gen-1.DT"
"$gen" --frames 300 --seed 2 --resolution 3 --frame-size 60 --header-only 30 "$caps/gen-2.DT"
"$gen" --frames 60 --seed 3 --resolution 2 --monl-first --extra-chunk "$caps/gen-3.DT"
"$gen" --frames 40 --seed 4 --resolution 0 --start "2009-12-31 23:59:59.99" "$caps/gen-4.DT"
"$gen" --size 3M --seed 5 "$caps/gen-big.DT"   # more than one read buffer
"$gen" --frames 20 --seed 7 --start "1970-01-01 08:59:59.00" --resolution 1 "$caps/gen-epoch.DT"
"$gen" --frames 20 --seed 8 --start "2038-01-19 03:14:00.00" --rate 1 --resolution 1 "$caps/gen-2038.DT"
for suite in conversion_tests dt2pcap_tests; do
  TPC_SEED_CORPUS_DIR=$caps "$linux/$suite" >/dev/null 2>&1 || true
done
# Broken ones: cut at every step of the road, and bytes a text mode would change.
sample=$caps/office-lan.DT
for cut in 0 10 16 20 24 100 700 1000 1003 1010 4000; do
  head -c "$cut" "$sample" > "$caps/cut-$cut.DT"
done
printf 'TAVRINO DATE   \0' > "$caps/bad-header.DT"
{ head -c 2000 "$sample"; printf '\x1a\r\n\x1a'; tail -c +2005 "$sample"; } > "$caps/eof-bytes.DT"
mkdir -p "$caps/folder.DT"
echo "$(ls "$caps" | grep -c '\.DT$') captures"

failures=0

# Each build converts its own copy of them in one -k run, in the same order.
run_both() {  # NAME LINUX_TZ WINDOWS_TZ ARGS... (the ARGS given to both)
  local name=$1 ltz=$2 wtz=$3; shift 3
  for side in linux windows; do
    rm -rf "$work/$side-$name"; cp -r "$caps" "$work/$side-$name"
  done
  (cd "$work/linux-$name" && TZ=$ltz "$linux/dt2pcap" "$@" >"../linux-$name.out" 2>"../linux-$name.err"; echo $? >"../linux-$name.status") || true
  (cd "$work/windows-$name" && TZ=$wtz bash "$here/wine-run.sh" "$windows" "$windows/dt2pcap.exe" "$@" \
      >"../windows-$name.out" 2>"../windows-$name.err"; echo $? >"../windows-$name.status") || true
}
compare() {  # NAME
  local name=$1
  for part in status err out; do
    if ! cmp -s "$work/linux-$name.$part" "$work/windows-$name.$part"; then
      echo "DIFFERENT $name: standard $part"; diff <(cat -A "$work/linux-$name.$part") <(cat -A "$work/windows-$name.$part") | head -20
      failures=$((failures + 1))
    fi
  done
  if ! diff -r "$work/linux-$name" "$work/windows-$name" >/dev/null; then
    echo "DIFFERENT $name: files"; diff -r -q "$work/linux-$name" "$work/windows-$name" | head -20
    failures=$((failures + 1))
  fi
  echo "$name: status $(cat "$work/linux-$name.status"), $(wc -l <"$work/linux-$name.err") message lines," \
       "$(ls "$work/linux-$name" | grep -c '\.pcap$') pcaps"
}

# Entries past 4 GiB: one capture, holes where its filler is, read in place by both.
mkdir -p "$work/big"
"$gen" --frames 50 --seed 6 --filler 4294967295 "$work/big/beyond-4GiB.DT"
fallocate --dig-holes "$work/big/beyond-4GiB.DT" 2>/dev/null || true
(cd "$work/big" && TZ=UTC "$linux/dt2pcap" -o linux.pcap beyond-4GiB.DT >../linux-big.out 2>../linux-big.err
 echo $? >../linux-big.status) || true
(cd "$work/big" && TZ=UTC0 bash "$here/wine-run.sh" "$windows" "$windows/dt2pcap.exe" -o windows.pcap beyond-4GiB.DT \
    >../windows-big.out 2>../windows-big.err; echo $? >../windows-big.status) || true
for part in status err out; do
  cmp -s "$work/linux-big.$part" "$work/windows-big.$part" || { echo "DIFFERENT big: standard $part"; failures=$((failures + 1)); }
done
if ! cmp -s "$work/big/linux.pcap" "$work/big/windows.pcap"; then
  echo "DIFFERENT big: pcap"; failures=$((failures + 1))
fi
echo "big: status $(cat "$work/linux-big.status"), $(stat -c %s "$work/big/linux.pcap") bytes of pcap"
rm -f "$work/big/beyond-4GiB.DT"

list=$(cd "$caps" && ls | grep '\.DT$')
# shellcheck disable=SC2086
run_both utc UTC UTC0 -q -k $list; compare utc
# The zone option takes each platform's own form: the same zone as an IANA
# name on Linux, in the C runtime's form on Windows. (That form has no
# history: a zone whose standard time changed, such as Dublin's +1 until
# 1971, differs in the years before the change.)
for zones in "tokyo Asia/Tokyo JST-9" "new-york America/New_York EST5EDT"; do
  set -- $zones
  name=$1 iana=$2 runtime=$3
  # shellcheck disable=SC2086
  run_both "$name" UTC UTC0 -q -k --tz "$iana" $list
  (cd "$work/windows-$name" && rm -f ./*.pcap && TZ=UTC0 bash "$here/wine-run.sh" "$windows" "$windows/dt2pcap.exe" \
      -q -k --tz "$runtime" $list >"../windows-$name.out" 2>"../windows-$name.err"; echo $? >"../windows-$name.status") || true
  compare "$name"
done
run_both stdout UTC UTC0 -o - office-lan.DT; compare stdout
run_both first-failure UTC UTC0 gen-1.DT cut-20.DT gen-2.DT; compare first-failure
for args in "--frobnicate x.DT" "-x x.DT" "x.DT -o" "x.DT --tz" "--keep-going=yes x.DT" "-o '' x.DT" "" \
            "-o out.pcap a.DT b.DT" "--version" "--kee x.DT" "missing.DT" "-o x.pcap x.pcap"; do
  name=usage-$(echo "$args" | tr -c 'a-zA-Z0-9\n' '_')
  eval "set -- $args"
  for side in linux windows; do mkdir -p "$work/$side-$name"; done
  (cd "$work/linux-$name" && "$linux/dt2pcap" "$@" >"../linux-$name.out" 2>"../linux-$name.err"; echo $? >"../linux-$name.status") || true
  (cd "$work/windows-$name" && bash "$here/wine-run.sh" "$windows" "$windows/dt2pcap.exe" "$@" \
      >"../windows-$name.out" 2>"../windows-$name.err"; echo $? >"../windows-$name.status") || true
  # The usage text's --tz paragraph gives each platform's own zone form first.
  for side in linux windows; do
    sed -i '/--tz=ZONE/,/-k, --keep-going/{/-k, --keep-going/!d}' "$work/$side-$name.err"
  done
  compare "$name"
done
if [ "$failures" -ne 0 ]; then
  echo "$failures differences between the Linux and the Windows build"
  exit 1
fi
rm -rf "$work"  # kept only when they differ, to look at
echo "Linux and Windows builds agree: same pcaps, messages and exit statuses"
