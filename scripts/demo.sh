#!/usr/bin/env bash
# Sets the machine up, builds the driver and the host program, and runs the
# host program against the simulated camera. Extra arguments go to the host.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target varnex-host varnexacq
exec ./build/default/bin/varnex-host "$@"
