#!/usr/bin/env bash
# Installs the build into a temporary root as `cmake --install` does for a user, and checks the
# tree: every library is found, the desktop entry, description and manual pages validate, and
# every program starts (Tarvis from its menu entry's launcher, against the modem simulator).
#   tests/install/installed-tree.sh BUILD-FOLDER
set -uo pipefail
source "$(dirname "$0")/checks.sh"
build="$1"
work="$(mktemp -d)"
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

if ! DESTDIR="$work/root" cmake --install "$build" --prefix /usr/local >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    exit 1
fi
check_libraries "$work/root"
check_desktop_files "$work/root" /usr/local
check_programs_start "$work/root" /usr/local "$work"
[ "$failures" -eq 0 ] || exit 1
echo "installed tree: every check passed"
