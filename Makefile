# Two commands for a fresh Debian 12 machine:
#   make run    builds and starts the program
#   make test   builds and runs every test
# Both install the missing Debian packages first.  "make package" builds the
# Debian package build/vokt_<version>_<arch>.deb (README, "Install").

BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench sanitize package clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core library and its tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and run.
sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOKT_SANITIZE=ON \
	  -DVOKT_GUI=OFF -DVOKT_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-sanitize -j $(JOBS) --target vokt_core_tests
	@cd $(BUILD)-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
