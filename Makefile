# The two entry points of the README. Both set the machine up first.
BUILD ?= build
# The sanitizer build (ASan and UBSan) lives in a folder of its own.
SANITIZE_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: all setup build run test test-sanitize clean

all: build

setup:
	@bash tools/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

# Starts the client on the demo base directory the build made.
run: build
	cd $(BUILD)/demo-base && exec ../bin/Fittora

test: build
	bash tools/run_tests.sh $(BUILD)

# Every test again, built with AddressSanitizer and UBSan: a finding fails its test.
test-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DSUITE_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	bash tools/run_tests.sh $(SANITIZE_BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
