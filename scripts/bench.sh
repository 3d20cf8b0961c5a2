#!/usr/bin/env bash
# Builds the release preset, runs the benchmarks of the per-frame and
# transfer paths and writes bench/results.md: each path's median time over
# several repetitions, the median time of a memcpy of the bytes the path
# reads (timed in the same iterations) and their ratio, at 1280 x 1024 and
# 2592 x 1944, with AVX2 alone and with the widest vector unit the processor
# has; and the machine's processor and vector level.
#
#   VX_BENCH_REPETITIONS  repetitions per benchmark (default 7)
#   VX_BENCH_NOTE         a line about the machine for the file, e.g. that
#                         it is shared with other work
#   VX_BENCH_OUT          the file to write (default bench/results.md)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
repetitions=${VX_BENCH_REPETITIONS:-7}
out=${VX_BENCH_OUT:-bench/results.md}
programs=(camera_bench engines_bench driver_transfer_bench driver_exports_bench)

cmake --preset release
cmake --build --preset release -j "$(nproc)" --target "${programs[@]}"

rows=$(mktemp -d)
trap 'rm -rf "$rows"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
for program in "${programs[@]}"; do
  echo "=== ${program} (${repetitions} repetitions) ==="
  "build/release/bin/${program}" --benchmark_repetitions="${repetitions}" \
    --benchmark_report_aggregates_only=true --benchmark_out="${rows}/${program}.md"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
flags=" $(grep -m1 '^flags' /proc/cpuinfo | cut -d: -f2-) "
has() { [[ "$flags" == *" $1 "* ]]; }
if has avx512f && has avx512bw && has avx512vl && has avx2 && has fma; then level="AVX-512 (F, BW, VL)"
elif has avx2 && has fma; then level="AVX2"
else level="none beyond SSE2"; fi

{
  echo "# Per-frame and transfer paths against memcpy"
  echo
  echo "Written by \`scripts/bench.sh\` on ${started}."
  echo
  echo "- Processor: ${cpu}, $(nproc) cores; widest vector unit: ${level}."
  echo "- Load average before and after the runs: ${load_before} and ${load_after}."
  [ -n "${VX_BENCH_NOTE:-}" ] && echo "- ${VX_BENCH_NOTE}"
  echo "- Release build. Each benchmark ran ${repetitions} times; every figure is the median of those runs."
  echo "- Every iteration runs the path and then a memcpy of the bytes the path reads (last column but three),"
  echo "  timed apart on the calling thread's processor clock (it stops while other work has the core; every"
  echo "  path here runs on the calling thread, and system time spent for it, such as faulting in fresh pages,"
  echo "  counts). The ratio is the median over a run's iterations of the path's time over the copy's that"
  echo "  followed it; Time is the path's mean per iteration and memcpy the copy's median. A sum of frames is"
  echo "  set against one copy per pass (each frame with its planes, then the planes for the division)."
  echo "  Level \`avx2\` is AVX2 alone (forced), \`avx512\` the widest unit this processor has; a path without"
  echo "  an AVX-512 loop runs its AVX2 loop there too."
  echo "- The paths: the dark-subtraction and background-correction callbacks as the camera calls them;"
  echo "  the overlay blend of a frame-sized overlay without black pixels; the line copier over every row"
  echo "  of a snapshot; AcqAdd of 16 frames with divisor 17 (accumulators created, summed, divided and"
  echo "  released; each frame is the prepared snapshot again, so the camera's time is not in it); and"
  echo "  AcqGetLine over a frame and AcqGetImage into an existing host image through the exports of the"
  echo "  driver library loaded by path, against the simulated camera and the host imaging stand-in,"
  echo "  timing only the transfer of a snapshot taken beforehand (the preview it restores is held"
  echo "  meanwhile)."
  echo
  echo "| Path | Size | Level | memcpy of | Time | memcpy | Ratio |"
  echo "|---|---|---|---|---:|---:|---:|"
  for program in "${programs[@]}"; do cat "${rows}/${program}.md"; done
} > "$out"
echo "wrote ${out}"
