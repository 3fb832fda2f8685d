#!/usr/bin/env bash
# The long robustness run, started by hand (`make robustness-long`): every fuzz
# target for FUZZ_SECONDS (default 360), and random walks of WALK_STEPS steps
# in all (default 100000, in walks of 10000 from seed WALK_FIRST_SEED) under
# ASan + UBSan. Niced, two fuzzers and the walks at a time; logs and any
# findings (crash inputs, walk-failure-SEED.txt) go to build/robustness-long.
# FUZZ_SECONDS=0 or WALK_STEPS=0 leaves that half out.
set -uo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-360}
walk_steps=${WALK_STEPS:-100000}
first_seed=${WALK_FIRST_SEED:-1000}
log=$PWD/build/robustness-long

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || exit 1
cmake --preset asan >/dev/null && cmake --build --preset asan || exit 1
mkdir -p "$log"
export QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME=
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0

fuzz() {
    [ "$fuzz_seconds" -gt 0 ] || return 0
    for target in "$@"; do
        nice -n 10 build/fuzz/fuzz/fuzz_$target -max_total_time="$fuzz_seconds" -timeout=5 -print_final_stats=1 \
            -artifact_prefix="$log/$target-" build/fuzz/fuzz/corpus/$target fuzz/corpus/$target \
            >"$log/fuzz_$target.log" 2>&1 || echo "fuzz_$target FOUND SOMETHING: $log/fuzz_$target.log"
    done
}

walk() {
    local seed=$first_seed left=$walk_steps
    : >"$log/walk.log"
    while [ "$left" -gt 0 ]; do
        local steps=$((left < 10000 ? left : 10000))
        (cd "$log" && nice -n 10 ../asan/tools/form_driver/form-driver --walk $seed $steps >>walk.log 2>/dev/null) ||
            echo "walk seed $seed FOUND SOMETHING: $log/walk.log"
        left=$((left - steps)) seed=$((seed + 1))
    done
}

start=$(date +%s)
fuzz text &
fuzz projection &
[ "$walk_steps" -gt 0 ] && walk &
wait
echo "== after $(( $(date +%s) - start )) s"
[ "$fuzz_seconds" -gt 0 ] && for target in text projection; do
    echo "fuzz_$target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log/fuzz_$target.log" | grep -o '[0-9]*$') executions"
done
[ "$walk_steps" -gt 0 ] && grep -h '"walk"' "$log/walk.log" | sed 's/.*"steps":\([0-9]*\).*/\1/' | awk '{s += $1} END {print "walk: " s " steps"}'
grep -h '"fail"' "$log/walk.log" 2>/dev/null || true
