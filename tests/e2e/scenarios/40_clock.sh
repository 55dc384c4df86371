#!/usr/bin/env bash
# The clock: a preset asked for by a second launch, watch mode putting back a clock changed
# behind the program's back, and the wake-up relaunch with its registration in "Wakeup".
# The handheld's registers are values of the stand-in's device key.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin clock


# expect_register NAME VALUE SECONDS: the stand-in's register comes to hold VALUE.
expect_register() { zv_wait_reg_dword "$ZV_SIM_KEY" "$@"; }

# The "Wakeup" entries that are not the program's own, in order.
other_wakeups() {
  zv_reg_query "$ZV_SIM_KEY" /v Wakeup | awk '$1 == "Wakeup" { sub(/^ *Wakeup +REG_MULTI_SZ +/, ""); print }' |
    awk '{ k = split($0, parts, /\\0/); for (i = 1; i <= k; i++) if (parts[i] != "Zorvik.exe" && parts[i] != "") print parts[i] }'
}
expect_other_wakeups() { # ENTRY...
  local actual
  actual=$(other_wakeups)
  [[ $actual == "$(printf '%s\n' "$@")" ]] && return 0
  ZV_WHY=$(printf 'other entries:\n%s' "${actual:-(none)}")
  return 1
}

# Found at 208 MHz in normal mode; slot 3 holds the 520 MHz word.
zv_session preset-request
zv_reg_add_dword "$ZV_SETTINGS_KEY" View 1
zv_reg_add_dword "$ZV_SETTINGS_KEY" Freq3 0x02000290
zv_sim_set CCCR 0x02000110
zv_sim_set CLKCFG 2
zv_install
zv_launch
resident=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "it does not show 520 yet" zv_icon_differs_from "${ZV_PICTURE_520[@]}"
zv_launch '#3'
zv_check "the launch with \"#3\" hands over and exits with 0" zv_expect_exit "$ZV_PID" 0 5
zv_check "CCCR holds slot 3's word" expect_register CCCR 0x2000290 5
zv_check "CLKCFG is 3: frequency change in turbo mode" expect_register CLKCFG 0x3 1
zv_check "the icon shows 520" zv_wait_icon 5 "${ZV_PICTURE_520[@]}"
zv_keep_shot clock-preset
zv_check "the resident copy runs on" zv_expect_running "$resident"

# Watch mode on: another program changes the clock, the program puts it back.
zv_session watch
zv_reg_add_dword "$ZV_SETTINGS_KEY" Spy 1
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_sim_set CCCR 0x02000110
zv_check "the changed CCCR is restored within two seconds" expect_register CCCR 0x2000290 2

# Registrations left by earlier runs and by other programs, then a wake-up.
zv_session wakeup
wine reg add "$ZV_SIM_SEED_KEY" /v Wakeup /t REG_MULTI_SZ /d 'Other.exe\0Zorvik.exe\0Calendar.exe\0Zorvik.exe' /f \
  </dev/null >/dev/null 2>&1
zv_install
zv_launch
resident=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "\"Wakeup\" names Zorvik.exe once" zv_expect_wakeup_count 1 5
zv_check "other programs' entries are kept" expect_other_wakeups Other.exe Calendar.exe
zv_sim_set CCCR 0x02000110
zv_launch AppRunAfterWakeup
zv_check "the wake-up launch exits with 0" zv_expect_exit "$ZV_PID" 0 5
zv_check "the resident copy restores CCCR" expect_register CCCR 0x2000290 5
zv_check "still one registration" zv_expect_wakeup_count 1

# Ended without the exit command, then started again: still one registration.
kill -KILL "$resident"
{ wait "$resident"; } 2>/dev/null
zv_check "no copy runs after the kill" zv_poll 5 zv_expect_resident 0
zv_check "its registration is left behind" zv_expect_wakeup_count 1
zv_launch
zv_check "the program runs again" zv_poll 10 zv_expect_resident 1
zv_check "\"Wakeup\" still names Zorvik.exe once" zv_expect_wakeup_count 1 5
zv_check "other programs' entries are still kept" expect_other_wakeups Other.exe Calendar.exe
