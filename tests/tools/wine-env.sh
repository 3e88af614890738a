# Sourced with the build folder as $1: points Wine at that build's own prefix and X display.
# Never ~/.wine: each build folder has its own prefix, made once and reused by every run.
vantaro_build_dir=$(cd "$1" && pwd)
vantaro_tools_dir=$(dirname "${BASH_SOURCE[0]}")
vantaro_tools_dir=$(cd "$vantaro_tools_dir" && pwd)
# On a machine that runs no 32-bit code, `wine`, `wineboot` and `wineserver` are the 64-bit
# loader's own (wine64-bin/), for every script and test that starts Wine from here on.
. "$vantaro_tools_dir/../../scripts/machine.sh"
if [ "$VANTARO_RUNS_32BIT" != 1 ]; then
    case ":$PATH:" in
    *":$vantaro_tools_dir/wine64-bin:"*) ;;
    *) export PATH="$vantaro_tools_dir/wine64-bin:$PATH" ;;
    esac
fi
export WINEPREFIX="$vantaro_build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Each Wine session leaves a folder under TMPDIR; keep them in the build folder.
export TMPDIR="$vantaro_build_dir/tmp"
mkdir -p "$TMPDIR"
if [ -f "$vantaro_build_dir/xvfb/display" ] && [ -z "${VANTARO_KEEP_DISPLAY:-}" ]; then
    export DISPLAY=":$(cat "$vantaro_build_dir/xvfb/display")"
fi
