#!/usr/bin/env bash
# A long run of reception: a station against the modem simulator, text arriving at the modem's
# line rate with link-state reports mixed in; prints resident memory, the receive pane's size and
# CPU time per received character every interval. With a rate of 0 it measures the idle station.
#   scripts/bench-soak.sh [MINUTES] [INTERVAL-SECONDS] [CHARS-PER-SECOND]   (default 60 60 960)
#   scripts/bench-soak.sh 0.5 30 0      the idle cost over 30 s
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --target tarvis-soak-bench >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build-bench/bin/tarvis-soak-bench "$@" 2>/dev/null
