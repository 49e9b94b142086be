# One entry point for a fresh Debian machine: `make test`, `make demo`.
BUILD ?= build
PACKAGES := cmake g++ ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            libbenchmark-dev fontconfig fonts-dejavu-core
# The i686 Windows cross compiler that checks the COM binding; its recommended packages
# (wine and more) are not needed.
CROSS_PACKAGES := g++-mingw-w64-i686
# The browser test's browser, Debian's own (Playwright downloads none).
BROWSER_PACKAGES := chromium
# LibreOffice Impress with its SDK, and a virtual display, for the loggers' Impress binding
# and its test; installed without recommended packages (about 85 MB to download).
OFFICE_PACKAGES := libreoffice-impress libreoffice-dev xvfb
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test demo bench clean

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

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The whole road of the sample lecture in demo/: cuerec8 records it, cuebuild writes the
# presentation into build/demo/talk.
demo: build
	cmake -DCUESCRIPT=$(abspath $(BUILD))/bin/cuescript -DCEVENTS=$(abspath $(BUILD))/bin/cevents \
	    -DLINKCHECK=$(abspath $(BUILD))/bin/linkcheck -DWORKDIR=$(abspath $(BUILD))/demo \
	    -P demo/rundemo.cmake

bench: build
	$(BUILD)/bin/cuebench

clean:
	rm -rf $(BUILD)
