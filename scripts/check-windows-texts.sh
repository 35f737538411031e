#!/bin/bash
# The texts the Windows edition ships, README.txt and LICENSE.txt, in the zip
# and in the installer, with Windows line ends throughout (older Notepads
# show a file with bare line feeds as one line).
#   check-windows-texts.sh ZIP MSI
set -euo pipefail
zip=$1 msi=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/zip" "$work/msi"
unzip -q "$zip" README.txt LICENSE.txt -d "$work/zip"
msiextract -C "$work/msi" "$msi" >/dev/null
status=0
for from in zip msi; do
  for name in README.txt LICENSE.txt; do
    file=$(find "$work/$from" -name "$name" | head -1)
    if [ -z "$file" ]; then echo "$from: no $name"; status=1; continue; fi
    python3 - "$file" "$from" "$name" <<'PY' || status=1
import sys
data = open(sys.argv[1], 'rb').read()
bare = data.replace(b'\r\n', b'').count(b'\n') + data.replace(b'\r\n', b'').count(b'\r')
if not data.endswith(b'\r\n') or bare:
    sys.exit(f"{sys.argv[2]}: {sys.argv[3]} has {bare} bare line ends")
PY
  done
done
[ "$status" -eq 0 ] && echo "README.txt and LICENSE.txt: CRLF throughout, in the zip and the installer"
exit "$status"
