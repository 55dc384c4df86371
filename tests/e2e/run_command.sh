#!/usr/bin/env bash
# The README's first command as a new user meets it: tools/run.sh on a machine without a display
# must exit 0 and leave build/zorvik-screenshot.png showing the tray icon, "520" yellow on blue
# (the default handheld's clock, the default view and colours).
set -u
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

screenshot=$ZV_ROOT/build/zorvik-screenshot.png
rm -f "$screenshot"
env -u DISPLAY bash "$ZV_ROOT/tools/run.sh" </dev/null
status=$?
if ((status != 0)); then
  echo "run command: FAIL: tools/run.sh without a display exited with $status"
  exit 1
fi
if [[ ! -s $screenshot ]]; then
  echo "run command: FAIL: tools/run.sh left no $screenshot"
  exit 1
fi

# The screenshot's tray need not be white, so the icon's transparent pixels may be anything.
expected=("${ZV_PICTURE_520[@]//-/.}")
if zv_art_matches "$screenshot" "${expected[@]}"; then
  echo "run command: PASS: exit code 0, and the screenshot shows the icon \"520\" yellow on blue"
  exit 0
fi
echo "run command: FAIL: the screenshot's tray icon is not \"520\" yellow on blue"
echo "$ZV_WHY" | sed 's/^/       /'
exit 1
