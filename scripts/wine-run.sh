#!/usr/bin/env bash
# Runs a Windows program of the mingw-x64 build under wine64: CTest's
# emulator for that build. The caller (scripts/test.sh) provides the X
# display and keeps a wineserver running; a prefix of the project's own is
# used unless WINEPREFIX names another.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${HOME}/.wine-varnex}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine="$(command -v wine64)"
exec "$wine" "$@"
