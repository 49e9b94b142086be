# One entry point for a fresh Debian machine: `make test`, `make demo`.
BUILD ?= build
# The second build: the whole tree under AddressSanitizer and UndefinedBehaviorSanitizer,
# with clang, plus the fuzz targets.
ASAN_BUILD ?= build-asan
JOBS ?= 2
FUZZ_SECONDS ?= 25
# libqt6svg6 draws the programs' SVG icons.
PACKAGES := cmake g++ ninja-build qt6-base-dev libqt6svg6 libgl-dev libgtest-dev libgmock-dev \
            libbenchmark-dev fontconfig fonts-dejavu-core
# The i686 Windows cross compiler that checks the COM binding; its recommended packages
# (wine and more) are not needed.
CROSS_PACKAGES := g++-mingw-w64-i686
# The browser test's browser, Debian's own (Playwright downloads none).
BROWSER_PACKAGES := chromium
# LibreOffice Impress with its SDK, and a virtual display, for the loggers' Impress binding
# and its test; installed without recommended packages (about 85 MB to download).
OFFICE_PACKAGES := libreoffice-impress libreoffice-dev xvfb
# For the sanitizer and fuzz build, the window tests on a virtual display and the package
# test (dependencies from the binaries, lintian, AppStream); taken without their
# recommendations, which would pull in a desktop.
TEST_PACKAGES := clang libclang-rt-14-dev xvfb xauth qt6-qpa-plugins dpkg dpkg-dev lintian \
                 appstream
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CTEST := QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

.PHONY: deps configure build test test-main test-asan fuzz package demo bench clean

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

deps:
	$(call install_missing,$(PACKAGES),)
	$(call install_missing,$(CROSS_PACKAGES) $(OFFICE_PACKAGES),--no-install-recommends)
	@# The browser test: Debian's chromium (no browser download), node and its test packages.
	$(call install_missing,$(BROWSER_PACKAGES),--no-install-recommends)
	@command -v node >/dev/null && command -v npm >/dev/null || { \
	    $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
	        $(SUDO) apt-get install -y -qq --no-install-recommends nodejs npm; }
	@[ tests/browser/node_modules/.package-lock.json -nt tests/browser/package-lock.json ] || \
	    (cd tests/browser && npm ci --no-audit --no-fund)
	$(call install_missing,$(TEST_PACKAGES),--no-install-recommends)

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Every group reports its own time: the normal tests (windows on a virtual display and the
# package install included), the sanitized tests, then each fuzz target for FUZZ_SECONDS.
test:
	$(MAKE) test-main
	$(MAKE) test-asan
	$(MAKE) fuzz

test-main: build
	@start=$$(date +%s); cd $(BUILD) && $(CTEST); rc=$$?; \
	echo "normal tests: $$(( $$(date +%s) - start )) s"; exit $$rc

$(ASAN_BUILD)/build.ninja: | deps
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

package: build
	cd $(BUILD) && cpack -G DEB

# The whole road of the sample lecture in demo/: cuerec8 records it, cuebuild writes the
# presentation into build/demo/talk.
demo: build
	cmake -DCUESCRIPT=$(abspath $(BUILD))/bin/cuescript -DCEVENTS=$(abspath $(BUILD))/bin/cevents \
	    -DLINKCHECK=$(abspath $(BUILD))/bin/linkcheck -DWORKDIR=$(abspath $(BUILD))/demo \
	    -P demo/rundemo.cmake

bench: build
	$(BUILD)/bin/cuebench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
