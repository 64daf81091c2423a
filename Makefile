# Entry points: `make run` starts ZENTO, `make test` runs every test. Both install what is missing.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

.PHONY: all deps configure build test run clean

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

clean:
	rm -rf $(BUILD_DIR)
