#!/usr/bin/env bash
# The setup program and its uninstaller as a user meets them, in one fresh prefix: a silent
# install, the program started and autostart switched on, a silent removal that closes the
# running copy and keeps the settings, a reinstall through the setup's pages that starts with the
# stored presets, and a silent install over a running copy. Keeps the README's picture of the
# setup's first page.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
ZV_SCREEN=640x480x24 # the setup's window is wider than the handheld's screen
zv_scenario_begin setup

version=$(sed -nE 's/^project\(zorvik VERSION ([0-9.]+).*/\1/p' "$ZV_ROOT/CMakeLists.txt")
setup_title='^Установка Zorvik' # the later pages add a space

windows_folder() { echo "$WINEPREFIX/drive_c/windows"; }
startup_folder() { find "$WINEPREFIX/drive_c/users" -type d -iname Startup 2>/dev/null | head -n1; }

# zv_menu_pick KEY...: a second launch opens the resident copy's menu; the keys pick an item.
zv_menu_pick() {
  local menu
  zv_launch
  zv_wait_exit "$ZV_PID" 5 || { ZV_WHY="the second launch did not end"; return 1; }
  zv_wait_menu 5 || return 1
  menu=$(timeout 10 xdotool search --onlyvisible --classname zorvik.exe 2>/dev/null | head -n1)
  timeout 10 xdotool windowfocus --sync "$menu" key --delay 150 "$@" ||
    { ZV_WHY="could not press $* in the menu"; return 1; }
}

installed_as_built() {
  local dir
  dir=$(windows_folder)
  cmp -s "$ZV_EXE" "$dir/Zorvik.exe" || { ZV_WHY="C:\\windows\\Zorvik.exe is not the build's zorvik.exe"; return 1; }
  cmp -s "$ZV_ROOT/resources/zorvik.htm" "$dir/zorvik.htm" || { ZV_WHY="zorvik.htm beside it is not the repository's"; return 1; }
  [[ -s $dir/Zorvik-uninstall.exe ]] || { ZV_WHY="no Zorvik-uninstall.exe beside it"; return 1; }
}

# The sizes NSIS adds up: each file in whole kilobytes, rounded up.
estimated_size() {
  local exe htm
  exe=$(stat -c %s "$ZV_EXE") htm=$(stat -c %s "$ZV_ROOT/resources/zorvik.htm")
  printf '0x%X' $(((exe + 1023) / 1024 + (htm + 1023) / 1024))
}

nothing_left() {
  local file dir
  dir=$(windows_folder)
  for file in "$dir/Zorvik.exe" "$dir/zorvik.htm" "$dir/Zorvik-uninstall.exe" "$(startup_folder)/Zorvik.lnk"; do
    [[ -e $file ]] && { ZV_WHY="${file#"$WINEPREFIX"/} is still there"; return 1; }
  done
  return 0
}

uninstall_key_gone() { ! zv_reg_key_exists "$ZV_UNINSTALL_KEY"; }

