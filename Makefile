# The two set-up commands of the README, and the tasks around them.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release -DS2T_WERROR=ON
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
SECONDS ?= 60

# The sanitizers stop at the first error of any kind and print where it came from.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0

.PHONY: all setup configure build test test-sanitize fuzz format check-format demo screenshots package check-package bench-calibration clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: setup
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DS2T_WERROR=ON \
		-DS2T_SANITIZE=ON -DS2T_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The layout of .clang-format over every C++ file the repository tracks.
CLANG_FORMAT ?= clang-format-14
format: setup
	@git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) -i

check-format: setup
	@git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) --dry-run -Werror

# Every fuzz target for SECONDS seconds (clang, libFuzzer); fails on any finding.
fuzz: setup
	@JOBS=$(JOBS) bash scripts/fuzz $(FUZZ_BUILD) $(SECONDS)

demo: build
	@bash scripts/demo $(BUILD)

# The Debian package (build/scan2theta_VERSION_ARCH.deb), from the installation rules.
package: build
	@rm -f $(BUILD)/scan2theta_*.deb
	@cmake --build $(BUILD) --target package >/dev/null
	@ls $(BUILD)/scan2theta_*.deb

# The package built and checked: its contents, its dependencies, its command line converting.
check-package: package
	@bash tests/install/check-package.sh $(CURDIR) $(CURDIR)/$(BUILD)

# Accuracy and processor time of "calibration auto" on synthetic standard scans with a known
# truth (not a timed test): 24 scans of 4096 channels, the stress scans (every standard, anode,
# profile, background, count level, coverage and channel count), then 6 of 32767.
bench-calibration: build
	-@/usr/bin/python3 bench/calibration-accuracy.py $(BUILD)/scan2theta $(BUILD)/bench-calibration-4096
	-@/usr/bin/python3 bench/calibration-stress.py $(BUILD)/scan2theta $(BUILD)/bench-calibration-stress
	@/usr/bin/python3 bench/calibration-accuracy.py $(BUILD)/scan2theta $(BUILD)/bench-calibration-32767 \
		--channels 32767 --cases 6

screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/scan2theta-screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
