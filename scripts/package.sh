#!/usr/bin/env bash
# Builds the Debian package of Tarvis: set-up, an optimised build without the tests in
# build-package/, then CPack. The package lands in build-package/ as tarvis_VERSION_ARCH.deb;
# install it with   sudo apt install ./build-package/tarvis_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVIS_WERROR=ON
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/tarvis_*.deb
