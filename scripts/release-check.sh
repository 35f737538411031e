#!/bin/bash
# The release built twice and compared: once here into BUILD_DIR and
# DIST_DIR, then from a second clone of the same commit in another folder,
# minutes later, with another umask, time zone and locale. Their SHA256SUMS
# must be the same; where they are not, diffoscope shows what differs.
#   release-check.sh BUILD_DIR DIST_DIR [JOBS]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
jobs=${3:-2}
start=$(date +%s)

bash "$repo/scripts/release.sh" "$1" "$2" "$jobs"
dist=$(cd "$2" && pwd)
first=$(( $(date +%s) - start ))

other=$(mktemp -d "${TMPDIR:-/tmp}/tpc-release-check.XXXXXX")
git clone -q --no-checkout "$repo" "$other/second-clone"
git -C "$other/second-clone" checkout -q --detach "$(git -C "$repo" rev-parse HEAD)"
# Another locale than this one's, of those every Debian has.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  C.UTF-8|C.utf8) locale=C ;;
  *) locale=C.UTF-8 ;;
esac
variations="folder $other/second-clone (here: $repo), umask 0077 (here: $(umask)),"
variations+=" TZ=Pacific/Kiritimati, UTC+14 (here: ${TZ:-unset}), LC_ALL=$locale (here: $(locale | sed -n 's/^LC_CTYPE=//p')),"
variations+=" started $(date -u '+%H:%M:%S') UTC, $first s after the first"
echo "release-check: the second build: $variations"
(
  umask 0077
  export TZ=Pacific/Kiritimati LC_ALL=$locale
  bash "$other/second-clone/scripts/release.sh" "$other/build" "$other/dist" "$jobs"
)

if cmp -s "$dist/SHA256SUMS" "$other/dist/SHA256SUMS"; then
  echo "release-check: the same SHA256SUMS from both builds"
  for each in "$dist" "$other/dist"; do
    echo "release-check: sha256sum -c in $each:"
    (cd "$each" && sha256sum -c SHA256SUMS)
  done
  rm -rf "$other"
  echo "release-check: took $(( $(date +%s) - start )) s"
  exit 0
fi
echo "release-check: the two builds differ (the second is kept in $other):" >&2
diff "$dist/SHA256SUMS" "$other/dist/SHA256SUMS" >&2 || true
while read -r _ file; do
  if ! cmp -s "$dist/$file" "$other/dist/$file"; then
    diffoscope --text - --max-report-size 200000 "$dist/$file" "$other/dist/$file" >&2 || true
  fi
done < "$dist/SHA256SUMS"
exit 1
