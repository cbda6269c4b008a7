# Checks of an installed Tarvis tree, shared by the tests of `cmake --install` and of the
# Debian package. Sourced; each check names what is wrong and counts it in $failures.

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Waits up to SECONDS for COMMAND to succeed.
wait_until() { # SECONDS COMMAND...
    local limit=$(($1 * 10))
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# True when FILE has at least N lines that hold TEXT.
lines_with() { # N TEXT FILE
    [ "$(grep -c -e "$2" "$3")" -ge "$1" ]
}

is_elf() { [ "$(od -An -tx1 -N4 "$1" | tr -d ' \n')" = 7f454c46 ]; }

# Every ELF file under ROOT: each library it needs is found, and its run paths are relative
# to the file itself ($ORIGIN), never a folder of the build.
check_libraries() { # ROOT
    local file entry
    while IFS= read -r -d '' file; do
        is_elf "$file" || continue
        if ldd "$file" 2>&1 | grep -q 'not found'; then
            fail "$file does not find $(ldd "$file" | grep 'not found' | awk '{print $1}' | xargs)"
        fi
        while IFS= read -r entry; do
            case "$entry" in
                '$ORIGIN' | '$ORIGIN/'*) ;;
                *) fail "$file has the run path '$entry', which is not relative to it" ;;
            esac
        done < <(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p' | tr ':' '\n')
    done < <(find "$1" -type f -print0)
}

# The desktop entry and the software-centre description validate, the entry's program and its
# icon at every size are installed, and every program has a manual page that reads without a
# warning.
check_desktop_files() { # ROOT PREFIX
    local top="$1$2" entry program icon size page out
    for entry in "$top"/share/applications/*.desktop; do
        out="$(desktop-file-validate "$entry" 2>&1)" && [ -z "$out" ] || fail "$entry: $out"
        program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
        [ -x "$top/bin/$program" ] || fail "$entry starts $program, which is not installed"
        icon="$(sed -n 's/^Icon=//p' "$entry")"
        for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
            [ -f "$top/share/icons/hicolor/$size/apps/$icon.png" ] || fail "no $size icon $icon"
        done
        [ -f "$top/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
    done
    for entry in "$top"/share/metainfo/*.metainfo.xml; do
        out="$(appstreamcli validate --no-net --no-color "$entry" 2>&1)" || fail "$entry: $out"
    done
    for program in "$top"/bin/*; do
        page="$top/share/man/man1/$(basename "$program").1.gz"
        if [ ! -f "$page" ]; then
            fail "$(basename "$program") has no manual page"
            continue
        fi
        out="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
        [ -z "$out" ] || fail "$page: $out"
    done
}

# Every program starts. The command-line programs answer --help; Tarvis is started as its menu
# entry starts it, by its launcher, for a new user, against the modem simulator on COM1 of the
# station folder, on the offscreen platform, and must reach its main window: only from there
# does it handle what the modem reports (the simulator's hardware reset, after which Tarvis sets
# its mode up again), and only a close of the main window sends the modem its reset 80 09 last
# and writes the configuration.
check_programs_start() { # ROOT PREFIX WORK
    local bin="$1$2/bin" work="$3" program out status
    for program in "$bin"/*; do
        case "$(basename "$program")" in
            tarvis | tarvis-station) continue ;;
        esac
        out="$(timeout 20 "$program" --help 2>&1 </dev/null)"
        status=$?
        if [ "$status" -gt 2 ] || grep -q 'error while loading' <<<"$out"; then
            fail "$(basename "$program") --help ended with $status: $out"
        fi
    done

    local user="$work/user"
    local station="$user/.local/share/tarvis/station"
    mkdir -p "$station/Config"
    printf '[system]\r\nComPort=1\r\n' >"$station/Config/tarvis.ini"
    # A sound card that takes and gives silence, so that start-up asks the operator nothing.
    printf 'pcm.!default { type null }\n' >"$user/.asoundrc"

    local log="$work/qd470sim.log"
    mkfifo "$work/control"
    "$bin/qd470sim" --link "$station/Config/COM1" --log "$log" <"$work/control" >/dev/null &
    local sim=$!
    exec {control}>"$work/control"
    if ! wait_until 30 test -L "$station/Config/COM1"; then
        fail "qd470sim made no link"
        kill "$sim"
        return
    fi

    env -u XDG_DATA_HOME HOME="$user" QT_QPA_PLATFORM=offscreen "$bin/tarvis-station" \
        >"$work/tarvis.out" 2>&1 &
    local tarvis=$!
    # 80 13, the own call, is part of setting the mode up.
    if ! wait_until 60 lines_with 1 ' 80 13 ' "$log"; then
        fail "tarvis did not set its mode up; the simulator heard: $(tail -n 5 "$log")"
    else
        echo "status 09" >&"$control"
        wait_until 60 lines_with 2 ' 80 13 ' "$log" ||
            fail "tarvis did not reach its main window: no set-up after the hardware reset"
    fi
    kill -TERM "$tarvis"
    wait "$tarvis"
    status=$?
    [ "$status" -eq 0 ] || fail "tarvis ended with $status: $(cat "$work/tarvis.out")"
    # The simulator has read everything once it has seen the port closed (after the probe at
    # start-up, a second time).
    wait_until 30 lines_with 2 'port closed by the host' "$log" || fail "the port stayed open"
    local last
    last="$(grep -E '^[0-9:.]+ 80 [0-9A-F]{2}' "$log" | tail -n 1 | cut -d' ' -f2-)"
    [ "$last" = "80 09" ] || fail "the last command tarvis sent was '$last', not the reset 80 09"
    grep -q '^MainWidth=' "$station/Config/tarvis.ini" || fail "tarvis did not write its settings"
    cmp -s "$station/krn_hotkeys.dat" "$1$2/share/tarvis/krn_hotkeys.dat" ||
        fail "the launcher did not put the hot-key list in the station folder"
    for folder in In Out Msg; do
        [ -d "$station/$folder" ] || fail "no $folder folder in the station folder"
    done

    echo quit >&"$control"
    exec {control}>&-
    wait "$sim"
}
