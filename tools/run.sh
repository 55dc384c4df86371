#!/usr/bin/env bash
# Builds zorvik.exe and zorvik-setup.exe, installs the program through the setup program's silent
# mode (as \Windows\Zorvik.exe) in the project's own Wine prefix (build/wine-prefix, never
# ~/.wine) and runs it: on your X display when DISPLAY is set, in the foreground until it exits
# or Ctrl-C; without one on a virtual display, long enough to save a screenshot of its tray icon
# to build/zorvik-screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash tools/install_deps.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
cmake --preset windows >/dev/null
cmake --build --preset windows

ZV_OUT=$root/build/run
# shellcheck source=tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"
mkdir -p "$ZV_OUT/tmp" "$ZV_OUT/logs"
export WINEPREFIX=$root/build/wine-prefix
screenshot=$root/build/zorvik-screenshot.png

own_display=0
if [[ -z ${DISPLAY:-} ]]; then
  zv_display_start
  own_display=1
fi

stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  ((own_display)) && zv_display_stop
  return 0
}
trap stop EXIT
trap 'exit 130' INT TERM

# The prefix: made once, then only refreshed (an earlier copy is ended; Wine's managed-window
# mode stays off so dialogs close at once).
if [[ -f $WINEPREFIX/system.reg ]]; then
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
else
  echo "run: making the Wine prefix $WINEPREFIX (about 10 s)"
  zv_prefix_create "$WINEPREFIX" || { echo "run: wineboot failed, see $ZV_OUT/tmp/wineboot.log" >&2; exit 1; }
fi
if ! wine build/windows/zorvik-setup.exe /S </dev/null >"$ZV_OUT/logs/setup.log" 2>&1; then
  echo "run: zorvik-setup.exe /S failed, see $ZV_OUT/logs/setup.log" >&2
  exit 1
fi

# Started from C:\ so that "\Windows\Zorvik.exe" is the installed copy.
(cd "$WINEPREFIX/drive_c" && exec wine 'C:\windows\Zorvik.exe' "$@") </dev/null &
program=$!
ZV_PID=$program # the library's waits give up at once when this copy has ended

if ((!own_display)); then
  echo "run: Zorvik runs in the notification area of $DISPLAY (its menu has the exit command);"
  echo "run: Ctrl-C ends it"
  wait "$program" || true
  exit 0
fi

if zv_wait_tray_icon 30; then
  zv_shot "$screenshot"
  echo "$screenshot"
  exit 0
fi
zv_shot "$screenshot"
echo "run: the tray icon did not appear within 30 s; the screen is in $screenshot" >&2
exit 1
