#!/usr/bin/env bash
# Runs a Windows program under Wine in the test run's private prefix.
#
#   wine-run.sh PROGRAM [ARGS...]   run PROGRAM in the shared prefix of this run
#   wine-run.sh --fresh-prefix DIR  make DIR a new copy of the pristine prefix
#   wine-run.sh --shutdown          end every wineserver and Xvfb of this run and
#                                   remove its prefixes
#
# Everything lives below PEL_WINE_ROOT (default: <build>/wine): a pristine
# prefix made once with wineboot, the shared prefix copied from it, a throw-away
# HOME and XDG folders, and an Xvfb display when none is given. The real home,
# ~/.wine and the Linux desktop are never touched.
set -euo pipefail

ROOT="${PEL_WINE_ROOT:-@PEL_WINE_ROOT_DEFAULT@}"
mkdir -p "$ROOT"
ROOT="$(cd "$ROOT" && pwd)"
PRISTINE="$ROOT/pristine"

export HOME="$ROOT/home"
export XDG_CONFIG_HOME="$ROOT/home/.config"
export XDG_DATA_HOME="$ROOT/home/.local/share"
export XDG_CACHE_HOME="$ROOT/home/.cache"
export XDG_DESKTOP_DIR="$ROOT/home/Desktop"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"

start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  if [ -f "$ROOT/display" ] && kill -0 "$(cat "$ROOT/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
    export DISPLAY="$(cat "$ROOT/display")"; return
  fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$ROOT/xvfb.pid"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    echo ":$n" >"$ROOT/display"
    export DISPLAY=":$n"
    return
  done
  echo "wine-run: no free X display" >&2
  exit 1
}

# A new prefix: wineboot, then real folders instead of the links into $HOME,
# and no window-manager waits when windows are hidden.
make_pristine() {
  rm -rf "$PRISTINE"
  WINEPREFIX="$PRISTINE" wine wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
  WINEPREFIX="$PRISTINE" wineserver -w
  local l
  for l in "$PRISTINE"/drive_c/users/*/*; do
    if [ -L "$l" ]; then rm "$l" && mkdir "$l"; fi
  done
  WINEPREFIX="$PRISTINE" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1 9>&-
  WINEPREFIX="$PRISTINE" wineserver -w
  touch "$PRISTINE/.pel-ready"
}

copy_prefix() {
  rm -rf "$1"
  mkdir -p "$(dirname "$1")"
  cp -a "$PRISTINE" "$1"
}

# Starts a persistent wineserver and Wine's background services for a prefix,
# detached from our output: otherwise they would hold the caller's pipes open
# and whoever reads our output (CTest) would wait for them.
start_prefix() {
  WINEPREFIX="$1" wineserver -p </dev/null >/dev/null 2>&1 9>&-
  WINEPREFIX="$1" wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
}

with_lock() {
  exec 9>"$ROOT/lock"
  flock 9
  start_display
  [ -f "$PRISTINE/.pel-ready" ] || make_pristine
}

case "${1:-}" in
  --shutdown)
    for p in "$ROOT"/pristine "$ROOT"/prefix "$ROOT"/prefixes/*; do
      [ -d "$p" ] && WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true
    done
    if [ -f "$ROOT/xvfb.pid" ]; then kill "$(cat "$ROOT/xvfb.pid")" 2>/dev/null || true; fi
    rm -rf "$ROOT"
    exit 0 ;;
  --fresh-prefix)
    # A new prefix of its own for a test that changes prefix-wide state; the
    # caller ends it with: WINEPREFIX=DIR wineserver -k
    with_lock
    mkdir -p "$(dirname "$2")"
    copy_prefix "$2"
    start_prefix "$2"
    exit 0 ;;
  --env)
    # Prints the environment a caller needs to run Wine in this run's setting.
    with_lock
    echo "export HOME='$HOME' XDG_CONFIG_HOME='$XDG_CONFIG_HOME' XDG_DATA_HOME='$XDG_DATA_HOME'"
    echo "export XDG_CACHE_HOME='$XDG_CACHE_HOME' DISPLAY='$DISPLAY' WINEDEBUG='$WINEDEBUG'"
    echo "export WINEDLLOVERRIDES='$WINEDLLOVERRIDES' WINEARCH=win64 PEL_WINE_ROOT='$ROOT'"
    exit 0 ;;
esac

with_lock
if [ -n "${PEL_WINEPREFIX:-}" ]; then
  export WINEPREFIX="$PEL_WINEPREFIX"
  if [ ! -d "$WINEPREFIX" ]; then copy_prefix "$WINEPREFIX"; start_prefix "$WINEPREFIX"; fi
else
  export WINEPREFIX="$ROOT/prefix"
  if [ ! -f "$WINEPREFIX/.pel-ready" ]; then
    copy_prefix "$WINEPREFIX"
    # One persistent server for the shared prefix: small programs start fast.
    start_prefix "$WINEPREFIX"
  fi
fi
exec 9>&-
exec wine "$@"
