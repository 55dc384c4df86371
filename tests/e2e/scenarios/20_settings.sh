#!/usr/bin/env bash
# The settings key on a first start, by processor family, and a stored key left as it was;
# checked with `wine reg query` once the program has started.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin settings

# First start on the default handheld (PXA27x): the eight PXA27x presets and nothing else.
zv_session first-start-pxa27x
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "the last preset is stored" zv_wait_reg_value "$ZV_SETTINGS_KEY" Freq8 5
zv_check "Freq1..Freq8 hold the PXA27x presets, no other value" zv_expect_values "$ZV_SETTINGS_KEY" \
  "Freq1 REG_DWORD 0x2000104" "Freq2 REG_DWORD 0x2000108" "Freq3 REG_DWORD 0x2000110" \
  "Freq4 REG_DWORD 0x2000190" "Freq5 REG_DWORD 0x2000210" "Freq6 REG_DWORD 0x2000290" \
  "Freq7 REG_DWORD 0x2000310" "Freq8 REG_DWORD 0x2000390"

# First start on a PXA25x handheld.
zv_session first-start-pxa25x
zv_sim_set MainId 0x69052100
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "the last preset is stored" zv_wait_reg_value "$ZV_SETTINGS_KEY" Freq8 5
zv_check "Freq1..Freq8 hold the PXA25x presets, no other value" zv_expect_values "$ZV_SETTINGS_KEY" \
  "Freq1 REG_DWORD 0x121" "Freq2 REG_DWORD 0x141" "Freq3 REG_DWORD 0x1c1" \
  "Freq4 REG_DWORD 0x241" "Freq5 REG_DWORD 0x242" "Freq6 REG_DWORD 0x2c1" \
  "Freq7 REG_DWORD 0x243" "Freq8 REG_DWORD 0x341"

# First start on a processor the program does not know: nothing is stored.
zv_session first-start-unknown
zv_sim_set MainId 0x41000000
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "no settings key at all" zv_expect_no_key "$ZV_SETTINGS_KEY"

# A key with out-of-range values: they are clamped in memory only, never written back.
zv_session stored-out-of-range
zv_reg_add_dword "$ZV_SETTINGS_KEY" View 7
zv_reg_add_dword "$ZV_SETTINGS_KEY" Speed 9
zv_reg_add_dword "$ZV_SETTINGS_KEY" Color 0xFFFFFFFF
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
sleep 1 # start-up is over well before this; a late write would show below
zv_check "the key is exactly as stored" zv_expect_values "$ZV_SETTINGS_KEY" \
  "View REG_DWORD 0x7" "Speed REG_DWORD 0x9" "Color REG_DWORD 0xffffffff"
