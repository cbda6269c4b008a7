#!/usr/bin/env bash
# Runs two Tarvis stations joined by the modem simulator, so that a contact can be held at
# once: set-up, build, two station home folders (A and B, with their own calls) whose COM1 is
# one simulator's station each, the simulator, then both stations; the simulator stops when
# both have closed.
#   scripts/run.sh [FOLDER]        FOLDER (default ./stations) holds the homes A and B
#   xvfb-run -a scripts/run.sh     on a machine without a display
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
top="${1:-$PWD/stations}"
mkdir -p "$top"
top="$(cd "$top" && pwd)"

"$repo/scripts/setup.sh"
cmake -S "$repo" -B "$repo/build" -G Ninja -DTARVIS_WERROR=ON >/dev/null
cmake --build "$repo/build" --target tarvis qd470sim -j"$(nproc)"

prepare() { # home call
    mkdir -p "$1/Config"
    [ -f "$1/krn_hotkeys.dat" ] || cp "$repo/data/krn_hotkeys.dat" "$1/"
    # A new station talks to the simulator on COM1; an existing configuration is left as it is.
    [ -f "$1/Config/tarvis.ini" ] ||
        printf '[callsigns]\r\nMYCALL=%s\r\n[system]\r\nComPort=1\r\n' "$2" > "$1/Config/tarvis.ini"
}
prepare "$top/A" AA1AA
prepare "$top/B" BB2BB

"$repo/build/bin/qd470sim" --station "$top/A/Config/COM1,control=$top/A/qd470sim.sock" \
    --station "$top/B/Config/COM1,control=$top/B/qd470sim.sock" \
    --log "$top/qd470sim.log" --no-stdin &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -L "$top/A/Config/COM1" ] && [ -L "$top/B/Config/COM1" ] && break
    sleep 0.05
done

echo "Stations $top/A (AA1AA) and $top/B (BB2BB); simulator log $top/qd470sim.log"
(cd "$top/A" && "$repo/build/bin/tarvis") &
a=$!
(cd "$top/B" && "$repo/build/bin/tarvis") &
b=$!
wait "$a" "$b"
