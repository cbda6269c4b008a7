#!/usr/bin/env bash
# Builds the implode codec's fuzz target (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it.
#   scripts/fuzz-implode.sh [SECONDS]    default 60
# The corpus grows in build-fuzz/corpus; streams made by the codec seed it. A finding is
# written to build-fuzz/ as crash-*, and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
case "$seconds" in
    ''|*[!0-9]*) echo "usage: scripts/fuzz-implode.sh [SECONDS]" >&2; exit 2 ;;
esac

cxx="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$cxx" ]; then
    echo "fuzz-implode: clang++ is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi

build=build-fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2 >/dev/null

mkdir -p "$build/corpus"
if [ -z "$(ls -A "$build/corpus")" ]; then
    # Seeds: a few real streams, so the fuzzer starts from inputs that decode deep.
    printf '\x00\x04\x82\x24\x25\x8f\x80\x7f' >"$build/corpus/seed-blast-example"
    printf '\x01\x06\xe2\x19\x08\xf8\x07' >"$build/corpus/seed-ascii-run"
fi

set +e
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$build/pklib_decompress_fuzz" -max_total_time="$seconds" -max_len=20000 -print_final_stats=1 \
    -artifact_prefix="$build/" "$build/corpus" >"$build/fuzz.log" 2>&1
status=$?
set -e
if [ "$status" -ne 0 ]; then
    tail -n 60 "$build/fuzz.log" >&2
    echo "fuzz-implode: finding after $(grep -c . "$build/fuzz.log") log lines; see $build/crash-* and $build/fuzz.log" >&2
    exit 1
fi
runs="$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$build/fuzz.log" | grep -oE '[0-9]+$' || echo '?')"
echo "fuzz-implode: ${seconds}s, $runs runs, no finding"
