#!/usr/bin/env bash
# Builds a fuzz target (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs it.
#   scripts/fuzz.sh TARGET [SECONDS]    SECONDS defaults to 60
# Targets: implode (the codec's decoder), config (the configuration file reader), help (the
# hot-key help file in the help window), receive (the modem's bytes through the receive framing
# and the status decoder).
# The corpus grows in build-fuzz/corpus-TARGET; a few seeds start it. A finding is written to
# build-fuzz/ as crash-* (or leak-*, timeout-*), and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: scripts/fuzz.sh implode|config|help|receive [SECONDS]" >&2; exit 2; }
target="${1:-}"
seconds="${2:-60}"
case "$seconds" in ''|*[!0-9]*) usage ;; esac

build=build-fuzz
corpus="$build/corpus-$target"
seed() { mkdir -p "$corpus"; [ -e "$corpus/seed-$1" ] || printf "$2" >"$corpus/seed-$1"; }
case "$target" in
    implode)
        binary=pklib_decompress_fuzz maxlen=20000
        # A few real streams, so the fuzzer starts from inputs that decode deep.
        seed blast-example '\x00\x04\x82\x24\x25\x8f\x80\x7f'
        seed ascii-run '\x01\x06\xe2\x19\x08\xf8\x07'
        ;;
    config)
        binary=config_file_fuzz maxlen=4096
        seed sections '[callsigns]\r\nMYCALL=AB1CD\r\nHISCALLLIST=A,"B C",D\r\n\r\n[system]\r\nTXEnable=EN\r\nRXGain=+6 dB\r\n[screen]\r\nMainWidth=640\r\nMainLeft=-20\r\n'
        ;;
    receive)
        binary=receive_status_fuzz maxlen=1024
        # The first byte picks the framing: even plain, odd escape mode.
        seed plain '\x00\x80\x20\x81\x80Hello\x80\x70N0CALL\x00'
        seed escape '\x01\x80\x91\xb1\x11ab\x13\x80\x20'
        ;;
    help)
        binary=help_text_fuzz maxlen=4096
        seed plain 'F1\tHelp\r\nF2\tConnect\r\nCtrl+\xc3\x84\tStop\r\n'
        seed html '<html><body><h1>Hot keys</h1><table><tr><td>F1</td><td>Help</td></tr></table></body></html>'
        seed latin1 'F3\tR\xfcckruf\n'
        ;;
    *) usage ;;
esac

cxx="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$cxx" ]; then
    echo "fuzz: clang++ is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2 --target "$binary" >/dev/null

log="$build/fuzz-$target.log"
set +e
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" QT_QPA_PLATFORM=offscreen "$build/$binary" -max_total_time="$seconds" -max_len="$maxlen" \
    -print_final_stats=1 -artifact_prefix="$build/" "$corpus" >"$log" 2>&1
status=$?
set -e
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz $target: finding; see $build/crash-* and $log" >&2
    exit 1
fi
runs="$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$' || echo '?')"
echo "fuzz $target: ${seconds}s, $runs runs, no finding"
