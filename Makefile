# Two entry points: `make run` and `make test`. Both install the Debian
# packages that are missing (apt-get as root, sudo otherwise), configure and
# build into build/.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

# What building and running needs.
PACKAGES := cmake ninja-build g++ pkg-config dpkg-dev file \
	qt6-base-dev qt6-base-dev-tools libgl-dev \
	libsdl2-dev libfluidsynth-dev fluid-soundfont-gm \
	fonts-ipafont-gothic fonts-liberation
# What the tests need besides.
TEST_PACKAGES := xvfb xauth xdotool x11-utils sox appstream desktop-file-utils man-db

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps test-deps build clean

run: deps build
	cd $(BUILD_DIR) && ./torva

test: deps test-deps build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

test-deps:
	@missing=$$(for p in $(TEST_PACKAGES); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)

# `make install` writes under /usr/local (PREFIX=... for another place) and
# lists what it wrote in $(BUILD_DIR)/install_manifest.txt, which
# `make uninstall` removes. `make package` builds $(BUILD_DIR)/torva_*.deb,
# installed with `apt-get install ./$(BUILD_DIR)/torva_*.deb`.
PREFIX ?= /usr/local

.PHONY: install uninstall package
install: deps build
	$(SUDO) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

uninstall:
	@[ -f $(BUILD_DIR)/install_manifest.txt ] || \
		{ echo "Nothing to remove: $(BUILD_DIR)/install_manifest.txt is missing (make install writes it)."; exit 1; }
	$(SUDO) xargs -d '\n' rm -fv < $(BUILD_DIR)/install_manifest.txt

package: deps build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/torva_*.deb

# Release build of the game and its benchmark programs in build-bench/, then
# one table of measured figures against their targets (under Xvfb).
.PHONY: bench
bench: deps test-deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVA_BUILD_BENCH=ON
	cmake --build build-bench -j2 --target torva torva_bench bench_startup bench_floor bench_launch
	sh bench/run_bench.sh build-bench
