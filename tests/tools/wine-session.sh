#!/usr/bin/env bash
# start <build dir>: an X display (Xvfb, unless one is given) and the Wine prefix of this build,
#                   made on first use (about 15 s) and kept for later runs.
# stop <build dir>:  ends the Wine server of that prefix and the Xvfb this script started,
#                   each by its own handle; nothing else is touched.
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
here=$(dirname "$(readlink -f "$0")")
state="$build/xvfb"
mkdir -p "$state"

log() { printf '[wine-session] %s\n' "$*"; }

start_xvfb() {
    if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
        return
    fi
    # The number of an earlier Xvfb must not be read as this one's: the shell truncates
    # display.tmp only once the background job runs.
    rm -f "$state/display" "$state/pid" "$state/display.tmp"
    # -displayfd picks a free display number and writes it once the server listens.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display.tmp" </dev/null >"$state/log" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 1 100); do
        if [ -s "$state/display.tmp" ]; then break; fi
        sleep 0.1
    done
    if [ ! -s "$state/display.tmp" ]; then
        log "Xvfb did not start:"; cat "$state/log"; exit 1
    fi
    tr -d '\n' <"$state/display.tmp" >"$state/display"
    log "Xvfb on :$(cat "$state/display") (pid $(cat "$state/pid"))"
}

case "$action" in
start)
    # VANTARO_KEEP_DISPLAY=1 uses the display already in DISPLAY instead of an Xvfb of our own.
    if [ -z "${VANTARO_KEEP_DISPLAY:-}" ]; then start_xvfb; fi
    . "$here/wine-env.sh" "$build"
    # A prefix made by the 64-bit loader alone has no 32-bit half, and once wine32 is installed
    # the wrapper finds no kernel32 in it for any program; a prefix is kept only by the Wine
    # that made it.
    wine_kind=$([ "$VANTARO_RUNS_32BIT" = 1 ] && echo "wine32 and wine64" || echo "wine64 alone")
    if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/.made-by" 2>/dev/null)" != "$wine_kind" ]; then
        log "the Wine prefix $WINEPREFIX was not made by $wine_kind; making it again"
        timeout 30 wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making the Wine prefix $WINEPREFIX (once per build folder)"
        timeout 180 wineboot -i >/dev/null 2>&1
        timeout 60 wineserver -w
        # Without a window manager every dialog takes seconds to close unless unmanaged.
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # The Desktop is a link to $HOME until it is a folder of its own.
        for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
            if [ -L "$desktop" ]; then rm -f "$desktop"; mkdir -p "$desktop"; fi
        done
        timeout 60 wineserver -w
        echo "$wine_kind" >"$WINEPREFIX/.made-by"
    fi
    # A program that crashes prints its backtrace and ends, instead of waiting in Wine's crash
    # dialog until the test's time-out.
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
        timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    fi
    # A persistent server saves its start-up for each test program.
    wineserver -p 600 </dev/null >/dev/null 2>&1 || true
    # The first program of a session starts Wine's services, which stay and would keep the
    # output pipe of whatever test started them open; start them here, detached from any pipe.
    timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    log "prefix ready: $WINEPREFIX"
    ;;
stop)
    . "$here/wine-env.sh" "$build"
    timeout 30 wineserver -k 2>/dev/null || true
    # The tests save screenshots as BMP; PNG copies are what people look at.
    for image in "$build"/artifacts/*.bmp; do
        [ -f "$image" ] && convert "$image" "${image%.bmp}.png" 2>/dev/null || true
    done
    if [ -f "$state/pid" ]; then
        kill "$(cat "$state/pid")" 2>/dev/null || true
        rm -f "$state/pid" "$state/display"
    fi
    log "stopped"
    ;;
*)
    echo "usage: $0 start|stop <build dir>" >&2; exit 2 ;;
esac
