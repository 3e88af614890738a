#!/usr/bin/env bash
# CTest's emulator for Windows programs: runs one under Wine in the build's own prefix.
# The build folder is the nearest parent of the program that holds a CMakeCache.txt.
set -u
program=$1; shift
dir=$(dirname "$(readlink -f "$program")")
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "$0")")/wine-env.sh" "$dir"
exec wine "$program" "$@"
