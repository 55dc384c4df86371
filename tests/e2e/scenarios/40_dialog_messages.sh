#!/usr/bin/env bash
# Messages from another process to the tool dialogs: a WM_INITDIALOG with a wild lParam to each,
# closing a list and asking for it again while another dialog runs over it, dialogs and
# questions asked for while the menu is open, and the main window destroyed while its menu or a
# dialog is open. The program stays one resident copy that answers, shows each dialog at most
# once, closes every dialog with Escape, and ends within a second of its window's destruction.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin dialog-messages

IDM_PROCESSES=1000 IDM_INFO=1098 IDM_SOFT_RESET=1113

# The handles of the visible dialogs titled TITLE, one a line.
dialogs() { zv_sender windows "$1"; }

# shows_at_most COUNT TITLE...: no more than COUNT visible windows of each TITLE, for a second.
more_than() {
  local count=$1 title && shift
  for title in "$@"; do (($(dialogs "$title" | grep -c .) > count)) && return 0; done
  return 1
}
shows_at_most() {
  zv_never 1 more_than "$@" && return 0
  ZV_WHY="more than $1 of these are visible: ${*:2}"
  return 1
}

# dialog_keys TITLE KEY...: clicks into the dialog near its left edge, where a dialog opened
# over it leaves it uncovered (Wine gives the keys to the window last clicked), and types KEYs.
dialog_keys() {
  local window X Y WIDTH HEIGHT SCREEN
  window=$(timeout 10 xdotool search --onlyvisible --name "^$1\$" | head -n1)
  [[ -n $window ]] || { ZV_WHY="no dialog \"$1\" to type into"; return 1; }
  shift
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 7)) $((Y + HEIGHT / 2)) click 1 && sleep 0.3
  timeout 10 xdotool windowfocus --sync "$window" key --delay 100 "$@"
}

# close_box TITLE: clicks the close box at the right end of the dialog's title bar.
close_box() {
  local window X Y WIDTH HEIGHT SCREEN
  window=$(timeout 10 xdotool search --onlyvisible --name "^$1\$" | head -n1)
  [[ -n $window ]] || { ZV_WHY="no dialog \"$1\" to close"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 11)) click 1
}

# The program answers: a sent message comes back.
answers() { timeout 10 wine "$ZV_SENDER" send 0 </dev/null >/dev/null 2>&1; }

ask_for() { zv_sender_ok post $WM_COMMAND 1 0 "$1"; }

zv_session forged-initdialog
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "'Процессы' is asked for" ask_for $IDM_PROCESSES
zv_check "the process list shows" zv_wait_window '^Процессы$' 10
zv_check "'Сведения' is asked for" ask_for $IDM_INFO
zv_check "the information shows over it" zv_wait_window '^Сведения$' 10
for title in Процессы Сведения; do
  zv_check "a WM_INITDIALOG with lParam 0x1234 is posted to \"$title\"" \
    zv_sender_ok post-to "$(dialogs $title)" $WM_INITDIALOG 1 0x1234
  zv_check "and one pointing into the program is sent to it" \
    zv_sender_ok send-to "$(dialogs $title)" $WM_INITDIALOG 1 0x140001000
done
zv_check "the program answers" answers
zv_check "it is still running" zv_expect_running "$program"
zv_check "each dialog shows once" shows_at_most 1 Процессы Сведения
zv_check "the process list, under the information, closes with Escape" dialog_keys Процессы Escape
zv_check "it is gone" zv_wait_window_gone '^Процессы$' 5
zv_check "the information closes with its close box" close_box Сведения
zv_check "it is gone" zv_wait_window_gone '^Сведения$' 5
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10

# Close the first list while the information runs over it, ask for a new one, close the first
# again, ask again: never two lists, and a new one once the information has closed.
zv_session two-copies
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
ask_for $IDM_PROCESSES
zv_check "the process list shows" zv_wait_window '^Процессы$' 10
first=$(dialogs Процессы)
ask_for $IDM_INFO
zv_check "the information shows" zv_wait_window '^Сведения$' 10
zv_check "WM_CLOSE is posted to the list" zv_sender_ok post-to "$first" $WM_CLOSE
ask_for $IDM_PROCESSES
zv_check "WM_CLOSE is posted to the first list again" zv_sender_ok post-to "$first" $WM_CLOSE
ask_for $IDM_PROCESSES
zv_check "the program answers" answers
zv_check "no process list is on screen twice" shows_at_most 1 Процессы
zv_check "the information is closed from outside" zv_sender_ok post-to "$(dialogs Сведения)" $WM_CLOSE
zv_check "it is gone" zv_wait_window_gone '^Сведения$' 5
ask_for $IDM_PROCESSES
zv_check "then the list opens again" zv_wait_window '^Процессы$' 10
zv_check "once" shows_at_most 1 Процессы
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10

# Menus opened again and again with both dialogs asked for behind each: the dialogs open outside
# the menu, once each, and close with Escape; a reset asked for twenty times asks once.
zv_session requests-behind-menus
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "100 menus are opened with both dialogs asked for" \
  timeout 120 wine "$ZV_SENDER" menus 100 $IDM_PROCESSES $IDM_INFO
zv_check "the process list shows" zv_wait_window '^Процессы$' 10
zv_check "the information shows" zv_wait_window '^Сведения$' 10
zv_check "each once" shows_at_most 1 Процессы Сведения
zv_check "the process list closes with Escape" dialog_keys Процессы Escape
zv_check "it is gone" zv_wait_window_gone '^Процессы$' 5
zv_check "the information closes with Escape" dialog_keys Сведения Escape
zv_check "it is gone" zv_wait_window_gone '^Сведения$' 5
zv_check "no menu is left open" zv_never 1 zv_menu_visible
zv_check "a reset is asked for 20 times" zv_sender_ok post $WM_COMMAND 20 0 $IDM_SOFT_RESET
zv_check "its question shows" zv_wait_window '^Перезагрузка$' 10
zv_check "once" shows_at_most 1 Перезагрузка
zv_check "it is answered No" zv_answer_box '^Перезагрузка$' Return
zv_check "no other question follows" zv_expect_no_window_for '^Перезагрузка$' 1
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10

# The main window destroyed from outside while its menu or a dialog is open.
for open in menu dialog; do
  zv_session "destroy-with-$open-open"
  zv_install
  zv_launch
  program=$ZV_PID
  zv_check "the tray icon appears" zv_wait_tray_icon 20
  if [[ $open == menu ]]; then
    zv_sender_ok post $UM_SHOWMENU
    zv_check "the menu opens" zv_wait_menu 5
  else
    ask_for $IDM_PROCESSES
    zv_check "the process list shows" zv_wait_window '^Процессы$' 10
  fi
  zv_check "WM_DESTROY is posted" zv_sender_ok post $WM_DESTROY
  zv_check "the program exits with 0 within a second" zv_expect_exit "$program" 0 1
  zv_check "no wake-up registration is left" zv_expect_wakeup_count 0
done
