#!/usr/bin/env bash
# Runs Tarvis against the modem simulator: set-up, build, a station home folder whose COM1 is
# the simulator, the simulator, then Tarvis; the simulator stops when Tarvis closes.
#   scripts/run.sh [HOME]        HOME defaults to ./station
#   xvfb-run -a scripts/run.sh   on a machine without a display
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
home="$(mkdir -p "${1:-$PWD/station}" && cd "${1:-$PWD/station}" && pwd)"

"$repo/scripts/setup.sh"
cmake -S "$repo" -B "$repo/build" -G Ninja -DTARVIS_WERROR=ON >/dev/null
cmake --build "$repo/build" --target tarvis qd470sim -j"$(nproc)"

mkdir -p "$home/Config"
[ -f "$home/krn_hotkeys.dat" ] || cp "$repo/data/krn_hotkeys.dat" "$home/"
# A new station talks to the simulator on COM1; an existing configuration is left as it is.
[ -f "$home/Config/tarvis.ini" ] || printf '[system]\r\nComPort=1\r\n' > "$home/Config/tarvis.ini"

"$repo/build/bin/qd470sim" --link "$home/Config/COM1" --log "$home/qd470sim.log" \
    --control "$home/qd470sim.sock" --no-stdin &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -L "$home/Config/COM1" ] && break
    sleep 0.05
done

echo "Station $home: simulator log $home/qd470sim.log, control socket $home/qd470sim.sock"
(cd "$home" && "$repo/build/bin/tarvis")
