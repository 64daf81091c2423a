# Entry points: `make run` starts ZENTO, `make test` runs every test, `make package` builds the
# Debian package and checks it, `make bench` times the command-line tool and the edit view on
# large generated files, `make fuzz` runs the fuzz targets (FUZZ_SECONDS each),
# `make test-sanitize` runs every test under AddressSanitizer and UndefinedBehaviorSanitizer,
# `make test-windows` cross-builds the core, zento-cli and their tests for Windows and runs them
# under Wine, and `make mutants` checks that the tests notice a list of faults. All install what
# is missing.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
SANITIZE_DIR ?= build-asan
WINDOWS_DIR ?= build-windows
MUTANTS_DIR ?= build-mutants

.PHONY: all deps configure build test run package bench clean fuzz test-sanitize test-windows mutants

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

# dpkg-shlibdeps (dpkg-dev) finds the Qt packages the programs need, with file's help; lintian
# judges the package.
package: build
	@tools/deps.sh dpkg-dev file lintian
	cmake --build $(BUILD_DIR) --target package
	tests/package/checkpackage.sh $(BUILD_DIR)

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

# libFuzzer comes with clang; only the core and zento-cli are fuzzed, so no Qt is needed here.
fuzz:
	@tools/deps.sh clang libclang-rt-dev
	@if [ ! -f $(FUZZ_DIR)/build.ninja ]; then \
	    CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DZENTO_FUZZ=ON -DZENTO_GUI=OFF -DZENTO_TESTS=OFF; fi
	cmake --build $(FUZZ_DIR)
	tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The whole suite, GUI tests included, with both sanitizers and the leak checker; the options are
# in tools/sanitizers.env.
test-sanitize:
	@tools/deps.sh jags clang libclang-rt-dev
	@if [ ! -f $(SANITIZE_DIR)/build.ninja ]; then \
	    CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DZENTO_SANITIZE=ON $(CMAKE_FLAGS); fi
	cmake --build $(SANITIZE_DIR)
	. tools/sanitizers.env && QT_QPA_PLATFORM=offscreen \
	    ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j2 $(CTEST_FLAGS)

# MinGW-w64 and Wine, in a Wine prefix of the build's own; no display needed.
test-windows:
	tools/test-windows.sh $(WINDOWS_DIR) $(CTEST_FLAGS)

# Every mutation of tools/mutants.txt in turn, each against the tests that should notice it; run
# by hand, not in CI (about half an hour).
mutants: deps
	tools/mutants.sh $(MUTANTS_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(FUZZ_DIR) $(SANITIZE_DIR) $(WINDOWS_DIR) $(MUTANTS_DIR)
