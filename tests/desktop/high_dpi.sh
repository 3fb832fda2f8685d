#!/usr/bin/env bash
# Plays the high-DPI scenario on its own Xvfb with Qt's xcb platform, at
# scale 1 and 2, and checks that every screenshot is the window's 352 x 227
# device-independent pixels times the scale.
# Usage: high_dpi.sh FORM_DRIVER SCENARIO SCRATCH_DIR
set -euo pipefail
driver=$1 scenario=$2 scratch=$3
source "$(dirname "$0")/png_size.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch" && mkdir -p "$scratch"
# Xvfb picks a free display itself and writes its number to the file, so
# tests running at the same time never race for one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log"; fail "Xvfb did not start"; }

for scale in 1 2; do
    mkdir "$scratch/$scale"
    (cd "$scratch/$scale" &&
        env -u QT_SCREEN_SCALE_FACTORS -u QT_ENABLE_HIGHDPI_SCALING DISPLAY=":$(cat "$scratch/display")" \
            QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_SCALE_FACTOR=$scale "$driver" "$scenario") ||
        fail "scenario at scale $scale"
    for shot in dms utm; do
        size=$(png_size "$scratch/$scale/$shot.png")
        [ "$size" = "$((352 * scale))x$((227 * scale))" ] || fail "$shot.png at scale $scale is $size"
    done
done
echo "screenshots in $scratch"
