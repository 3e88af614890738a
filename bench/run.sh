#!/usr/bin/env bash
# Builds what the benchmark needs and runs it: the settings reader on the host (Google
# Benchmark), then Vantaro.exe against its baselines under Wine, in the benchmark's own Wine
# prefix (build/bench/wineprefix) and X display. Prints the table and writes it, with the
# machine it ran on, to build/bench/results.md.
#
#   BENCH_RUNS=20          repetitions of every figure (starts, refreshes, reader runs)
#   BENCH_INSTALL_RUNS=5   presses of the install button (each waits its 2 s of pauses)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
root=$PWD
runs=${BENCH_RUNS:-20}
install_runs=${BENCH_INSTALL_RUNS:-5}
out=build/bench

./scripts/install-deps.sh

echo "[bench] Windows build (mingw-w64, i686)"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "[bench] host Release build with Google Benchmark"
cmake --preset bench >/dev/null
cmake --build --preset bench

rm -f "$out/host-rows.md" "$out/provider-rows.md" "$out/inf-rows.md" "$out/wine-rows.md" "$out/phone-rows.md" "$out/notes.md"
mkdir -p "$out/reader"

echo "[bench] settings reader on the host ($runs runs per size)"
"$out/bench/settings_reader_bench" --rows "$out/host-rows.md" --folder "$out/reader" --runs "$runs"
echo "[bench] APN proposal on the host ($runs runs)"
"$out/bench/provider_lookup_bench" --rows "$out/provider-rows.md" --runs "$runs"
echo "[bench] INF check on the host ($runs runs per size)"
"$out/bench/inf_check_bench" --rows "$out/inf-rows.md" --folder "$out/reader" --runs "$runs"

echo "[bench] Vantaro.exe under Wine ($runs runs per figure, $install_runs installs)"
# The X server, the Wine server and every program of the run share two cores with whatever
# else runs here; ahead of it in the queue (where the user may), their timings say more about
# the program and less about the neighbours. The baselines get the same priority.
priority=()
if nice -n -10 true 2>/dev/null; then priority=(nice -n -10); fi
tests/tools/wine-session.sh stop "$out" >/dev/null 2>&1 || true
# Every run starts from a new prefix (about 15 s): installs leave devices and dial-up entries
# behind, and a run should not measure what the runs before it left.
rm -rf "$out/wineprefix"
"${priority[@]}" tests/tools/wine-session.sh start "$out"
trap 'tests/tools/wine-session.sh stop "$root/$out" >/dev/null' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
(
    . tests/tools/wine-env.sh "$out"
    # As on a Chinese Windows (code page 936), the language the delivered Setting.ini chooses.
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
    export VANTARO_DIST="$root/build/windows/Vantaro"
    export VANTARO_WORK="$root/$out/work"
    # Bounded: every wait inside the driver is bounded too; this only catches a hung Wine.
    timeout 1800 "${priority[@]}" wine build/windows/bench/BenchDriver.exe \
        --baseline "$root/build/windows/bench/BenchBaseline.exe" \
        --rows "$root/$out/wine-rows.md" --notes "$root/$out/notes.md" \
        --runs "$runs" --install-runs "$install_runs" </dev/null
    echo "[bench] the phone check under Wine ($runs runs): one simulated phone among 16 ports"
    # One ready phone (COM70), one with its SIM locked (COM86) and 15 silent ports, each a
    # pseudo-terminal linked into the benchmark's prefix; the simulator removes them when the
    # benchmark program ends.
    silent=(); silent_ports=""
    for n in $(seq 71 85); do silent+=("$n:silent"); silent_ports+="${silent_ports:+,}COM$n"; done
    timeout 900 python3 tests/tools/simphone.py --prefix "$WINEPREFIX" --lifetime 890 70:ready 86:pin "${silent[@]}" \
        --run "${priority[@]}" wine build/windows/bench/PhoneCheckBench.exe --rows "$root/$out/phone-rows.md" \
        --runs "$runs" --phone COM70 --locked COM86 --silent "$silent_ports" </dev/null
)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
tests/tools/wine-session.sh stop "$out" >/dev/null
trap - EXIT

for part in wine-rows.md phone-rows.md host-rows.md provider-rows.md inf-rows.md; do
    if [ ! -s "$out/$part" ]; then echo "[bench] no results in $out/$part" >&2; exit 1; fi
done

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
memory=$(free -g | awk '/^Mem:/ { print $2 }')
{
    echo "# Vantaro benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'): ${cpu:-unknown CPU}, $(nproc) cores, ${memory} GiB memory;" \
         "$(wine --version), 64-bit prefix, zh_CN.UTF-8 (code page 936); Xvfb, no window manager;" \
         "Debian $(cat /etc/debian_version 2>/dev/null || echo '?'). Load average (1, 5, 15 min)" \
         "before the Wine part: $load_before; after: $load_after." \
         "Wine, Xvfb and the programs ran at nice ${priority[2]:-0}."
    echo
    echo "Each figure: minimum / median / maximum over its runs (after two warm-up rounds under Wine)." \
         "Ratio: median / baseline median, both measured in this run. Goals are checked on the medians."
    echo
    cat "$out/wine-rows.md" "$out/phone-rows.md" "$out/host-rows.md" "$out/provider-rows.md" "$out/inf-rows.md"
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
