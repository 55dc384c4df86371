# End-to-end harness: zorvik.exe under Wine on a virtual X display, driven like a user would.
# Every session runs in its own copy of a prefix built once per run; nothing touches ~/.wine.
# Source this file; it defines zv_* functions and sets no shell options of its own.

ZV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZV_EXE=${ZV_EXE:-$ZV_ROOT/build/windows/zorvik.exe}
ZV_SETUP=${ZV_SETUP:-$ZV_ROOT/build/windows/zorvik-setup.exe}
ZV_OUT=${ZV_OUT:-$ZV_ROOT/build/e2e}
ZV_BASE_PREFIX=${ZV_BASE_PREFIX:-$ZV_OUT/base-prefix}
ZV_RESOURCE_ICON=${ZV_RESOURCE_ICON:-$ZV_ROOT/resources/zorvik.ico}

ZV_SETTINGS_KEY='HKLM\SOFTWARE\Brenmor\Zorvik'
ZV_SIM_KEY='HKLM\Hardware\SimulatedPXA'
ZV_SIM_SEED_KEY='HKLM\SOFTWARE\SimulatedPXA'
ZV_INSTALLED_PATH='C:\windows\Zorvik.exe'
ZV_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvik'

# The first tray icon as Wine's own tray window shows it (no tray host on the display).
ZV_ICON_X=5 ZV_ICON_Y=24 ZV_ICON_SIZE=16
ZV_TRAY_BACKGROUND_X=4 ZV_TRAY_BACKGROUND_Y=31 # a tray pixel just left of the icon

# The virtual screen: the handheld's 480 x 640 unless a scenario needs a wider one.
ZV_SCREEN=${ZV_SCREEN:-480x640x24}

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

ZV_SCENARIO=${ZV_SCENARIO:-}
ZV_SESSION=''
ZV_PIDS=()
ZV_PID=''
ZV_EXIT=''
ZV_WHY=''
ZV_GONE=0
ZV_PASSED=0
ZV_FAILED=0
ZV_XVFB_PID=''

zv_log() { printf '  .. %s\n' "$*"; }

# ---------------------------------------------------------------- time and polling

zv_now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# zv_poll SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds; 1 on timeout.
zv_poll() {
  local deadline=$(($(zv_now_ms) + ${1%.*} * 1000)) && shift
  while true; do
    "$@" && return 0
    (($(zv_now_ms) >= deadline)) && return 1
    sleep 0.05
  done
}

# zv_never SECONDS COMMAND...: succeeds when COMMAND keeps failing for the whole time.
zv_never() {
  local seconds=$1 && shift
  ! zv_poll "$seconds" "$@"
}

# ---------------------------------------------------------------- the display

