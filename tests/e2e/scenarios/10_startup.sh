#!/usr/bin/env bash
# Start-up and launch: the resident copy and its tray icon, a second launch, a copy that is not
# installed, and the two ways into limited mode. Each session runs in a fresh prefix.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin startup

# The user installs the program and starts it on the default handheld (PXA27x, 520 MHz).
zv_session first-start
zv_install
zv_launch
resident=$ZV_PID
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_keep_shot startup-tray
zv_check "no message box in full mode" zv_expect_no_window_for '^Zorvik$' 1
zv_check "full mode: \"Wakeup\" names Zorvik.exe once" zv_expect_wakeup_count 1 5

# A shortcut starts it again: the new copy hands over to the resident one and leaves.
zv_launch
zv_check "a second launch exits with 0 within 5 s" zv_expect_exit "$ZV_PID" 0 5
zv_check "the resident copy opens its menu: the hand-off arrived" zv_wait_menu 5
zv_check "the first copy still runs" zv_expect_running "$resident"
zv_check "one resident copy" zv_expect_resident 1
zv_check "still one wake-up registration" zv_expect_wakeup_count 1

# A copy started from anywhere but \Windows refuses to run.
zv_session not-installed
cp "$ZV_EXE" "$WINEPREFIX/drive_c/Zorvik.exe"
zv_launch_from 'C:\Zorvik.exe'
uninstalled=$ZV_PID
zv_check "a box captioned \"Zorvik\" appears" zv_wait_window '^Zorvik$' 20
zv_check "the copy waits for the answer" zv_expect_running "$uninstalled"
zv_check "the box is answered with Return" zv_answer_box '^Zorvik$'
zv_check "the copy exits with 1" zv_expect_exit "$uninstalled" 1 5
zv_check "no settings key was made" zv_expect_no_key "$ZV_SETTINGS_KEY"
zv_check "no tray icon" zv_never 1 zv_tray_icon_present

# A processor the program does not know: limited mode, no notice.
zv_session unknown-processor
zv_sim_set MainId 0x41000000
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "no message box" zv_expect_no_window_for '^Zorvik$' 2
zv_check "the program keeps running" zv_expect_running "$ZV_PID"
zv_check "no wake-up registration" zv_expect_wakeup_count 0

# A clock register that reads 0: the limited-mode notice, then the program goes on.
zv_session clock-reads-zero
zv_sim_set CCCR 0
zv_install
zv_launch
limited=$ZV_PID
zv_check "a box captioned \"Zorvik\" appears" zv_wait_window '^Zorvik$' 20
zv_check "the box is answered with Return" zv_answer_box '^Zorvik$'
zv_check "the box closes" zv_wait_window_gone '^Zorvik$' 5
zv_check "the tray icon is there" zv_wait_tray_icon 10
zv_check "the program keeps running" zv_expect_running "$limited"
zv_check "no wake-up registration" zv_expect_wakeup_count 0
