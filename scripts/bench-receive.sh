#!/usr/bin/env bash
# Received text through the real port path into the receive pane: characters per second and
# CPU time per character with the pane empty and holding 100,000 and 1,000,000 characters.
#   scripts/bench-receive.sh [CHARACTERS-MEASURED]   (default 200000)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench --target tarvis-receive-bench
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build-bench/bin/tarvis-receive-bench "${1:-200000}" 2>/dev/null
