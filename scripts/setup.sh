#!/usr/bin/env bash
# Installs what the project needs to build and test on Debian 12 (as root).
# Idempotent: packages already present are not fetched again. Name the
# presets that will be built (as scripts/test.sh does): the fuzz preset's
# compiler and fuzzing runtime are installed only when it is among them, and
# the Windows presets (or the argument "windows") add what the Windows builds
# need: the mingw-w64 cross compilers (the "-posix" thread model), wine64 to
# run the x86_64 programs, Xvfb for their windows, and xwd (x11-apps) and
# ImageMagick for pictures of them (xwininfo from x11-utils finds them).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libtiff-dev libpng-dev libcli11-dev nlohmann-json3-dev
)
windows=0
for preset in "$@"; do
  case "$preset" in
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    windows | mingw-*) windows=1 ;;
  esac
done
if [ "$windows" = 1 ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
    wine64 xvfb x11-apps x11-utils imagemagick
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
