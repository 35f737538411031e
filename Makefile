# Thin front for the README's commands; the build itself is CMake.
BUILD ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian 12 packages, by the commands that need them; each command installs
# only its own groups (make deps installs all three).
#
# The Linux build and its tests: build, run, test, test-sanitize, package,
# bench, fuzz, window-check, zone-rule-check. Compilers, GoogleTest, libpcap,
# Qt 6 and the window's font; zone data for the time stamps; rsvg-convert for
# the icons rendered at build time.
PACKAGES_linux := cmake make g++ pkg-config libgtest-dev libgmock-dev libpcap-dev qt6-base-dev \
                  fonts-dejavu-core tzdata librsvg2-bin
# The Debian package (cpack's dependency scan: dpkg-shlibdeps, and file to find
# the programs) and its install tests: lintian, the desktop file, the capture
# file type as desktops see it, the AppStream metainfo.
PACKAGES_linux += dpkg-dev file lintian desktop-file-utils libxml2-utils shared-mime-info xdg-utils \
                  libglib2.0-bin appstream
# dt2pcap's tests behind another mount (bindfs) and across a power cut (XFS).
PACKAGES_linux += bindfs xfsprogs
# make fuzz (libFuzzer: clang), make bench (time, bc, python3), make
# window-check (Xvfb, openbox, xdotool, Xlib for its ping probe).
PACKAGES_linux += clang libclang-rt-14-dev time bc python3 xvfb openbox xdotool libx11-dev
# Tests of the messages in a Japanese locale (ja_JP.UTF-8, generated below;
# they say why they skip where it is not).
PACKAGES_linux += locales

# The Windows edition: make windows cross-builds with mingw-w64, GoogleTest
# from its source for the test programs, this machine's compiler for the
# dialog's resource writer, python3 for the icon (win32/make_icon.py), zip,
# and wixl and msitools for the installer. make test-windows runs them under
# wine in xvfb-run (which needs xauth) and checks the shipped texts (unzip,
# msitools' msiextract, python3); it also needs the Linux build's group.
PACKAGES_windows := cmake make g++ python3 googletest g++-mingw-w64-x86-64-posix zip wixl msitools \
                    wine wine64 fonts-wine xvfb xauth unzip

# The web edition: make web builds with Debian's emscripten; make test-web and
# bench-web drive chromium through playwright-core (Node.js, npm) and test the
# page's zip with unzip; make web-serve serves with python3. npm only where no
# npm came with Node.js: NodeSource's nodejs brings its own and conflicts with
# Debian's. test-web and bench-web also need the Linux build's group.
PACKAGES_web := $(strip cmake make emscripten nodejs chromium unzip python3 $(if $(shell command -v npm),,npm))

# make release builds all three editions (their groups) from the commit's
# source archive (git); make release-check, which builds it twice and
# compares, shows what differs with diffoscope; make test-upgrades installs a
# release over the one before with dpkg and under wine (the Linux and Windows
# groups).
PACKAGES_release := git
PACKAGES_release-check := diffoscope-minimal
# make test-upgrades: dpkg in a scratch root, under fakeroot when not root.
PACKAGES_test-upgrades := fakeroot

PACKAGES_all := $(sort $(PACKAGES_linux) $(PACKAGES_windows) $(PACKAGES_web) $(PACKAGES_release) \
                       $(PACKAGES_release-check) $(PACKAGES_test-upgrades))

.PHONY: deps deps-all deps-linux deps-windows deps-web deps-release deps-release-check deps-test-upgrades build run test test-sanitize \
        bench fuzz package window-check zone-rule-check clean web web-serve web-test-deps test-web bench-web windows \
        test-windows release release-check test-upgrades

deps: deps-all

# Installs what is missing of one group. The first line does nothing; make -n
# prints it, so a dry run shows the group's packages.
deps-all deps-linux deps-windows deps-web deps-release deps-release-check deps-test-upgrades: deps-%:
	@: deps-$*: $(PACKAGES_$*)
	@missing=""; for p in $(PACKAGES_$*); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
	@case "$*" in linux|all) \
	  locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8' || { \
	    echo "Generating the ja_JP.UTF-8 locale"; \
	    $(SUDO) sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && $(SUDO) locale-gen; }; \
	esac

