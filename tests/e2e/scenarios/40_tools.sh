#!/usr/bin/env bash
# The tool dialogs through the tray menu: the process list with the Wine session's processes,
# the thread list of a selected row, Refresh, and the information tree; each closes with Escape
# and the program goes on. Keeps the README's pictures of the three dialogs.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin tools

# zv_menu_keys KEY...: taps the tray icon and types KEYs into the popup menu.
zv_menu_keys() {
  xdotool mousemove $((ZV_ICON_X + 7)) $((ZV_ICON_Y + 7)) click 1 || return 1
  zv_wait_menu 5 || return 1
  local menu
  menu=$(timeout 10 xdotool search --onlyvisible --classname zorvik.exe | head -n1)
  timeout 10 xdotool windowfocus --sync "$menu" key --delay 150 "$@" ||
    { ZV_WHY="could not type $* into the menu"; return 1; }
}

# zv_dialog_keys TITLE-REGEX KEY...: focuses the dialog and types KEYs.
zv_dialog_keys() {
  local window
  window=$(timeout 10 xdotool search --onlyvisible --name "$1" | head -n1) && shift
  [[ -n $window ]] || { ZV_WHY="no dialog to type into"; return 1; }
  timeout 10 xdotool windowfocus --sync "$window" key --delay 100 "$@"
}

# zv_dialog_click TITLE-REGEX X Y: clicks at a point of the dialog's window; a negative
# coordinate counts from the right or bottom edge.
zv_dialog_click() {
  local window X Y WIDTH HEIGHT SCREEN
  window=$(timeout 10 xdotool search --onlyvisible --name "$1" | head -n1)
  [[ -n $window ]] || { ZV_WHY="no dialog /$1/ to click"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local x=$2 y=$3
  ((x < 0)) && x=$((WIDTH + x))
  ((y < 0)) && y=$((HEIGHT + y))
  xdotool mousemove $((X + x)) $((Y + y)) click 1
}

zv_session dialogs
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20

# With presets stored the top level holds only them: "Процессы" is the fourth entry of "Сервис"
# (after "Экран", "Значок", "Сброс" and a separator), "Сведения" the fifth.
zv_check "'Сервис' > 'Процессы' opens the process list" zv_menu_keys Up Right Down Down Down Return
zv_check "the process list shows" zv_wait_window '^Процессы$' 10
sleep 0.5
zv_keep_shot processes
# The first row, then the Threads button (the middle one of the three under the list).
zv_check "a row is selected" zv_dialog_click '^Процессы$' 40 47
zv_check "'Потоки' is pressed" zv_dialog_click '^Процессы$' $((230 / 2)) -18
zv_check "the thread list opens" zv_wait_window '^Потоки$' 10
sleep 0.5
zv_keep_shot threads
zv_check "the thread list closes with Escape" zv_dialog_keys '^Потоки$' Escape
zv_check "the thread list is gone" zv_wait_window_gone '^Потоки$' 5
zv_check "the process list is still open" zv_window_visible '^Процессы$'
zv_check "'Обновить' is pressed" zv_dialog_click '^Процессы$' -40 -18
sleep 0.5
zv_check "the process list is still open after a refresh" zv_window_visible '^Процессы$'
zv_check "the process list closes with Escape" zv_dialog_keys '^Процессы$' Escape
zv_check "the process list is gone" zv_wait_window_gone '^Процессы$' 5

zv_check "'Сервис' > 'Сведения' opens the tree" zv_menu_keys Up Right Down Down Down Down Return
zv_check "the information dialog shows" zv_wait_window '^Сведения$' 10
zv_check "its headings open" zv_dialog_keys '^Сведения$' Home Right Down Down Down Down Down Right
sleep 0.5
zv_keep_shot info
zv_check "the information dialog closes with Escape" zv_dialog_keys '^Сведения$' Escape
zv_check "it is gone" zv_wait_window_gone '^Сведения$' 5
zv_check "the program goes on: its icon is still there" zv_wait_tray_icon 5
