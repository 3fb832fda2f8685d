#!/usr/bin/env bash
# Installs from Debian's packages whatever GPS Quillet needs to build, run
# and test, and skips what is already there. Debian 12 or newer.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config   # the tool chain
    qt6-base-dev                            # Qt 6 Widgets
    libcli11-dev libcsv-dev                 # the command-line converter: its options, and CSV
    nlohmann-json3-dev                      # the reader's GeoJSON (header-only: no run-time package)
    libproj-dev proj-data                   # PROJ: national grids and every other datum, and its database
    proj-bin                                # tests: cs2cs, the oracle of --crs
    fonts-liberation2                       # the face closest to the window's "MS Sans Serif"
    locales                                 # tests build a German locale to prove numbers ignore it
    libgtest-dev libgeographiclib-dev       # tests: GoogleTest, and GeographicLib as the projection's oracle
    dpkg-dev file                           # CPack's .deb: dpkg-shlibdeps finds the libraries, file finds the binaries
    desktop-file-utils appstream            # tests: validate the desktop entry and the AppStream metainfo
    xvfb openbox x11-utils                  # tests: a real X server, a window manager, and xprop to wait for it
    libxtst-dev                             # tests: the form driver's real clicks and keys through the X server
    clang-14 libclang-rt-14-dev             # fuzz targets: clang with libFuzzer and its sanitizers
    valgrind                                # tests: no leak from start to close of the window
    parallel                                # tests: GNU parallel cuts a file into parts for the converter
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
