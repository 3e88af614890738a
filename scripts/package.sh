#!/usr/bin/env bash
# Builds the Windows preset and with it the setup program and the zip of the distribution folder:
#   build/windows/Vantaro-<version>-setup.exe   (per machine, silent with /S and /D=<folder>)
#   build/windows/Vantaro-<version>.zip         (the Vantaro folder, to unzip anywhere)
# The version is the version resource's (resources/Vantaro.rc), which must equal the project's.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

./scripts/install-deps.sh

echo "[package] Windows build (mingw-w64, i686), setup program and zip"
cmake --preset windows >/dev/null
cmake --build --preset windows --target vantaro_package

version=$(sed -n 's/^ *FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),.*/\1.\2.\3/p' resources/Vantaro.rc)
for file in "build/windows/Vantaro-$version-setup.exe" "build/windows/Vantaro-$version.zip"; do
    [ -f "$file" ] || { echo "[package] $file was not made" >&2; exit 1; }
    echo "[package] $(readlink -f "$file") ($(stat -c %s "$file") bytes)"
done
