# A thin layer over CMake.
#   make          build build/brindle.exe (cross-compiled for 32-bit Windows: the product)
#   make test     build, check the product, run the native unit tests and the Windows suite
#   make run      build, then start Brindle under Wine with sample viewers (tools/demo.sh)
#   make clean    remove the build directory (with its Wine prefixes)
#   make dist     build the release archive build/brindle-<version>-win32.zip (tools/dist.sh)
#   make fuzz     build the fuzz targets natively with clang and run each for FUZZ_SECONDS
#   make bench    build, then time Brindle against floor programs under Wine and print the table
# BUILD names the build directory, JOBS the number of parallel compile jobs.
#
# What runs under Wine (the tests, the demo, the benchmarks) is a 64-bit build of the same
# sources in $(WINE_BUILD): the machines this runs on may not run 32-bit code at all (see
# tools/setup.sh). The 32-bit product in $(BUILD) is built and checked by `make test`.

BUILD ?= build
JOBS ?= 2
NATIVE := $(BUILD)/native
WINE_BUILD := $(BUILD)/win64
WINE_TOOLS := x86_64-w64-mingw32
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 21
LOGS := $(abspath $(BUILD))

SHELL := /bin/bash
MAKEFLAGS += --no-print-directory

.PHONY: all setup build winbuild native test run clean dist fuzz bench

all: build

# tools/setup.sh installs from Debian's packages and returns at once when all is there; it needs
# root. Without root it is skipped as long as the tools it would install are present.
setup:
	@if [ "$$(id -u)" = 0 ]; then \
	  bash tools/setup.sh; \
	else \
	  missing=; \
	  for tool in cmake i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix wine Xvfb; do \
	    command -v $$tool >/dev/null || missing="$$missing $$tool"; \
	  done; \
	  if [ -n "$$missing" ]; then \
	    echo "missing:$$missing; run 'sudo bash tools/setup.sh' once" >&2; exit 1; \
	  fi; \
	  echo "note: not root, skipping tools/setup.sh (the build tools are present)"; \
	fi

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

$(NATIVE)/CMakeCache.txt: | setup
	cmake -S . -B $(NATIVE)

$(WINE_BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(WINE_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target brindle dist

winbuild: setup $(WINE_BUILD)/CMakeCache.txt
	cmake --build $(WINE_BUILD) -j $(JOBS)

native: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

# Every part runs even when one fails; the Windows tests run one at a time in a single Wine
# session because they share its registry and its desktop.
test: build winbuild native
	@status=0; rm -f $(LOGS)/ctest-native.log $(LOGS)/ctest-windows.log $(LOGS)/product.log; \
	echo "== The product: 32-bit brindle.exe and its release archive ($(BUILD))"; \
	{ bash tools/check-imports.sh $(BUILD)/brindle.exe && \
	  unzip -l $(BUILD)/brindle-*-win32.zip; } 2>&1 | tee $(LOGS)/product.log; \
	[ $${PIPESTATUS[0]} = 0 ] || status=1; \
	echo; echo "== Native unit tests ($(NATIVE))"; \
	ctest --test-dir $(NATIVE) --output-on-failure --no-tests=error \
	  -O $(LOGS)/ctest-native.log || status=1; \
	echo; echo "== Windows tests under Wine ($(WINE_BUILD))"; \
	tools/wine-session.sh $(WINE_BUILD)/wine-test \
	  ctest --test-dir $(WINE_BUILD) --output-on-failure --no-tests=error -j 1 \
	  -O $(LOGS)/ctest-windows.log || status=1; \
	echo; echo "== Summary"; \
	line=$$(grep -E '^(OK|FAIL):' $(LOGS)/product.log 2>/dev/null | tail -n 1); \
	printf '%-8s %s\n' "product:" "$${line:-did not run}"; \
	for suite in native windows; do \
	  line=$$(grep -E 'tests passed|No tests were found' $(LOGS)/ctest-$$suite.log 2>/dev/null | tail -n 1); \
	  printf '%-8s %s\n' "$$suite:" "$${line:-did not run}"; \
	done; \
	[ $$status = 0 ] && echo "All tests passed." || echo "Some tests FAILED."; \
	exit $$status

# The archive is a target of the Windows build (tests/e2e/CMakeLists.txt), where its test is.
dist: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target dist

$(FUZZ)/CMakeCache.txt: | setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DBRINDLE_FUZZ=ON

# Each target fuzzes a copy of its seeds in $(FUZZ)/corpus; a finding fails the run.
fuzz: setup $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS) --target fuzzers
	bash tests/fuzz/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

run: winbuild
	BUILD=$(WINE_BUILD) bash tools/demo.sh

# The benchmark programs are not part of the default build. Each figure is timed BENCH_RUNS
# times against its floor in one Wine session (fresh prefix $(BUILD)/wine-bench), on stripped
# copies of the programs as a release ships them; the figures are printed, never checked.
bench: setup $(WINE_BUILD)/CMakeCache.txt
	cmake --build $(WINE_BUILD) -j $(JOBS) --target bench_programs
	STRIP=$(WINE_TOOLS)-strip OBJDUMP=$(WINE_TOOLS)-objdump \
	  bash bench/run-bench.sh $(WINE_BUILD) $(BENCH_RUNS)

clean:
	@case "$(BUILD)" in ''|/|.|..) echo "refusing to remove BUILD='$(BUILD)'" >&2; exit 1;; esac
	rm -rf $(BUILD)
