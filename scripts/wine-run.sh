#!/usr/bin/env bash
# Runs a Windows program of the mingw-x64 build under wine64: CTest's
# emulator for that build. The caller (scripts/test.sh) provides the X
# display and keeps a wineserver running; a prefix of the project's own is
# used unless WINEPREFIX names another.
#
# Every program run this way is a GoogleTest program, which prints before its
# first test. One that fails without printing a byte never reached its main:
# Wine did not start it (seen once, on a fresh CI machine, among the some 660
# starts of one run). Such a start is tried again, at most twice; each retry
# is said on stderr and, when VX_WINE_RETRY_LOG names a file, appended to it,
# so that the test command reports it even when the retry passes. A program
# that printed anything keeps its result.
set -uo pipefail
export WINEPREFIX="${WINEPREFIX:-${HOME}/.wine-varnex}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine="$(command -v wine64)"

out="$(mktemp)" && err="$(mktemp)" || exit 125
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
  "$wine" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$attempt" -eq 3 ]; then break; fi
  note="wine-run: $(basename "$1") ${*:2}: exited $rc without printing anything (attempt $attempt); starting it again"
  echo "$note" >&2
  [ -n "${VX_WINE_RETRY_LOG:-}" ] && echo "$note" >>"$VX_WINE_RETRY_LOG"
done
cat "$out"
cat "$err" >&2
exit "$rc"
