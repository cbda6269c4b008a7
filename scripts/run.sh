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

prepare() { # home call left
    mkdir -p "$1/Config"
    [ -f "$1/krn_hotkeys.dat" ] || cp "$repo/data/krn_hotkeys.dat" "$1/"
    # A new station talks to the simulator on COM1 and has a place of its own on the screen;
    # an existing configuration is left as it is.
    [ -f "$1/Config/tarvis.ini" ] ||
        printf '[callsigns]\r\nMYCALL=%s\r\n[system]\r\nComPort=1\r\n[screen]\r\nMainLeft=%s\r\nMainTop=60\r\n' \
            "$2" "$3" > "$1/Config/tarvis.ini"
}
# Side by side: B goes right of A's 750-pixel window, or as far right as a narrower screen
# allows while both stay in sight.
right=800
if screen_width="$(xdotool getdisplaygeometry 2>/dev/null | cut -d' ' -f1)" &&
    [ -n "$screen_width" ] && [ "$screen_width" -lt 1570 ]; then
    right=$((screen_width - 770 > 200 ? screen_width - 770 : 200))
fi
prepare "$top/A" AA1AA 20
prepare "$top/B" BB2BB "$right"

"$repo/build/bin/qd470sim" --station "$top/A/Config/COM1,control=$top/A/qd470sim.sock" \
    --station "$top/B/Config/COM1,control=$top/B/qd470sim.sock" \
    --log "$top/qd470sim.log" --no-stdin &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -L "$top/A/Config/COM1" ] && [ -L "$top/B/Config/COM1" ] && break
    sleep 0.05
done

cat <<EOF
Two stations are starting, joined by the modem simulator:
  A, own call AA1AA, on the left:   $top/A
  B, own call BB2BB, on the right:  $top/B
  the simulator's log:              $top/qd470sim.log

A first contact:
  1. Both windows come up in MIRVOL ("STBY" in the status bar). Without a sound card each
     says "Error Opening Sound Card": answer OK.
  2. In A press Connect, type BB2BB in the call dialog and press Call. A shows
     "ARQ Call to BB2BB", B "ARQ CCB from AA1AA"; then both show "Linked to" and the
     other's call.
  3. Type in A's transmit pane (the lower one). In WORD mode a word goes once you have typed
     the blank after it: B shows it in its receive pane, A shows it in red as the echo of
     what went out.
  4. The sides change over by themselves when A has nothing left to send; answer from B.
  5. Press Disconn in either station. Both return to "STBY".
Close both windows to end; the simulator stops with them.
EOF
(cd "$top/A" && "$repo/build/bin/tarvis") &
a=$!
(cd "$top/B" && "$repo/build/bin/tarvis") &
b=$!
wait "$a" "$b"
