#!/usr/bin/env bash
# Pictures of the German wizard: the real setup.exe under Wine and Xvfb, each
# page (and the file-type page with "Nur Bilder" applied) at 96 and 144 DPI.
#
#   scripts/screenshots.sh [BUILD_DIR]
#
# Builds what it needs in BUILD_DIR (default: $PEL_BUILD_DIR or build/), then
# writes the 96-DPI pictures to docs/screenshots/ (the README shows them) and
# the 144-DPI ones to BUILD_DIR/screenshots-144dpi/ (for review). The Wine
# prefixes and the display live below BUILD_DIR/screenshots-wine and are
# removed at the end.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-${PEL_BUILD_DIR:-$ROOT/build}}"
mkdir -p "$BUILD"
BUILD="$(cd "$BUILD" && pwd)"
OUT="${PEL_SCREENSHOTS_DIR:-$ROOT/docs/screenshots}"
OUT144="$BUILD/screenshots-144dpi"

if [ ! -f "$BUILD/build.ninja" ]; then
  bash "$ROOT/scripts/setup.sh"
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake"
fi
cmake --build "$BUILD" --target setup pel_probe wizard_driver

export PEL_WINE_ROOT="$BUILD/screenshots-wine"
export PEL_WINE_RUN="$BUILD/wine-run.sh"
export PEL_SETUP_EXE="$BUILD/app/setup.exe"
export PEL_PROBE_EXE="$BUILD/tests/e2e/pel_probe.exe"
export PEL_WIZARD_DRIVER="$BUILD/tests/e2e_wizard/wizard_driver.exe"
export PEL_E2E_WORK="$BUILD/screenshots-work"
trap '"$PEL_WINE_RUN" --shutdown >/dev/null 2>&1 || true' EXIT

cd "$ROOT/tests/e2e_wizard"
rm -f "$OUT"/*.png "$OUT144"/*.png
python3 screenshots.py "$OUT" 96
python3 screenshots.py "$OUT144" 144
