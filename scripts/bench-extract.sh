#!/usr/bin/env bash
# Measures the payload extraction against a bare minizip loop, under Wine.
#
#   scripts/bench-extract.sh [ARCHIVE.zip] [REPETITIONS]
#
# Without an archive it measures the stand-in payload of the build
# (<build>/payload/pellumbra_payload.zip) and a synthetic archive of the real
# payload's size (43 entries, about 8 MB unpacked, about 5 MB packed).
# Prints figures only; nothing is asserted. PEL_BUILD_DIR picks the build
# folder (default: build), PEL_BUILD_JOBS the build's parallel jobs.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PEL_BUILD_DIR:-$ROOT/build}"
REPS="${2:-5}"

JOBS=(${PEL_BUILD_JOBS:+-j "$PEL_BUILD_JOBS"})
cmake --build "$BUILD" --target bench_extract "${JOBS[@]}" >/dev/null
archives=()
if [ -n "${1:-}" ]; then
  archives+=("$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
else
  # The stand-in payload, when this build makes one.
  cmake --build "$BUILD" --target pel_payload "${JOBS[@]}" >/dev/null 2>&1 || true
  [ -f "$BUILD/payload/pellumbra_payload.zip" ] && archives+=("$BUILD/payload/pellumbra_payload.zip")
  synthetic="$BUILD/bench/payload_sized.zip"
  mkdir -p "$BUILD/bench"
  python3 - "$synthetic" <<'PY'
import random, sys, zipfile
# Deterministic content of the real payload's shape: a few large programs and
# help files that pack to about half, many small texts that pack well.
rng = random.Random(1974)
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for folder in ["Languages/", "Plugins/", "Help/", "Html/", "Toolbars/", "Plugins/Plugins32/"]:
        z.writestr(zipfile.ZipInfo(folder), b"")
    sizes = [2_600_000, 1_900_000, 1_300_000, 900_000, 700_000] + [40_000] * 12 + [3_000] * 20
    for i, size in enumerate(sizes):
        words = [bytes(rng.getrandbits(8) for _ in range(6)) for _ in range(64)]
        text = bytearray()
        while len(text) < size:
            text += rng.choice(words) if rng.random() < 0.55 else bytes(rng.getrandbits(8) for _ in range(8))
        z.writestr(f"Plugins/part{i:02d}.bin" if i % 2 else f"file{i:02d}.bin", bytes(text[:size]))
PY
  archives+=("$synthetic")
fi

trap '"$BUILD/wine-run.sh" --shutdown >/dev/null 2>&1 || true' EXIT
for a in "${archives[@]}"; do
  "$BUILD/wine-run.sh" "$BUILD/tests/bench_extract/bench_extract.exe" "Z:${a//\//\\}" "$REPS"
  echo
done
