#!/usr/bin/env bash
# Sets the machine up, builds and passes the whole test suite.
# With no arguments the suite runs on the normal build and on the sanitizer
# builds (ASan+UBSan, TSan), the release build is configured and built
# (warnings are errors there too), the fuzz targets are built and each run
# for a fixed number of inputs from its corpus, and then the Windows builds:
# the 32-bit driver DLL (the one that ships) is built and its export and
# import tables checked, and the whole suite is built for 64-bit Windows and
# run under wine64 with an X display of its own (Xvfb). Name presets to run
# only those (default, asan, tsan, release, fuzz, mingw-i686, mingw-x64).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then presets=("$@"); else presets=(default asan tsan release fuzz mingw-i686 mingw-x64); fi
./scripts/setup.sh "${presets[@]}"
jobs=$(nproc)
# Every test program also runs once with all its tests in one process, in
# an order shuffled with this seed (GoogleTest takes 1 to 99999). Set
# VX_TEST_SEED to replay a failing order. The pass runs on the presets in
# VX_ONE_PROCESS_PRESETS: under TSan it costs as much again as the whole
# suite, for little that the other two do not find.
seed=${VX_TEST_SEED:-$(( (RANDOM * 32768 + RANDOM) % 99999 + 1 ))}
one_process_presets=" ${VX_ONE_PROCESS_PRESETS:-default asan mingw-x64} "

# Runs the suite of a configured and built preset: each test in a process
# of its own, then (on the presets above) each program in one process.
run_suite() {
  local preset="$1"
  ctest --preset "$preset" -j "$jobs" -LE one_process
  # The fault sweep (ASan build) says how many failing runs it made.
  grep -h "^fault sweep:" "build/${preset}/Testing/Temporary/LastTest.log" 2>/dev/null || true
  [[ "$one_process_presets" == *" ${preset} "* ]] || return 0
  echo "=== ${preset}: each test program in one process, shuffled with seed ${seed}"
  echo "    (replay: VX_TEST_SEED=${seed} $0 ${preset}, or run a program with --gtest_shuffle --gtest_random_seed=${seed}) ==="
  GTEST_RANDOM_SEED=$seed ctest --preset "$preset" -j "$jobs" -L one_process
}

for preset in "${presets[@]}"; do
  started=$SECONDS
  case "$preset" in
    release)
      echo "=== release: configure, build ==="
      cmake --preset release
      cmake --build --preset release -j "$jobs"
      ;;
    mingw-i686)
      # The driver DLL as it ships and as the test build makes it, and a
      # DLL the table check must refuse; this machine runs no 32-bit
      # programs, so only the tests that read the built files run.
      echo "=== mingw-i686: configure, build the driver DLLs, check their tables ==="
      cmake --preset mingw-i686
      cmake --build --preset mingw-i686 -j "$jobs" --target varnexacq varnexacq_headless hostimaging
      ctest --test-dir build/mingw-i686 -j "$jobs" -L dll_tables --output-on-failure --no-tests=error
      ;;
    mingw-x64)
      echo "=== mingw-x64: configure, build, test under wine64 ==="
      cmake --preset mingw-x64
      cmake --build --preset mingw-x64 -j "$jobs"
      (
        # shellcheck source=scripts/windows-env.sh
        source scripts/windows-env.sh
        windows_env_start "$PWD/build/mingw-x64"
        # Starts that Wine failed and that were tried again (wine-run.sh).
        export VX_WINE_RETRY_LOG="$PWD/build/mingw-x64/wine-retries.log"
        : >"$VX_WINE_RETRY_LOG"
        run_suite mingw-x64
        if [ -s "$VX_WINE_RETRY_LOG" ]; then
          echo "=== mingw-x64: $(wc -l <"$VX_WINE_RETRY_LOG") start(s) that Wine failed were tried again:"
          cat "$VX_WINE_RETRY_LOG"
        fi
      )
      ;;
    *)
      echo "=== ${preset}: configure, build, test ==="
      cmake --preset "$preset"
      cmake --build --preset "$preset" -j "$jobs"
      run_suite "$preset"
      ;;
  esac
  echo "=== ${preset}: done in $(( SECONDS - started )) s ==="
done
