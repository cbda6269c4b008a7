#!/usr/bin/env bash
# The implode codec's fuzz target: scripts/fuzz-implode.sh [SECONDS] (default 60).
exec "$(dirname "$0")/fuzz.sh" implode "${1:-60}"