# Starts Xvfb on a free display (it picks the number itself), ZV_SCREEN in size, and exports
# DISPLAY.
zv_display_start() {
  mkdir -p "$ZV_OUT/tmp"
  local number_file
  number_file=$(mktemp "$ZV_OUT/tmp/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "$ZV_SCREEN" -nolisten tcp 3>"$number_file" </dev/null \
    >"$ZV_OUT/tmp/xvfb.log" 2>&1 &
  ZV_XVFB_PID=$!
  if ! zv_poll 10 test -s "$number_file"; then
    echo "Xvfb did not start (see $ZV_OUT/tmp/xvfb.log)" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$number_file")"
  export DISPLAY
  rm -f "$number_file"
}

zv_display_stop() {
  [[ -n $ZV_XVFB_PID ]] || return 0
  kill "$ZV_XVFB_PID" 2>/dev/null
  wait "$ZV_XVFB_PID" 2>/dev/null
  ZV_XVFB_PID=''
}

# ---------------------------------------------------------------- prefixes

# Makes a settled prefix at DIR: wineboot, Wine's managed-window mode off, registry saved.
zv_prefix_create() {
  local dir=$1
  rm -rf "$dir" && mkdir -p "$(dirname "$dir")"
  (
    export WINEPREFIX=$dir
    wine wineboot -i &&
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
      wineserver -k
    wineserver -w
  ) </dev/null >"$ZV_OUT/tmp/wineboot.log" 2>&1
}

# The base prefix every session copies; made once per run (run_all.sh remakes it).
zv_base_prefix_ensure() {
  [[ -f $ZV_BASE_PREFIX/.zv-ready ]] && return 0
  mkdir -p "$ZV_OUT/tmp"
  zv_log "building the base Wine prefix (about 10 s)"
  zv_prefix_create "$ZV_BASE_PREFIX" || {
    echo "could not build the base prefix (see $ZV_OUT/tmp/wineboot.log)" >&2
    return 1
  }
  touch "$ZV_BASE_PREFIX/.zv-ready"
}

# ---------------------------------------------------------------- sessions

# zv_session NAME: a fresh copy of the base prefix, with its own persistent wineserver, so
# volatile registry keys live exactly as long as the session.
zv_session() {
  zv_session_end
  ZV_SESSION=$1
  export WINEPREFIX=$ZV_OUT/prefixes/$ZV_SCENARIO-$ZV_SESSION
  rm -rf "$WINEPREFIX" && mkdir -p "$ZV_OUT/prefixes" "$ZV_OUT/logs"
  cp -a "$ZV_BASE_PREFIX" "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  ZV_PIDS=()
  echo "-- $ZV_SCENARIO / $ZV_SESSION"
}

# Ends everything in the session's prefix (wineserver -k), reaps the launched copies and
# removes the prefix (kept when ZV_KEEP_PREFIXES=1).
zv_session_end() {
  [[ -n $ZV_SESSION ]] || return 0
  wineserver -k </dev/null >/dev/null 2>&1
  local pid
  for pid in "${ZV_PIDS[@]}"; do
    zv_poll 10 zv_exited "$pid" || kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  wineserver -w </dev/null >/dev/null 2>&1
  [[ ${ZV_KEEP_PREFIXES:-0} == 1 ]] || rm -rf "$WINEPREFIX"
  ZV_SESSION='' ZV_PIDS=()
}

# Installs the program where it must live: \Windows\Zorvik.exe.
zv_install() { cp "$ZV_EXE" "$WINEPREFIX/drive_c/windows/Zorvik.exe"; }

# zv_launch_from WINDOWS-PATH [WORDS...]: starts a copy in the background; its pid in ZV_PID.
# The current directory is C:\ so that "\Windows\..." means C:\windows\....
zv_launch_from() {
  local path=$1 && shift
  (cd "$WINEPREFIX/drive_c" && exec wine "$path" "$@") </dev/null \
    >>"$ZV_OUT/logs/$ZV_SCENARIO-$ZV_SESSION.log" 2>&1 &
  ZV_PID=$!
  ZV_PIDS+=("$ZV_PID")
}

# zv_launch [WORDS...]: starts the installed program, as its shortcuts do.
zv_launch() { zv_launch_from "$ZV_INSTALLED_PATH" "$@"; }

zv_exited() { ! kill -0 "$1" 2>/dev/null; }

# zv_wait_exit PID SECONDS: waits for the copy to end; its exit code in ZV_EXIT.
zv_wait_exit() {
  ZV_EXIT=''
  zv_poll "$2" zv_exited "$1" || return 1
  wait "$1"
  ZV_EXIT=$?
}

# How many copies of the program run in this session's prefix (zombies excluded).
zv_resident_count() {
  local dir count=0
  for dir in /proc/[0-9]*; do
    [[ -r $dir/cmdline && -r $dir/environ ]] || continue
    head -zn1 "$dir/cmdline" 2>/dev/null | grep -qzi 'zorvik\.exe' || continue
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
    [[ $(awk '{print $3}' "$dir/stat" 2>/dev/null) == Z ]] && continue
    count=$((count + 1))
  done
  echo "$count"
}

# ---------------------------------------------------------------- registry

# Prints the key (or one value of it) as `reg query` shows it, without the CRs.
zv_reg_query() { wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# zv_reg_values KEY: one "NAME TYPE DATA" line per value, in the order reg prints them.
zv_reg_values() {
  zv_reg_query "$1" | awk 'NR > 1 && /^    [^ ]/ { sub(/^    /, ""); print }' |
    sed -E 's/    /\t/; s/    /\t/'
}

# zv_reg_dword KEY NAME: prints the DWORD as 0x... (upper-case digits); fails when absent.
zv_reg_dword() {
  local line
  line=$(zv_reg_query "$1" /v "$2" | awk -v name="$2" '$1 == name && $2 == "REG_DWORD" { print $3 }')
  [[ -n $line ]] || return 1
  printf '0x%X\n' "$((line))"
}

# zv_reg_dword_is KEY NAME VALUE: the DWORD holds VALUE, written as zv_reg_dword prints it.
zv_reg_dword_is() { [[ $(zv_reg_dword "$1" "$2") == "$3" ]]; }

# zv_wait_reg_dword KEY NAME VALUE [SECONDS]: waits up to SECONDS (5) for the DWORD to hold
# VALUE (explains itself in ZV_WHY).
zv_wait_reg_dword() {
  zv_poll "${4:-5}" zv_reg_dword_is "$1" "$2" "$3" && return 0
  ZV_WHY="$2 is $(zv_reg_dword "$1" "$2" || echo absent), expected $3"
  return 1
}

zv_reg_value_exists() { wine reg query "$1" /v "$2" </dev/null >/dev/null 2>&1; }

# zv_wait_reg_value KEY NAME [SECONDS]: the value appears.
zv_wait_reg_value() {
  zv_poll "${3:-10}" zv_reg_value_exists "$1" "$2" && return 0
  ZV_WHY="no value \"$2\" in $1 within ${3:-10} s"
  return 1
}

zv_reg_key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

# zv_reg_add_dword KEY NAME VALUE (VALUE in C notation: 0x..., or decimal).
zv_reg_add_dword() {
  wine reg add "$1" /v "$2" /t REG_DWORD /d "$(($3))" /f </dev/null >/dev/null 2>&1
}

# zv_sim_set NAME VALUE: one value of the simulated handheld. Its live key below HKLM\Hardware is
# volatile and comes into being at the program's first access; until then the value goes to the
# persistent seed key, which the program copies into the live key when it makes it.
zv_sim_set() {
  if zv_reg_key_exists "$ZV_SIM_KEY"; then
    zv_reg_add_dword "$ZV_SIM_KEY" "$1" "$2"
  else
    zv_reg_add_dword "$ZV_SIM_SEED_KEY" "$1" "$2"
  fi
}

# How many wake-up registrations name exactly "Zorvik.exe" (the multi-string "Wakeup").
zv_wakeup_count() {
  zv_reg_query "$ZV_SIM_KEY" /v Wakeup |
    awk '$1 == "Wakeup" && $2 == "REG_MULTI_SZ" { sub(/^ *Wakeup +REG_MULTI_SZ +/, ""); print }' |
    awk 'BEGIN { n = 0 } { k = split($0, parts, /\\0/); for (i = 1; i <= k; i++) if (parts[i] == "Zorvik.exe") n++ }
         END { print n }'
}

# ---------------------------------------------------------------- screen and pixels

zv_shot() { import -window root "${1:-$ZV_OUT/tmp/shot.png}" 2>/dev/null; }

# zv_keep_shot NAME: keeps the screen as evidence in build/e2e/shots/NAME.png.
zv_keep_shot() { mkdir -p "$ZV_OUT/shots" && zv_shot "$ZV_OUT/shots/$1.png"; }

# zv_pixel FILE X Y: the pixel as RRGGBB.
zv_pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6; }

# zv_region_hex FILE X Y W H: one line per row, each pixel as RRGGBB, space-separated.
zv_region_hex() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- 2>/dev/null |
    od -An -v -tx1 -w$(($4 * 3)) | tr -d ' ' |
    awk '{ s = ""; for (i = 1; i <= length($0); i += 6) s = s (i > 1 ? " " : "") toupper(substr($0, i, 6)); print s }'
}

