#!/usr/bin/env bash
# Makes the window's screenshots again, on an X server of its own (Xvfb,
# with a window manager): the window as it opens, and with the notations
# panel open on a British and on a southern position, at scale 1 and 2.
# Usage: scripts/screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
out=${2:-$root/docs/screenshots}
driver=$build/tools/form_driver/form-driver
[ -x "$driver" ] || { echo "no $driver: build first (cmake --build --preset default)" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
script=$(mktemp)
trap 'rm -f "$script"' EXIT
for scale in 1 2; do
    cat >"$script" <<SCRIPT
screenshot $out/window@${scale}x.png
pick cmbInput 2
type txtDecLatIn(1) 51.5007
type txtDecLonIn(1) -0.1246
tab
key Ctrl+L
click btnCopy_bng
expect layout
expect fits
screenshot $out/notations-british@${scale}x.png
type txtDecLatIn(1) -33.8688
type txtDecLonIn(1) 151.2093
tab
click btnCopy_utm-receiver
screenshot $out/notations-southern@${scale}x.png
SCRIPT
    # Room for the open window at twice the scale.
    QUILLET_X_SCREEN=2560x1600x24 QT_SCALE_FACTOR=$scale "$root/tests/desktop/on_x.sh" "$driver" "$script" >/dev/null
done
ls "$out"
