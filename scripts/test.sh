#!/usr/bin/env bash
# Sets the machine up, builds and passes the whole test suite.
# With no arguments the suite runs on the normal build and on the sanitizer
# builds (ASan+UBSan, TSan), then the Windows builds: mingw-x64, whose
# suites run under wine64, and mingw-i686 (the driver's 32-bit target),
# which is built only (this machine runs no 32-bit programs). Name presets
# to run only those.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then presets=("$@"); else presets=(default asan tsan mingw-x64 mingw-i686); fi
windows=""
for preset in "${presets[@]}"; do
  case "$preset" in mingw-*) windows=windows ;; esac
done
./scripts/setup.sh $windows
jobs=$(nproc)
started=$SECONDS
timings=()
for preset in "${presets[@]}"; do
  echo "=== ${preset}: configure, build, test ==="
  phase=$SECONDS
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  case "$preset" in
    mingw-i686) ;;  # built and inspected, not run
    mingw-x64)
      (
        source scripts/windows-env.sh
        windows_env_start "$PWD/build/mingw-x64"
        ctest --preset "$preset" -j "$jobs"
      )
      ;;
    *) ctest --preset "$preset" -j "$jobs" ;;
  esac
  timings+=("${preset}: $((SECONDS - phase)) s")
done
echo "=== times ==="
printf '%s\n' "${timings[@]}"
echo "total: $((SECONDS - started)) s"
