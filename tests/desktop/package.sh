#!/usr/bin/env bash
# Builds the .deb from the build tree, unpacks it into a scratch root and
# checks it as a desktop would find it: the program, its menu entry, its
# icons and metainfo, valid by Debian's own validators, and dependencies
# taken from the libraries the program links.
# Usage: package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1 scratch=$2
source "$(dirname "$0")/png_size.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch" && mkdir -p "$scratch"
cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail cpack; }
deb=$(echo "$scratch"/gps-quillet_*.deb)
[ -f "$deb" ] || fail "no .deb in $scratch"

[ "$(dpkg-deb -f "$deb" Package)" = gps-quillet ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.00 ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
# QtNetwork is the street map's module's, found there by dpkg-shlibdeps too.
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libproj25; do
    [[ ", $depends" == *", $library ("* ]] || fail "Depends lacks $library: $depends"
done
[[ ", $depends," == *", proj-data,"* ]] || fail "Depends lacks proj-data: $depends"
[[ ", $(dpkg-deb -f "$deb" Recommends)," == *", qt6-wayland,"* ]] || fail "Recommends lacks qt6-wayland"

# Exactly these files; the form driver and the tests stay out.
id=org.gpsquillet.gpsquillet
expected="./usr/bin/gps-quillet
./usr/bin/gps-quillet-convert
./usr/lib/gps-quillet/gps-quillet-tiles.so
./usr/share/applications/$id.desktop
./usr/share/bash-completion/completions/gps-quillet-convert
./usr/share/icons/hicolor/32x32/apps/gps-quillet.png
./usr/share/icons/hicolor/64x64/apps/gps-quillet.png
./usr/share/icons/hicolor/scalable/apps/gps-quillet.svg
./usr/share/man/man1/gps-quillet-convert.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] || fail "contents differ:"$'\n'"$files"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/$id.desktop
# Silence from one validator and nothing but success from the other, hints included.
report=$(desktop-file-validate "$entry" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
report=$(appstreamcli validate-tree --pedantic --no-net "$root" 2>&1) &&
    [ "$report" = "✔ Validation was successful." ] || fail "appstreamcli validate-tree: $report"

key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Name)" = "GPS Quillet" ] || fail "Name=$(key Name)"
[ "$(key Comment)" = "Converts GPS coordinates (longitude, latitude, and UTM) to different formats." ] ||
    fail "Comment=$(key Comment)"
[ -x "$root/usr/bin/$(key Exec)" ] || fail "Exec=$(key Exec) is not in the package"
icon=$(key Icon)
for size in 32 64; do
    picture=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    [ "$(png_size "$picture")" = "${size}x$size" ] || fail "$picture is not $size pixels square"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
echo "package ok: $(basename "$deb"), Depends: $depends"
