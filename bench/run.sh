#!/usr/bin/env bash
# Builds what the benchmark needs and runs it: the settings reader on the host (Google
# Benchmark), then Vantaro.exe against its baselines under Wine, in the benchmark's own Wine
# prefix (build/bench/wineprefix) and X display. Prints the table and writes it, with the
# machine it ran on, to build/bench/results.md.
#
#   BENCH_RUNS=10          repetitions of every figure (starts, refreshes, reader runs)
#   BENCH_INSTALL_RUNS=5   presses of the install button (each waits its 2 s of pauses)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
root=$PWD
runs=${BENCH_RUNS:-10}
install_runs=${BENCH_INSTALL_RUNS:-5}
out=build/bench

./scripts/install-deps.sh

echo "[bench] Windows build (mingw-w64, i686)"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "[bench] host Release build with Google Benchmark"
cmake --preset bench >/dev/null
cmake --build --preset bench

rm -f "$out/host-rows.md" "$out/wine-rows.md" "$out/notes.md"
mkdir -p "$out/reader"

echo "[bench] settings reader on the host ($runs runs per size)"
"$out/bench/settings_reader_bench" --rows "$out/host-rows.md" --folder "$out/reader" --runs "$runs" \
    --benchmark_color=false

echo "[bench] Vantaro.exe under Wine ($runs runs per figure, $install_runs installs)"
tests/tools/wine-session.sh start "$out"
trap 'tests/tools/wine-session.sh stop "$root/$out" >/dev/null' EXIT
(
    . tests/tools/wine-env.sh "$out"
    export VANTARO_DIST="$root/build/windows/Vantaro"
    export VANTARO_WORK="$root/$out/work"
    # Bounded: every wait inside the driver is bounded too; this only catches a hung Wine.
    timeout 1800 wine build/windows/bench/BenchDriver.exe \
        --baseline "$root/build/windows/bench/BenchBaseline.exe" \
        --rows "$root/$out/wine-rows.md" --notes "$root/$out/notes.md" \
        --runs "$runs" --install-runs "$install_runs" </dev/null
)
tests/tools/wine-session.sh stop "$out" >/dev/null
trap - EXIT

for part in wine-rows.md host-rows.md; do
    if [ ! -s "$out/$part" ]; then echo "[bench] no results in $out/$part" >&2; exit 1; fi
done

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
memory=$(free -g | awk '/^Mem:/ { print $2 }')
{
    echo "# Vantaro benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'): ${cpu:-unknown CPU}, $(nproc) cores, ${memory} GiB memory;" \
         "$(wine --version); Debian $(cat /etc/debian_version 2>/dev/null || echo '?'); Xvfb, no window manager."
    echo
    echo "Each figure: minimum / median / maximum over its runs (after two warm-up rounds under Wine)." \
         "Ratio: median / baseline median, both measured in this run. Goals are checked on the medians."
    echo
    cat "$out/wine-rows.md" "$out/host-rows.md"
    if [ -s "$out/notes.md" ]; then
        echo
        echo "Notes from the run:"
        echo
        cat "$out/notes.md"
    fi
} >"$out/results.md"

echo
cat "$out/results.md"
echo
echo "[bench] written to $out/results.md"
