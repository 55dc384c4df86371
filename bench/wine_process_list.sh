#!/usr/bin/env bash
# Times the process list of zorvik.exe under Wine with 0, 100 and 300 idle extra processes in the
# prefix: the first fill (the menu command until the list is shown and drawn) and Refresh (the
# press until the list is refilled and drawn). A benchmark, not part of tools/test.sh:
#   bash bench/wine_process_list.sh [ZORVIK.EXE [ROUNDS [REFRESHES]]]
# Defaults: build/windows/zorvik.exe, 5 openings per count, 3 refreshes per opening. Prints each
# figure as min / median / max in ms over every opening (or refresh) of that count.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZV_EXE=${1:-$root/build/windows/zorvik.exe}
rounds=${2:-5}
refreshes=${3:-3}
export ZV_OUT=${ZV_OUT:-$root/build/bench-wine}
# shellcheck source=tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"

timer=$ZV_OUT/tmp/list_timer.exe
mkdir -p "$ZV_OUT/tmp"
x86_64-w64-mingw32-g++ -O1 -municode -static -o "$timer" "$root/tests/e2e/tools/list_timer.cpp" ||
  exit 1

zv_scenario_begin bench
zv_session process-list
zv_install
cp "$timer" "$WINEPREFIX/drive_c/windows/list_timer.exe"
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20 || exit 1

# timer ARGS...: runs the timer in the prefix; its output without carriage returns.
timer() {
  local out status
  out=$(cd "$WINEPREFIX/drive_c" && timeout 300 wine 'C:\windows\list_timer.exe' "$@" </dev/null 2>/dev/null)
  status=$?
  printf '%s\n' "${out//$'\r'/}"
  return "$status"
}
# spread FIGURES...: "min / median / max".
spread() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 }
    END { printf "%d / %d / %d", v[1], v[int((NR + 1) / 2)], v[NR] }'
}

echo "zorvik.exe: $ZV_EXE ($(cksum <"$ZV_EXE" | cut -d' ' -f1)), load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| extra processes | first fill, ms | Refresh, ms |\n|---|---|---|\n' >"$ZV_OUT/table.md"
running=0
for extra in 0 100 300; do
  zv_check "$((extra - running)) more idle processes start" timer spawn $((extra - running)) >/dev/null ||
    exit 1
  running=$extra
  sleep 2 # let the new processes settle
  opens=() refills=()
  for ((round = 1; round <= rounds; round++)); do
    opened=$(timer open) || { zv_check "the process list opens" false; exit 1; }
    opens+=("$opened")
    mapfile -t times < <(timer refresh "$refreshes")
    ((${#times[@]} == refreshes)) || { zv_check "the process list refreshes" false; exit 1; }
    refills+=("${times[@]}")
    timer close >/dev/null || { zv_check "the process list closes" false; exit 1; }
    zv_log "$extra extra: first fill $opened ms, Refresh ${times[*]} ms"
  done
  printf '| %d | %s | %s |\n' "$extra" "$(spread "${opens[@]}")" "$(spread "${refills[@]}")" |
    tee -a "$ZV_OUT/table.md"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg); table in ${ZV_OUT#"$root"/}/table.md"
