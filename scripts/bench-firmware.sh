#!/usr/bin/env bash
# How busy the firmware loader keeps a 57600-baud line while it streams an image: the time to
# stream it against the time its bytes need on the line.
#   scripts/bench-firmware.sh [IMAGE-BYTES]   (default 204800)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench --target tarvis-firmware-bench
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build-bench/bin/tarvis-firmware-bench "${1:-204800}"
