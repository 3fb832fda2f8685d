#!/usr/bin/env bash
# gps-quillet-convert from the outside: options, CSV, bad lines, messages and
# exit statuses. Usage: cli_test.sh CONVERTER
set -u
convert=$1 failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sydney='-33.8688, 151.2093'

# check NAME STATUS INPUT STDOUT STDERR ARGUMENTS...
check() {
    local name=$1 status=$2 input=$3 out=$4 err=$5 got got_status
    shift 5
    got=$(printf '%s' "$input" | "$convert" "$@" 2>"$scratch/err")
    got_status=$?
    if [ "$got_status" != "$status" ] || [ "$got" != "$out" ] || [ "$(<"$scratch/err")" != "$err" ]; then
        printf 'FAIL %s: status %s\n%s\n--- stderr:\n%s\n' "$name" "$got_status" "$got" "$(<"$scratch/err")"
        failures=$((failures + 1))
    fi
}

# Every output mode is held to the window's texts by converter_test; here what
# only the command line has.
check receiver-read 0 '56s 334369 6250948' '-33.8688032°, 151.2093039°' ''
check version 0 '' 'gps-quillet-convert 1.00' '' --version

# Blank and comment lines pass through; a bad line leaves an empty line, a
# message naming it, and status 1; line ends are kept.
check bad-line 1 $'# waypoints\n\nabc\r\n'"$sydney"$'\n91, 0' \
    $'# waypoints\n\n\r\n-33.8688°, 151.2093°' \
    $'gps-quillet-convert: line 3: not a position: "abc"\ngps-quillet-convert: line 5: not a position: "91, 0"'
check from 1 $'56 H 334369 -3749052\n'"$sydney" $'-33.8688032°, 151.2093039°' \
    'gps-quillet-convert: line 2: not a position in utm: "-33.8688, 151.2093"' --from utm
check strict 1 $'x\ny' '' 'gps-quillet-convert: line 1: not a position: "x"' --strict
# Far outside its zone: the window refuses to show it, and so does the converter.
check unconvertible 1 $'1 N 834000 9999999\n0, 0' $'\n0° 0\' 0", 0° 0\' 0"' \
    'gps-quillet-convert: line 1: cannot be converted: "1 N 834000 9999999"' --to dms

# Usage errors and unreadable files: status 2, the other files still convert.
printf '%s\n' "$sydney" >"$scratch/one.txt"
check missing-file 2 '' '-33.8688°, 151.2093°' \
    'gps-quillet-convert: nothing.txt: No such file or directory' nothing.txt "$scratch/one.txt"
printf 'abc\n' >"$scratch/bad.txt"
check file-name 1 '' '' "gps-quillet-convert: $scratch/bad.txt: line 1: not a position: \"abc\"" "$scratch/bad.txt"
for usage in '--to xyz' '--false-northing' '--lat a --lon b' '--csv' '--csv --lat a'; do
    "$convert" $usage </dev/null >/dev/null 2>&1
    [ $? = 2 ] || { echo "FAIL usage $usage: not status 2"; failures=$((failures + 1)); }
done

# CSV: a byte-order mark, quoted fields with commas, quotes and a line end,
# a short row and a bad one; rows come back unchanged, quoted only as needed.
check csv 1 $'\xEF\xBB\xBFname,lat,lon\r\n"Sydney, ""NSW""",-33.8688,151.2093\r\n"two\nlines",10,20\r\nshort\r\nbad,abc,1\r\n' \
    $'name,lat,lon,latitude_dms,longitude_dms\r\n"Sydney, ""NSW""",-33.8688,151.2093,"-33° 52\' 7.68""","151° 12\' 33.48"""\r\n"two\nlines",10,20,"10° 0\' 0""","20° 0\' 0"""\r\nshort,,,,\r\nbad,abc,1,,\r' \
    $'gps-quillet-convert: line 5: missing column "lat": "short"\ngps-quillet-convert: line 6: not a position: "abc, 1"' \
    --csv --lat lat --lon lon --to dms
check csv-zone 0 $'z,e,n\n56H,334369,6250948\n56s,334369,6250948\n56,334369,6250948\n' \
    $'z,e,n,easting,northing,zone\n56H,334369,6250948,334369,-3749052,56 H\n56s,334369,6250948,334369,-3749052,56 H\n56,334369,6250948,334369,-3749052,56 H' \
    '' --csv --zone z --easting e --northing n --south --to utm
check csv-position 0 $'p\n'"\"$sydney\"" $'p,latitude_dd,longitude_dd\n"-33.8688, 151.2093",-33.8688°,151.2093°' '' \
    --csv --position p
check csv-no-column 2 $'a,b\n1,2\n' '' 'gps-quillet-convert: no column "lat" in the header' --csv --lat lat --lon b

[ "$failures" = 0 ] && echo "all passed"
exit $((failures > 0))
