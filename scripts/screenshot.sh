#!/usr/bin/env bash
# Makes the README's picture, docs/first-contact.png: the run script's two stations on a
# virtual screen, A calling B, both linked, a few words each way, then a shot of the screen.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$repo/docs/first-contact.png}")"

"$repo/scripts/setup.sh" xdotool imagemagick >/dev/null
cmake -S "$repo" -B "$repo/build" -G Ninja -DTARVIS_WERROR=ON >/dev/null
cmake --build "$repo/build" --target tarvis qd470sim >/dev/null

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Two 750 by 390 windows side by side, as the run script places them on a wide screen.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1580x470x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# A sound card that takes and gives silence, so that neither station asks about one.
mkdir -p "$work/config/alsa"
echo 'pcm.!default { type null }' >"$work/config/alsa/asoundrc"
XDG_CONFIG_HOME="$work/config" "$repo/scripts/run.sh" "$work/stations" >"$work/run.log" 2>&1 &
pids+=($!)

log="$work/stations/qd470sim.log"
wait_for() { # SECONDS WHAT COMMAND...
    local limit=$(($1 * 10)) what="$2"
    shift 2
    for ((i = 0; i < limit; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "screenshot: $what did not happen; the simulator heard:" >&2
    tail -n 20 "$log" >&2
    exit 1
}
heard() { [ "$(grep -c -e "$1" "$log" 2>/dev/null)" -ge "$2" ]; }
windows() { [ "$(xdotool search --onlyvisible --name "$1" | wc -l)" -ge "$2" ]; }
wait_for 120 "both main windows" windows '^Vantor Tarvis' 2
# Station A is the window on the left.
station_a="" station_b=""
for w in $(xdotool search --onlyvisible --name '^Vantor Tarvis'); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$X" -lt 400 ]; then station_a="$w"; else station_b="$w"; fi
done

type_line() { # WINDOW TEXT: click into the window's transmit pane and type a line
    xdotool mousemove --window "$1" 300 340 click 1
    sleep 0.3
    xdotool type --delay 60 "$2"
    xdotool key Return
}
# Connect on A's tool bar; the call dialog takes B's call, and Return calls.
xdotool mousemove --window "$station_a" 33 40 click 1
wait_for 10 "the call dialog" windows '^Select call$' 1
xdotool windowfocus "$(xdotool search --onlyvisible --name '^Select call$')"
xdotool type --delay 60 "BB2BB"
xdotool key Return
wait_for 30 "the link" heard 'sent 80 20' 2
type_line "$station_a" "GOOD MORNING OM, NAME IS ANNA, QTH BERGEN. HOW COPY?"
wait_for 60 "A's line on the air" heard '\\r\\n' 1
# A has nothing left to send: the link turns round, and B answers.
sleep 5
type_line "$station_b" "FB ANNA, SOLID COPY HERE. NAME BORIS, QTH OSLO. 73"
wait_for 60 "B's line on the air" heard '\\r\\n' 2
sleep 8
import -window root -crop 1550x410+10+50 +repage "$out"
for w in "$station_a" "$station_b"; do kill -TERM "$(xdotool getwindowpid "$w")"; done
echo "screenshot: $out"
