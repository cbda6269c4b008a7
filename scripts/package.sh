#!/usr/bin/env bash
# Builds the Debian package of Tarvis: set-up, a build without the tests in build-package/
# (optimised as the tested build is; the package's programs are stripped), then CPack. The
# package lands in build-package/ as tarvis_VERSION_ARCH.deb; install it with
#   sudo apt install ./build-package/tarvis_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/tarvis_*.deb
