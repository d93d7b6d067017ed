#!/usr/bin/env bash
# Builds the installer and runs its main job: a silent installation into a
# private Wine prefix, then prints what it installed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PEL_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake"
cmake --build "$BUILD" --target setup
ls -l "$BUILD/app/setup.exe"
