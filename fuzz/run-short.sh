#!/bin/bash
# Runs each fuzz target for a short while over its committed corpus, so that
# the targets stay built and working.
#
#   fuzz/run-short.sh BUILD_DIR [SECONDS_EACH]
#
# BUILD_DIR is a build configured with PIROKKO_FUZZ=ON (the preset "fuzz"
# gives build-fuzz/); SECONDS_EACH defaults to 10. The committed corpus is
# only read: new inputs go to a scratch folder that is removed at the end.
# A crash, a broken invariant, a leak or a timeout makes the script exit
# non-zero; the input that caused it is kept in BUILD_DIR/fuzz/artifacts/.
set -uo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD_DIR [SECONDS_EACH]" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=${2:-10}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$build/fuzz/artifacts
mkdir -p "$artifacts"

# Libraries keep caches for the life of the process (tests/lsan.supp).
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

failed=()
for target in fuzz_lines fuzz_mci fuzz_player fuzz_gif fuzz_wave; do
  binary=$build/fuzz/$target
  if [ ! -x "$binary" ]; then
    echo "$target: not built ($binary); configure with -DPIROKKO_FUZZ=ON" >&2
    failed+=("$target")
    continue
  fi
  extra=()
  # A script of 4 KiB, the marker and 200 events.
  [ "$target" = fuzz_player ] && extra+=(-max_len=4400)
  # A wave file of a few blocks: enough for every header and codec.
  [ "$target" = fuzz_wave ] && extra+=(-max_len=16384)
  mkdir "$work/$target"
  log=$work/$target.log
  # The first folder receives new inputs; the committed corpus is read only.
  # Every unit takes well under a second, also with the two cores loaded six
  # times over, so a unit still running after ten seconds is one that stalls.
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -dict="$root/fuzz/dict/$target.dict" -artifact_prefix="$artifacts/$target-" \
       "${extra[@]}" "$work/$target" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "$target: ok, ${runs:-?} runs in ${seconds} s (${speed:-?}/s)"
  else
    echo "$target: FAILED; the end of its log:" >&2
    grep -v -e '^#[0-9].*\(NEW\|REDUCE\|pulse\)' "$log" | tail -40 >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz targets failed: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
