#!/bin/sh
# The size of the code and of its tests as the project's rule counts them: lines that are
# neither blank nor only a comment, in .cpp .h .hpp .py .sh .cmake .R files and CMakeLists.txt
# that git tracks; the code is src/ and tools/, the tests are tests/ without tests/data,
# tests/fuzz/corpus and tests/bench. The tests must stay at most 35 % of the code.
# Usage: tools/lineas.sh
set -eu
cd "$(dirname "$0")/.."
count() {
    git ls-files "$@" | grep -E '\.(cpp|h|hpp|py|sh|cmake|R)$|CMakeLists\.txt$' | xargs -r cat |
        grep -v -E '^\s*$|^\s*(//|#|\*|/\*)' | wc -l
}
code=$(count src tools)
tests=$(count tests ':!tests/data' ':!tests/fuzz/corpus' ':!tests/bench')
awk -v code="$code" -v tests="$tests" 'BEGIN {
    printf "código %d, pruebas %d: las pruebas son el %.1f %% del código (máximo 35 %%)\n",
        code, tests, 100 * tests / code
}'
