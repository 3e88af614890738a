#!/usr/bin/env bash
# Builds what the benchmark needs and runs it: the settings reader on the host (Google
# Benchmark), then Vantaro.exe of one Windows build against its baselines under Wine, in that
# build's own benchmark Wine prefix and X display. Prints the table and writes it, with the
# machine and the build it ran on, to build/bench/results.md.
#
#   BENCH_ARCH=x86|x64     the build to measure: the 32-bit one (windows preset) or the 64-bit
#                          one (windows64). Unset: x86 where this machine runs 32-bit code, x64
#                          where it runs none (scripts/machine.sh; VANTARO_NO_32BIT=1 says none).
#   BENCH_RUNS=20          repetitions of every figure (starts, refreshes, reader runs)
#   BENCH_INSTALL_RUNS=5   installs of each kind: presses of the install button, and runs of
#                          Vantaro.exe /install /quiet (each waits its 2 s of pauses)
#   BENCH_ONLY=starts      rows 1, 2 and 5 alone (the starts and the sizes), in about a minute:
#                          the loop for work on the start. The table says it is partial.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
root=$PWD
runs=${BENCH_RUNS:-20}
install_runs=${BENCH_INSTALL_RUNS:-5}
out=build/bench
only=${BENCH_ONLY:-}
case $only in
""|starts) ;;
*) echo "[bench] BENCH_ONLY is \"$only\": it is starts, or unset for every row" >&2; exit 2 ;;
esac

. scripts/machine.sh
echo "[bench] $VANTARO_PROBE_NOTE"
arch=${BENCH_ARCH:-}
if [ -z "$arch" ]; then
    if [ "$VANTARO_RUNS_32BIT" = 1 ]; then arch=x86; else arch=x64; fi
fi
case $arch in
x86)
    if [ "$VANTARO_RUNS_32BIT" != 1 ]; then
        echo "[bench] BENCH_ARCH=x86 asks for the 32-bit build, but $VANTARO_PROBE_NOTE;" \
             "Wine cannot start it here. Measure the 64-bit build (BENCH_ARCH=x64, or leave BENCH_ARCH unset)." >&2
        exit 2
    fi
    preset=windows; build_name="x86 (32-bit build)"; target=i686; other_preset=windows64 ;;
x64)
    preset=windows64; build_name="x64 (64-bit build)"; target=x86_64; other_preset=windows ;;
*)
    echo "[bench] BENCH_ARCH is \"$arch\": it is x86 (the 32-bit build) or x64 (the 64-bit build)" >&2
    exit 2 ;;
esac
windows=build/$preset
chosen=${BENCH_ARCH:+, chosen with BENCH_ARCH=$arch}
# Each build has its Wine part in a folder of its own (prefix, X display, work folders, rows):
# build/bench/x86 or build/bench/x64.
wine_out=$out/$arch

./scripts/install-deps.sh

echo "[bench] Windows build $build_name (mingw-w64, $target, the $preset preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
# The other build's Vantaro.exe and baseline program, for the table's sizes of both builds (it
# need not run here: only its files are read).
echo "[bench] the $other_preset preset's Vantaro.exe and BenchBaseline.exe, for their sizes"
other_build=""
if cmake --preset "$other_preset" >/dev/null && cmake --build --preset "$other_preset" --target Vantaro BenchBaseline; then
    other_build="$root/build/$other_preset"
else
    echo "[bench] the $other_preset preset did not build: its size rows say so" >&2
fi
if [ -z "$only" ]; then
    echo "[bench] host Release build with Google Benchmark"
    cmake --preset bench >/dev/null
    cmake --build --preset bench
fi

rm -f "$out/host-rows.md" "$out/provider-rows.md" "$out/inf-rows.md" "$out/results.md"
rm -f "$wine_out/wine-rows.md" "$wine_out/phone-rows.md" "$wine_out/notes.md"
mkdir -p "$out/reader" "$wine_out"

if [ -z "$only" ]; then
    echo "[bench] settings reader on the host ($runs runs per size)"
    "$out/bench/settings_reader_bench" --rows "$out/host-rows.md" --folder "$out/reader" --runs "$runs"
    echo "[bench] APN proposal on the host ($runs runs)"
    "$out/bench/provider_lookup_bench" --rows "$out/provider-rows.md" --runs "$runs"
    echo "[bench] INF check on the host ($runs runs per size)"
    "$out/bench/inf_check_bench" --rows "$out/inf-rows.md" --folder "$out/reader" --runs "$runs"
fi

