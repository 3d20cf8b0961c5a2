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
for preset in "${presets[@]}"; do
  echo "=== ${preset}: configure, build, test ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
if [ $# -eq 0 ]; then
  echo "=== release: configure, build ==="
  cmake --preset release
  cmake --build --preset release -j "$jobs"
fi
