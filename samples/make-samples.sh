#!/bin/bash
# Regenerates the sample captures with the capture generator and fixed seeds.
# Usage: samples/make-samples.sh [CAPGEN [OUTDIR]]
#   CAPGEN  the generator (default: build/tavrino-capgen beside this folder)
#   OUTDIR  where to write them (default: this folder)
# The tests run it into a scratch folder and check that the committed samples
# are byte for byte what it makes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
capgen="${1:-$here/../build/tavrino-capgen}"
out="${2:-$here}"

# An office LAN: mixed frames and kinds, 100 us ticks, a comment chunk before DINF.
"$capgen" --size 12K --seed 11 --resolution 2 --rate 400 \
  --start "2010-03-15 09:30:00.00" --extra-chunk "$out/office-lan.DT"

# A VLAN trunk: mostly 802.1Q-tagged frames, 10 us ticks, starting just before
# midnight on 31 December 2009 so that the capture crosses into 2010.
"$capgen" --size 10K --seed 22 --resolution 3 --rate 40 \
  --start "2009-12-31 23:59:59.90" --mix vlan=80,tcp=10,udp=5,arp=5 "$out/vlan-trunk.DT"

# Short frames: 60-byte frames only, 1 ms ticks, MONL before DINF.
"$capgen" --size 4K --seed 33 --resolution 1 --rate 200 --frame-size 60 \
  --header-only 5 --start "2011-06-30 18:05:12.34" --monl-first "$out/short-frames.DT"
