#!/usr/bin/env bash
# Builds Vantaro and opens it under Wine with the delivered Setting.ini.
# With a display (DISPLAY set) it opens there and waits until you close it; without one it
# runs under Xvfb, saves a screenshot, says where, and closes it again.
# It opens the 32-bit build where this machine runs 32-bit code, the 64-bit build where it
# runs none; VANTARO_ARCH=x64 (or x86) chooses.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

. scripts/machine.sh
./scripts/install-deps.sh
vantaro_check_wine32

arch=${VANTARO_ARCH:-}
if [ -z "$arch" ]; then
    if [ "$VANTARO_RUNS_32BIT" = 1 ]; then arch=x86; else arch=x64; echo "[run] $VANTARO_PROBE_NOTE: opening the 64-bit build"; fi
fi
case "$arch" in
x86) preset=windows; build=build/windows
     if [ "$VANTARO_RUNS_32BIT" != 1 ]; then
         echo "[run] VANTARO_ARCH=x86, but $VANTARO_PROBE_NOTE: the 32-bit build cannot run here" >&2; exit 1
     fi ;;
x64) preset=windows64; build=build/windows64 ;;
*)   echo "[run] VANTARO_ARCH is x86 or x64, not $arch" >&2; exit 2 ;;
esac

echo "[run] Windows build ($arch, preset $preset): the program alone"
cmake --preset $preset >/dev/null
# Only what opens: the program (the distribution folder's data files come with the configure),
# and for the 32-bit program its 64-bit helper. ./scripts/test.sh builds the rest.
targets=(Vantaro)
if [ "$arch" = x86 ]; then targets+=(pnpagent64); fi
cmake --build --preset $preset --target "${targets[@]}"

dist=$build/Vantaro
# The delivered Setting.ini speaks Chinese in GBK, as on a Chinese Windows: run in its locale
# (code page 936). VANTARO_LOCALE=C.UTF-8 shows it as on an English Windows.
export LANG="${VANTARO_LOCALE:-zh_CN.UTF-8}" LC_ALL="${VANTARO_LOCALE:-zh_CN.UTF-8}"
if [ -n "${DISPLAY:-}" ]; then
    VANTARO_KEEP_DISPLAY=1 tests/tools/wine-session.sh start "$build"
    export VANTARO_KEEP_DISPLAY=1
    . tests/tools/wine-env.sh "$build"
    echo "[run] opening $dist/Vantaro.exe on $DISPLAY"
    cd "$dist" && exec wine Vantaro.exe
fi

tests/tools/wine-session.sh start "$build"
. tests/tools/wine-env.sh "$build"
mkdir -p "$build/artifacts"
shot=$(readlink -f "$build/artifacts")/vantaro-run.png
echo "[run] no display: opening $dist/Vantaro.exe under Xvfb $DISPLAY"
(cd "$dist" && exec wine Vantaro.exe) </dev/null >/dev/null 2>&1 &
wine_pid=$!
for _ in $(seq 1 100); do
    if xdotool search --name '^Dial_Setting$' >/dev/null 2>&1; then break; fi
    sleep 0.1
done
sleep 0.5
import -window root "$shot"
echo "[run] screenshot of the Settings dialog: $shot"
kill "$wine_pid" 2>/dev/null || true
tests/tools/wine-session.sh stop "$build"
