#!/usr/bin/env bash
# "Авто": picked in "Разгон" > "Режим", it switches turbo on while a busy process keeps the
# desktop's processors busy and off once that process has ended; the choice survives a restart.
# The stand-in's idle time is the desktop's; its CLKCFG shows the turbo bit (T, 1).
# Keeps the README's picture of "Режим".
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin auto

ZV_BUSY=$(dirname "$ZV_EXE")/busy_loop.exe

clkcfg_is() { zv_reg_dword_is "$ZV_SIM_KEY" CLKCFG "$1"; }
expect_clkcfg() { zv_wait_reg_dword "$ZV_SIM_KEY" CLKCFG "$@"; } # VALUE SECONDS
expect_auto() { zv_wait_reg_dword "$ZV_SETTINGS_KEY" Auto "$1"; }

# The desktop's idle share, in percent, since the last call (the stand-in's idle time is the
# desktop's, so other work on the machine counts as load too); each call's share in idle_shares.
idle_mark=()
idle_shares=''
desktop_idle_share() {
  local now total=0 k
  read -ra now < <(head -n1 /proc/stat)
  if ((${#idle_mark[@]} > 0)); then
    for k in 1 2 3 4 5 6 7 8; do total=$((total + now[k] - idle_mark[k])); done
    ((total > 0)) && idle_shares+=" $(((now[4] - idle_mark[4]) * 100 / total))"
  fi
  idle_mark=("${now[@]}")
}
# turbo_goes_off SECONDS: T goes off within SECONDS. The load is the whole desktop's, so other
# work on the machine holds turbo on too: only once the desktop has been quiet (an idle share
# of at least 80%) for four seconds in a row must T be off, within the three seconds after.
# Returns 2 when the desktop was never that quiet: nothing to decide. ZV_WHY lists the idle
# share of each second.
turbo_goes_off() {
  local deadline=$(($(zv_now_ms) + $1 * 1000)) quiet=0 due=0 share
  idle_mark=() idle_shares=''
  desktop_idle_share
  while (($(zv_now_ms) < deadline)); do
    clkcfg_is 0x2 && return 0
    sleep 1
    desktop_idle_share
    share=${idle_shares##* }
    if ((share >= 80)); then quiet=$((quiet + 1)); else quiet=0; fi
    ((quiet >= 4 && due == 0)) && due=$(($(zv_now_ms) + 3000))
    ((due > 0 && $(zv_now_ms) >= due)) && ! clkcfg_is 0x2 && break
  done
  ZV_WHY="CLKCFG is $(zv_reg_dword "$ZV_SIM_KEY" CLKCFG || echo absent); the desktop's idle share each second:$idle_shares"
  ((due > 0)) && return 1
  return 2
}
# decided STATUS: the result turbo_goes_off left, for zv_check.
decided() { ZV_WHY=$decided_why && return "$1"; }

# start_busy / stop_busy: the busy process, its pid in busy.
start_busy() {
  zv_launch_from 'C:\windows\busy_loop.exe'
  busy=$ZV_PID
}
stop_busy() {
  kill -KILL "$busy" 2>/dev/null
  { wait "$busy"; } 2>/dev/null
  zv_poll 5 zv_exited "$busy"
}

# "Разгон" > "Режим" from the open menu: "Разгон" is the second item from the bottom, "Режим"
# the fourth of its submenu.
open_mode_submenu() { zv_menu_keys Up Up Right Down Down Down Right "$@"; }

zv_session auto
cp "$ZV_BUSY" "$WINEPREFIX/drive_c/windows/busy_loop.exe"
zv_sim_set CLKCFG 2 # run mode
zv_install
zv_launch
resident=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "\"Auto\" is not stored" zv_never 1 zv_reg_value_exists "$ZV_SETTINGS_KEY" Auto

zv_check "a second launch opens the menu" zv_open_menu
zv_check "Разгон > Режим > Авто is picked" open_mode_submenu Down Down Return
zv_check "\"Auto\" is stored as 1" expect_auto 0x1
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Разгон > Режим opens" open_mode_submenu
sleep 0.5
zv_keep_shot menu-mode
zv_check "Escape closes it" zv_menu_keys Escape Escape Escape
zv_check "the menu is gone" zv_wait_menu_closed

start_busy
zv_check "with a busy process CLKCFG shows T within a few seconds" expect_clkcfg 0x3 10
stop_busy
turbo_goes_off 90
status=$?
decided_why=$ZV_WHY
if ((status == 2)); then
  echo "SKIP $ZV_SCENARIO/$ZV_SESSION: once it has ended T goes off: the desktop was never quiet for four seconds"
  printf '%s\n' "$ZV_WHY" | sed 's/^/       /'
else
  zv_check "once it has ended T goes off once the desktop is quiet" decided "$status"
fi

# A restart keeps the mode: the next busy process switches turbo on again.
kill -KILL "$resident"
{ wait "$resident"; } 2>/dev/null
zv_check "no copy runs after the kill" zv_poll 5 zv_expect_resident 0
zv_sim_set CLKCFG 2 # run mode again, whatever the load left
zv_launch
zv_check "the program runs again" zv_poll 10 zv_expect_resident 1
zv_check "\"Auto\" is still 1" expect_auto 0x1
start_busy
zv_check "after the restart a busy process switches T on again" expect_clkcfg 0x3 10
stop_busy
