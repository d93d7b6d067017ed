#!/usr/bin/env bash
# Measures the installer in one run and prints the figures (nothing asserted):
#
#   - silent installation against a program that does nothing plus a bare
#     minizip extraction of the same payload (target: ratio <= 1.15);
#   - stub size, the executable without its payload (target: <= 300 KB), and
#     what it is made of, by section and by library;
#   - peak memory of a silent installation (target: payload + 8 MB);
#   - wizard start: launch until the welcome page shows, against an empty
#     property sheet of the same toolchain.
#
#   scripts/measure.sh [RUNS]      (default 7; medians are printed)
#
# Runs in a Wine prefix of its own below the build folder (PEL_BUILD_DIR,
# default build); needs the build to exist (scripts/test.sh or
# scripts/build-and-install.sh make it).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${PEL_BUILD_DIR:-$ROOT/build}" && pwd)"
RUNS="${1:-7}"
JOBS=(${PEL_BUILD_JOBS:+-j "$PEL_BUILD_JOBS"})

cmake --build "$BUILD" --target setup pel_timer empty_program empty_sheet bench_extract \
  robust_helper "${JOBS[@]}" >/dev/null
SETUP="$BUILD/app/setup.exe"
PAYLOAD="$(sed -n 's/^#define PEL_PAYLOAD_FILE "\(.*\)"$/\1/p' "$BUILD/resources/resource_files.h")"
TIMER="$BUILD/tests/perf/pel_timer.exe"
EMPTY="$BUILD/tests/perf/empty_program.exe"
SHEET="$BUILD/tests/perf/empty_sheet.exe"
BENCH="$BUILD/tests/bench_extract/bench_extract.exe"
HELPER="$BUILD/tests/e2e_robust/robust_helper.exe"
RUN="$BUILD/wine-run.sh"

PREFIX="$("$RUN" --env | sed -n "s/.*PEL_WINE_ROOT='\([^']*\)'.*/\1/p")/prefixes/measure"
trap 'WINEPREFIX="$PREFIX" wineserver -k >/dev/null 2>&1 || true; rm -rf "$PREFIX"' EXIT
"$RUN" --fresh-prefix "$PREFIX" >/dev/null 2>&1
export PEL_WINEPREFIX="$PREFIX"
win() { echo "Z:${1//\//\\}"; }
# Programs run with the prefix's drive C: as their folder (the installer's
# log of a failed run lands there, not in the caller's folder).
in_prefix() { (cd "$PREFIX/drive_c" && "$RUN" "$@" 2>/dev/null | tr -d '\r'); }
median() { sort -g | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
field() { sed -n "s/.*$1=\([-0-9.]*\).*/\1/p"; }

# A user's session has a desktop: keep one alive (Wine starts its desktop
# process for the first program that looks for a window and ends it when the
# last one has gone, which would otherwise be charged to every run).
"$RUN" "$TIMER" desktop 3600 >/dev/null 2>&1 &
sleep 2
# Warm up: the first start of a program in a prefix loads what later ones share.
in_prefix "$TIMER" run 2 "\"$(win "$EMPTY")\"" >/dev/null

# ------------------------------------------------------------ installation
target="$PREFIX/drive_c/Perf"
setup_ms=()
for _ in $(seq "$RUNS"); do
  rm -rf "$target"
  setup_ms+=("$(in_prefix "$TIMER" run 1 "\"$(win "$SETUP")\" /silent /folder=C:\\Perf" | field ms)")
done
empty_ms="$(in_prefix "$TIMER" run "$RUNS" "\"$(win "$EMPTY")\"" | field ms | median)"
bare_s=()
for _ in $(seq "$RUNS"); do
  bare_s+=("$(in_prefix "$BENCH" --phase bare "$(win "$PAYLOAD")" 1 | field seconds)")
done
# The installer's start-up alone: an empty folder ends it at once (1603).
startup_ms="$(in_prefix "$TIMER" run "$RUNS" "\"$(win "$SETUP")\" /silent /folder=" | field ms | median)"
setup_median="$(printf '%s\n' "${setup_ms[@]}" | median)"
bare_median_ms="$(printf '%s\n' "${bare_s[@]}" | median | awk '{print $1 * 1000}')"
ratio="$(awk -v s="$setup_median" -v e="$empty_ms" -v b="$bare_median_ms" \
  'BEGIN {printf "%.2f", s / (e + b)}')"

