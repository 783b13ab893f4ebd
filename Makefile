# A thin layer over CMake.
#   make          build build/brindle.exe (cross-compiled for 32-bit Windows: the product)
#   make test     build, check the product, run the native unit tests and the Windows suite,
#                 then its end-to-end tests again under en_US.UTF-8 (code page 1252)
#   make test-en  build, then run only the end-to-end tests under en_US.UTF-8
#   make run      build, then start Brindle under Wine with sample viewers (tools/demo.sh)
#   make clean    remove the build directory (with its Wine prefixes)
#   make dist     build the release archive build/brindle-<version>-win32.zip (tools/dist.sh)
#   make fuzz     build the fuzz targets natively with clang and run each for FUZZ_SECONDS
#   make bench    build, then time Brindle against floor programs under Wine and print the table
#   make bench-guest  the same, once, for the 32-bit product in the guest root (tools/guest/)
#   make test-guest   build, then run only the 32-bit product's Windows suite in the guest root
# BUILD names the build directory, JOBS the number of parallel compile jobs.
#
# The product is built with the win32 thread-model compilers, which link nothing that the
# oldest supported Windows lacks; the Windows tests, which GoogleTest makes need the posix
# ones, are a build of their own that runs the product (see CMakeLists.txt). What runs under
# Wine (the tests, the demo, the benchmarks) is one of two builds, which tools/wine-arch.sh
# chooses and names with its reason (WINE_ARCH=win32 or win64 chooses without it):
#   win32  the product $(BUILD)/brindle.exe under a 32-bit Wine; the tests in $(BUILD)/win32
#   win64  where the machine runs no 32-bit code or has no 32-bit Wine: a 64-bit product built
#          the same way ($(BUILD)/win64/product) under a 64-bit Wine; the tests in $(BUILD)/win64
# Where the host runs the win64 stand-in, make test also runs the 32-bit product's Windows suite
# ($(BUILD)/win32) in a Debian root of its own that has a 32-bit Wine ($(BUILD)/guest, built by
# tools/guest/ from Debian's packages and cached): by chroot where the kernel runs 32-bit code,
# else in a QEMU VM. tools/guest/mode.sh chooses and names its reason (GUEST=chroot, vm or none
# chooses without it); GUEST_TIMEOUT bounds the guest's run (seconds; tools/guest/run.sh).

BUILD ?= build
JOBS ?= 2
NATIVE := $(BUILD)/native
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 21
LOGS := $(abspath $(BUILD))
WINE_ARCH ?=
WINE_WHY ?= as asked on the command line
GUEST_DIR := $(abspath $(BUILD))/guest
GUEST_MODE ?= none
GUEST_WHY ?= as asked on the command line

PRODUCT_win32 := $(BUILD)
PRODUCT_win64 := $(BUILD)/win64/product
TESTS_win32 := $(BUILD)/win32
TESTS_win64 := $(BUILD)/win64
TOOLCHAIN_win32 := cmake/mingw-i686.cmake
TOOLCHAIN_win64 := cmake/mingw-x86_64.cmake
TRIPLE_win32 := i686-w64-mingw32
TRIPLE_win64 := x86_64-w64-mingw32
NAME_win32 := the 32-bit product
NAME_win64 := the 64-bit stand-in
TOOLCHAIN_FILES := cmake/mingw-common.cmake cmake/mingw-i686.cmake cmake/mingw-x86_64.cmake
# A build directory is configured afresh when a toolchain file changes (the compilers may).
CONFIGURE = rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles && cmake -S . -B $(1)

SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.SECONDEXPANSION:

.PHONY: all setup build winbuild native test run clean dist fuzz bench product-win32 \
  product-win64 winbuild-win32 winbuild-win64 test-win32 test-win64 run-win32 run-win64 \
  bench-win32 bench-win64 test-en test-en-win32 test-en-win64 test-guest test-guest-run \
  bench-guest bench-guest-run

all: build

# tools/setup.sh installs from Debian's packages and returns at once when all is there; it needs
# root. Without root it is skipped as long as the tools it would install are present.
setup:
	@if [ -n "$(SETUP_DONE)" ]; then \
	  :; \
	elif [ "$$(id -u)" = 0 ]; then \
	  bash tools/setup.sh; \
	else \
	  missing=; \
	  for tool in cmake i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++-posix \
	    x86_64-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++-posix wine Xvfb; do \
	    command -v $$tool >/dev/null || missing="$$missing $$tool"; \
	  done; \
	  if [ -n "$$missing" ]; then \
	    echo "missing:$$missing; run 'sudo bash tools/setup.sh' once" >&2; exit 1; \
	  fi; \
	  echo "note: not root, skipping tools/setup.sh (the build tools are present)"; \
	fi

