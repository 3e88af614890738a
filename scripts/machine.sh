# Sourced by the scripts: what this machine can run.
#
# Some x86-64 Linux machines run no 32-bit code at all: the kernel refuses every i386
# program ("Exec format error"). There wine32 cannot start, and Debian's `wine` wrapper fails
# even for a 64-bit program because it tries the 32-bit loader first. The probe executes a
# tiny 32-bit program (96 bytes, made here: it only calls exit(42)) and looks at its exit code.
#
# After sourcing:
#   VANTARO_RUNS_32BIT  1 when this machine runs 32-bit code, 0 when it does not (or cannot tell)
#   VANTARO_PROBE_NOTE  one plain line about the answer, for the scripts to print
# VANTARO_NO_32BIT=1 makes the answer "no" on any machine, exactly as a real "no", so that the
# 64-bit-only path can be rehearsed where 32-bit code runs.

vantaro_probe_32bit() {
    if [ "${VANTARO_NO_32BIT:-0}" = 1 ]; then
        VANTARO_RUNS_32BIT=0
        VANTARO_PROBE_NOTE="VANTARO_NO_32BIT=1: treating this machine as one that runs no 32-bit code"
        return
    fi
    local dir status
    dir=$(mktemp -d 2>/dev/null) || {
        VANTARO_RUNS_32BIT=0
        VANTARO_PROBE_NOTE="could not tell whether this machine runs 32-bit code (no temporary folder); treating it as 64-bit only"
        return
    }
    # ELF header and one loadable segment; the code is: mov eax,1; mov ebx,42; int 0x80.
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$dir/probe32"
    chmod +x "$dir/probe32"
    status=0
    ( "$dir/probe32" ) >/dev/null 2>&1 || status=$?
    rm -rf "$dir"
    case $status in
    42)  VANTARO_RUNS_32BIT=1
         VANTARO_PROBE_NOTE="this machine runs 32-bit code" ;;
    126) VANTARO_RUNS_32BIT=0
         VANTARO_PROBE_NOTE="this machine runs no 32-bit code (the kernel refuses i386 programs)" ;;
    *)   VANTARO_RUNS_32BIT=0
         VANTARO_PROBE_NOTE="could not tell whether this machine runs 32-bit code (the probe ended with $status); treating it as 64-bit only" ;;
    esac
}

if [ -z "${VANTARO_RUNS_32BIT:-}" ]; then
    vantaro_probe_32bit
    export VANTARO_RUNS_32BIT VANTARO_PROBE_NOTE
fi

# Called after install-deps.sh: a machine that runs 32-bit code but got no wine32 (the package
# archive could not provide it) cannot run the 32-bit build either, and says so.
vantaro_check_wine32() {
    if [ "$VANTARO_RUNS_32BIT" = 1 ] &&
        ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
        VANTARO_RUNS_32BIT=0
        VANTARO_PROBE_NOTE="this machine runs 32-bit code, but wine32 could not be installed (see [setup] above); treating it as 64-bit only"
        export VANTARO_RUNS_32BIT VANTARO_PROBE_NOTE
        echo "[setup] $VANTARO_PROBE_NOTE"
    fi
}
