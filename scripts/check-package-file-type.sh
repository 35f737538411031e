#!/bin/bash
# After the Debian package is installed, a capture is of the type
# application/x-tavrino-capture and opens with the converter.
#
# Usage: scripts/check-package-file-type.sh [BUILD] [--install]
# By default the package is unpacked into a scratch folder and the caches its
# installation triggers (update-mime-database, update-desktop-database) are
# rebuilt there: nothing on the machine changes. With --install (root, on a
# machine of its own) it is installed with apt-get, checked, and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
MODE=${2:-}
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD"/tavrino-pcap-converter_*_amd64.deb | head -1)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tpc-package-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
if [ "$MODE" = --install ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
    trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tavrino-pcap-converter >/dev/null; rm -rf "$WORK"' EXIT
    share=/usr/share
    export XDG_DATA_HOME="$WORK/home"
else
    dpkg -x "$deb" "$WORK/root"
    share="$WORK/root/usr/share"
    update-mime-database "$share/mime"
    update-desktop-database "$share/applications"
    export XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$WORK/home"
fi
# GNOME's way (gio), which reads the shared-mime-info database.
export XDG_CURRENT_DESKTOP=GNOME

# The menu entry is named by the application's id, which the metainfo names too.
entry=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$share"/metainfo/*.metainfo.xml)
desktop-file-validate "$share/applications/$entry"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml
xmllint --noout "$share/mime/packages/tavrino-pcap-converter.xml"

printf 'TAVRINO DATA   \0' >"$WORK/run1.DT"
head -c 48 /dev/zero >>"$WORK/run1.DT"
cp "$WORK/run1.DT" "$WORK/run2.dt"
cp "$WORK/run1.DT" "$WORK/renamed.bin"
result=0
for file in run1.DT run2.dt renamed.bin; do
    type=$(xdg-mime query filetype "$WORK/$file")
    echo "$file: $type"
    [ "$type" = application/x-tavrino-capture ] || result=1
done
app=$(xdg-mime query default application/x-tavrino-capture)
echo "opens with: $app"
[ "$app" = "$entry" ] || result=1
exit $result
