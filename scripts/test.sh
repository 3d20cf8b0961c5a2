#!/usr/bin/env bash
# Sets the machine up, builds and passes the whole test suite.
# With no arguments the suite runs on the normal build and on the sanitizer
# builds (ASan+UBSan, TSan), and the release build is configured and built
# (warnings are errors there too); name presets to run only those.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
if [ $# -gt 0 ]; then presets=("$@"); else presets=(default asan tsan); fi
jobs=$(nproc)
# Every test program also runs once with all its tests in one process, in
# an order shuffled with this seed (GoogleTest takes 1 to 99999). Set
# VX_TEST_SEED to replay a failing order. The pass runs on the presets in
# VX_ONE_PROCESS_PRESETS: under TSan it costs as much again as the whole
# suite, for little that the other two do not find.
seed=${VX_TEST_SEED:-$(( (RANDOM * 32768 + RANDOM) % 99999 + 1 ))}
one_process_presets=" ${VX_ONE_PROCESS_PRESETS:-default asan} "
for preset in "${presets[@]}"; do
  echo "=== ${preset}: configure, build, test ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" -LE one_process
  [[ "$one_process_presets" == *" ${preset} "* ]] || continue
  echo "=== ${preset}: each test program in one process, shuffled with seed ${seed}"
  echo "    (replay: VX_TEST_SEED=${seed} $0 ${preset}, or run a program with --gtest_shuffle --gtest_random_seed=${seed}) ==="
  GTEST_RANDOM_SEED=$seed ctest --preset "$preset" -j "$jobs" -L one_process
done
if [ $# -eq 0 ]; then
  echo "=== release: configure, build ==="
  cmake --preset release
  cmake --build --preset release -j "$jobs"
fi