echo "[bench] Vantaro.exe $build_name under Wine ($runs runs per figure, $install_runs installs of each kind)"
# The X server, the Wine server and every program of the run share two cores with whatever
# else runs here; ahead of it in the queue (where the user may), their timings say more about
# the program and less about the neighbours. The baselines get the same priority.
priority=()
if nice -n -10 true 2>/dev/null; then priority=(nice -n -10); fi
tests/tools/wine-session.sh stop "$wine_out" >/dev/null 2>&1 || true
# Every run starts from a new prefix (about 15 s): installs leave devices and dial-up entries
# behind, and a run should not measure what the runs before it left.
rm -rf "$wine_out/wineprefix"
"${priority[@]}" tests/tools/wine-session.sh start "$wine_out"
trap 'tests/tools/wine-session.sh stop "$root/$wine_out" >/dev/null' EXIT
wine_version=$(. tests/tools/wine-env.sh "$wine_out" && wine --version)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
(
    . tests/tools/wine-env.sh "$wine_out"
    # As on a Chinese Windows (code page 936), the language the delivered Setting.ini chooses.
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
    export VANTARO_DIST="$root/$windows/Vantaro"
    export VANTARO_WORK="$root/$wine_out/work"
    # The kept link dials through the rasapi32.dll double built with the tests; the driver puts it
    # in place for Vantaro.exe alone, and puts Wine's own back when it is done.
    export VANTARO_RAS_DOUBLE_DLL="$root/$windows/tests/rasdouble/bin/rasapi32.dll"
    # Bounded: every wait inside the driver is bounded too; this only catches a hung Wine.
    timeout 1800 "${priority[@]}" wine "$windows/bench/BenchDriver.exe" \
        --baseline "$root/$windows/bench/BenchBaseline.exe" \
        --rows "$root/$wine_out/wine-rows.md" --notes "$root/$wine_out/notes.md" \
        --runs "$runs" --install-runs "$install_runs" ${other_build:+--other-build "$other_build"} \
        ${only:+--only "$only"} </dev/null
    [ -z "$only" ] || exit 0
    echo "[bench] the phone check under Wine ($runs runs): one simulated phone among 16 ports"
    # One ready phone (COM70), one with its SIM locked (COM86), one without a SIM (COM87) and 15
    # silent ports, each a
    # pseudo-terminal linked into the benchmark's prefix; the simulator removes them when the
    # benchmark program ends.
    silent=(); silent_ports=""
    for n in $(seq 71 85); do silent+=("$n:silent"); silent_ports+="${silent_ports:+,}COM$n"; done
    timeout 900 python3 tests/tools/simphone.py --prefix "$WINEPREFIX" --lifetime 890 70:ready,ussdform=ucs2,ussdwait=0.3 86:pin 87:ready,sim=absent "${silent[@]}" \
        --run "${priority[@]}" wine "$windows/bench/PhoneCheckBench.exe" --rows "$root/$wine_out/phone-rows.md" \
        --runs "$runs" --phone COM70 --locked COM86 --nosim COM87 --silent "$silent_ports" --ussdwait-ms 300 </dev/null
)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
tests/tools/wine-session.sh stop "$wine_out" >/dev/null
trap - EXIT

parts=("$wine_out/wine-rows.md")
[ -n "$only" ] || parts+=("$wine_out/phone-rows.md" "$out/host-rows.md" "$out/provider-rows.md" "$out/inf-rows.md")
for part in "${parts[@]}"; do
    if [ ! -s "$part" ]; then echo "[bench] no results in $part" >&2; exit 1; fi
done

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
memory=$(free -g | awk '/^Mem:/ { print $2 }')
{
    echo "# Vantaro benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'): Vantaro.exe $build_name$chosen; $VANTARO_PROBE_NOTE;" \
         "${cpu:-unknown CPU}, $(nproc) cores, ${memory} GiB memory;" \
         "$wine_version, 64-bit prefix, zh_CN.UTF-8 (code page 936); Xvfb, no window manager;" \
         "Debian $(cat /etc/debian_version 2>/dev/null || echo '?'). Load average (1, 5, 15 min)" \
         "before the Wine part: $load_before; after: $load_after." \
         "Wine, Xvfb and the programs ran at nice ${priority[2]:-0}."
    echo
    echo "Each figure: minimum / median / maximum over its runs (after two warm-up rounds under Wine)." \
         "Ratio: median / baseline median, both measured in this run. Goals are checked on the medians."
    echo
    [ -z "$only" ] || { echo "Partial run (BENCH_ONLY=$only): the starts and the sizes alone."; echo; }
    cat "${parts[@]}"
    if [ -s "$wine_out/notes.md" ]; then
        echo
        echo "Notes from the run:"
        echo
        cat "$wine_out/notes.md"
    fi
} >"$out/results.md"

echo
cat "$out/results.md"
echo
echo "[bench] written to $out/results.md"