# zv_keep_window_shot NAME TITLE-REGEX: keeps the window's part of the screen in shots/NAME.png.
zv_keep_window_shot() {
  local window X Y WIDTH HEIGHT SCREEN
  window=$(timeout 10 xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n1)
  [[ -n $window ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  zv_keep_shot "$1" && mogrify -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$ZV_OUT/shots/$1.png"
}

# press_return_until_ended PID: Return, once a second, into the setup's window until the setup
# has ended: on the first page it starts the install, which goes on to the last page by itself;
# there it ends the setup.
press_return_until_ended() {
  local window deadline=$(($(zv_now_ms) + 30000))
  while (($(zv_now_ms) < deadline)); do
    zv_exited "$1" && return 0
    window=$(timeout 10 xdotool search --onlyvisible --name "$setup_title" 2>/dev/null | head -n1)
    [[ -n $window ]] && timeout 10 xdotool windowfocus --sync "$window" key Return 2>/dev/null
    sleep 1
  done
  ZV_WHY="the setup is still running after 30 s"
  return 1
}

zv_session setup
[[ -f $ZV_SETUP ]] || { zv_check "the setup program was built" false; exit 1; }

# A silent install into the fresh prefix.
zv_launch_from "$ZV_SETUP" /S
zv_check "a silent install exits with 0" zv_expect_exit "$ZV_PID" 0 60
zv_check "the Windows folder holds Zorvik.exe, zorvik.htm and the uninstaller" installed_as_built
zv_check "the Uninstall key registers the removal" zv_expect_values "$ZV_UNINSTALL_KEY" \
  "DisplayName REG_SZ Zorvik" "DisplayVersion REG_SZ $version" "Publisher REG_SZ Brenmor" \
  'DisplayIcon REG_SZ C:\windows\Zorvik.exe,0' \
  'UninstallString REG_SZ "C:\windows\Zorvik-uninstall.exe"' \
  'QuietUninstallString REG_SZ "C:\windows\Zorvik-uninstall.exe" /S' \
  "NoModify REG_DWORD 0x1" "NoRepair REG_DWORD 0x1" "EstimatedSize REG_DWORD $(estimated_size)"

# The installed program runs; autostart is switched on through its menu.
zv_launch
resident=$ZV_PID
zv_check "the installed program shows its icon" zv_wait_tray_icon 20
zv_check "it stores its presets" zv_wait_reg_value "$ZV_SETTINGS_KEY" Freq8 5
zv_check "Сервис > Сброс > Автозагрузка is picked" zv_menu_pick Up Right Down Down Right Return
zv_check "the Startup folder holds Zorvik.lnk" zv_poll 5 test -f "$(startup_folder)/Zorvik.lnk"
zv_check "one wake-up registration" zv_expect_wakeup_count 1 5
# The user's own first preset, as "Добавить" would store it: 416 MHz in place of 104.
zv_reg_add_dword "$ZV_SETTINGS_KEY" Freq1 0x2000210
settings=$(zv_reg_values "$ZV_SETTINGS_KEY")

# A silent removal, the way the Uninstall key tells Windows to run one.
quiet=$(zv_reg_query "$ZV_UNINSTALL_KEY" /v QuietUninstallString |
  sed -nE 's/^ +QuietUninstallString +REG_SZ +//p')
eval "uninstall=($quiet)"
zv_launch_from "${uninstall[@]}"
zv_check "the uninstaller exits with 0" zv_expect_exit "$ZV_PID" 0 30
zv_check "the running copy is closed: it exits with 0" zv_expect_exit "$resident" 0 20
zv_check "the Uninstall key is removed" zv_poll 20 uninstall_key_gone
zv_check "no wake-up registration is left" zv_expect_wakeup_count 0
zv_check "program, help, uninstaller and shortcut are gone" nothing_left
zv_check "the settings key is kept as it was" test "$(zv_reg_values "$ZV_SETTINGS_KEY")" == "$settings"

# A reinstall through the setup's pages; the last page starts the program.
zv_launch_from "$ZV_SETUP"
setup=$ZV_PID
zv_check "the setup's first page opens" zv_wait_window "$setup_title" 20
sleep 0.5 # the page's text and picture are drawn
zv_keep_window_shot setup-welcome "$setup_title"
zv_check "Return installs, and on the last page ends the setup, its box checked" press_return_until_ended "$setup"
zv_check "the setup exits with 0" zv_expect_exit "$setup" 0 10
zv_check "the started program shows its icon" zv_poll 20 zv_tray_icon_present
zv_check "one resident copy" zv_expect_resident 1
zv_launch "#1"
zv_check "a launch with #1 hands over and exits with 0" zv_expect_exit "$ZV_PID" 0 5
zv_check "the stored first preset is applied: 416 MHz" zv_poll 5 zv_reg_dword_is "$ZV_SIM_KEY" Cccr 0x2000210

# A silent install over the running copy: the copy is asked to end before its file is replaced.
zv_launch_from "$ZV_SETUP" /S
zv_check "a silent install over the running copy exits with 0" zv_expect_exit "$ZV_PID" 0 60
zv_check "the running copy has ended" zv_poll 5 zv_expect_resident 0
zv_check "it left no wake-up registration" zv_expect_wakeup_count 0
zv_check "the Windows folder holds the build's files" installed_as_built
zv_launch
zv_check "the new copy shows its icon" zv_wait_tray_icon 20
