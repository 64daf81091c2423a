# Entry points: `make run` starts ZENTO, `make test` runs every test. Both install what is missing.
# `make fuzz` runs the fuzz targets (FUZZ_SECONDS each); `make test-sanitize` runs every test
# under AddressSanitizer and UndefinedBehaviorSanitizer.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
SANITIZE_DIR ?= build-asan

.PHONY: all deps configure build test run clean fuzz test-sanitize

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

run: build
	./$(BUILD_DIR)/src/cli/zento-cli modelo logit examples/vaso.txt

# libFuzzer comes with clang; only the core and zento-cli are fuzzed, so no Qt is needed here.
fuzz:
	@tools/deps.sh clang libclang-rt-dev
	@if [ ! -f $(FUZZ_DIR)/build.ninja ]; then \
	    CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DZENTO_FUZZ=ON -DZENTO_GUI=OFF -DZENTO_TESTS=OFF; fi
	cmake --build $(FUZZ_DIR)
	tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The whole suite, GUI tests included, with both sanitizers; tools/sanitizers.env says why each
# option is set and lists the few reports in Qt's own code that are suppressed.
test-sanitize:
	@tools/deps.sh jags clang libclang-rt-dev
	@if [ ! -f $(SANITIZE_DIR)/build.ninja ]; then \
	    CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DZENTO_SANITIZE=ON $(CMAKE_FLAGS); fi
	cmake --build $(SANITIZE_DIR)
	. tools/sanitizers.env && QT_QPA_PLATFORM=offscreen \
	    ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j2 $(CTEST_FLAGS)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(SANITIZE_DIR)
