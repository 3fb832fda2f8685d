#!/usr/bin/env bash
# Builds and runs every benchmark, prints the ratios and the goals, and keeps
# the output in build/bench/results.txt. `make bench` runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
packages=(
    libbenchmark-dev     # Google Benchmark
    libgeographiclib-dev # the projection and text conversion to compare with
    geographiclib-tools proj-bin time  # GeoConvert and cs2cs to race the command-line converter; /usr/bin/time
    xvfb xauth           # an X server for the start-up run on a real display protocol
    python3-pandas python3-pyproj  # the race a data person would run instead: columns through pyproj
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset bench
cmake --build --preset bench

bin=build/bench/bench
repetitions=${BENCH_REPETITIONS:-10}
startups=${BENCH_STARTUPS:-20}
export QT_QPA_PLATFORMTHEME=
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
{
    echo "== Machine =="
    echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
    echo "memory: $(free -h | awk '/^Mem:/ {print $2}'), kernel $(uname -r), glibc $(ldd --version | head -1 | awk '{print $NF}')"
    echo "versions: Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo ?)," \
         "GeographicLib $(pkg-config --modversion geographiclib), PROJ $(pkg-config --modversion proj)," \
         "Google Benchmark $(dpkg-query -W -f='${Version}' libbenchmark-dev)"
    echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo
    # Single core, interleaved repetitions, medians of CPU time.
    nice -n 10 "$bin/conversion-bench" --benchmark_color=false --benchmark_repetitions="$repetitions" \
        --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 \
        --benchmark_report_aggregates_only=true
    echo
    QT_QPA_PLATFORM=offscreen nice -n 10 "$bin/window-bench" startup "$startups"
    echo
    QT_QPA_PLATFORM=xcb nice -n 10 xvfb-run -a -s "-screen 0 1024x768x24" "$bin/window-bench" startup "$startups"
    echo
    QT_QPA_PLATFORM=offscreen nice -n 10 "$bin/window-bench" latency 2000
    echo
    # UTM and MGRS races against GeoConvert and cs2cs, each with its goal; then
    # 10 million lines on 2 threads against 1, and pandas with pyproj
    nice -n 10 bench/cli_bench.sh build/bench/cli/gps-quillet-convert build/bench/cli-data
    echo
    echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} 2>&1 | tee build/bench/results.txt
