# Thin front for the README's commands; the build itself is CMake.
BUILD ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian 12 packages the build, the tests and the tools need.
PACKAGES := cmake make g++ pkg-config libgtest-dev libgmock-dev libpcap-dev qt6-base-dev \
            tzdata tcpdump xvfb xauth clang libclang-rt-14-dev time bc python3 dpkg-dev file fonts-dejavu-core \
            desktop-file-utils libxml2-utils shared-mime-info xdg-utils libglib2.0-bin openbox xdotool libx11-dev \
            emscripten chromium nodejs \
            googletest g++-mingw-w64-x86-64-posix wine wine64 fonts-wine zip unzip

.PHONY: deps build run test test-sanitize bench fuzz package window-check clean \
        web web-serve web-test-deps test-web bench-web windows test-windows

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DTPC_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	cd $(BUILD)-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

FUZZ_SECONDS ?= 600
fuzz: build
	bash fuzz/run-fuzz.sh $(FUZZ_SECONDS) $(BUILD)

# A Debian package of both programs (BUILD/tavrino-pcap-converter_*.deb).
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	bash bench/run-bench.sh $(BUILD)

# The Windows edition, cross-built: WINDOWS_BUILD/dt2pcap.exe,
# tavrino-pcap-converter.exe and the zip of both.
WINDOWS_BUILD ?= build-windows
windows: deps
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
web: deps
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD)-cmake -DCMAKE_BUILD_TYPE=Release \
	  -DTPC_BUILD_GUI=OFF -DTPC_BUILD_TESTS=OFF -DTPC_WEB_SITE_DIR=$(abspath $(WEB_BUILD))
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD)-cmake -j $(JOBS)

web-serve: web
	@echo "The converter page: http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	cd $(WEB_BUILD) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# playwright-core from the lockfile; it drives Debian's chromium and never
# downloads a browser. Node.js 18 (Debian 12's) or later, with npm (Debian's
# package where Node.js came without one).
web-test-deps: deps
	@command -v npm >/dev/null || { echo "Installing: npm"; \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends npm; }
	cd tests/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error

# The page in headless chromium, each download compared with dt2pcap's output.
test-web: build web web-test-deps
	node tests/web/web_tests.mjs $(WEB_BUILD) $(BUILD)

# Throughput in the browser next to dt2pcap, and the tab's memory on a 2 GiB capture.
bench-web: build web web-test-deps
	node tests/web/bench_web.mjs $(WEB_BUILD) $(BUILD)

clean:
	rm -rf $(BUILD) $(WEB_BUILD) $(WEB_BUILD)-cmake $(WINDOWS_BUILD)