build: deps-linux
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps-linux
	cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DTPC_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	cd $(BUILD)-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

FUZZ_SECONDS ?= 600
fuzz: build
	bash fuzz/run-fuzz.sh $(FUZZ_SECONDS) $(BUILD)

# A Debian package of both programs (BUILD/tavrino-pcap-converter_*.deb). Its
# folders get their modes from the umask.
package: build
	cd $(BUILD) && umask 022 && cpack -G DEB

bench: build
	bash bench/run-bench.sh $(BUILD)

# The web edition's standard-time rule against glibc's mktime, every hour of
# 1970-2037 in every zone of /usr/share/zoneinfo (a few minutes); lists where
# they differ.
zone-rule-check: build
	$(BUILD)/tpc-zone-rule-check

# The Windows edition, cross-built: WINDOWS_BUILD/dt2pcap.exe,
# tavrino-pcap-converter.exe, the zip of both and their installer (.msi).
WINDOWS_BUILD ?= build-windows
windows: deps-windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# Its tests under wine (a prefix of its own in WINDOWS_BUILD), and the Linux
# and Windows builds compared over the same captures.
test-windows: windows build
	bash scripts/test-windows.sh $(WINDOWS_BUILD) $(BUILD)

# The window under Xvfb and openbox during a batch of three 1 GiB captures:
# ping replies, progress, Esc (a few minutes, 6 GiB of scratch disk).
window-check: build
	bash scripts/ping-check.sh $(BUILD)

# The web edition: the page, its worker and the converter as WebAssembly in
# $(WEB_BUILD)/, made with Debian's emscripten (which finds its modules
# through NODE_PATH).
WEB_BUILD ?= build-web
WEB_PORT ?= 8080
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
web: deps-web
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD)-cmake -DCMAKE_BUILD_TYPE=Release \
	  -DTPC_BUILD_GUI=OFF -DTPC_BUILD_TESTS=OFF -DTPC_WEB_SITE_DIR=$(abspath $(WEB_BUILD))
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD)-cmake -j $(JOBS)

web-serve: web
	@echo "The converter page: http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	cd $(WEB_BUILD) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# playwright-core from the lockfile; it drives Debian's chromium and never
# downloads a browser. Node.js 18 (Debian 12's) or later, with npm.
web-test-deps: deps-web
	cd tests/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error

# The page in headless chromium, each download compared with dt2pcap's output.
test-web: build web web-test-deps
	node tests/web/web_tests.mjs $(WEB_BUILD) $(BUILD)

# Throughput in the browser next to dt2pcap, and the tab's memory on a 2 GiB capture.
bench-web: build web web-test-deps
	node tests/web/bench_web.mjs $(WEB_BUILD) $(BUILD)

# The release of the checked-out commit in $(DIST)/: the Debian package, the
# Windows zip and installer, the web page's archive, the source archive, the
# release notes and SHA256SUMS; built afresh in $(RELEASE_BUILD) each time.
RELEASE_BUILD ?= build-release
DIST ?= dist
release: deps-linux deps-windows deps-web deps-release
	bash scripts/release.sh $(RELEASE_BUILD) $(DIST) $(JOBS)

# The release built twice, the second time from another clone in another
# folder, later, with another umask, time zone and locale: SHA256SUMS must be
# the same (what CI checks).
release-check: deps-linux deps-windows deps-web deps-release deps-release-check
	bash scripts/release-check.sh $(RELEASE_BUILD) $(DIST) $(JOBS)

# The release in $(DIST)/ installed over by a test build of the next patch
# number: dpkg -i, and the installer's major upgrade under wine.
test-upgrades: deps-linux deps-windows deps-release deps-test-upgrades
	bash scripts/test-upgrades.sh $(DIST) build-upgrade $(JOBS)

# Every folder the commands above make: the builds, fuzz/run-fuzz.sh's
# build-fuzz, and the web tests' node_modules.
clean:
	rm -rf $(BUILD) $(BUILD)-sanitize build-fuzz $(WINDOWS_BUILD) $(WEB_BUILD) $(WEB_BUILD)-cmake tests/web/node_modules \
	  $(RELEASE_BUILD) $(DIST) build-upgrade
