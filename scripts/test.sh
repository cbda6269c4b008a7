#!/usr/bin/env bash
# The one test command: set-up, build, every test.
#   scripts/test.sh                  normal build in build/
#   scripts/test.sh --sanitize=asan  AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
#   scripts/test.sh --sanitize=tsan  ThreadSanitizer in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=""
for arg in "$@"; do
    case "$arg" in
        --sanitize=asan) sanitize="address,undefined" ;;
        --sanitize=tsan) sanitize="thread" ;;
        *) echo "usage: scripts/test.sh [--sanitize=asan|--sanitize=tsan]" >&2; exit 2 ;;
    esac
done

./scripts/setup.sh

build=build
case "$sanitize" in
    address,undefined) build=build-asan ;;
    thread) build=build-tsan ;;
esac

cmake -S . -B "$build" -G Ninja -DTARVIS_WERROR=ON -DTARVIS_SANITIZE="$sanitize"
cmake --build "$build" -j"$(nproc)"

# Every test sees the same machine: no screen (Qt's offscreen platform, one 800x600 screen),
# one known set of fonts, UTC and a plain UTF-8 locale, whatever this machine has.
export QT_QPA_PLATFORM=offscreen
export FONTCONFIG_FILE="$PWD/tests/fonts.conf"
export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_AUTO_SCREEN_SCALE_FACTOR
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
# Short runs of the fuzz targets: the implode decoder, then the readers of outside input.
./scripts/fuzz.sh implode 30
./scripts/fuzz.sh config 5
./scripts/fuzz.sh help 5
./scripts/fuzz.sh receive 5
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
