#!/usr/bin/env bash
# The long run of the streaming stress test: builds the driver's tests on
# one preset (release unless VX_SOAK_PRESET names another) and streams for
# the given number of minutes (60 unless given) with corrections, overlay,
# preview-format changes, snapshots and frame sums. Prints the frames
# delivered and dropped, the peak resident memory and the slowest frame
# callback; fails when the resident memory grows after warm-up.
#   scripts/soak.sh [minutes]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 1 ]; then
  echo "usage: $0 [minutes]   (a whole number of minutes, 1 or more)" >&2
  exit 1
fi
preset=${VX_SOAK_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target driver_tests varnexacq
program=$(find "build/$preset" -path '*/bin/driver_tests' -type f | head -n 1)
echo "=== soak on ${preset}: ${minutes} minute(s) ==="
VX_SOAK_SECONDS=$((minutes * 60)) "$program" --gtest_filter='StreamSoak.*' --gtest_also_run_disabled_tests
