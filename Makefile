# One entry point for a fresh Debian machine: `make test`, `make demo`.
BUILD ?= build
# The second build: the whole tree under AddressSanitizer and UndefinedBehaviorSanitizer,
# with clang, plus the fuzz targets.
ASAN_BUILD ?= build-asan
# The Windows builds, cross-compiled with mingw-w64: 64-bit (run under wine64 by the
# tests) and 32-bit.
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
JOBS ?= 2
FUZZ_SECONDS ?= 25
# Each command installs what it needs and no more: `make build` the build's packages, `make
# demo` those and the demo's, `make test` all of them and the Windows builds' (deps-windows).
#
# The build: compiler, CMake, Ninja, Qt, and every library the tree links. The tests build
# with the tree, so googletest and Google Benchmark are build packages too. libqt6svg6
# draws the programs' SVG icons; esbuild bundles the pages' player; LAME and libebur128
# (found through pkg-config) write the web form of a recording, and libpulse records it;
# the tests read written pages with libgumbo's HTML5 parser.
BUILD_PACKAGES := cmake g++ ninja-build qt6-base-dev libqt6svg6 libgl-dev libgtest-dev \
                  libgmock-dev libbenchmark-dev libgumbo-dev fontconfig fonts-dejavu-core \
                  esbuild pkg-config libmp3lame-dev libebur128-dev libpulse-dev
# The demo: LibreOffice Impress with its SDK (cueslides draws the slide images through it;
# the build takes the SDK when it finds it), about 85 MB to download without recommended
# packages; a sound server of the demo's own (PulseAudio in user mode and its client tools)
# that carries a talk spoken by espeak-ng into the recording; and node (Debian's nodejs,
# unless one is on the PATH), which serves the written presentation to a browser.
DEMO_PACKAGES := libreoffice-impress libreoffice-dev pulseaudio pulseaudio-utils espeak-ng
# The tests: clang and its runtime for the sanitizer and fuzz build; a virtual display and
# Qt's platform plugins for the window tests and the office tests; the package test's tools
# (dependencies from the binaries, lintian, AppStream); libmpg123, which decodes the written
# web form of a recording; and the i686 Windows cross compiler that checks the COM binding.
# All without their recommendations, which would pull in a desktop (or wine).
TEST_PACKAGES := clang libclang-rt-14-dev xvfb xauth qt6-qpa-plugins dpkg dpkg-dev lintian \
                 appstream libmpg123-dev g++-mingw-w64-i686
# The browser test's browser, Debian's own (Playwright downloads none).
BROWSER_PACKAGES := chromium
# The Windows builds: cmake, ninja and esbuild (the pages' player), both cross compilers,
# googletest's sources for the Windows unit tests, wine64 to run them (wine32 is left out:
# the 32-bit build's tests would need a kernel that runs 32-bit programs), NSIS for the
# installers, and a virtual display with imagemagick's import for the desktop programs'
# test and pictures; the installer test finds the installed cuebuild's window with xwininfo.
WINDOWS_PACKAGES := cmake ninja-build esbuild g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest \
                    wine wine64 nsis xvfb xauth imagemagick x11-utils
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CTEST := QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

.PHONY: deps deps-build deps-demo deps-test deps-windows configure build check test test-main \
        test-asan fuzz package demo bench windows test-windows clean

# The normal tests in $(BUILD), with their time.
define run_normal_tests
@start=$$(date +%s); cd $(BUILD) && $(CTEST); rc=$$?; \
echo "normal tests: $$(( $$(date +%s) - start )) s"; exit $$rc
endef

# $(call install_missing,PACKAGES,APT-OPTIONS): installs those not yet installed.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $(2) $$missing; \
	fi
endef

deps-build:
	$(call install_missing,$(BUILD_PACKAGES),)

deps-demo: deps-build
	$(call install_missing,$(DEMO_PACKAGES),--no-install-recommends)
	@command -v node >/dev/null || { \
	    $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
	        $(SUDO) apt-get install -y -qq --no-install-recommends nodejs; }

# The tests use the demo's office, sound server and node as well.
deps-test: deps-demo
	$(call install_missing,$(TEST_PACKAGES),--no-install-recommends)
	@# The browser test: Debian's chromium (no browser download), npm and its test packages.
	$(call install_missing,$(BROWSER_PACKAGES),--no-install-recommends)
	@command -v npm >/dev/null || { \
	    $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
	        $(SUDO) apt-get install -y -qq --no-install-recommends npm; }
	@[ tests/browser/node_modules/.package-lock.json -nt tests/browser/package-lock.json ] || \
	    (cd tests/browser && npm ci --no-audit --no-fund)

# Everything but the Windows builds' packages.
deps: deps-test

# Configures with what is installed: a build configured after deps-demo or deps-test finds
# the office's SDK and the tests' libraries.
configure: deps-build
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The inner loop: builds and runs the normal tests with what the machine has, installing
# nothing; a test whose tools are missing is reported as skipped.
check:
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)
	$(run_normal_tests)

# Every group reports its own time: the normal tests (windows on a virtual display and the
# package install included), the sanitized tests, then each fuzz target for FUZZ_SECONDS.
test:
	$(MAKE) test-main
	$(MAKE) test-windows
	$(MAKE) test-asan
	$(MAKE) fuzz

