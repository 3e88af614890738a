#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, once.
# A second run finds everything in place and installs nothing.
set -euo pipefail
. "$(dirname "$(readlink -f "$0")")/machine.sh"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake ninja-build g++ googletest libbenchmark-dev
          clang libclang-rt-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64
          xvfb xdotool x11-utils imagemagick
          fonts-wqy-microhei locales
          python3 mobile-broadband-provider-info nsis
          wixl msitools)

# wine32 runs the 32-bit build; a machine that runs no 32-bit code gets the 64-bit Wine alone.
if [ "$VANTARO_RUNS_32BIT" = 1 ]; then
    packages+=(wine32:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "[setup] adding the i386 architecture (needed by wine32)"
        as_root dpkg --add-architecture i386
    fi
else
    echo "[setup] $VANTARO_PROBE_NOTE: the 64-bit Wine alone, no wine32"
fi

for p in "${packages[@]}"; do
    have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
    echo "[setup] installing: ${need[*]}"
    # A mirror in the middle of a sync answers one index with the wrong size; the others are
    # fresh, so a failed update is tried again and then left to the install, which says
    # plainly if a package is truly missing.
    for try in 1 2 3; do
        as_root apt-get -o DPkg::Lock::Timeout=300 update -q && break
        echo "[setup] apt-get update failed (try $try of 3)"
        [ "$try" = 3 ] || sleep $((try * 10))
    done
    if ! DEBIAN_FRONTEND=noninteractive as_root apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${need[@]}"; then
        # wine32 needs i386 packages at exactly the amd64 ones' versions; while the archive's
        # i386 index lags behind, it cannot be had. The rest is installed, and the scripts then
        # test the 64-bit build alone and say so (machine.sh).
        case " ${need[*]} " in *" wine32:i386 "*) ;; *) exit 1 ;; esac
        echo "[setup] wine32 cannot be installed from this package archive now; installing the rest"
        rest=()
        for p in "${need[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
        [ ${#rest[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive as_root apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${rest[@]}"
    fi
else
    echo "[setup] all packages present"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    echo "[setup] generating the zh_CN.UTF-8 locale"
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
