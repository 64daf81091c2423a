#!/bin/sh
# Cross-builds the core, zento-cli and their tests for 64-bit Windows with MinGW-w64, and runs
# them under Wine: zento-cli.exe's contract, byte for byte, and every test that applies there.
# Usage: tools/test-windows.sh BUILD_DIR [ctest option ...]
set -eu
cd "$(dirname "$0")/.."
build=$1
shift
tools/deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest
if [ ! -f "$build/build.ninja" ]; then
    # GoogleTest is built from Debian's sources with the same compiler: no package has it for
    # MinGW.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DZENTO_GUI=OFF \
        -DZENTO_GTEST_SOURCE_DIR=/usr/src/googletest
fi
# Wine's server outlives the tests by a minute (tools/wine-run.sh); ended with them here.
WINEPREFIX=$(pwd)/$build/wine
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true' EXIT
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j2 "$@"
