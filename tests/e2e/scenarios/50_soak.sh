#!/usr/bin/env bash
# The leak soak under Wine: 10,000 icon refreshes and 1,000 menu openings leave the program's
# user and GDI objects where they were. Refreshes are icon-timer ticks the test sender delivers
# (the Load view redraws on every tick); each menu is closed by an Escape posted behind it.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin soak

WM_KEYDOWN=0x0100 WM_TIMER=0x0113 VK_ESCAPE=0x1B ID_TIMER_ICON=1 VIEW_LOAD=2

# User objects (windows, menus, icons): Wine gives a fresh one, in any process, the lowest free
# slot of one shared table, so the slot another process's fresh menu gets rises by what the
# program keeps. GDI objects (bitmaps) are the process's own: Wine's gdi trace channel prints
# the process's live count at every creation and deletion. Other processes move the fresh slot
# by some tens either way (up to 60 seen), while one object kept per refresh or menu would move
# it by a thousand or more.
# The prefix's own processes (services, the desktop and its tray) inherit the trace of the
# process that starts them, and tracing the tray's drawing more than doubles the run: they are
# started before the program, untraced. Every line carries its process id (+pid) all the same,
# and only the program's lines are read.
gdi_log=$ZV_OUT/logs/$ZV_SCENARIO-gdi.log
own() { echo "^$program_pid:[0-9a-f]+:trace:gdi:[a-z_]+ "; }
gdi_live() { grep -aE "$(own)" "$gdi_log" | tail -1 | grep -aoE '[0-9]+/[0-9]+$' | cut -d/ -f1; }
gdi_created() { grep -acE "$(own)allocated NTGDI_OBJ_BITMAP" "$gdi_log"; }
gdi_allocated() { grep -acE "$(own)allocated" "$gdi_log"; }
# Starts the program with the gdi trace, keeping only the lines of creations and deletions.
launch_traced() {
  (cd "$WINEPREFIX/drive_c" && WINEDEBUG=-all,trace+gdi,+pid exec wine "$ZV_INSTALLED_PATH") \
    </dev/null >/dev/null 2> >(grep --line-buffered -aE 'gdi_handle (allocated|freed) ' >"$gdi_log") &
  ZV_PID=$!
  ZV_PIDS+=("$ZV_PID")
}
# The trace's lines by process, the program's marked: "0020 (the program) 1234, 0038 56".
lines_by_process() {
  cut -d: -f1 "$gdi_log" | sort | uniq -c |
    awk -v own="$program_pid" '{ printf "%s%s%s %d", (NR > 1 ? ", " : ""), $2, ($2 == own ? " (the program)" : ""), $1 }'
}
read_pid() {
  program_pid=$(zv_sender process-id) && [[ $program_pid =~ ^[0-9a-f]{4,}$ ]] && return 0
  ZV_WHY="no process id from the sender: '$program_pid'"
  return 1
}
own_lines_present() {
  (($(gdi_allocated) > 0)) && return 0
  ZV_WHY=$(printf 'no trace line of process %s; lines by process: %s' "$program_pid" "$(lines_by_process)")
  return 1
}
measure() { # PREFIX: the two counts into PREFIX_slot and PREFIX_gdi
  printf -v "$1_slot" '%s' "$(zv_sender handle-index)"
  printf -v "$1_gdi" '%s' "$(gdi_live)"
}
flat() { # WHAT BEFORE AFTER LIMIT
  [[ -n $2 && -n $3 ]] || { ZV_WHY="no $1 reading ('$2', '$3')"; return 1; }
  (($3 - $2 < $4)) && return 0
  ZV_WHY="$1 went from $2 to $3"
  return 1
}
at_least() { # WHAT VALUE LIMIT
  (($2 >= $3)) && return 0
  ZV_WHY="$1: $2, expected at least $3"
  return 1
}
menu_gone() { ! zv_menu_visible; }

zv_session soak
zv_install
zv_reg_add_dword "$ZV_SETTINGS_KEY" View $VIEW_LOAD
zv_sender handle-index >/dev/null # a user object of its own: the desktop and its tray start
launch_traced
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "the program's process id is read" read_pid
# A first round lets every lazily made object of the program and of Wine come into being.
# Sent, the ticks are handled one by one: they tell how many bitmaps one picture makes (the
# program's two, and the icon's own copies).
zv_sender menus 20
zv_check "the trace holds the program's own lines" own_lines_present
created_before=$(gdi_created)
zv_sender send $WM_TIMER 200 0 $ID_TIMER_ICON
per_picture=$((($(gdi_created) - created_before) / 200))
zv_log "$per_picture bitmaps made per picture"
measure before
created_before=$(gdi_created)
# Posted, the ticks wait in the program's queue; the count of bitmaps made tells when it has
# drawn them all.
drew_all() { (($(gdi_created) - created_before >= 10000 * per_picture)); }
started=$(zv_now_ms)
zv_check "10,000 refreshes are posted" timeout 60 wine "$ZV_SENDER" post $WM_TIMER 10000 0 $ID_TIMER_ICON
zv_check "each draws a new picture" at_least "bitmaps per picture" "$per_picture" 2
zv_check "the program has drawn them all" zv_poll 150 drew_all
zv_log "10,000 refreshes in $(($(zv_now_ms) - started)) ms"
measure refreshed
zv_check "user objects stay flat over the refreshes (slot $before_slot, then $refreshed_slot)" \
  flat "the fresh slot" "$before_slot" "$refreshed_slot" 300
zv_check "GDI objects stay flat over the refreshes ($before_gdi live, then $refreshed_gdi)" \
  flat "the live GDI count" "$before_gdi" "$refreshed_gdi" 10

zv_check "a show-menu request opens the menu" zv_sender post $UM_SHOWMENU
zv_check "the menu is shown" zv_wait_menu 10
zv_check "an Escape posted behind it closes it" zv_sender post $WM_KEYDOWN 1 1 $VK_ESCAPE
zv_check "the menu is gone" zv_poll 10 menu_gone
# One more tick behind the menus: once its picture is drawn, every menu before it was handled.
settled() { (($(gdi_created) >= marker)); }
started=$(zv_now_ms)
objects_before=$(gdi_allocated)
zv_check "1,000 menus are opened and closed" timeout 150 wine "$ZV_SENDER" menus 1000
marker=$(($(gdi_created) + per_picture))
zv_sender post $WM_TIMER 1 0 $ID_TIMER_ICON
zv_check "the program has handled them" zv_poll 150 settled
menu_objects=$(($(gdi_allocated) - objects_before))
zv_log "1,000 menus in $(($(zv_now_ms) - started)) ms"
zv_check "each menu was drawn ($menu_objects GDI objects made)" \
  at_least "GDI objects made by the menus" "$menu_objects" 1000
measure menus
zv_check "user objects stay flat over the menus (slot $refreshed_slot, then $menus_slot)" \
  flat "the fresh slot" "$refreshed_slot" "$menus_slot" 300
zv_check "GDI objects stay flat over the menus ($refreshed_gdi live, then $menus_gdi)" \
  flat "the live GDI count" "$refreshed_gdi" "$menus_gdi" 10
zv_log "trace lines by process: $(lines_by_process)"
zv_check "WM_CLOSE is posted" zv_sender post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 20