# The packages come first, so the build is configured with them.
test-main: deps-test
	$(MAKE) build
	$(run_normal_tests)

$(ASAN_BUILD)/build.ninja: | deps-test
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DCUE_SANITIZE=ON -DCUE_FUZZ=ON \
	    -DCUE_FUZZ_SECONDS=$(FUZZ_SECONDS)

test-asan: $(ASAN_BUILD)/build.ninja
	@start=$$(date +%s); cmake --build $(ASAN_BUILD) -j$(JOBS) && \
	cd $(ASAN_BUILD) && $(CTEST) -LE fuzz; rc=$$?; \
	echo "sanitizer build and tests: $$(( $$(date +%s) - start )) s"; exit $$rc

fuzz: $(ASAN_BUILD)/build.ninja
	@start=$$(date +%s); cmake --build $(ASAN_BUILD) -j$(JOBS) && \
	cd $(ASAN_BUILD) && $(CTEST) -L fuzz; rc=$$?; \
	echo "fuzzing: $$(( $$(date +%s) - start )) s"; exit $$rc

deps-windows:
	$(call install_missing,$(WINDOWS_PACKAGES),--no-install-recommends)

# $(call windows_build,DIR,TOOLCHAIN): configures (once) and builds one Windows build, then
# its setup program (DIR/Cuemark-VERSION-win64.exe or -win32.exe). The Linux build's
# cuescript reads the logs the Windows logger writes in its tests.
define windows_build
	@[ -f $(1)/build.ninja ] || cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-$(2).cmake -DCUE_HOST_BUILD=$(abspath $(BUILD))
	cmake --build $(1) -j$(JOBS)
	cmake --build $(1) --target package
endef

# Both Windows builds: programs, tests and installers in build-win64/ and build-win32/.
windows: deps-windows
	$(call windows_build,$(WIN64_BUILD),x86_64)
	$(call windows_build,$(WIN32_BUILD),i686)

# The Windows tests under wine64; the tests themselves set up the wine prefix of the
# build's own (build-win64/wineprefix, made by the first test on a fresh build). The
# 32-bit build is built and linked only.
# A program of that build run by hand here (make bench) uses the same prefix and settings
# as the tests (CUE_WINE_ENVIRONMENT in tests/win/CMakeLists.txt).
WINE_ENV := WINEPREFIX=$(abspath $(WIN64_BUILD))/wineprefix WINEARCH=win64 WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml="
test-windows: windows
	@start=$$(date +%s); cd $(WIN64_BUILD) && ctest --output-on-failure -j$(JOBS); \
	rc=$$?; echo "windows tests under wine: $$(( $$(date +%s) - start )) s"; exit $$rc

# cpack finds the packages' dependencies with dpkg-shlibdeps (dpkg-dev).
package: build
	$(call install_missing,dpkg-dev,--no-install-recommends)
	cd $(BUILD) && cpack -G DEB

# The whole road of the sample lecture in demo/: cueslides draws the slide images from
# demo/lecture6.fodp (the kept images where no office is installed), cuerec8 records the
# talk, cuebuild writes the presentation into build/demo/talk. The demo's packages come
# first, so the build is configured with the office's SDK.
demo: deps-demo
	$(MAKE) build
	cmake -DCUESCRIPT=$(abspath $(BUILD))/bin/cuescript -DCEVENTS=$(abspath $(BUILD))/bin/cevents \
	    -DCUESLIDES=$(abspath $(BUILD))/bin/cueslides \
	    -DLINKCHECK=$(abspath $(BUILD))/bin/linkcheck -DWORKDIR=$(abspath $(BUILD))/demo \
	    -P demo/rundemo.cmake

# Google Benchmark's set, then "Write HTM, RAM, RAE" against a copy timed by one program on
# Linux and, where the 64-bit Windows build is, on Windows under wine64, and the two compared.
WIN64_TIMING := $(WIN64_BUILD)/bin/cuewritetiming.exe
bench: build
	$(BUILD)/bin/cuebench
	@echo "Linux:"; $(BUILD)/bin/cuewritetiming > $(BUILD)/writetiming-linux.txt && \
	    cat $(BUILD)/writetiming-linux.txt
	@if [ -f $(WIN64_TIMING) ]; then \
	    echo "Windows (the 64-bit build under wine64):"; \
	    $(WINE_ENV) /usr/lib/wine/wine64 $(WIN64_TIMING) > $(BUILD)/writetiming-windows.txt && \
	    cat $(BUILD)/writetiming-windows.txt && \
	    awk 'BEGIN { n = 0 } /^BM_WriteAllFor99Rows/ { wall[n] = $$2; cpu[n++] = $$5 } \
	        END { printf "Windows against Linux, BM_WriteAllFor99Rows: %.2f wall, %.2f CPU\n", \
	              wall[1] / wall[0], cpu[1] / cpu[0] }' \
	        $(BUILD)/writetiming-linux.txt $(BUILD)/writetiming-windows.txt; \
	else \
	    echo "Windows figure skipped: there is no $(WIN64_TIMING) ('make windows' builds it)"; \
	fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN64_BUILD) $(WIN32_BUILD)
