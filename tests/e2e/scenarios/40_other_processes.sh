#!/usr/bin/env bash
# Messages from other processes: a repeated WM_CREATE, show-menu requests arriving while the
# menu is open, and a WM_DESTROY or WM_QUIT posted from outside. The sender is a small test-only
# program (tests/e2e/sender) that finds the window "Zorvik" and sends or posts to it.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin other-processes

post_refused() { # MESSAGE
  zv_sender post "$1" && { ZV_WHY="the post was accepted"; return 1; }
  (($? == 3)) || { ZV_WHY="send_message found no window"; return 1; }
}

# Wine has no GetGuiResources, and its user objects (windows, menus, icons) share one table in
# which a fresh object takes a freed slot first, else the next new one. So the slot a fresh menu
# gets in another process moves up by what the program has taken meanwhile and not given back.
slot_growth_below() { # LIMIT
  ((slot_after - slot_before < $1)) && return 0
  ZV_WHY="a fresh user object's slot went from $slot_before to $slot_after"
  return 1
}

# 500 sent WM_CREATE: nothing is set up again.
zv_session repeated-create
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
slot_before=$(zv_sender handle-index)
zv_check "500 WM_CREATE are sent" timeout 120 wine "$ZV_SENDER" send $WM_CREATE 500
slot_after=$(zv_sender handle-index)
zv_check "they take no user objects (slot $slot_before, then $slot_after)" slot_growth_below 50
zv_check "a posted WM_CREATE is refused" post_refused $WM_CREATE
zv_check "still one wake-up registration" zv_expect_wakeup_count 1
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10
zv_check "no wake-up registration is left" zv_expect_wakeup_count 0

# 70 show-menu requests, then WM_CLOSE while the menu is open: the program still ends.
zv_session requests-while-the-menu-is-open
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "70 show-menu requests are posted" zv_sender_ok post $UM_SHOWMENU 70
zv_check "the menu opens" zv_wait_menu 5
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10
zv_launch
zv_check "the next launch shows the icon" zv_wait_tray_icon 20
zv_check "and stays resident" zv_expect_running "$ZV_PID"

# A WM_DESTROY or WM_QUIT posted from outside: the close handling still runs.
for way in WM_DESTROY WM_QUIT; do
  zv_session "posted-$way"
  zv_install
  zv_launch
  program=$ZV_PID
  zv_check "the tray icon appears" zv_wait_tray_icon 20
  zv_check "\"Wakeup\" names Zorvik.exe" zv_expect_wakeup_count 1 5
  zv_check "$way is posted" zv_sender_ok post "${!way}"
  zv_check "the program exits with 0" zv_expect_exit "$program" 0 10
  zv_check "no wake-up registration is left" zv_expect_wakeup_count 0
done
