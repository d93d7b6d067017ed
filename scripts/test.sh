#!/usr/bin/env bash
# Installs what is missing, builds the installer and every test, and runs all
# tests under Wine (each run in a private, throw-away Wine prefix and Xvfb).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PEL_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake"
cmake --build "$BUILD"

# Whatever happens, end the run's wineservers and display.
trap '"$BUILD/wine-run.sh" --shutdown >/dev/null 2>&1 || true' EXIT
"$BUILD/wine-run.sh" --shutdown >/dev/null 2>&1 || true
cd "$BUILD"
ctest --output-on-failure --no-tests=error -j "${PEL_TEST_JOBS:-2}" "$@"
