#!/usr/bin/env bash
# run-fuzz.sh <build dir> [seconds per target | default] [target ...]
#
# Fuzzes each target (all of them unless named) for a bounded time, starting from its committed
# seed corpus (corpus/<target>/) and the inputs it found in earlier runs of this build folder,
# then replays every input that once broke it (regressions/<target>/). The time per target is
# the second argument, or VANTARO_FUZZ_SECONDS, or 60 s; 0 only replays.
#
# A crash or a broken property stops with the input's path: fix the fault, then keep the input
# as a regression case with   cp <input> tests/fuzz/regressions/<target>/
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
build=$(cd "${1:?usage: run-fuzz.sh <build dir> [seconds|default] [target ...]}" && pwd)
seconds=${2:-default}
[ "$seconds" = default ] && seconds=${VANTARO_FUZZ_SECONDS:-60}
shift 2 2>/dev/null || shift $#
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$here"/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
case "$seconds" in ''|*[!0-9]*) echo "[fuzz] seconds must be a whole number, not '$seconds'" >&2; exit 2 ;; esac

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
        # libFuzzer stops itself after max_total_time; the hard timeout is for a hang it misses.
        timeout -k 10 $((seconds + 60)) "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$work/crashes/" "${dict[@]}" \
            "$work/corpus" "$here/corpus/$target" >"$work/log" 2>&1
        status=$?
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
        if [ $status -ne 0 ]; then
            echo "[fuzz] $target: FAILED (exit $status) after ${runs:-?} inputs; the end of its log ($work/log):"
            tail -n 40 "$work/log"
            found=$(ls -t "$work/crashes" 2>/dev/null | head -n 1)
            [ -n "$found" ] && echo "[fuzz] $target: the input is $work/crashes/$found"
            failed=1; continue
        fi
        echo "[fuzz] $target: ${runs:-?} inputs in $seconds s, no fault; corpus $(ls "$work/corpus" | wc -l) inputs" \
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
