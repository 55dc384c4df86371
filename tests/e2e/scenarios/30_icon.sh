#!/usr/bin/env bash
# The tray icon's pixels by view: the frequency in digits, the load graph, the program's icon.
# Pictures are the 16 x 16 icon at screen pixels (5,24)-(20,39): B blue, Y yellow, W white,
# '-' a transparent pixel (the white tray shows through).
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
zv_scenario_begin icon


# The first load samples are 100 % idle: every column is background, the square has no corners.
graph_idle=()
for _ in {1..16}; do graph_idle+=("BBBBBBBBBBBBBBBB"); done

all_white=()
for _ in {1..16}; do all_white+=("WWWWWWWWWWWWWWWW"); done

zv_session frequency-view
zv_reg_add_dword "$ZV_SETTINGS_KEY" View 1
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "it shows 520 in yellow on blue" zv_wait_icon 5 "${ZV_PICTURE_520[@]}"
zv_keep_shot icon-frequency

# The slowest tempo (4 s) keeps the first picture on screen long enough to read it.
zv_session load-view
zv_reg_add_dword "$ZV_SETTINGS_KEY" View 2
zv_reg_add_dword "$ZV_SETTINGS_KEY" Speed 4
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
zv_check "the graph starts all background: a full blue square" zv_wait_icon 3 "${graph_idle[@]}"
zv_keep_shot icon-load

zv_session plain-view
zv_reg_add_dword "$ZV_SETTINGS_KEY" View 0
zv_install
zv_launch
zv_check "the tray icon appears" zv_wait_tray_icon 20
sleep 0.5 # a wrong picture drawn after the first one would show by now
zv_keep_shot icon-plain
zv_check "not the digit picture" zv_icon_differs_from "${ZV_PICTURE_520[@]}"
zv_check "not the graph's blue square" zv_icon_differs_from "${graph_idle[@]}"
zv_check "not an empty (white) icon" zv_icon_differs_from "${all_white[@]}"
zv_check "the 16-pixel image of resources/zorvik.ico" zv_icon_is_image "$ZV_RESOURCE_ICON"
