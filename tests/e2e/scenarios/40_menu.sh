#!/usr/bin/env bash
# The tray menu driven with the keyboard as a user would: where it opens, Escape, the presets,
# a colour and a view, autostart, help and exit. Keeps the README's pictures of the open menu.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin menu

# The menu's bottom-right corner is 24 pixels above the screen's (480 x 640).
zv_menu_at_corner() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$(zv_menu_window)")"
  ((X + WIDTH == 480 && Y + HEIGHT == 616)) && return 0
  ZV_WHY="the menu spans ($X,$Y)-($((X + WIDTH)),$((Y + HEIGHT)))"
  return 1
}

# The check mark in the open menu's mark column sits on preset row ROW (1-based) alone; the
# preset rows are 16 pixels high under Wine's menu font.
zv_preset_checked() { # SHOT ROW
  local X Y WIDTH HEIGHT rows
  eval "$(xdotool getwindowgeometry --shell "$(zv_menu_window)")"
  rows=$(convert "$1" -crop "14x128+$((X + 2))+$((Y + 3))" txt:- |
    awk -F'[,:]' 'NR > 1 && $0 !~ /#FFFFFF/ { print int($2 / 16) + 1 }' | sort -u | tr '\n' ' ')
  [[ $rows == "$2 " ]] && return 0
  ZV_WHY="marks on preset rows: ${rows:-none}, expected $2"
  return 1
}

startup_folder() { find "$WINEPREFIX/drive_c/users" -type d -iname Startup 2>/dev/null | head -n1; }
# The handheld's shortcut: the target's length with its quotes, '#', the quoted target.
shortcut_exists() { [[ $(cat "$(startup_folder)/Zorvik.lnk" 2>/dev/null) == '21#"\Windows\Zorvik.exe"' ]]; }
shortcut_absent() { [[ -n "$(startup_folder)" && ! -e "$(startup_folder)/Zorvik.lnk" ]]; }

zv_session menu
zv_install
cp "$ZV_ROOT/resources/zorvik.htm" "$WINEPREFIX/drive_c/windows/zorvik.htm"
zv_launch
resident=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "the presets are stored" zv_wait_reg_value "$ZV_SETTINGS_KEY" Freq8 5

zv_check "a second launch opens the menu" zv_open_menu
zv_check "its bottom-right corner is 24 pixels above the screen's" zv_menu_at_corner
zv_keep_shot menu-open
# The default handheld runs preset 6 (0x2000290, 520 MHz) in turbo mode.
zv_check "eight presets lead the menu, 520 MHz checked" zv_preset_checked "$ZV_OUT/shots/menu-open.png" 6
zv_check "Escape closes it" zv_menu_keys Escape
zv_check "the menu is gone" zv_wait_menu_closed
zv_check "nothing was changed" zv_expect_values "$ZV_SETTINGS_KEY" \
  "Freq1 REG_DWORD 0x2000104" "Freq2 REG_DWORD 0x2000108" "Freq3 REG_DWORD 0x2000110" \
  "Freq4 REG_DWORD 0x2000190" "Freq5 REG_DWORD 0x2000210" "Freq6 REG_DWORD 0x2000290" \
  "Freq7 REG_DWORD 0x2000310" "Freq8 REG_DWORD 0x2000390"

# The second preset item (104 MHz) applies its word to the clock register, in turbo mode.
zv_check "a second launch opens the menu" zv_open_menu
zv_check "104 МГц is picked" zv_menu_keys Down Down Return
zv_check "the clock register holds preset 2's word" zv_wait_reg_dword "$ZV_SIM_KEY" Cccr 0x2000108
zv_check "the frequency change is started in turbo mode" zv_wait_reg_dword "$ZV_SIM_KEY" Clkcfg 0x3

# "Сервис" > "Значок" > "Цвет" > "красный": the digits turn red.
before=$ZV_OUT/tmp/menu-icon-before.png
zv_shot "$before"
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Сервис > Значок > Цвет opens" zv_menu_keys Up Right Down Right Down Right
sleep 0.5
zv_keep_shot menu-submenu
zv_check "красный is picked" zv_menu_keys Down Return
zv_check "the colour is stored: red on blue" zv_wait_reg_dword "$ZV_SETTINGS_KEY" Color 0xC0009
zv_check "the tray icon changes" zv_poll 5 zv_icon_differs_from "$before"

# "Сервис" > "Значок" > "Вид" > "Память" (the last item).
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Память is picked" zv_menu_keys Up Right Down Right Right Up Return
zv_check "the view is stored" zv_wait_reg_dword "$ZV_SETTINGS_KEY" View 0x3

# "Сервис" > "Сброс" > "Автозагрузка", twice.
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Автозагрузка is picked" zv_menu_keys Up Right Down Down Right Return
zv_check "the Startup folder holds Zorvik.lnk, naming the program" zv_poll 5 shortcut_exists
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Автозагрузка is picked again" zv_menu_keys Up Right Down Down Right Return
zv_check "the shortcut is deleted" zv_poll 5 shortcut_absent

# "Сервис" > "Помощь" starts the help viewer on the document's contents.
peghelp=$ZV_OUT/tmp/peghelp.exe
[[ -f $peghelp ]] || x86_64-w64-mingw32-g++ -O1 -municode -mwindows -static \
  -o "$peghelp" "$ZV_ROOT/tests/e2e/tools/peghelp.cpp"
cp "$peghelp" "$WINEPREFIX/drive_c/windows/peghelp.exe"
help_started() { [[ $(cat "$WINEPREFIX/drive_c/peghelp.txt" 2>/dev/null) == "file:zorvik.htm#Main_Contents" ]]; }
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Помощь is picked" zv_menu_keys Up Right Up Up Return
zv_check "the viewer gets \"file:zorvik.htm#Main_Contents\"" zv_poll 10 help_started

# "Сервис" > "Выход": the program ends, its icon and wake-up registration gone.
zv_check "a second launch opens the menu" zv_open_menu
zv_check "Выход is picked" zv_menu_keys Up Right Up Return
zv_check "the program exits with 0" zv_expect_exit "$resident" 0 10
zv_check "no wake-up registration is left" zv_expect_wakeup_count 0
zv_check "the tray icon is gone" zv_never 1 zv_tray_icon_present
