#!/bin/bash
# The version each file of a release shows, read back from the files
# themselves; fails unless all of them show VERSION.
#   release-versions.sh DIST_DIR VERSION
set -euo pipefail
dist=$(cd "$1" && pwd)
version=$2
name=tavrino-pcap-converter-$version
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wrong=0
shows() {  # shows WHERE WHAT-IT-SHOWS
  if [ "$2" = "$version" ]; then mark=ok; else mark=WRONG; wrong=$((wrong + 1)); fi
  printf '  %-5s %-62s %s\n' "$mark" "$1" "${2:-(nothing)}"
}
first_version() { grep -o '[0-9][0-9]*\(\.[0-9][0-9]*\)\{3\}' | head -n 1 || true; }

deb=$dist/tavrino-pcap-converter_${version}_amd64.deb
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
echo "$(basename "$deb"):"
shows "package Version" "$(dpkg-deb -f "$deb" Version)"
shows "/usr/bin/dt2pcap --version" "$("$work/deb/usr/bin/dt2pcap" --version | head -n 1 | sed 's/^dt2pcap //')"
# The window answers before it needs a display.
shows "/usr/bin/tavrino-pcap-converter --version" \
  "$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/deb/usr/bin/tavrino-pcap-converter" --version | head -n 1 |
     sed 's/^tavrino-pcap-converter //')"
for page in dt2pcap tavrino-pcap-converter; do
  shows "man $page (header)" "$(zcat "$work/deb/usr/share/man/man1/$page.1.gz" | head -n 1 | first_version)"
done
shows "changelog.gz (top entry)" "$(zcat "$work/deb/usr/share/doc/tavrino-pcap-converter/changelog.gz" | head -n 1 | first_version)"
shows "AppStream metainfo <release>" \
  "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$work"/deb/usr/share/metainfo/*.metainfo.xml)"

echo "$name-win64.zip:"
mkdir "$work/zip"
unzip -q "$dist/$name-win64.zip" -d "$work/zip"
for program in tavrino-pcap-converter.exe dt2pcap.exe; do
  resources=$(x86_64-w64-mingw32-windres -i "$work/zip/$program" -O rc 2>/dev/null)
  shows "$program FILEVERSION" "$(grep -m1 ' FILEVERSION ' <<< "$resources" | tr -d ' ' | sed 's/FILEVERSION//; s/,/./g')"
  shows "$program \"ProductVersion\"" "$(grep -m1 '"ProductVersion"' <<< "$resources" | first_version)"
done
shows "README.txt (title)" "$(head -n 1 "$work/zip/README.txt" | first_version)"

echo "$name-win64.msi:"
shows "ProductVersion" "$(msiinfo export "$dist/$name-win64.msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')"
shows "summary's Subject" "$(msiinfo suminfo "$dist/$name-win64.msi" | sed -n 's/^Subject: //p' | first_version)"

echo "$name-web.tar.gz:"
shows "index.html (shown on the page)" \
  "$(tar -xOzf "$dist/$name-web.tar.gz" "$name-web/index.html" | sed -n 's/.*<footer id="version"[^>]*>[^<]* \([0-9.]*\)<.*/\1/p')"

echo "$name.tar.gz (source):"
shows "CMakeLists.txt project()" \
  "$(tar -xOzf "$dist/$name.tar.gz" "$name/CMakeLists.txt" | sed -n 's/^project(.* VERSION \([0-9.]*\) .*/\1/p')"

echo "$name-release-notes.txt:"
shows "title" "$(head -n 1 "$dist/$name-release-notes.txt" | first_version)"

[ "$wrong" -eq 0 ] || { echo "release-versions: $wrong of them show another version" >&2; exit 1; }
