# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds and runs the whole suite headless

BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/bin && ./tarvlesolo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	cd $(BUILD)/bin && ./bench-dictionary && ./bench-route && QT_QPA_PLATFORM=offscreen ./bench-startup

clean:
	rm -rf $(BUILD)
