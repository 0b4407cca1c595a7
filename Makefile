# Two entry points: `make run` and `make test`. Both install the Debian
# packages that are missing (apt-get as root, sudo otherwise), configure and
# build into build/.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

# What building and running needs.
PACKAGES := cmake ninja-build g++ pkg-config dpkg-dev file \
	qt6-base-dev qt6-base-dev-tools libgl-dev \
	libsdl2-dev libfluidsynth-dev libfontconfig-dev fluid-soundfont-gm \
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

# Reliability: fuzzing, the whole suite under sanitizers, crash and load
# stress. Each builds in a folder of its own.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_records_file fuzz_name_input
.PHONY: fuzz test-asan stress

# Each libFuzzer target runs FUZZ_SECONDS from the seed corpus in
# fuzz/corpus/<target without "fuzz_">; what it learns stays in build-fuzz.
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVA_FUZZ=ON
	cmake --build build-fuzz --target $(FUZZ_TARGETS)
	set -e; for t in $(FUZZ_TARGETS); do \
		seeds=fuzz/corpus/$${t#fuzz_}; mkdir -p build-fuzz/corpus/$$t; \
		build-fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
			-max_len=8192 -print_final_stats=1 -artifact_prefix=build-fuzz/$$t- \
			build-fuzz/corpus/$$t $$seeds; \
	done

# The whole test suite built with AddressSanitizer and UBSan.
test-asan: deps test-deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTORVA_SANITIZE=ON
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/stress/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure

# A thousand SIGKILLs during saves, fifty copies started at once, and
# 500 rounds in one process.
stress: deps test-deps build
	cmake --build $(BUILD_DIR) --target torva_stress_save test_longplay
	$(BUILD_DIR)/tests/torva_stress_save 1000
	xvfb-run -a -s "-screen 0 1024x768x24" tests/stress/many_copies.sh $(BUILD_DIR)/torva 50
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest -R 'test_longplay|bad_environment' --output-on-failure
