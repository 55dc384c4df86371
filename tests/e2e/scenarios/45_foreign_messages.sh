#!/usr/bin/env bash
# Messages from another process whose parameter is a pointer into that process: WM_NOTIFY and
# the list view and tree view messages that take a structure, posted and sent to the process
# list, the thread list and the information tree and to their dialogs, also while a question
# box runs its own loop. The program follows none of them: it answers throughout, then applies
# the preset a second launch asks for, and WM_CLOSE ends it with 0 and no registration left. A
# command sent from another process is answered at once and carried out afterwards.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin foreign-messages

IDM_PROCESSES=1000 IDM_INFO=1098 IDM_SOFT_RESET=1113 IDC_THREADS=102
WM_NOTIFY=0x004E LVM_SETITEMW=0x104C TVM_INSERTITEMW=0x1132 WILD=0xDEADBEEF
LVM_GETITEMCOUNT=0x1004 TVM_GETCOUNT=0x1105

dialog_of() { zv_sender windows "$1" | head -n1; }
control_of() { zv_sender children "$1" "$2" | head -n1; }

# The program answers: a message sent to it comes back.
answers() {
  timeout 10 wine "$ZV_SENDER" send 0 </dev/null >/dev/null 2>&1 && return 0
  ZV_WHY="the program no longer answers a sent message"
  return 1
}

ask_for() { zv_sender_ok post $WM_COMMAND 1 0 "$1"; }
sent_command() {
  timeout 5 wine "$ZV_SENDER" send $WM_COMMAND 1 0 "$1" </dev/null >/dev/null 2>&1 && return 0
  ZV_WHY="the send was not answered within 5 s"
  return 1
}

# click_in TITLE X Y: a click at a point of the dialog's window.
click_in() {
  # shellcheck disable=SC2034 # all of them set by getwindowgeometry
  local window X Y WIDTH HEIGHT SCREEN
  window=$(timeout 10 xdotool search --onlyvisible --name "^$1\$" | head -n1)
  [[ -n $window ]] || { ZV_WHY="no dialog \"$1\" to click"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}

# expect_register NAME VALUE SECONDS: the stand-in's register comes to hold VALUE.
expect_register() { zv_wait_reg_dword "$ZV_SIM_KEY" "$@"; }

# answered_zero WINDOW MESSAGE: sent from here, the message is refused: its answer is 0 (the
# controls' own count of their rows or items is not).
answered_zero() {
  local answer
  answer=$(zv_sender send-to "$1" "$2") || { ZV_WHY="send_message exited with $?"; return 1; }
  [[ $answer == 0 ]] && return 0
  ZV_WHY="answered $answer"
  return 1
}

# hostile NAME CONTROL DIALOG STRUCTURE-MESSAGE COUNT-MESSAGE: the WM_NOTIFY of the issue
# posted with lParam 1 and sent with a wild pointer to the control, the same sent to its dialog,
# a message of the control that takes a structure sent and posted with a wild pointer, and the
# control's count asked for from outside.
hostile() {
  local name=$1 control=$2 dialog=$3 structure=$4 count=$5
  [[ -n $control && -n $dialog ]] || { zv_check "the $name and its dialog are found" false; return; }
  zv_check "WM_NOTIFY (wParam 100, lParam 0x1) is posted to the $name" \
    zv_sender_ok post-to "$control" $WM_NOTIFY 1 0x1 100
  zv_check "the program answers" answers
  zv_check "WM_NOTIFY with lParam $WILD is sent to the $name" \
    zv_sender_ok send-to "$control" $WM_NOTIFY 1 $WILD 100
  zv_check "and to its dialog" zv_sender_ok send-to "$dialog" $WM_NOTIFY 1 $WILD 100
  zv_check "message $structure with lParam $WILD is sent to the $name" \
    zv_sender_ok send-to "$control" "$structure" 1 $WILD
  zv_check "and posted to it" zv_sender_ok post-to "$control" "$structure" 1 $WILD
  zv_check "the program answers" answers
  zv_check "the $name refuses message $count from outside" answered_zero "$control" "$count"
}

zv_session lists-and-tree
# Slot 3 holds the 520 MHz word; the clock starts at 208 MHz in normal mode.
zv_reg_add_dword "$ZV_SETTINGS_KEY" Freq3 0x02000290
zv_sim_set CCCR 0x02000110
zv_sim_set CLKCFG 2
zv_install
zv_launch
program=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20

ask_for $IDM_PROCESSES
zv_check "the process list shows" zv_wait_window '^Процессы$' 10
processes=$(dialog_of Процессы)
process_list=$(control_of "$processes" SysListView32)
hostile "process list's list view" "$process_list" "$processes" $LVM_SETITEMW $LVM_GETITEMCOUNT

# A row selected, then its threads asked for.
zv_check "a row of the process list is selected" click_in Процессы 40 47
zv_check "its threads are asked for" zv_sender_ok post-to "$processes" $WM_COMMAND 1 0 $IDC_THREADS
zv_check "the thread list shows" zv_wait_window '^Потоки$' 10
threads=$(dialog_of Потоки)
hostile "thread list's list view" "$(control_of "$threads" SysListView32)" "$threads" $LVM_SETITEMW $LVM_GETITEMCOUNT

# Sent, a command is answered at once and carried out from the program's own loop.
zv_check "'Сведения' is asked for by a sent command, answered at once" sent_command $IDM_INFO
zv_check "the information shows" zv_wait_window '^Сведения$' 10
info=$(dialog_of Сведения)
hostile "information tree" "$(control_of "$info" SysTreeView32)" "$info" $TVM_INSERTITEMW $TVM_GETCOUNT

# A question box runs the system's own loop, which the program does not write.
ask_for $IDM_SOFT_RESET
zv_check "the reset question shows" zv_wait_window '^Перезагрузка$' 10
zv_check "WM_NOTIFY (lParam 0x1) is posted to the process list under it" \
  zv_sender_ok post-to "$process_list" $WM_NOTIFY 1 0x1 100
zv_check "the program answers" answers
zv_check "the question is answered No" zv_answer_box '^Перезагрузка$' Return
zv_check "it is gone" zv_wait_window_gone '^Перезагрузка$' 5

zv_check "the dialogs are still open" zv_window_visible '^Сведения$'
zv_launch '#3'
zv_check "a launch with \"#3\" hands over and exits with 0" zv_expect_exit "$ZV_PID" 0 5
zv_check "preset 3 is applied: CCCR holds its word" expect_register CCCR 0x2000290 5
zv_check "WM_CLOSE is posted" zv_sender_ok post $WM_CLOSE
zv_check "the program exits with 0" zv_expect_exit "$program" 0 10
zv_check "no wake-up registration is left" zv_expect_wakeup_count 0
zv_check "no copy runs" zv_expect_resident 0
