#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing, packaging and running Tarvis need.
#   scripts/setup.sh [PACKAGE...]    and these besides
# Safe to run again: it asks apt only when something is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev libglx-dev libvulkan-dev
    qt6-gtk-platformtheme
    libgtest-dev googletest
    portaudio19-dev libfftw3-dev
    libstorm-dev
    clang libclang-rt-14-dev
    xvfb xauth fonts-dejavu-core
    desktop-file-utils appstream man-db dpkg-dev
)
# A script that needs more (the screenshot script, for one) names its packages as arguments.
PACKAGES+=("$@")

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