# zv_region_art FILE X Y W H: one character per pixel: W white, B blue, Y yellow, K black,
# R red, G green, ? anything else.
zv_region_art() {
  zv_region_hex "$@" | awk '{
    s = ""
    for (i = 1; i <= NF; i++) {
      c = "?"
      if ($i == "FFFFFF") c = "W"; else if ($i == "0000FF") c = "B"; else if ($i == "FFFF00") c = "Y"
      else if ($i == "000000") c = "K"; else if ($i == "FF0000") c = "R"; else if ($i == "00FF00") c = "G"
      s = s c
    }
    print s }'
}

zv_icon_hex() { zv_region_hex "$1" "$ZV_ICON_X" "$ZV_ICON_Y" "$ZV_ICON_SIZE" "$ZV_ICON_SIZE"; }
zv_icon_art() { zv_region_art "$1" "$ZV_ICON_X" "$ZV_ICON_Y" "$ZV_ICON_SIZE" "$ZV_ICON_SIZE"; }

# The tray icon shows: Wine's tray window is up (white) and the icon area is not all white.
zv_tray_icon_present() {
  local shot=$ZV_OUT/tmp/tray.png
  zv_shot "$shot" || return 1
  [[ $(zv_pixel "$shot" "$ZV_TRAY_BACKGROUND_X" "$ZV_TRAY_BACKGROUND_Y") == FFFFFF ]] || return 1
  zv_icon_art "$shot" | grep -q '[^W]'
}

