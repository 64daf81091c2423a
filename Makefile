# Entry points: `make run` starts ZENTO, `make test` runs every test, `make bench` times the
# command-line tool and the edit view on large generated files. All install what is missing.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

.PHONY: all deps configure build test run bench clean

all: build

# jags runs the generated JAGS scripts in the tests.
deps:
	@tools/deps.sh jags

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	    cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS); fi

build: configure
	cmake --build $(BUILD_DIR)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --output-on-failure -j2 $(CTEST_FLAGS)

# From the repository's root, so that examples/ and manual/ are at hand.
run: build
	./$(BUILD_DIR)/src/app/zento

# A Release build of its own (portable flags, no -march), with the GUI for zento-guibench, then
# bench.py prints the tables. Configured every time: an older build-bench may lack the GUI.
bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTO_BENCH=ON \
	    -DZENTO_TESTS=OFF -DZENTO_GUI=ON > /dev/null
	cmake --build $(BENCH_DIR) --parallel 2
	QT_QPA_PLATFORM=offscreen python3 tests/bench/bench.py $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
