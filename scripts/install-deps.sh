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
    as_root apt-get update -q
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${need[@]}"
else
    echo "[setup] all packages present"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    echo "[setup] generating the zh_CN.UTF-8 locale"
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
