#!/bin/sh
# Builds the libFuzzer targets with clang (build/fuzz) and runs each for
# SECONDS (60 by default), or only the TARGETs named. Prints one line per
# target: executions, executions per second, coverage (cov: edges, ft:
# features), inputs kept and crashes.
#
#     scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Each target grows its own corpus in build/fuzz/corpus/TARGET, starting from
# fuzz/corpus/TARGET; a crashing input is written to
# build/fuzz/artifacts/TARGET/ and the full log to build/fuzz/logs/TARGET.log.
# Replay one with   build/fuzz/fuzz/fuzz_TARGET ARTIFACT
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift

./scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
TARGETS=${*:-$(ls fuzz/corpus)}
for t in $TARGETS; do
    [ -d "fuzz/corpus/$t" ] || { echo "no fuzz target $t" >&2; exit 2; }
done
cmake --build --preset fuzz -j"$(nproc)" --target $(for t in $TARGETS; do printf 'fuzz_%s ' "$t"; done) >/dev/null

OUT=$ROOT/build/fuzz
# Leaks are reported, after each input and at exit. What Allegro keeps for
# itself (its system driver, configuration, colour tables) stays reachable
# through its globals, and so does the skin the harnesses share, so nothing
# needs suppressing.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
printf '%-14s %12s %8s %7s %7s %6s %s\n' target executions exec/s cov ft corpus crashes
failed=0
for t in $TARGETS; do
    mkdir -p "$OUT/corpus/$t" "$OUT/artifacts/$t" "$OUT/logs"
    cp -n fuzz/corpus/"$t"/* "$OUT/corpus/$t/" 2>/dev/null || true
    dict=""
    [ -f "fuzz/dict/$t.dict" ] && dict="-dict=fuzz/dict/$t.dict"
    before=$(ls "$OUT/artifacts/$t" | wc -l)
    log=$OUT/logs/$t.log
    # -timeout: one input running longer than 10 s counts as a hang.
    "$OUT/fuzz/fuzz_$t" "$OUT/corpus/$t" $dict -max_total_time="$SECONDS_EACH" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$OUT/artifacts/$t/" >"$log" 2>&1 || true
    after=$(ls "$OUT/artifacts/$t" | wc -l)
    crashes=$((after - before))
    [ "$crashes" -gt 0 ] && failed=1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    kept=$(ls "$OUT/corpus/$t" | wc -l)
    note=$crashes
    [ "$crashes" -gt 0 ] && note="$crashes ($(ls -t "$OUT/artifacts/$t" | head -n 1))"
    printf '%-14s %12s %8s %7s %7s %6s %s\n' "$t" "${runs:--}" "${rate:--}" "${cov:--}" "${ft:--}" "$kept" "$note"
done
exit $failed
