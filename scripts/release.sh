#!/bin/bash
# make release: every edition of the checked-out commit, built afresh from
# that commit's source archive, into DIST_DIR with SHA256SUMS.
#   release.sh BUILD_DIR DIST_DIR [JOBS]
# Two runs of one commit give the same bytes wherever and whenever they run:
# every time written is the commit's (SOURCE_DATE_EPOCH), the builds happen in
# BUILD_DIR/src whatever the clone's folder, and the build maps that folder
# out of the programs (the top CMakeLists.txt). Local changes that are not
# committed are not in the release: it says so, and goes on.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "$1" && cd "$1" && pwd)
dist=$(mkdir -p "$2" && cd "$2" && pwd)
jobs=${3:-2}
start=$(date +%s)

cd "$repo"
commit=$(git rev-parse HEAD)
if ! git diff --quiet HEAD --; then
  echo "release: changes not committed are left out; this is the release of $commit" >&2
fi
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)

# Both folders are emptied first: never the clone or one holding it.
for dir in "$build" "$dist"; do
  case "$repo/" in "$dir"/*) echo "release: $dir holds the clone" >&2; exit 2;; esac
done
rm -rf "$build" "$dist"
mkdir -p "$build/src" "$dist"
# The commit's files, as its source archive holds them.
git archive --format=tar HEAD | tar -x -C "$build/src"
src=$build/src

# Linux: the programs and the Debian package.
cmake -S "$src" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DTPC_BUILD_TESTS=OFF >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/linux/CMakeCache.txt")
echo "release: $version from $commit"
cmake --build "$build/linux" -j "$jobs" >/dev/null
# The modes of the package's folders and of the .deb's own members are those
# cpack's scratch files get from the umask: a umask of 077 would ship
# /usr/share readable by root alone.
(cd "$build/linux" && umask 022 && cpack -G DEB >/dev/null)

# Windows: the zip and the installer.
cmake -S "$src" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTPC_BUILD_TESTS=OFF >/dev/null
cmake --build "$build/windows" -j "$jobs" >/dev/null

# The web page and its archive (Debian's emscripten finds its modules
# through NODE_PATH).
NODE_PATH=/usr/share/nodejs emcmake cmake -S "$src" -B "$build/web-cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTPC_BUILD_GUI=OFF -DTPC_BUILD_TESTS=OFF -DTPC_WEB_SITE_DIR="$build/web" >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build "$build/web-cmake" -j "$jobs" >/dev/null

name=tavrino-pcap-converter-$version
cp "$build/linux/tavrino-pcap-converter_${version}_amd64.deb" \
   "$build/windows/$name-win64.zip" "$build/windows/$name-win64.msi" \
   "$build/web-cmake/$name-web.tar.gz" "$dist/"
# The source archive again, its files in a folder named with the version.
git archive --format=tar --prefix="$name/" HEAD | gzip -9 -n > "$dist/$name.tar.gz"

# The release notes: the changelog's top entry, which names this version
# (the build stops otherwise), and its date.
date=$(sed -n 's/^ -- .*>  //p' "$src/packaging/changelog" | head -n 1)
{
  echo "TAVRINO pcap converter $version, released $(date -u -d "$date" +%Y-%m-%d)"
  echo
  awk 'NR > 1 && /^ -- / { exit } NR > 1' "$src/packaging/changelog" | sed '/./,$!d'
} > "$dist/$name-release-notes.txt"

bash "$repo/scripts/release-versions.sh" "$dist" "$version"
cd "$dist"
LC_ALL=C ls | grep -v '^SHA256SUMS$' | LC_ALL=C sort | xargs sha256sum -- > SHA256SUMS
echo "release: $dist in $(( $(date +%s) - start )) s"
cat SHA256SUMS
