#!/usr/bin/env bash
# run-fuzz.sh <build dir> [seconds per target | default | short] [target ...]
#
# For each target (all of them unless named): replays its committed seed corpus
# (corpus/<target>/), fuzzes from it, then replays every input that once broke it
# (regressions/<target>/). The time per target is the second argument, or VANTARO_FUZZ_SECONDS,
# or 60 s; "short" is half of that default; 0 only replays.
#
# The same commit fuzzes the same inputs on every run and every machine: the seed is fixed
# (VANTARO_FUZZ_SEED, 1 unless given), the run starts from the committed corpus alone, and the
# time is turned into a count of inputs by the target's rate in inputs-per-second (measured on a
# loaded machine), so a slower machine takes longer but tries the same inputs.
# VANTARO_FUZZ_SEED=random fuzzes as libFuzzer likes: a new seed each run, for the time given,
# from the corpus that earlier runs of this build folder grew, e.g.
#     VANTARO_FUZZ_SECONDS=600 VANTARO_FUZZ_SEED=random ./scripts/test.sh
#
# A crash or a broken property stops with the input's path: fix the fault, then keep the input
# as a regression case with   cp <input> tests/fuzz/regressions/<target>/
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
build=$(cd "${1:?usage: run-fuzz.sh <build dir> [seconds|default|short] [target ...]}" && pwd)
seconds=${2:-default}
case "$seconds" in
    default) seconds=${VANTARO_FUZZ_SECONDS:-60} ;;
    short) seconds=${VANTARO_FUZZ_SECONDS:-60}
           case "$seconds" in ''|*[!0-9]*) ;; *) seconds=$(( (seconds + 1) / 2 )) ;; esac ;;
esac
shift 2 2>/dev/null || shift $#
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$here"/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
case "$seconds" in ''|*[!0-9]*) echo "[fuzz] seconds must be a whole number, not '$seconds'" >&2; exit 2 ;; esac
seed=${VANTARO_FUZZ_SEED:-1}
case "$seed" in
    random) ;;
    ''|*[!0-9]*|0) echo "[fuzz] VANTARO_FUZZ_SEED must be a number from 1 up, or random, not '$seed'" >&2; exit 2 ;;
esac
# What libFuzzer learns from comparisons includes addresses, so one seed gives one series of
# inputs only where the addresses are the same each run: address-space randomisation is off.
fixed=()
if [ "$seed" != random ]; then
    if setarch "$(uname -m)" -R true 2>/dev/null; then
        fixed=(setarch "$(uname -m)" -R)
    else
        echo "[fuzz] setarch -R is refused here: the addresses, and so some inputs, differ from run to run"
    fi
fi
rate_of() { sed -n "s/^$1 \([0-9][0-9]*\)\$/\1/p" "$here/inputs-per-second"; }

failed=0
for target in "${targets[@]}"; do
    binary="$build/tests/fuzz/$target"
    if [ ! -x "$binary" ]; then
        echo "[fuzz] $target: no program at $binary (build the fuzz preset first)" >&2
        failed=1; continue
    fi
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/crashes"
    rm -f "$work/summary"
    dict=()
    [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")

    if [ "$seconds" -gt 0 ]; then
        if [ "$seed" = random ]; then
            bound=(-max_total_time="$seconds")
            what="$seconds s from a random seed"
        else
            # Only the committed corpus: what an earlier run found would change what this one tries.
            rm -rf "$work/corpus"; mkdir -p "$work/corpus"
            rate=$(rate_of "$target")
            if [ -z "$rate" ]; then
                echo "[fuzz] $target: no rate in $here/inputs-per-second" >&2
                failed=1; continue
            fi
            bound=(-seed="$seed" -runs=$((seconds * rate)) -reload=0)
            what="$((seconds * rate)) inputs from seed $seed"
        fi
        # The hard timeout is for a hang libFuzzer misses, and for a machine far slower than
        # the rates were measured on.
        start=$(date +%s)
        timeout -k 10 $((seconds * 10 + 60)) "${fixed[@]}" "$binary" "${bound[@]}" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$work/crashes/" "${dict[@]}" \
            "$work/corpus" "$here/corpus/$target" >"$work/log" 2>&1
        status=$?
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
        if [ $status -ne 0 ]; then
            echo "[fuzz] $target: FAILED (exit $status) after ${runs:-?} inputs of $what; the end of its log ($work/log):"
            tail -n 40 "$work/log"
            found=$(ls -t "$work/crashes" 2>/dev/null | head -n 1)
            [ -n "$found" ] && echo "[fuzz] $target: the input is $work/crashes/$found; keep it with   cp $work/crashes/$found $here/regressions/$target/"
            failed=1; continue
        fi
        echo "[fuzz] $target: ${runs:-?} inputs ($what) in $(( $(date +%s) - start )) s, no fault; corpus $(ls "$work/corpus" | wc -l) inputs" \
            | tee "$work/summary"
    fi

    regressions=("$here/regressions/$target"/*)
    [ -e "${regressions[0]}" ] || regressions=()
    if [ ${#regressions[@]} -gt 0 ]; then
        # Given files, libFuzzer runs each once.
        if ! timeout -k 10 300 "$binary" "${regressions[@]}" >"$work/regressions.log" 2>&1; then
            echo "[fuzz] $target: a regression input fails again; the end of $work/regressions.log:"
            tail -n 40 "$work/regressions.log"
            failed=1; continue
        fi
    fi
    echo "[fuzz] $target: ${#regressions[@]} regression inputs replayed, all pass" | tee -a "$work/summary"
done
exit $failed