# zv_until_or_exit COMMAND...: COMMAND succeeds, or the last launched copy has ended (which
# sets ZV_GONE); lets a wait give up at once on a program that is no longer there.
zv_until_or_exit() {
  "$@" && return 0
  zv_exited "$ZV_PID" || return 1
  ZV_GONE=1
}

# zv_explain_gone: explains ZV_GONE in ZV_WHY (in this shell: only it can reap the copy).
zv_explain_gone() {
  wait "$ZV_PID"
  ZV_WHY="the program ended (exit code $?) before that"
}

# zv_wait_tray_icon [SECONDS]: the tray icon shows; gives up when the program ends.
zv_wait_tray_icon() {
  ZV_GONE=0
  if zv_poll "${1:-15}" zv_until_or_exit zv_tray_icon_present; then
    ((ZV_GONE)) || return 0
    zv_explain_gone
    return 1
  fi
  ZV_WHY="no tray icon at ($ZV_ICON_X,$ZV_ICON_Y) within ${1:-15} s"
  return 1
}

# The Frequency view at the default clock (CCCR 0x02000290, CLKCFG 3, turbo: 520 MHz): yellow
# digits 5, 2, 0 on blue, glyph rows 4..10 at columns 1, 6 and 11, in a box whose corners and
# bottom row are transparent.
ZV_PICTURE_520=(
  "--BBBBBBBBBBBB--"
  "-BBBBBBBBBBBBBB-"
  "BBBBBBBBBBBBBBBB"
  "BBBBBBBBBBBBBBBB"
  "BYYYYBBYYBBBYYBB"
  "BYBBBBYBBYBYBBYB"
  "BYYYBBBBBYBYBBYB"
  "BBBBYBBBYBBYBBYB"
  "BBBBYBBYBBBYBBYB"
  "BYBBYBYBBYBYBBYB"
  "BBYYBBYYYYBBYYBB"
  "BBBBBBBBBBBBBBBB"
  "BBBBBBBBBBBBBBBB"
  "-BBBBBBBBBBBBBB-"
  "--BBBBBBBBBBBB--"
  "----------------"
)

