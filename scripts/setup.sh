#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine and
# prepares the third-party sources that are not packaged for mingw-w64.
# Safe to run again: it only installs or fetches what is missing.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
THIRD="$ROOT/third_party"

PACKAGES=(
  cmake ninja-build make pkg-config
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev zlib1g-dev
  wine wine64 xvfb x11-utils imagemagick
  googletest dpkg-dev xz-utils unzip
  clang libclang-rt-14-dev python3
  # Wine draws the pages' dialog font with Liberation Sans when it is there
  # (Arial's widths, close to Windows' own), with a much wider face otherwise.
  fonts-liberation
)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

updated=0
apt_update() {
  if [ "$updated" = 0 ]; then
    # Foreign repositories may be unreachable; Debian's own lists are what we need.
    $SUDO apt-get update -o Acquire::Retries=3 || true
    updated=1
  fi
}

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# minizip is not packaged for mingw: take it from Debian's zlib source package.
MINIZIP="$THIRD/minizip"
if [ ! -f "$MINIZIP/unzip.c" ] || [ ! -f "$MINIZIP/zip.c" ]; then
  if ! apt-get source --print-uris zlib >/dev/null 2>&1 || \
     [ -z "$(apt-get source --print-uris zlib 2>/dev/null | grep "^'")" ]; then
    echo "setup: enabling Debian source packages"
    src=/etc/apt/sources.list.d/pellumbra-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      # Same URIs, suites and keyring as the binary entries, for the main archive only.
      awk 'BEGIN{RS="";ORS="\n\n"} /Types: *deb/ && /deb\.debian\.org\/debian$|deb\.debian\.org\/debian\n/ {sub(/Types: *deb/,"Types: deb-src"); print}' \
        /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
    fi
    if [ ! -s "$src" ]; then
      suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$suite" \
        | $SUDO tee "$src" >/dev/null
    fi
    updated=0
    apt_update
  fi
  work="$THIRD/zlib-src"
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source --download-only zlib 2>&1 | grep -v "_apt" || true)
  orig="$(ls "$work"/zlib_*.orig.tar.* 2>/dev/null | head -1)"
  [ -n "$orig" ] || { echo "setup: could not fetch the zlib source package" >&2; exit 1; }
  mkdir -p "$MINIZIP"
  tar -xf "$orig" -C "$work"
  srcdir="$(find "$work" -type d -path '*contrib/minizip' | head -1)"
  for f in unzip.c unzip.h ioapi.c ioapi.h iowin32.c iowin32.h crypt.h zip.c zip.h; do
    cp "$srcdir/$f" "$MINIZIP/$f"
  done
  rm -rf "$work"
  echo "setup: minizip sources in $MINIZIP"
fi
echo "setup: ready"
