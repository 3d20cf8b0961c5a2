#!/usr/bin/env bash
# Fuzzes for minutes: builds the fuzz preset, then runs each fuzz target in
# turn (never two at once) for the given minutes, starting from its corpus in
# fuzz/corpus/<target>.
#
#   scripts/fuzz.sh [minutes] [target...]     (default: 10 minutes, every target)
#
# Everything a session makes stays in build/fuzz-work/<target>/: corpus/
# the new inputs (merge the ones worth keeping into fuzz/corpus/<target>),
# crashes/ the inputs that crashed, hung or leaked, and fuzz.log. A summary
# line per target follows the runs; the exit status is 1 when any target
# found something.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(bmp_reader_fuzz settings_file_fuzz acq_control_fuzz tiff_reader_fuzz)
fi

./scripts/setup.sh fuzz
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j "$(nproc)"

work=build/fuzz-work
status=0
summary=()
for target in "${targets[@]}"; do
  dir=$work/$target
  mkdir -p "$dir/corpus" "$dir/crashes"
  echo "=== $target: $minutes minute(s), log in $dir/fuzz.log ==="
  set +e
  nice -n 10 "build/fuzz/bin/$target" -max_total_time=$((minutes * 60)) -max_len=65536 \
    -rss_limit_mb=4096 -timeout=60 -print_final_stats=1 -artifact_prefix="$dir/crashes/" \
    "$dir/corpus" "fuzz/corpus/$target" > "$dir/fuzz.log" 2>&1
  result=$?
  set -e
  last=$(grep -E '^#[0-9]+' "$dir/fuzz.log" | tail -n 1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log")
  crashes=$(find "$dir/crashes" -type f | wc -l)
  summary+=("$target: exit $result, $execs inputs run, last: ${last:-none}, crash files: $crashes")
  if [ "$result" -ne 0 ] || [ "$crashes" -ne 0 ]; then status=1; fi
done
echo "=== summary ==="
printf '%s\n' "${summary[@]}"
exit $status
