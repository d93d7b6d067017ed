#!/usr/bin/env bash
# Builds the installer and runs its main job: a silent installation into a
# private Wine prefix (under the build folder), then prints what it installed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PEL_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake"
cmake --build "$BUILD" --target setup pel_probe

export PEL_WINE_ROOT="$BUILD/main-job"
export PEL_WINE_RUN="$BUILD/wine-run.sh"
export PEL_SETUP_EXE="$BUILD/app/setup.exe"
export PEL_PROBE_EXE="$BUILD/tests/e2e/pel_probe.exe"
export PEL_E2E_WORK="$BUILD/main-job-work"
trap '"$PEL_WINE_RUN" --shutdown >/dev/null 2>&1 || true' EXIT
echo "setup.exe: $(stat -c %s "$PEL_SETUP_EXE") bytes"
python3 "$ROOT/scripts/main_job.py"
