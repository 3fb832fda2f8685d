#!/usr/bin/env bash
# The command-line converter against GeoConvert and cs2cs, as whole processes
# on the same files (UTM and MGRS), output to /dev/null: lines per second
# (medians of 5 interleaved runs) against each goal, peak memory at 100,000 and 4,000,000 lines, and start-up
# with one line; then 10 million lines on 2 threads against 1 (wall time),
# the same races on 2 threads, pandas with pyproj, and peak memory at 1 and
# 20 million lines on 1 and 2 threads. Usage: cli_bench.sh CONVERTER SCRATCH_DIR
# (BENCH_CLI_PARTS=threads runs only the threads' part)
set -euo pipefail
ours=$1 dir=$2 runs=${BENCH_CLI_RUNS:-5} parts=${BENCH_CLI_PARTS:-all}
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
# Wall milliseconds by the shell's clock.
wall() { local start=$EPOCHREALTIME; "$@" >/dev/null; awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }'; }
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

if [ "$parts" = all ]; then
echo "== Command-line converter: whole processes, medians of $runs =="
# The outputs must be the same positions before any time counts.
"$ours" --to utm --false-northing <"$dir/one.txt"
GeoConvert -u <"$dir/one.txt"
"$ours" --to mgrs <"$dir/one.txt"
GeoConvert -m <"$dir/one.txt"
race "DMS with letters -> UTM" "$dir/dms.txt" "'$ours' --threads 1 --to utm" "GeoConvert -u" 8
race "decimal degrees -> UTM" "$dir/dd.txt" "'$ours' --threads 1 --to utm" \
    "cs2cs -r +proj=longlat +datum=WGS84 +to +proj=utm +zone=56" 3
race "DMS with letters -> MGRS" "$dir/dms.txt" "'$ours' --threads 1 --to mgrs" "GeoConvert -m" 6
# Both run PROJ's transformation: the difference is reading and writing.
head -1 "$dir/gb.txt" >"$dir/one-gb.txt"
"$ours" --crs EPSG:27700 <"$dir/one-gb.txt"
race "decimal degrees -> 27700" "$dir/gb.txt" "'$ours' --threads 1 --crs EPSG:27700" "cs2cs -f %.3f EPSG:4326 EPSG:27700" 1.5
# The codes against the converter's own decimal degrees: at least 0.8 of its lines per second.
race "DMS -> Plus Code vs dd" "$dir/dms.txt" "'$ours' --threads 1 --to pluscode" "'$ours' --threads 1 --to dd" 0.8
race "DMS -> Maidenhead vs dd" "$dir/dms.txt" "'$ours' --threads 1 --to maidenhead" "'$ours' --threads 1 --to dd" 0.8

for lines in 100k 4m; do
    echo "peak memory, $lines lines: $(measure "$ours" --threads 1 --to utm "$dir/dd-$lines.txt" | cut -d' ' -f2) KiB"
done

# Start-up and one line: wall milliseconds of each run, by the shell's clock.
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
fi

