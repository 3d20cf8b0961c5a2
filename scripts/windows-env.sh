#!/usr/bin/env bash
# Sourced by scripts/test.sh (and the screenshot script): starts what the
# Windows programs of the mingw-x64 build need to run under wine64, and
# stops it again when the calling script exits.
# - an X display of its own (Xvfb, on the first free display number);
# - a Wine prefix of the project's own in the build tree, made once, with a
#   virtual desktop (window activation is then immediate);
# - a wineserver kept running (-p), so that each program does not wait for
#   one to start. Its helper processes are started with no output attached,
#   so that they hold no pipe of the caller open.

windows_env_start() {
  local build_dir="$1"
  export WINEPREFIX="${build_dir}/wine-prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  VX_WINE=/usr/lib/wine/wine64
  VX_WINESERVER=/usr/lib/wine/wineserver
  [ -x "$VX_WINE" ] || VX_WINE="$(command -v wine64)"
  [ -x "$VX_WINESERVER" ] || VX_WINESERVER="$(command -v wineserver)"

  local display_file
  display_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  VX_XVFB_PID=$!
  for _ in $(seq 50); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
  trap windows_env_stop EXIT

  if [ ! -f "${WINEPREFIX}/system.reg" ]; then
    "$VX_WINE" wineboot --init >/dev/null 2>&1 </dev/null
    "$VX_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    "$VX_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
    "$VX_WINESERVER" -w
  fi
  "$VX_WINESERVER" -p >/dev/null 2>&1 </dev/null
  "$VX_WINE" cmd /c exit >/dev/null 2>&1 </dev/null  # the helper processes, detached from our output
}

windows_env_stop() {
  if [ -n "${VX_WINESERVER:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
    "$VX_WINESERVER" -k >/dev/null 2>&1 || true
  fi
  if [ -n "${VX_XVFB_PID:-}" ]; then
    kill "$VX_XVFB_PID" 2>/dev/null || true
    wait "$VX_XVFB_PID" 2>/dev/null || true
    VX_XVFB_PID=
  fi
}
