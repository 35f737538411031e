#!/bin/bash
# Release N installs over release N-1: the release in DIST_DIR (make release)
# installed, then a test release of the next patch number built from that
# release's source archive in BUILD_DIR and installed over it:
#  - dpkg -i of the higher .deb over the lower one, in a scratch root of its
#    own (dpkg --root): one package of the new version, every file the new
#    one's, none of the old ones left;
#  - the installer's major upgrade under wine (a prefix of its own with only
#    BUILD_DIR/wine-test mapped): one installation, the new one, its files
#    the new build's, the old product gone; then an uninstall leaves nothing.
#   test-upgrades.sh DIST_DIR BUILD_DIR [JOBS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dist=$(cd "$1" && pwd)
build=$(mkdir -p "$2" && cd "$2" && pwd)
jobs=${3:-2}
start=$(date +%s)

failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "  ok: $1"
  else
    echo "  FAILED: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

if ! old_deb=$(ls "$dist"/tavrino-pcap-converter_*_amd64.deb 2>/dev/null); then
  echo "test-upgrades: no release in $dist (make release)" >&2
  exit 2
fi
old=$(basename "$old_deb" | sed 's/^tavrino-pcap-converter_\(.*\)_amd64\.deb$/\1/')
IFS=. read -r major minor patch tweak <<< "$old"
new=$major.$minor.$((patch + 1)).$tweak
old_msi=$dist/tavrino-pcap-converter-$old-win64.msi
old_zip=$dist/tavrino-pcap-converter-$old-win64.zip
echo "test-upgrades: $old (the release in $dist) to $new (a test build)"

# The test release, from the release's own source archive.
rm -rf "$build"
mkdir -p "$build/src"
tar -xzf "$dist/tavrino-pcap-converter-$old.tar.gz" -C "$build/src" --strip-components=1
cmake -S "$build/src" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DTPC_BUILD_TESTS=OFF \
  -DTPC_TEST_PATCH=$((patch + 1)) >/dev/null
cmake --build "$build/linux" -j "$jobs" >/dev/null
(cd "$build/linux" && cpack -G DEB >/dev/null)
cmake -S "$build/src" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$build/src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTPC_BUILD_TESTS=OFF -DTPC_TEST_PATCH=$((patch + 1)) >/dev/null
cmake --build "$build/windows" -j "$jobs" >/dev/null
new_deb=$(ls "$build"/linux/tavrino-pcap-converter_*_amd64.deb)
new_msi=$build/windows/tavrino-pcap-converter-$new-win64.msi
echo "test-upgrades: the test build took $(( $(date +%s) - start )) s"

echo "dpkg -i $new over $old:"
root=$build/dpkg-root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# No dependencies in the scratch root: the programs run on this machine's
# libraries. The package has no maintainer scripts to run there.
dpkg=(dpkg --root="$root" --force-not-root --force-depends --log=/dev/null)
[ "$(id -u)" = 0 ] || dpkg=(fakeroot "${dpkg[@]}")
status() { dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Package} ${Version} ${Status}\n'; }
install_deb() {
  "${dpkg[@]}" -i "$1" >"$build/dpkg.log" 2>&1 || { cat "$build/dpkg.log"; exit 1; }
}
install_deb "$old_deb"
check "$old installed" "tavrino-pcap-converter $old install ok installed" "$(status)"
dpkg-query --admindir="$root/var/lib/dpkg" -L tavrino-pcap-converter | sort > "$build/old-files"
install_deb "$new_deb"
check "one package, $new, installed" "tavrino-pcap-converter $new install ok installed" "$(status)"
check "dt2pcap --version" "dt2pcap $new" "$("$root/usr/bin/dt2pcap" --version | head -n 1)"
check "every installed file as the $new package has it (dpkg --verify)" "" \
  "$("${dpkg[@]}" --verify tavrino-pcap-converter 2>&1)"
dpkg-query --admindir="$root/var/lib/dpkg" -L tavrino-pcap-converter | sort > "$build/new-files"
left=""
while read -r path; do
  if [ -f "$root$path" ] && ! grep -qxF "$path" "$build/new-files"; then left+="$path "; fi
