#!/usr/bin/env bash
# Benchmarks Tarvis's implode codec against the system's DCL library (libstorm), side by side
# in one run, on a corpus of real files: texts, source, a binary, an already compressed file
# and random data. Builds an optimised benchmark in build-bench/.
#   scripts/bench-implode.sh [--seconds S] [FILE...]   (files replace the default corpus)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target tarvis-implode-bench -j2 >/dev/null

seconds=()
if [ "${1:-}" = "--seconds" ]; then
    seconds=(--seconds "$2")
    shift 2
fi

if [ $# -gt 0 ]; then
    exec "$build/bin/tarvis-implode-bench" "${seconds[@]}" "$@"
fi

corpus="$build/corpus"
mkdir -p "$corpus"
source_file=/usr/include/c++/12/bits/stl_algo.h
gzip -9 -n -c "$source_file" >"$corpus/stl_algo.h.gz"
exec "$build/bin/tarvis-implode-bench" "${seconds[@]}" --random 1000000 \
    /usr/share/common-licenses/GPL-3 \
    README.md \
    "$source_file" \
    transfer/PklibCompress.cpp \
    /usr/bin/ls \
    "$corpus/stl_algo.h.gz"
