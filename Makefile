# make run   installs what is missing, builds, starts the local service host and the game
# make test  installs what is missing, builds and runs the whole suite headless

BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test test-sanitize bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitize

# The block coder's tests and those labelled sanitize (rules, game, route
# search, word list, tool) again under AddressSanitizer and UBSan; only their
# targets are built there, at -O1 with line tables only, which builds a third
# faster than the main tree's settings and runs as fast.
SANITIZE_TARGETS = lzrw_test lzrw_tool_test rules_test game_test routefinder_test dictionary_test tool_test tarvle-tool

test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -G Ninja -DTARVLE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1"
	cmake --build $(BUILD)-sanitize -j $(JOBS) --target $(SANITIZE_TARGETS)
	cd $(BUILD)-sanitize && ctest --output-on-failure -j $(JOBS) -L 'codec|sanitize'

bench: build
	cd $(BUILD)/bin && ./bench-dictionary && ./bench-route && ./bench-solve && ./bench-lzrw && ./bench-service && QT_QPA_PLATFORM=offscreen ./bench-startup

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
