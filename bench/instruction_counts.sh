#!/usr/bin/env bash
# Counts the instructions of each benchmark operation on the simulated handheld under callgrind
# and prints one table. Not part of tools/test.sh: run it by hand after a native build,
#   bash bench/instruction_counts.sh [build/native]
# "core" leaves out everything inside the simulated platform's plat:: entry points; "whole" is
# the call on the simulated handheld. Allocations: the program's own / all, per call.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/native}
driver=$build/bench/zorvik_icount
command -v valgrind >/dev/null || { echo "instruction_counts: valgrind is not installed" >&2; exit 1; }
[[ -x $driver ]] || { echo "instruction_counts: build $driver first (cmake --build --preset native)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# count OUT [CALLGRIND OPTIONS...] -- ARGS...: the collected instructions of one run.
count() {
  local out=$1 && shift
  local options=()
  while [[ $1 != -- ]]; do options+=("$1") && shift; done
  shift
  valgrind --tool=callgrind --collect-atstart=no "${options[@]}" \
    --callgrind-out-file="$work/cg.out" "$driver" "$@" >"$out" 2>"$work/valgrind.log" ||
    { cat "$work/valgrind.log" >&2; exit 1; }
  awk '/^(totals|summary):/ { print $2; exit }' "$work/cg.out"
}

# row NAME SIZE ARGS...: one line of the table.
row() {
  local name=$1 size=$2 && shift 2
  local whole core calls pixels programAllocs allAllocs
  whole=$(count "$work/whole.txt" -- "$@")
  core=-1  # start-up runs inside the platform's loop set-up: whole only
  [[ $1 == startup ]] || core=$(count "$work/core.txt" -- --core "$@")
  read -r calls pixels programAllocs allAllocs <"$work/whole.txt"
  awk -v n="$name" -v s="$size" -v w="$whole" -v c="$core" -v k="$calls" -v p="$pixels" \
    -v pa="$programAllocs" -v aa="$allAllocs" 'BEGIN {
      perPixelCore = p > 0 ? sprintf("%.1f", c / k / p) : "-"
      perCallCore = c < 0 ? "-" : sprintf("%.0f", c / k)
      perPixelWhole = p > 0 ? sprintf("%.1f", w / k / p) : "-"
      printf "%-22s %-14s %12s %12.0f %9s %9s %6.2f / %.2f\n", n, s, perCallCore, w / k,
        perPixelCore, perPixelWhole, pa / k, aa / k
    }'
}

printf '%-22s %-14s %12s %12s %9s %9s %s\n' operation "scale or size" "core/call" "whole/call" \
  "core/px" "whole/px" "allocs/call (program / all)"
views=(Plain Frequency Load Memory Battery Current)
for view in 1 2 3 4 5; do
  for scale in 1 2; do
    row "RefreshTrayIcon ${views[$view]}" "scale $scale" refresh "$view" "$scale" 50
  done
done
row ShowTrayMenu "full PXA27x" menu 20
row HandleMenuCommand "round of 11" command 44
row ApplyClockWord "Frequency" apply 20
row CheckWatch "unchanged" watch 50
row FillInfoTree "-" info 10
row FillProcessList "200 processes" processes 3
row "start-up" "to the loop" startup
