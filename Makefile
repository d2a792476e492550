# Two entry points on a fresh Debian 12 machine:
#   make run   - installs what is missing, builds, runs the game in build/game
#   make test  - installs what is missing, builds, runs every test
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	cd $(BUILD)/game && ./quorvax

test: build
	@bash scripts/run-tests.sh $(BUILD)

format-check:
	@bash scripts/format-check.sh

clean:
	rm -rf $(BUILD)
