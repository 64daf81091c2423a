#!/bin/sh
# Mutation testing: applies each one-line mutation of tools/mutants.txt in turn, rebuilds, runs
# the tests that should notice it and says whether they did. Every mutant must be killed; an
# entry whose line is no longer in its file (or is there more than once) is stale. Run by hand
# (make mutants), not in CI: it takes half an hour or so.
# Usage: tools/mutants.sh [BUILD_DIR] [FILTER]   (FILTER: only entries whose file matches it)
set -u
cd "$(dirname "$0")/.."
build=${1:-build-mutants}
filter=${2:-}
list=tools/mutants.txt
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null || exit 1
fi
echo "== compilando sin mutaciones"
cmake --build "$build" >/dev/null || { echo "no compila sin mutaciones" >&2; exit 1; }

backup=$(mktemp)
current=""
restore() {
    [ -n "$current" ] && cp "$backup" "$current"
    current=""
}
trap 'restore; rm -f "$backup"; exit 1' INT TERM
killed=0
survived=""
stale=""
broken=""

# Applies one entry: $file, $original, $replacement, $tests.
mutate() {
    [ -z "$file" ] && return
    case "$file" in *"$filter"*) ;; *) file=""; return ;; esac
    label="$file: $(printf '%s\n' "$original" | sed 's/^ *//')"
    found=$(ORIGINAL="$original" awk '$0 == ENVIRON["ORIGINAL"] { n++ } END { print n + 0 }' \
        "$file" 2>/dev/null || echo 0)
    if [ "$found" != 1 ]; then
        printf 'CADUCADA (%s veces)  %s\n' "$found" "$label"
        stale="$stale
  $label"
        file=""
        return
    fi
    cp "$file" "$backup"
    current=$file
    ORIGINAL="$original" REPLACEMENT="$replacement" awk \
        '$0 == ENVIRON["ORIGINAL"] { print ENVIRON["REPLACEMENT"]; next } { print }' \
        "$backup" >"$file"
    if ! cmake --build "$build" >/dev/null 2>&1; then
        printf 'NO COMPILA  %s\n' "$label"
        broken="$broken
  $label"
    else
        case "$file" in
        src/datafile/* | src/winbugs/* | src/cli/*) select="-E tst_|JagsRun|bench_smoke" ;;
        *) select="-R tst_" ;;
        esac
        [ -n "$tests" ] && select="-R $tests"
        # shellcheck disable=SC2086 # select is an option and its regex
        if QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -j2 -LE lento $select \
            --stop-on-failure >"$build/mutante.log" 2>&1; then
            printf 'SOBREVIVE  %s\n' "$label"
            survived="$survived
  $label"
        else
            by=$(grep -m1 -E '\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout' "$build/mutante.log" |
                sed 's/.*Test *#[0-9]*: //; s/ *\.\.\.*.*//')
            printf 'muerta por %s  %s\n' "$by" "$label"
            killed=$((killed + 1))
        fi
    fi
    restore
    file=""
}

file=""
original=""
replacement=""
tests=""
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    "#"* | "") mutate ;;
    "- "*) original=${line#- } ;;
    "+ "*) replacement=${line#+ } ;;
    "? "*) tests=${line#? } ;;
    *)
        mutate
        file=$line
        original=""
        replacement=""
        tests=""
        ;;
    esac
done <"$list"
mutate
rm -f "$backup"
cmake --build "$build" >/dev/null

echo "== $killed muertas"
[ -n "$survived" ] && printf 'Sobreviven:%s\n' "$survived"
[ -n "$stale" ] && printf 'Caducadas (la línea ya no está, o está más de una vez):%s\n' "$stale"
[ -n "$broken" ] && printf 'No compilan:%s\n' "$broken"
[ -z "$survived$stale$broken" ]
