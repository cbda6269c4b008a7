#!/usr/bin/env bash
# Renders the application icon, data/icons/hicolor/scalable/apps/org.tarvis.Tarvis.svg, to the
# PNG sizes of the hicolor theme beside it. The PNGs are kept in the repository, so this is run
# only after the drawing changes (it needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" scalable/apps/org.tarvis.Tarvis.svg \
        --output "${size}x${size}/apps/org.tarvis.Tarvis.png"
done
