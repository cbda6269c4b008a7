#!/usr/bin/env bash
# Builds the Debian package from the build with CPack and checks it: its control fields and
# dependencies, that it holds exactly what `cmake --install` puts under /usr, owned by root,
# with stripped programs whose libraries are all found.
#   tests/install/debian-package.sh BUILD-FOLDER VERSION
set -uo pipefail
source "$(dirname "$0")/checks.sh"
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb="$work/out/tarvis_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: no $deb; cpack made: $(ls "$work/out")" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tarvis ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Section)" = hamradio ] || fail "Section is $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends="$(field Depends)"
depended="$(tr ',' '\n' <<<"$depends" | awk '{print $1}')"
# The libraries the programs link, and Qt's window-system plugins, which none links.
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libportaudio2 libfftw3-single3 qt6-qpa-plugins; do
    grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package: $depends"
done
if grep -q -- '-dev$' <<<"$depended"; then
    fail "Depends names a development package: $depends"
fi

# The package holds what an install under /usr holds, file for file.
DESTDIR="$work/installed" cmake --install "$build" --prefix /usr >/dev/null 2>&1 ||
    fail "cmake --install failed"
(cd "$work/installed" && find . ! -type d | sort) >"$work/installed.list"
dpkg-deb --contents "$deb" | grep -v '^d' | awk '{print $6}' | sort >"$work/package.list"
if ! diff -u "$work/installed.list" "$work/package.list" >"$work/lists.diff"; then
    fail "the package and the install differ: $(cat "$work/lists.diff")"
fi
if dpkg-deb --contents "$deb" | awk '{print $2}' | grep -qv '^root/root$'; then
    fail "files not owned by root: $(dpkg-deb --contents "$deb" | grep -v ' root/root ')"
fi

dpkg-deb --extract "$deb" "$work/root"
check_libraries "$work/root"
check_desktop_files "$work/root" /usr
while IFS= read -r -d '' file; do
    is_elf "$file" || continue
    if readelf -S "$file" | grep -q '\.debug_info'; then
        fail "$file is not stripped"
    fi
done < <(find "$work/root" -type f -print0)
[ "$failures" -eq 0 ] || exit 1
echo "Debian package $(basename "$deb"): every check passed"
