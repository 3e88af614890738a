#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests (with AddressSanitizer and
# UBSan), the fuzz targets of the input readers (libFuzzer, about a minute each; set
# VANTARO_FUZZ_SECONDS for shorter or longer runs), the dial and install logic on real threads
# under ThreadSanitizer, then the Windows builds' tests under Wine + Xvfb (unit, platform and
# end-to-end). Installs what is missing on first use.
#
# Both Windows builds are made everywhere. Where this machine runs 32-bit code both are tested;
# where it runs none (or VANTARO_NO_32BIT=1 says so) only the 64-bit build is, and the run says
# how many tests that left out.
#
# VANTARO_TEST_LOAD=n rehearses a busy machine: n processes that only spin run for the whole
# run and are stopped by their process ids when it ends, however it ends.
#
# One preset and a filter, for the loop of a change: ./scripts/test.sh <preset> [ctest options]
# builds that preset alone and runs its tests with the options given, for example
#   ./scripts/test.sh host -R SettingsUpgrade
#   ./scripts/test.sh windows64 -R msi_e2e --output-on-failure
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

started=$(date +%s)
load_pids=()
stop_load() {
    local pid
    for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap stop_load EXIT
case "${VANTARO_TEST_LOAD:-0}" in
    ''|*[!0-9]*) echo "[test] VANTARO_TEST_LOAD must be a whole number, not '$VANTARO_TEST_LOAD'" >&2; exit 2 ;;
esac
for _ in $(seq 1 "${VANTARO_TEST_LOAD:-0}"); do
    ( while :; do :; done ) &
    load_pids+=($!)
done
if [ ${#load_pids[@]} -gt 0 ]; then
    echo "[test] VANTARO_TEST_LOAD=$VANTARO_TEST_LOAD: busy processes ${load_pids[*]} run until the end"
fi

. scripts/machine.sh
echo "[test] $VANTARO_PROBE_NOTE"
./scripts/install-deps.sh
vantaro_check_wine32

if [ $# -gt 0 ]; then
    preset=$1
    shift
    case "$preset" in
    host|fuzz|tsan|windows64) ;;
    windows) if [ "$VANTARO_RUNS_32BIT" != 1 ]; then
                 echo "[test] $VANTARO_PROBE_NOTE: the 32-bit build's tests cannot run here" >&2; exit 2
             fi ;;
    *) echo "[test] the presets are host, fuzz, tsan, windows and windows64, not '$preset'" >&2; exit 2 ;;
    esac
    echo "[test] $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "[test] $preset tests${*:+: ctest $*}"
    ctest --preset "$preset" "$@"
    echo "[test] done in $(( $(date +%s) - started )) s"
    exit 0
fi

echo "[test] host build"
cmake --preset host >/dev/null
cmake --build --preset host

echo "[test] fuzz build (clang, libFuzzer)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

echo "[test] ThreadSanitizer build (the concurrency tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan

echo "[test] Windows build (mingw-w64, i686)"
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "[test] Windows build (mingw-w64, x86_64)"
cmake --preset windows64 >/dev/null
cmake --build --preset windows64

echo "[test] host tests"
ctest --preset host

echo "[test] fuzzing: each target's corpus, ${VANTARO_FUZZ_SECONDS:-60} s of inputs from seed ${VANTARO_FUZZ_SEED:-1}, then the inputs that once broke it"
rm -f build/fuzz/fuzz-work/*/summary
ctest --preset fuzz
cat build/fuzz/fuzz-work/*/summary

echo "[test] the dial and install logic on real threads under ThreadSanitizer"
ctest --preset tsan

if [ "$VANTARO_RUNS_32BIT" = 1 ]; then
    echo "[test] 32-bit Windows tests under Wine (the first run makes the Wine prefix, about 15 s)"
    ctest --preset windows
else
    # The packages' checks need no Wine: the x86 MSI's tables and the zip are checked here too.
    echo "[test] the 32-bit build's packages (no Wine needed)"
    ctest --preset windows -L package
fi

# Tests that mean something only in a 32-bit process leave their names here when they skip.
skipped=build/windows64/test-work/skipped-32bit
rm -rf "$skipped"
echo "[test] 64-bit Windows tests under Wine (the first run makes the Wine prefix, about 15 s)"
ctest --preset windows64

if [ "$VANTARO_RUNS_32BIT" != 1 ]; then
    entries=$(ctest --preset windows -N -L windows -E '^wine[.]session|^package[.]' 2>/dev/null | sed -n 's/^Total Tests: //p')
    cases=$(find "$skipped" -type f 2>/dev/null | wc -l)
    if [ "$cases" = 1 ]; then cases="1 case"; else cases="$cases cases"; fi
    echo "[test] $VANTARO_PROBE_NOTE: skipped the 32-bit build's ${entries:-0} Windows test entries, and ${cases} of the 64-bit build (meaningful only in a 32-bit process)"
fi
echo "[test] done in $(( $(date +%s) - started )) s: every test that ran passed"
