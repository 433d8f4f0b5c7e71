# The two entry points of the README. Both set the machine up first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build run test clean

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

clean:
	rm -rf $(BUILD)