# zv_art_matches SHOT EXPECTED-ART...: the tray icon in the screenshot SHOT against a 16-line
# picture: B/Y/W/K/R/G an exact colour, '-' a transparent pixel (the white tray shows through),
# '.' any pixel. Sets ZV_WHY to both pictures when they differ.
zv_art_matches() {
  local shot=$1 actual
  shift
  actual=$(zv_icon_art "$shot")
  if paste -d' ' <(printf '%s\n' "$@") <(printf '%s\n' "$actual") | awk '
      { if (length($1) != length($2)) exit 1
        for (i = 1; i <= length($1); i++) {
          e = substr($1, i, 1); a = substr($2, i, 1)
          if (e == ".") continue
          if (e == "-") e = "W"
          if (e != a) exit 1 } }
      END { if (NR != 16) exit 1 }'; then
    return 0
  fi
  ZV_WHY=$(printf 'expected          actual\n'; paste -d' ' <(printf '%-16s\n' "$@") <(printf '%s\n' "$actual") | sed 's/ /  /')
  return 1
}

# zv_icon_matches EXPECTED-ART...: the icon on screen against a picture, as zv_art_matches.
zv_icon_matches() {
  local shot=$ZV_OUT/tmp/icon.png
  zv_shot "$shot" || return 1
  zv_art_matches "$shot" "$@"
}

# zv_icon_differs_from EXPECTED-ART...: the icon on screen is not that picture.
zv_icon_differs_from() {
  zv_icon_matches "$@" || { ZV_WHY=''; return 0; }
  ZV_WHY=$(printf 'the icon is that picture:\n'; zv_icon_art "$ZV_OUT/tmp/icon.png")
  return 1
}

# zv_icon_is_image ICO-FILE: the icon on screen is the file's 16 x 16 image, pixel for pixel
# where that image is opaque.
zv_icon_is_image() {
  local ico=$1 frame shot=$ZV_OUT/tmp/icon.png expected actual
  [[ -f $ico ]] || { ZV_WHY="no file $ico"; return 1; }
  frame=$(identify -format '%p %w %h\n' "$ico" 2>/dev/null | awk '$2 == 16 && $3 == 16 { print $1; exit }')
  [[ -n $frame ]] || { ZV_WHY="$ico has no 16 x 16 image"; return 1; }
  # One line per row, "-" for a transparent pixel, otherwise RRGGBB.
  expected=$(convert "${ico}[$frame]" -depth 8 rgba:- | od -An -v -tx1 -w64 | tr -d ' ' |
    awk '{ s = ""; for (i = 1; i <= length($0); i += 8) {
             p = substr($0, i, 8); v = (substr(p, 7, 2) == "ff") ? toupper(substr(p, 1, 6)) : "-"
             s = s (i > 1 ? " " : "") v }
           print s }')
  zv_shot "$shot" || return 1
  actual=$(zv_icon_hex "$shot")
  if paste -d'|' <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | awk -F'|' '
      { n = split($1, e, " "); split($2, a, " ")
        for (i = 1; i <= n; i++) if (e[i] != "-" && e[i] != a[i]) exit 1 }
      END { if (NR != 16) exit 1 }'; then
    return 0
  fi
  ZV_WHY=$(printf 'expected (- transparent):\n%s\nactual:\n%s' "$expected" "$actual")
  return 1
}

# zv_wait_icon SECONDS EXPECTED-ART...: polls until the icon matches.
zv_wait_icon() {
  local seconds=$1 && shift
  zv_poll "$seconds" zv_icon_matches "$@"
}

# ---------------------------------------------------------------- windows and keys

