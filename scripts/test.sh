#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests (with AddressSanitizer and
# UBSan), the fuzz targets of the input readers (libFuzzer, about a minute each; set
# VANTARO_FUZZ_SECONDS for shorter or longer runs), then the Windows build's tests under
# Wine + Xvfb (unit, platform and end-to-end). Installs what is missing on first use.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

./scripts/install-deps.sh

echo "[test] host build"
cmake --preset host >/dev/null
cmake --build --preset host

echo "[test] fuzz build (clang, libFuzzer)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

echo "[test] Windows build (mingw-w64, i686)"
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "[test] host tests"
ctest --preset host

echo "[test] fuzzing, ${VANTARO_FUZZ_SECONDS:-60} s per target, then the inputs that once broke a target"
rm -f build/fuzz/fuzz-work/*/summary
ctest --preset fuzz
cat build/fuzz/fuzz-work/*/summary

echo "[test] Windows tests under Wine (the first run makes the Wine prefix, about 15 s)"
ctest --preset windows
