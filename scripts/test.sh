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
status=0
ctest --output-on-failure --no-tests=error -j "${PEL_TEST_JOBS:-2}" "$@" || status=$?

# The portable logic built for this machine under AddressSanitizer and
# UndefinedBehaviorSanitizer: its unit tests, and each fuzz target for a
# bounded time on its checked-in seeds (a finding fails the run).
NATIVE="${PEL_NATIVE_BUILD_DIR:-$BUILD/native}"
cmake -S "$ROOT/tests/native" -B "$NATIVE" -G Ninja
cmake --build "$NATIVE"
(cd "$NATIVE" && ctest --output-on-failure --no-tests=error -j "${PEL_TEST_JOBS:-2}") || status=$?
exit "$status"
