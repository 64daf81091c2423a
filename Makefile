# Entry points: `make run` starts ZENTO, `make test` runs every test, `make bench` times the
# command-line tool on large generated files. All install what is missing.
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

# A Release build of its own (portable flags, no -march), then bench.py prints the table.
bench: deps
	@if [ ! -f $(BENCH_DIR)/build.ninja ]; then \
	    cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTO_BENCH=ON \
	        -DZENTO_TESTS=OFF -DZENTO_GUI=OFF; fi
	cmake --build $(BENCH_DIR) --parallel 2
	python3 tests/bench/bench.py $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