# A visible top-level window whose title matches the regular expression.
zv_window_visible() { timeout 10 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# zv_wait_window TITLE-REGEX [SECONDS]: gives up when the program ends.
zv_wait_window() {
  ZV_GONE=0
  if zv_poll "${2:-10}" zv_until_or_exit zv_window_visible "$1"; then
    ((ZV_GONE)) || return 0
    zv_explain_gone
    return 1
  fi
  ZV_WHY="no visible window named /$1/ within ${2:-10} s"
  return 1
}

# The program's popup menu: an override-redirect window of class zorvik.exe (the main window
# is never shown, so it is the only visible one).
zv_menu_visible() { timeout 10 xdotool search --onlyvisible --classname zorvik.exe >/dev/null 2>&1; }

zv_wait_menu() {
  zv_poll "${1:-5}" zv_menu_visible && return 0
  ZV_WHY="no popup menu within ${1:-5} s"
  return 1
}

# The open menu's top-level window (the first one listed when a submenu is open too).
zv_menu_window() {
  timeout 10 xdotool search --onlyvisible --classname zorvik.exe 2>/dev/null | head -n1
}

# zv_menu_keys KEY...: presses the keys in the open menu.
zv_menu_keys() {
  local menu
  menu=$(zv_menu_window)
  [[ -n $menu ]] || { ZV_WHY="no open menu"; return 1; }
  timeout 10 xdotool windowfocus --sync "$menu" key --delay 150 "$@" ||
    { ZV_WHY="could not press $* in the menu"; return 1; }
}

# zv_open_menu: a second launch without words asks the resident copy for its menu.
zv_open_menu() {
  zv_launch
  zv_wait_exit "$ZV_PID" 5 || { ZV_WHY="the second launch did not end"; return 1; }
  zv_wait_menu 5
}

zv_menu_closed() { ! zv_menu_visible; }
zv_wait_menu_closed() {
  zv_poll 5 zv_menu_closed && return 0
  ZV_WHY="the menu is still open"
  return 1
}

zv_window_gone() { ! zv_window_visible "$1"; }

zv_wait_window_gone() {
  zv_poll "${2:-10}" zv_window_gone "$1" && return 0
  ZV_WHY="the window /$1/ is still there after ${2:-10} s"
  return 1
}

# zv_answer_box TITLE-REGEX [KEY]: focuses the message box and presses KEY (Return).
zv_answer_box() {
  local window
  window=$(timeout 10 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  [[ -n $window ]] || { ZV_WHY="no window /$1/ to answer"; return 1; }
  timeout 10 xdotool windowfocus --sync "$window" key "${2:-Return}" ||
    { ZV_WHY="could not focus the window /$1/ and press ${2:-Return}"; return 1; }
}

# ---------------------------------------------------------------- another process

# The test-only sender (tests/e2e/sender) plays another process towards the running copy.
ZV_SENDER=$(dirname "$ZV_EXE")/send_message.exe
WM_CREATE=0x0001 WM_DESTROY=0x0002 WM_CLOSE=0x0010 WM_QUIT=0x0012 WM_COMMAND=0x0111
WM_INITDIALOG=0x0110 UM_SHOWMENU=0x0401

# zv_sender ARGS...: runs the sender; its output without carriage returns, its exit code (124
# when a send to a program that no longer answers is given up after 20 s).
zv_sender() {
  local out status
  out=$(timeout 20 wine "$ZV_SENDER" "$@" </dev/null 2>>"$ZV_OUT/logs/$ZV_SCENARIO-sender.log")
  status=$?
  printf '%s' "${out//$'\r'/}"
  return "$status"
}
zv_sender_ok() {
  zv_sender "$@" >/dev/null && return 0
  ZV_WHY="send_message $* exited with $?"
  return 1
}

# ---------------------------------------------------------------- checks and results

# zv_check DESCRIPTION COMMAND...: one PASS or FAIL line; a failure keeps a screenshot.
zv_check() {
  local description=$1 && shift
  ZV_WHY=''
  if "$@"; then
    ZV_PASSED=$((ZV_PASSED + 1))
    echo "PASS $ZV_SCENARIO/$ZV_SESSION: $description"
    return 0
  fi
  ZV_FAILED=$((ZV_FAILED + 1))
  local shot=$ZV_OUT/failures/$ZV_SCENARIO-$ZV_SESSION-$ZV_FAILED.png
  mkdir -p "$ZV_OUT/failures"
  zv_shot "$shot"
  echo "FAIL $ZV_SCENARIO/$ZV_SESSION: $description"
  [[ -n $ZV_WHY ]] && printf '%s\n' "$ZV_WHY" | sed 's/^/       /'
  echo "       screenshot: ${shot#"$ZV_ROOT"/}"
  return 1
}

# Predicates for zv_check, each explaining a failure in ZV_WHY.

zv_expect_exit() { # PID CODE SECONDS
  if ! zv_wait_exit "$1" "$3"; then
    ZV_WHY="still running after $3 s"
    return 1
  fi
  [[ $ZV_EXIT == "$2" ]] || { ZV_WHY="exit code $ZV_EXIT, expected $2"; return 1; }
}

zv_expect_running() { # PID
  zv_exited "$1" || return 0
  wait "$1"
  ZV_WHY="the copy has exited (code $?)"
  return 1
}

zv_expect_resident() { # COUNT
  local count
  count=$(zv_resident_count)
  [[ $count == "$1" ]] || { ZV_WHY="$count resident copies, expected $1"; return 1; }
}

zv_expect_no_window_for() { # TITLE-REGEX SECONDS
  zv_never "$2" zv_window_visible "$1" && return 0
  ZV_WHY="a window /$1/ appeared"
  return 1
}

zv_wakeup_count_is() { [[ $(zv_wakeup_count) == "$1" ]]; }

zv_expect_wakeup_count() { # COUNT [SECONDS]
  local count
  zv_poll "${2:-0}" zv_wakeup_count_is "$1" && return 0
  count=$(zv_wakeup_count)
  ZV_WHY="\"Wakeup\" names Zorvik.exe $count times, expected $1 ($(zv_reg_query "$ZV_SIM_KEY" /v Wakeup | grep Wakeup || echo 'no value'))"
  return 1
}

zv_expect_no_key() { # KEY
  zv_reg_key_exists "$1" || return 0
  ZV_WHY=$(printf 'the key exists:\n%s' "$(zv_reg_query "$1")")
  return 1
}

# zv_expect_values KEY "NAME TYPE DATA"...: the key holds exactly these values (any order).
zv_expect_values() {
  local key=$1 && shift
  local expected actual
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(zv_reg_values "$key" | tr '\t' ' ' | sort)
  [[ $expected == "$actual" ]] && return 0
  ZV_WHY=$(printf 'expected:\n%s\nactual:\n%s' "$expected" "${actual:-(no values or no key)}")
  return 1
}

# ---------------------------------------------------------------- scenario frame

# zv_scenario_begin NAME: display, base prefix, and the clean-up on exit.
zv_scenario_begin() {
  ZV_SCENARIO=$1
  mkdir -p "$ZV_OUT/tmp" "$ZV_OUT/logs"
  trap zv_scenario_end EXIT
  trap 'exit 130' INT TERM
  if [[ ! -f $ZV_EXE ]]; then
    echo "FAIL $ZV_SCENARIO: no program to test: $ZV_EXE is missing (build the windows preset)"
    ZV_FAILED=$((ZV_FAILED + 1))
    exit 1
  fi
  zv_display_start || exit 1
  zv_base_prefix_ensure || exit 1
}

zv_scenario_end() {
  local status=$?
  zv_session_end
  zv_display_stop
  echo "== $ZV_SCENARIO: $ZV_PASSED passed, $ZV_FAILED failed"
  ((ZV_FAILED == 0 && status == 0)) || exit 1
  exit 0
}
