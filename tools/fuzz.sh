#!/usr/bin/env bash
# Fuzzes the brand data readers (container, data packet, bitmap check) for
# about a minute: tools/fuzz.sh BUILD_DIR [SECONDS]
# BUILD_DIR is a native clang build. The corpus grows in BUILD_DIR/fuzz/corpus;
# an input that crashes is left in BUILD_DIR/fuzz/artifacts and the script
# fails. Copy such inputs to tests/util/fuzz/regressions/ to keep them as tests.
set -euo pipefail
build=${1:?usage: tools/fuzz.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work="$build/fuzz"

cmake --build "$build" -j2 --target brand_fuzz brand_fuzz_seeds
mkdir -p "$work/corpus" "$work/artifacts"
"$build/bin/brand_fuzz_seeds" "$work/corpus"
# New inputs go to the first directory; the regressions are read only.
"$build/bin/brand_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "$root/tests/util/fuzz/regressions" 2>"$work/log" || {
  tail -n 60 "$work/log" >&2
  echo "fuzz.sh: brand_fuzz found a failing input; see $work/artifacts/" >&2
  exit 1
}
grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" || true
echo "fuzz.sh: no failure in ${seconds} s"