$(BUILD)/CMakeCache.txt: $(TOOLCHAIN_FILES) | setup
	$(call CONFIGURE,$(BUILD)) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win32)

$(PRODUCT_win64)/CMakeCache.txt: $(TOOLCHAIN_FILES) | setup
	$(call CONFIGURE,$(PRODUCT_win64)) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win64)

# The Windows tests of each build, with the posix compilers, run that build's product.
$(TESTS_win32)/CMakeCache.txt $(TESTS_win64)/CMakeCache.txt: $(BUILD)/%/CMakeCache.txt: \
    $(TOOLCHAIN_FILES) $$(PRODUCT_$$*)/CMakeCache.txt | setup
	$(call CONFIGURE,$(BUILD)/$*) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_$*) -DMINGW_THREADS=posix \
	  -DBRINDLE_PRODUCT_DIR=$(abspath $(PRODUCT_$*))

$(NATIVE)/CMakeCache.txt: | setup
	cmake -S . -B $(NATIVE)

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target brindle dist

product-win32: build

product-win64: setup $(PRODUCT_win64)/CMakeCache.txt
	cmake --build $(PRODUCT_win64) -j $(JOBS) --target brindle dist

winbuild-win32 winbuild-win64: winbuild-%: product-% $$(TESTS_$$*)/CMakeCache.txt
	cmake --build $(TESTS_$*) -j $(JOBS)

native: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

