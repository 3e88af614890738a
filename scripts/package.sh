#!/usr/bin/env bash
# Builds both Windows presets and with them the setup programs, the MSI packages and the zips
# of the distribution folders:
#   build/windows/Vantaro-<version>-x86-setup.exe     the 32-bit build, with its 64-bit helper
#   build/windows/Vantaro-<version>-x86.msi
#   build/windows/Vantaro-<version>-x86.zip
#   build/windows64/Vantaro-<version>-x64-setup.exe   the 64-bit build
#   build/windows64/Vantaro-<version>-x64.msi
#   build/windows64/Vantaro-<version>-x64.zip
# Each setup is per machine and silent with /S and /D=<folder>; each MSI per machine, silent with
# msiexec /i <msi> /qn and settings given as properties (docs/deploying.md, "Setting up many PCs"). The version is the version
# resource's (resources/Vantaro.rc), which must equal the project's.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

./scripts/install-deps.sh

version=$(sed -n 's/^ *FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),.*/\1.\2.\3/p' resources/Vantaro.rc)
for kind in "windows x86 i686" "windows64 x64 x86_64"; do
    set -- $kind
    echo "[package] Windows build (mingw-w64, $3), setup program, MSI package and zip"
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" --target vantaro_package vantaro_msi
    for file in "build/$1/Vantaro-$version-$2-setup.exe" "build/$1/Vantaro-$version-$2.msi" "build/$1/Vantaro-$version-$2.zip"; do
        [ -f "$file" ] || { echo "[package] $file was not made" >&2; exit 1; }
        echo "[package] $(readlink -f "$file") ($(stat -c %s "$file") bytes)"
    done
done