done < "$build/old-files"
check "no file of $old alone left" "" "$left"
for file in usr/bin/dt2pcap usr/share/doc/tavrino-pcap-converter/copyright; do
  check "/$file is $new's" "$(dpkg-deb --fsys-tarfile "$new_deb" | tar -xOf - "./$file" | sha256sum)" \
    "$(sha256sum < "$root/$file")"
done

echo "The installer's major upgrade from $old to $new under wine:"
# The prefix's only drive besides C: is this folder (wine-prefix.sh).
wine_dir=$build/wine-test
mkdir -p "$wine_dir"
cp "$old_msi" "$wine_dir/old.msi"
cp "$new_msi" "$wine_dir/new.msi"
mkdir -p "$wine_dir/old" "$wine_dir/new"
unzip -q -o "$old_zip" -d "$wine_dir/old"
unzip -q -o "$build/windows/tavrino-pcap-converter-$new-win64.zip" -d "$wine_dir/new"
trap 'WINEPREFIX="$wine_dir/wine" wineserver -k 2>/dev/null || true' EXIT
win() { bash "$here/wine-run.sh" "$wine_dir" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
installed=$wine_dir/wine/drive_c/Program\ Files/TAVRINO\ pcap\ converter
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# DisplayVersion of each installed product named TAVRINO pcap converter.
products() {
  win reg query "$uninstall_key" /s | awk '
    /^HKEY/ { name = ""; version = "" }
    /DisplayName/ && /TAVRINO pcap converter/ { name = 1 }
    /DisplayVersion/ { version = $NF }
    name && version { print version; name = "" }' | sort | tr '\n' ' ' | sed 's/ $//'
}
system_path() {
  win reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH |
    sed -n 's/^ *PATH *REG_[A-Z_]* *//p'
}
msiexec() {  # msiexec ACTION PACKAGE: its exit code
  local code=0
  bash "$here/wine-run.sh" "$wine_dir" msiexec "$1" "$2" /qn </dev/null >/dev/null 2>&1 || code=$?
  echo "$code"
}
registered() { win reg query "$uninstall_key\\$1" | grep -c DisplayName; }
files_of() { (cd "$1" && find . -type f | sort | xargs sha256sum); }
shortcuts() { find "$wine_dir/wine/drive_c" -name 'TAVRINO pcap converter.lnk' | wc -l; }

path_before=$(system_path)
check "msiexec /i $old: exit code" 0 "$(msiexec /i 'T:\old.msi')"
check "$old installed" "$old" "$(products)"
check "its files are $old's" "$(files_of "$wine_dir/old")" "$(files_of "$installed")"
old_product=$(msiinfo export "$wine_dir/old.msi" Property | sed -n 's/^ProductCode\t\(.*\)\r$/\1/p')
new_product=$(msiinfo export "$wine_dir/new.msi" Property | sed -n 's/^ProductCode\t\(.*\)\r$/\1/p')
check "registered as its product code $old_product" 1 "$(registered "$old_product")"
check "msiexec /i $new: exit code" 0 "$(msiexec /i 'T:\new.msi')"
check "one installation, $new" "$new" "$(products)"
check "under another product code" "yes" "$([ "$old_product" != "$new_product" ] && echo yes || echo no)"
check "the $old product is gone" 0 "$(registered "$old_product")"
check "its files are $new's, none of $old's left" "$(files_of "$wine_dir/new")" "$(files_of "$installed")"
check "dt2pcap.exe --version" "dt2pcap $new" "$(win 'C:\Program Files\TAVRINO pcap converter\dt2pcap.exe' --version | head -n 1)"
check "one Start-menu shortcut" "1" "$(shortcuts)"
check "the folder once on the system PATH" "1" "$(system_path | tr ';' '\n' | grep -ciF 'C:\Program Files\TAVRINO pcap converter')"
check "$old's installer refused over it" "yes" "$([ "$(msiexec /i 'T:\old.msi')" != 0 ] && echo yes || echo no)"
check "still one installation, $new" "$new" "$(products)"
check "msiexec /x $new: exit code" 0 "$(msiexec /x 'T:\new.msi')"
check "after uninstalling $new: no installation" "" "$(products)"
check "no folder left" "no" "$([ -e "$installed" ] && echo yes || echo no)"
check "no shortcut left" "0" "$(shortcuts)"
check "the system PATH as before" "$path_before" "$(system_path)"

echo "test-upgrades: $failures failed, $(( $(date +%s) - start )) s"
[ "$failures" -eq 0 ]