# test, winbuild, run and bench ask tools/wine-arch.sh which build runs under Wine here (after
# the set-up, which may have installed a 32-bit Wine), then make that one (set up already).
ARCH_PROBE = probe=$$(WINE_ARCH=$(WINE_ARCH) bash tools/wine-arch.sh) || exit 1; \
  arch=$${probe%% *}; why=$${probe\#* }
# Then tools/guest/mode.sh whether the 32-bit product also runs in the guest root, and how.
GUEST_PROBE = guestProbe=$$(bash tools/guest/mode.sh $$arch) || exit 1; \
  guestMode=$${guestProbe%% *}; guestWhy=$${guestProbe\#* }

winbuild: setup
	@$(ARCH_PROBE); $(MAKE) winbuild-$$arch SETUP_DONE=1

# The end-to-end tests on a system whose ANSI code page is not Japanese: Wine under en_US.UTF-8
# (code page 1252), in a session of their own (prefix wine-test-en). $(1) is the build.
E2E_EN = WINE_LOCALE=en_US.UTF-8 WINEARCH=$(1) tools/wine-session.sh $(TESTS_$(1))/wine-test-en \
  ctest --test-dir $(TESTS_$(1)) --output-on-failure --no-tests=error -j 1 -L e2e \
  -O $(LOGS)/ctest-e2e-en.log

# Every part runs even when one fails; the Windows tests run one at a time in a single Wine
# session because they share its registry and its desktop; then the end-to-end tests run again
# under code page 1252.
test: build native
	@$(ARCH_PROBE); $(GUEST_PROBE); \
	$(MAKE) test-$$arch SETUP_DONE=1 WINE_WHY="$$why" GUEST_MODE=$$guestMode GUEST_WHY="$$guestWhy"

# The 32-bit product's Windows suite in the guest root ($(1): chroot or vm), one test at a time in
# one Wine session whose prefix is a copy of the one the root holds. The root sees the
# repository and the builds at their own paths (the VM gets a copy, without the other builds);
# the log comes back to $(LOGS)/guest-results. The chroot runs the whole suite at the host's
# speed; the VM, whose CPU is emulated 5 to 15 times slower, runs the end-to-end tests and the
# release archive's test (GUEST_TESTS=all: the whole suite) with every wait of a test ten times
# longer (BRINDLE_WAIT_SCALE, tests/support/Wait.h).
GUEST_RUN = GUEST=$(1) bash tools/guest/run.sh $(GUEST_DIR) \
  $(LOGS)/guest-results --share $(CURDIR) --skip $(abspath $(BUILD)) --share $(abspath $(BUILD))/brindle.exe \
  --share "$$(ls $(abspath $(BUILD))/brindle-*-win32.zip)" --share $(abspath $(TESTS_win32))
GUEST_TESTS ?= e2e
GUEST_SCOPE = $(if $(filter vm,$(1)),$(if $(filter all,$(GUEST_TESTS)),,-L e2e))
GUEST_SCALE = $(if $(filter vm,$(1)),BRINDLE_WAIT_SCALE=10)
GUEST_SUITE = $(GUEST_RUN) -- env WINEARCH=win32 WINE_TEMPLATE=/opt/brindle/wine-win32 $(GUEST_SCALE) \
  tools/wine-session.sh $(abspath $(TESTS_win32))/wine-test ctest --test-dir $(abspath $(TESTS_win32)) \
  --output-on-failure --no-tests=error -j 1 $(GUEST_SCOPE) -O $(LOGS)/guest-results/ctest-win32-guest.log

test-win32 test-win64: test-%: build native winbuild-% $$(if $$(filter-out none,$$(GUEST_MODE)),winbuild-win32)
	@status=0; rm -f $(LOGS)/ctest-native.log $(LOGS)/ctest-windows.log $(LOGS)/ctest-e2e-en.log \
	  $(LOGS)/product.log; \
	echo "== The product: 32-bit brindle.exe and its release archive ($(BUILD))"; \
	{ bash tools/check-unit-cycles.sh src && bash tools/check-imports.sh $(BUILD)/brindle.exe && \
	  unzip -l $(BUILD)/brindle-*-win32.zip; } 2>&1 | tee $(LOGS)/product.log; \
	[ $${PIPESTATUS[0]} = 0 ] || status=1; \
	echo; echo "== Native unit tests ($(NATIVE))"; \
	ctest --test-dir $(NATIVE) --output-on-failure --no-tests=error \
	  -O $(LOGS)/ctest-native.log || status=1; \
	echo; echo "== Windows tests under Wine: $(NAME_$*) ($(PRODUCT_$*)/brindle.exe, tests in $(TESTS_$*))"; \
	echo "   $(WINE_WHY)"; \
	WINEARCH=$* tools/wine-session.sh $(TESTS_$*)/wine-test \
	  ctest --test-dir $(TESTS_$*) --output-on-failure --no-tests=error -j 1 \
	  -O $(LOGS)/ctest-windows.log || status=1; \
	echo; echo "== End-to-end tests under en_US.UTF-8 (ANSI code page 1252)"; \
	$(call E2E_EN,$*) || status=1; \
	if [ "$(GUEST_MODE)" != none ]; then \
	  echo; echo "== Windows tests of the 32-bit product in the guest root ($(GUEST_MODE)):" \
	    "$(BUILD)/brindle.exe, tests in $(TESTS_win32)"; \
	  echo "   $(GUEST_WHY)"; \
	  $(call GUEST_SUITE,$(GUEST_MODE)) || status=1; \
	fi; \
	echo; echo "== Summary"; \
	line=$$(grep -E '^(OK|FAIL):' $(LOGS)/product.log 2>/dev/null | tail -n 1); \
	printf '%-8s %s\n' "product:" "$${line:-did not run}"; \
	for suite in native windows e2e-en; do \
	  line=$$(grep -E 'tests passed|No tests were found' $(LOGS)/ctest-$$suite.log 2>/dev/null | tail -n 1); \
	  printf '%-8s %s\n' "$$suite:" "$${line:-did not run}"; \
	done; \
	if [ "$(GUEST_MODE)" != none ]; then \
	  line=$$(grep -E 'tests passed|No tests were found' $(LOGS)/guest-results/ctest-win32-guest.log 2>/dev/null | tail -n 1); \
	  printf '%s %s\n' "win32-$(GUEST_MODE):" "$${line:-did not run or did not end}"; \
	fi; \
	printf '%-8s %s\n' "ran:" "the Windows suite on $(NAME_$*) ($(PRODUCT_$*)/brindle.exe):"; \
	printf '%-8s %s\n' "" "$(WINE_WHY)"; \
	if [ "$(GUEST_MODE)" != none ]; then \
	  printf '%-8s %s\n' "" "and on the 32-bit product ($(BUILD)/brindle.exe, tests in $(TESTS_win32))" \
	    "" "in the guest root by $(GUEST_MODE): $(GUEST_WHY)"; \
	else \
	  printf '%-8s %s\n' "" "no guest run: $(GUEST_WHY)"; \
	fi; \
	[ $$status = 0 ] && echo "All tests passed." || echo "Some tests FAILED."; \
	exit $$status

# The guest's part of make test alone.
test-guest: setup
	@$(ARCH_PROBE); $(GUEST_PROBE); \
	if [ "$$guestMode" = none ]; then echo "No guest run: $$guestWhy"; exit 0; fi; \
	$(MAKE) test-guest-run SETUP_DONE=1 GUEST_MODE=$$guestMode GUEST_WHY="$$guestWhy"

test-guest-run: winbuild-win32
	@echo "== Windows tests of the 32-bit product in the guest root ($(GUEST_MODE)): $(GUEST_WHY)"; \
	status=0; $(call GUEST_SUITE,$(GUEST_MODE)) || status=1; \
	line=$$(grep -E 'tests passed|No tests were found' $(LOGS)/guest-results/ctest-win32-guest.log 2>/dev/null | tail -n 1); \
	printf '%s %s\n' "win32-$(GUEST_MODE):" "$${line:-did not run or did not end}"; \
	exit $$status

# The end-to-end tests under code page 1252 alone (make test runs them too).
test-en: build
	@$(ARCH_PROBE); $(MAKE) test-en-$$arch SETUP_DONE=1

test-en-win32 test-en-win64: test-en-%: build winbuild-%
	@echo "== End-to-end tests under en_US.UTF-8 (ANSI code page 1252): $(NAME_$*)"; \
	$(call E2E_EN,$*)

# The archive is a target of the product's build (CMakeLists.txt); the Windows suite tests it.
dist: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target dist

$(FUZZ)/CMakeCache.txt: | setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DBRINDLE_FUZZ=ON

# Each target fuzzes a copy of its seeds in $(FUZZ)/corpus; a finding fails the run.
fuzz: setup $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS) --target fuzzers
	bash tests/fuzz/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

run: setup
	@$(ARCH_PROBE); $(MAKE) run-$$arch SETUP_DONE=1 WINE_WHY="$$why"

run-win32 run-win64: run-%: product-%
	@echo "== The demo runs $(NAME_$*) ($(PRODUCT_$*)/brindle.exe): $(WINE_WHY)"
	BUILD=$(PRODUCT_$*) WINEARCH=$* BUILD_NAME="$(NAME_$*)" bash tools/demo.sh

# The benchmark programs are not part of the default build. Each figure is timed BENCH_RUNS
# times against its floor in one Wine session (fresh prefix wine-bench in the tests' build), on
# stripped copies of the programs as a release ships them; the figures are printed, never
# checked.
bench: setup
	@$(ARCH_PROBE); $(MAKE) bench-$$arch SETUP_DONE=1 WINE_WHY="$$why"

bench-win32 bench-win64: bench-%: product-% $$(TESTS_$$*)/CMakeCache.txt
	cmake --build $(TESTS_$*) -j $(JOBS) --target bench_programs
	@echo "== The benchmarks run $(NAME_$*) ($(PRODUCT_$*)/brindle.exe): $(WINE_WHY)"
	BRINDLE=$(PRODUCT_$*)/brindle.exe BUILD_NAME="$(NAME_$*)" WINEARCH=$* \
	  STRIP=$(TRIPLE_$*)-strip OBJDUMP=$(TRIPLE_$*)-objdump \
	  bash bench/run-bench.sh $(TESTS_$*) $(BENCH_RUNS)

# The benchmark of the 32-bit product in the guest root, once: where the host runs the 32-bit
# product itself, make bench is that. In the VM the figures are emulated; only their ratios to
# the floors, timed in the same guest, mean anything.
bench-guest: setup
	@$(ARCH_PROBE); $(GUEST_PROBE); \
	if [ "$$guestMode" = none ]; then echo "No guest run: $$guestWhy; make bench runs the 32-bit product"; exit 0; fi; \
	$(MAKE) bench-guest-run SETUP_DONE=1 GUEST_MODE=$$guestMode GUEST_WHY="$$guestWhy"

# In the VM the CPU may be emulated: the benchmark's deadline (bench/run-bench.sh) is ten times
# the native one there, and the guest's own limit ten minutes more.
BENCH_LIMIT_vm := $(shell echo $$(( (120 + 15 * $(BENCH_RUNS)) * 10 )))
BENCH_GUEST_LIMIT = $(if $(filter vm,$(GUEST_MODE)),GUEST_TIMEOUT=$(shell echo $$(( $(BENCH_LIMIT_vm) + 600 ))))
BENCH_LIMIT = $(if $(filter vm,$(GUEST_MODE)),BENCH_TIMEOUT=$(BENCH_LIMIT_vm))

bench-guest-run: product-win32 $(TESTS_win32)/CMakeCache.txt
	cmake --build $(TESTS_win32) -j $(JOBS) --target bench_programs
	@echo "== The benchmarks run the 32-bit product ($(BUILD)/brindle.exe) in the guest root" \
	  "($(GUEST_MODE)): $(GUEST_WHY)"
	$(BENCH_GUEST_LIMIT) $(call GUEST_RUN,$(GUEST_MODE)) -- env $(BENCH_LIMIT) BRINDLE=$(abspath $(BUILD))/brindle.exe \
	  BUILD_NAME="the 32-bit product in the guest root ($(GUEST_MODE))" WINEARCH=win32 \
	  WINE_TEMPLATE=/opt/brindle/wine-win32 STRIP=i686-w64-mingw32-strip \
	  OBJDUMP=i686-w64-mingw32-objdump bash bench/run-bench.sh $(abspath $(TESTS_win32)) $(BENCH_RUNS)

clean:
	@case "$(BUILD)" in ''|/|.|..) echo "refusing to remove BUILD='$(BUILD)'" >&2; exit 1;; esac
	rm -rf $(BUILD)
