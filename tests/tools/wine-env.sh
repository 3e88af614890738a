# Sourced with the build folder as $1: points Wine at that build's own prefix and X display.
# Never ~/.wine: each build folder has its own prefix, made once and reused by every run.
vantaro_build_dir=$(cd "$1" && pwd)
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
