#!/usr/bin/env bash
# Photographs the shipped driver's real dialogs: builds the 64-bit Windows
# driver and varnex-panel-pictures, runs it under wine64 on an X display of
# its own (Xvfb), and saves a PNG of the options window and of every panel
# it opens into docs/pictures/ (ImageMagick's import). Panels added to the
# options window later are photographed without changes here.
#   ./scripts/panel-pictures.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/pictures}"
./scripts/setup.sh windows
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j "$(nproc)" --target varnex-panel-pictures
# shellcheck source=scripts/windows-env.sh
source scripts/windows-env.sh
windows_env_start "$PWD/build/mingw-x64"
mkdir -p "$out"

# The Wine desktop's X window: the dialogs' desktop coordinates are its own.
desktop=""
coproc pictures { "$VX_WINE" build/mingw-x64/bin/varnex-panel-pictures.exe 2>&1; }
pid=$pictures_PID
exec {from}<&"${pictures[0]}" {to}>&"${pictures[1]}"
count=0
while IFS= read -r line <&"$from"; do
  line="${line%$'\r'}"
  if [[ "$line" =~ ^picture\ ([a-z0-9-]+)\ (-?[0-9]+)\ (-?[0-9]+)\ (-?[0-9]+)\ (-?[0-9]+)$ ]]; then
    name="${BASH_REMATCH[1]}"
    left=$(( BASH_REMATCH[2] < 0 ? 0 : BASH_REMATCH[2] ))
    top=$(( BASH_REMATCH[3] < 0 ? 0 : BASH_REMATCH[3] ))
    width=$(( BASH_REMATCH[4] - left ))
    height=$(( BASH_REMATCH[5] - top ))
    [ -n "$desktop" ] || desktop="$(xwininfo -root -tree | awk '/Wine desktop/ {print $1; exit}')"
    import -window "${desktop:-root}" -crop "${width}x${height}+${left}+${top}" +repage "${out}/${name}.png"
    echo "  wrote ${out}/${name}.png"
    count=$(( count + 1 ))
    echo go >&"$to"
  else
    echo "$line" >&2
  fi
done
status=0
wait "$pid" || status=$?
echo "${count} pictures"
exit "$status"