# ---- Every core: 10 million lines, 2 threads against 1 of the same binary.
# Wall time here, since that is what threads shorten: the runs alternate,
# so a neighbour's load falls on both alike.
[ -s "$dir/dms-10m.txt" ] || for i in $(seq 10); do cat "$dir/dms.txt"; done >"$dir/dms-10m.txt"
[ -s "$dir/gb-10m.txt" ] || for i in $(seq 10); do cat "$dir/gb.txt"; done >"$dir/gb-10m.txt"
[ -s "$dir/dd-10m.txt" ] || for i in $(seq 10); do cat "$dir/dd.txt"; done >"$dir/dd-10m.txt"
[ -s "$dir/dd-20m.txt" ] || cat "$dir/dd-10m.txt" "$dir/dd-10m.txt" >"$dir/dd-20m.txt"
threads_runs=${BENCH_THREADS_RUNS:-3}
wall_of() { measure "$@" | cut -d' ' -f3; }
speedup() {  # name input options... : 1 thread against 2, interleaved
    local name=$1 input=$2 i
    shift 2
    cmp -s <("$ours" --threads 1 "$@" "$input" 2>&1 | md5sum) <("$ours" --threads 2 "$@" "$input" 2>&1 | md5sum) ||
        { echo "$name: 2 threads differ from 1"; exit 1; }
    : >"$dir/one.times"; : >"$dir/two.times"
    for ((i = 0; i < threads_runs; i++)); do
        wall_of "$ours" --threads 1 "$@" "$input" >>"$dir/one.times"
        wall_of "$ours" --threads 2 "$@" "$input" >>"$dir/two.times"
    done
    local a b
    a=$(median <"$dir/one.times") b=$(median <"$dir/two.times")
    awk -v name="$name" -v a="$a" -v b="$b" 'BEGIN {
        printf "%-28s wall: 1 thread %6.2f s   2 threads %6.2f s   %.2fx  (goal >= 1.8x)  %s\n", name, a, b, a / b,
            (a / b >= 1.8 ? "met" : "MISSED") }'
}
# A race in wall time: ours on 2 threads against a single-threaded peer, on
# the million-line files of the races above (the peers take minutes for ten).
wall_race() {  # name input "our command" "peer command"
    local name=$1 input=$2 i a b
    : >"$dir/ours.times"; : >"$dir/peer.times"
    for ((i = 0; i < threads_runs; i++)); do
        wall_of sh -c "$3 <'$input'" >>"$dir/ours.times"
        wall_of sh -c "$4 <'$input'" >>"$dir/peer.times"
    done
    a=$(median <"$dir/ours.times") b=$(median <"$dir/peer.times")
    awk -v name="$name" -v a="$a" -v b="$b" 'BEGIN {
        printf "%-28s wall: ours %6.2f s   peer %6.2f s   ratio %.2fx\n", name, a, b, b / a }'
}
echo
echo "== Every core: 10 million lines, $(nproc) cores, medians of $threads_runs =="
speedup "DMS with letters -> UTM" "$dir/dms-10m.txt" --to utm
speedup "DMS with letters -> MGRS" "$dir/dms-10m.txt" --to mgrs
speedup "decimal degrees -> 27700" "$dir/gb-10m.txt" --crs EPSG:27700
wall_race "DMS -> UTM, 2 threads" "$dir/dms.txt" "'$ours' --threads 2 --to utm" "GeoConvert -u"
wall_race "DMS -> MGRS, 2 threads" "$dir/dms.txt" "'$ours' --threads 2 --to mgrs" "GeoConvert -m"
wall_race "dd -> UTM, 2 threads" "$dir/dd.txt" "'$ours' --threads 2 --to utm" \
    "cs2cs -r +proj=longlat +datum=WGS84 +to +proj=utm +zone=56"
wall_race "dd -> 27700, 2 threads" "$dir/gb.txt" "'$ours' --threads 2 --crs EPSG:27700" \
    "cs2cs -f %.3f EPSG:4326 EPSG:27700"
# What a data person would run instead: pandas reads the columns, pyproj
# transforms them as arrays, pandas writes them (Debian's python3).
cat >"$dir/pandas_pyproj.py" <<'PYTHON'
import sys
import pandas
import pyproj
target = sys.argv[1]
frame = pandas.read_csv(sys.stdin, sep=" ", header=None, names=["lat", "lon"])
transformer = pyproj.Transformer.from_crs("EPSG:4326", target, always_xy=True)
frame["x"], frame["y"] = transformer.transform(frame["lon"].values, frame["lat"].values)
frame[["x", "y"]].to_csv(sys.stdout, sep=" ", header=False, index=False, float_format="%.3f")
PYTHON
head -1 "$dir/gb.txt" | /usr/bin/python3 "$dir/pandas_pyproj.py" EPSG:27700
for threads in 1 2; do
    wall_race "dd -> 27700 vs pandas, $threads thr" "$dir/gb.txt" "'$ours' --threads $threads --crs EPSG:27700" \
        "/usr/bin/python3 '$dir/pandas_pyproj.py' EPSG:27700"
    wall_race "dd -> UTM vs pandas, $threads thr" "$dir/dd.txt" "'$ours' --threads $threads --to utm" \
        "/usr/bin/python3 '$dir/pandas_pyproj.py' EPSG:32756"
done
for lines in 1m 20m; do
    [ "$lines" = 1m ] && file=$dir/dd.txt || file=$dir/dd-$lines.txt
    for threads in 1 2; do
        echo "peak memory, $lines lines, $threads threads: $(measure "$ours" --threads $threads --to utm "$file" | cut -d' ' -f2) KiB"
    done
done
: >"$dir/ours.times"
for ((i = 0; i < 20; i++)); do wall "$ours" --to utm "$dir/one.txt" >>"$dir/ours.times"; done
echo "start-up and one line (threads as the cores allow), median of 20: $(median <"$dir/ours.times") ms"
