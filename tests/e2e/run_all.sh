#!/usr/bin/env bash
# Runs every end-to-end scenario (tests/e2e/scenarios/*.sh) against build/windows/zorvik.exe
# under Wine, each in its own virtual display; exits non-zero when any check fails.
# Usage: tests/e2e/run_all.sh [NAME-PART...]   (only the scenario files whose names match)
set -u
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

scenarios=()
for file in "$ZV_ROOT"/tests/e2e/scenarios/*.sh; do
  if (($# == 0)); then
    scenarios+=("$file")
  else
    for part in "$@"; do [[ $(basename "$file") == *"$part"* ]] && scenarios+=("$file") && break; done
  fi
done
((${#scenarios[@]} > 0)) || { echo "e2e: no scenario matches: $*"; exit 1; }

if [[ ! -f $ZV_EXE ]]; then
  echo "e2e: FAIL: $ZV_EXE is missing; build it with: cmake --preset windows && cmake --build --preset windows"
  exit 1
fi

started=$(zv_now_ms)
rm -rf "$ZV_OUT/failures" "$ZV_OUT/shots" "$ZV_OUT/prefixes" "$ZV_OUT/logs" "$ZV_OUT/tmp"
mkdir -p "$ZV_OUT/tmp" "$ZV_OUT/logs"
log=$ZV_OUT/e2e.log
: >"$log"

# One base prefix per run, made on a display of its own.
rm -rf "$ZV_BASE_PREFIX"
zv_display_start || exit 1
zv_base_prefix_ensure
base_status=$?
zv_display_stop
((base_status == 0)) || { echo "e2e: FAIL: could not make the Wine prefix"; exit 1; }

failed_scenarios=()
for file in "${scenarios[@]}"; do
  bash "$file" 2>&1 | tee -a "$log"
  ((PIPESTATUS[0] == 0)) || failed_scenarios+=("$(basename "$file" .sh)")
done

passed=$(grep -c '^PASS ' "$log")
failed=$(grep -c '^FAIL ' "$log")
skipped=$(grep -c '^SKIP ' "$log")
seconds=$((($(zv_now_ms) - started) / 1000))
echo
echo "e2e: $passed checks passed, $failed failed, $skipped not decided, ${seconds} s (log: ${log#"$ZV_ROOT"/})"
if ((${#failed_scenarios[@]} > 0 || failed > 0)); then
  echo "e2e: failing scenarios: ${failed_scenarios[*]}; screenshots in ${ZV_OUT#"$ZV_ROOT"/}/failures/"
  exit 1
fi
