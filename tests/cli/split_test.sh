#!/usr/bin/env bash
# Parts of a file cut at any line ends convert to the parts of the whole's
# output: GNU parallel's --pipe cuts a million lines into blocks of random
# sizes, converts them on separate processes and joins them in order (-k).
# Usage: split_test.sh CONVERTER
set -u
convert=$1 failures=0
command -v parallel >/dev/null || { echo "GNU parallel is not installed (scripts/setup.sh)"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Positions in several notations, labels, CRLF, blank, comment and bad lines.
awk 'BEGIN {
    srand(11)
    for (i = 0; i < 1000000; i++) {
        lat = rand() * 160 - 80; lon = rand() * 358 - 179
        k = i % 8
        if (k == 0) printf "%.5f, %.5f\n", lat, lon
        else if (k == 1) printf "%d°%d\x27%.1f\"%s %d°%d\x27%.1f\"%s %% %d\n", int(lat < 0 ? -lat : lat), i % 60, (i % 600) / 10, lat < 0 ? "S" : "N", int(lon < 0 ? -lon : lon), i % 60, (i % 300) / 5, lon < 0 ? "W" : "E", i
        else if (k == 2) printf "%d%s %d %d\r\n", i % 60 + 1, substr("CDEFGHJKLMNPQRSTUVWX", i % 20 + 1, 1), 200000 + i % 600000, 1000000 + i % 8000000
        else if (k == 3) printf "%.4f %.4f\n", lat, lon
        else if (k == 4) print (i % 3 ? "" : "# note")
        else if (k == 5) print "not here"
        else if (k == 6) printf "33TWP%05d%05d\n", i % 100000, (i * 7) % 100000
        else printf "%.6f,%.6f\n", lat, lon
    } }' >"$scratch/lines.txt"
# CSV rows without a header: a quoted field, an empty one, a bad one.
awk 'BEGIN {
    srand(12)
    for (i = 0; i < 1000000; i++)
        printf "%d,\"x, %d\",%s,%.5f,\n", i, i % 7, i % 97 ? sprintf("%.5f", rand() * 160 - 80) : "?", rand() * 358 - 179 }' >"$scratch/rows.csv"

same_in_parts() {  # NAME INPUT ARGUMENTS...
    local name=$1 input=$2 block=$((RANDOM % 1900 + 100))k
    shift 2
    "$convert" --threads 1 "$@" <"$input" >"$scratch/whole" 2>/dev/null
    parallel --pipe -k --block "$block" "$convert" "$@" <"$input" >"$scratch/parts" 2>/dev/null
    cmp -s "$scratch/whole" "$scratch/parts" ||
        { echo "FAIL $name: parts of $block differ from the whole"; failures=$((failures + 1)); }
}
same_in_parts mgrs "$scratch/lines.txt" --to mgrs
same_in_parts geojson-labels "$scratch/lines.txt" --to geojson --comment %
same_in_parts csv "$scratch/rows.csv" --csv --no-header --lat 3 --lon 4 --to dms

[ "$failures" = 0 ] && echo "all passed"
exit $((failures > 0))
