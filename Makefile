# The two set-up commands of the README, and the tasks around them.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release -DS2T_WERROR=ON

.PHONY: all setup configure build test demo screenshots clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

demo: build
	@bash scripts/demo $(BUILD)

screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/scan2theta-screenshots docs/screenshots

clean:
	rm -rf $(BUILD)
