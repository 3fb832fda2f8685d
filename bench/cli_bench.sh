#!/usr/bin/env bash
# The command-line converter against GeoConvert and cs2cs, as whole processes
# on the same files (UTM and MGRS), output to /dev/null: lines per second
# (medians of 5 interleaved runs) against each goal, peak memory at 100,000 and 4,000,000 lines, and start-up
# with one line. Usage: cli_bench.sh CONVERTER SCRATCH_DIR
set -euo pipefail
ours=$1 dir=$2 runs=${BENCH_CLI_RUNS:-5}
mkdir -p "$dir"
export LC_ALL=C.UTF-8

# Random positions, the same each time: DMS with letters anywhere (80 S to
# 84 N), and decimal degrees "lat lon" inside zone 56 for cs2cs.
dms() {
    awk -v n="$1" 'BEGIN { srand(1)
        for (i = 0; i < n; i++) { printf "%s %s\n", a(rand() * 164 - 80, "NS"), a(rand() * 360 - 180, "EW") } }
        function a(v, letters,   h, d, m, s) {
            h = substr(letters, v < 0 ? 2 : 1, 1); v = v < 0 ? -v : v
            d = int(v); m = int((v - d) * 60); s = ((v - d) * 60 - m) * 60; if (s >= 59.995) s = 59.99
            return sprintf("%d\302\260%02d\047%05.2f\"%s", d, m, s, h) }'
}
decimal() {
    awk -v n="$1" 'BEGIN { srand(2)
        for (i = 0; i < n; i++) printf "%.6f %.6f\n", rand() * 160 - 80, 150 + rand() * 6 }'
}
# Decimal degrees "lat lon" over Great Britain, for the National Grid.
britain() {
    awk -v n="$1" 'BEGIN { srand(3)
        for (i = 0; i < n; i++) printf "%.6f %.6f\n", 50.5 + rand() * 7, -5 + rand() * 6 }'
}
[ -s "$dir/dms.txt" ] || dms 1000000 >"$dir/dms.txt"
[ -s "$dir/gb.txt" ] || britain 1000000 >"$dir/gb.txt"
[ -s "$dir/dd.txt" ] || decimal 1000000 >"$dir/dd.txt"
[ -s "$dir/dd-100k.txt" ] || decimal 100000 >"$dir/dd-100k.txt"
[ -s "$dir/dd-4m.txt" ] || decimal 4000000 >"$dir/dd-4m.txt"
head -1 "$dir/dms.txt" >"$dir/one.txt"

# CPU seconds (user + system: the machine is shared, so wall time also
# counts other people's work), peak kilobytes and wall seconds of one run.
measure() {
    /usr/bin/time -f "%U %S %M %e" -o "$dir/time.txt" "$@" >/dev/null 2>"$dir/stderr.txt"
    awk '{ print $1 + $2, $3, $4 }' "$dir/time.txt"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

race() {  # name input "our command" "peer command" goal
    local name=$1 input=$2 ours_command=$3 peer_command=$4 goal=$5 i
    : >"$dir/ours.times"; : >"$dir/peer.times"
    for ((i = 0; i < runs; i++)); do
        measure sh -c "$ours_command <'$input'" | cut -d' ' -f1 >>"$dir/ours.times"
        measure sh -c "$peer_command <'$input'" | cut -d' ' -f1 >>"$dir/peer.times"
    done
    local lines a b
    lines=$(wc -l <"$input")
    a=$(median <"$dir/ours.times") b=$(median <"$dir/peer.times")
    awk -v name="$name" -v n="$lines" -v a="$a" -v b="$b" -v goal="$goal" 'BEGIN {
        printf "%-24s CPU: ours %6.3f s (%5.3f us/line)   peer %6.3f s (%5.3f us/line)   ratio %.2fx" \
            "  (goal >= %gx)  %s\n", name, a, a * 1e6 / n, b, b * 1e6 / n, b / a, goal, (b / a >= goal ? "met" : "MISSED") }'
}

echo "== Command-line converter: whole processes, medians of $runs =="
# The outputs must be the same positions before any time counts.
"$ours" --to utm --false-northing <"$dir/one.txt"
GeoConvert -u <"$dir/one.txt"
"$ours" --to mgrs <"$dir/one.txt"
GeoConvert -m <"$dir/one.txt"
race "DMS with letters -> UTM" "$dir/dms.txt" "'$ours' --to utm" "GeoConvert -u" 8
race "decimal degrees -> UTM" "$dir/dd.txt" "'$ours' --to utm" \
    "cs2cs -r +proj=longlat +datum=WGS84 +to +proj=utm +zone=56" 3
race "DMS with letters -> MGRS" "$dir/dms.txt" "'$ours' --to mgrs" "GeoConvert -m" 6
# Both run PROJ's transformation: the difference is reading and writing.
head -1 "$dir/gb.txt" >"$dir/one-gb.txt"
"$ours" --crs EPSG:27700 <"$dir/one-gb.txt"
race "decimal degrees -> 27700" "$dir/gb.txt" "'$ours' --crs EPSG:27700" "cs2cs -f %.3f EPSG:4326 EPSG:27700" 1.5
# The codes against the converter's own decimal degrees: at least 0.8 of its lines per second.
race "DMS -> Plus Code vs dd" "$dir/dms.txt" "'$ours' --to pluscode" "'$ours' --to dd" 0.8
race "DMS -> Maidenhead vs dd" "$dir/dms.txt" "'$ours' --to maidenhead" "'$ours' --to dd" 0.8

for lines in 100k 4m; do
    echo "peak memory, $lines lines: $(measure "$ours" --to utm "$dir/dd-$lines.txt" | cut -d' ' -f2) KiB"
done

# Start-up and one line: wall milliseconds of each run, by the shell's clock.
wall() { local start=$EPOCHREALTIME; "$@" >/dev/null; awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }'; }
: >"$dir/ours.times"; : >"$dir/peer.times"
for ((i = 0; i < 20; i++)); do
    wall "$ours" --to utm "$dir/one.txt" >>"$dir/ours.times"
    wall GeoConvert -u --input-file "$dir/one.txt" >>"$dir/peer.times"
done
echo "start-up and one line, median of 20: ours $(median <"$dir/ours.times") ms, GeoConvert $(median <"$dir/peer.times") ms"
: >"$dir/ours.times"; : >"$dir/peer.times"
for ((i = 0; i < 20; i++)); do
    wall "$ours" --crs EPSG:27700 "$dir/one-gb.txt" >>"$dir/ours.times"
    wall sh -c "cs2cs EPSG:4326 EPSG:27700 <'$dir/one-gb.txt'" >>"$dir/peer.times"
done
echo "start-up and one line with --crs EPSG:27700, median of 20: ours $(median <"$dir/ours.times") ms, cs2cs $(median <"$dir/peer.times") ms"