# ------------------------------------------------------------ memory
peak() { in_prefix "$HELPER" run "$1" | field peak_working_set_kb; }
setup_kb=()
for _ in 1 2 3; do
  rm -rf "$target"
  setup_kb+=("$(peak "\"$(win "$SETUP")\" /silent /folder=C:\\Perf")")
done
setup_peak="$(printf '%s\n' "${setup_kb[@]}" | median)"
startup_peak="$(for _ in 1 2 3; do peak "\"$(win "$SETUP")\" /silent /folder="; done | median)"
empty_peak="$(for _ in 1 2 3; do peak "\"$(win "$EMPTY")\""; done | median)"
payload_kb=$(( $(stat -c %s "$PAYLOAD") / 1024 ))

# ------------------------------------------------------------ wizard start
wizard_ms="$(in_prefix "$TIMER" page "$RUNS" "\"$(win "$SETUP")\"" | field ms | median)"
sheet_ms="$(in_prefix "$TIMER" page "$RUNS" "\"$(win "$SHEET")\"" | field ms | median)"

# ------------------------------------------------------------ stub size
exe_bytes=$(stat -c %s "$SETUP")
payload_bytes=$(stat -c %s "$PAYLOAD")
stub_bytes=$(( exe_bytes - payload_bytes ))

echo "Pellumbra setup measurements, $(date +%Y-%m-%d), medians of $RUNS runs (memory: of 3)"
echo
printf '%-44s %s\n' "silent installation" "${setup_median} ms"
printf '%-44s %s\n' "program that does nothing" "${empty_ms} ms"
printf '%-44s %s\n' "bare minizip extraction of the payload" "${bare_median_ms} ms"
printf '%-44s %s\n' "ratio (target <= 1.15)" "$ratio"
printf '%-44s %s\n' "  of it: start-up alone (/silent /folder=)" "${startup_ms} ms"
echo
printf '%-44s %s\n' "peak working set, silent installation" "${setup_peak} KiB"
printf '%-44s %s\n' "  of it: start-up alone (/silent /folder=)" "${startup_peak} KiB"
printf '%-44s %s\n' "peak working set, program that does nothing" "${empty_peak} KiB"
printf '%-44s %s\n' "payload + 8 MiB (target)" "$(( payload_kb + 8192 )) KiB"
echo
printf '%-44s %s\n' "wizard start until the welcome page" "${wizard_ms} ms"
printf '%-44s %s\n' "empty property sheet until its page" "${sheet_ms} ms"
echo
printf '%-44s %s\n' "setup.exe" "$exe_bytes bytes"
printf '%-44s %s\n' "payload archive" "$payload_bytes bytes"
printf '%-44s %s\n' "stub (target <= 300 KB = 307200 bytes)" "$stub_bytes bytes"
echo
echo "sections of setup.exe (bytes):"
x86_64-w64-mingw32-size -A "$SETUP" | awk 'NR > 2 && $1 ~ /^\./ {printf "  %-10s %8d\n", $1, $2}'
if [ -f "$BUILD/setup.map" ]; then
  echo "code and constant data by origin (bytes, from the link map):"
  python3 - "$BUILD/setup.map" <<'PY'
import collections, re, sys
text = open(sys.argv[1], errors="replace").read()
text = text[text.index("Linker script and memory map"):]
sizes = collections.Counter()
section = None
for line in text.split("\n"):
    m = re.match(r"^ (\.\w+)\S*\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.*)$", line)
    pending = None
    if m:
        pending = (m.group(1), int(m.group(3), 16), m.group(4))
        section = None
    else:
        m2 = re.match(r"^ (\.\w+)\S*\s*$", line)
        if m2:
            section = m2.group(1)
            continue
        m3 = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if m3 and section:
            pending = (section, int(m3.group(2), 16), m3.group(3))
        section = None
    if pending and pending[0] in (".text", ".rdata", ".data", ".pdata", ".xdata"):
        origin = re.sub(r"\(.*", "", pending[2]).split("/")[-1]
        origin = {"libpel_core.a": "installer: portable logic", "libpel_win.a": "installer: Windows edge",
                  "libpel_minizip_unzip.a": "minizip (unzip)", "libz.a": "zlib (inflate, crc32)",
                  "libstdc++.a": "C++ runtime (exceptions, new, strings)",
                  "libmingwex.a": "mingw C runtime (printf, wcstod)",
                  "libpthread.a": "winpthreads (posix thread model)"}.get(origin, "start-up and import stubs")
        sizes[origin] += pending[1]
for origin, size in sizes.most_common():
    print("  %-42s %8d" % (origin, size))
PY
fi
