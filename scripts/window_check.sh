#!/usr/bin/env bash
# The window under a real X server and window manager (Xvfb, openbox), driven by xdotool at the
# layout's positions as a user drives it. Checks that a message box or question gives the focus
# back to the control that had it (the date message after "Go!", Cancel in "Reset data"), that
# Enter in a Settings text box runs "Go!" and Tab from "Print" goes round to the grid, and
# measures how long the process lives after its window is closed by ESC and by Alt+F4.
#
#   scripts/window_check.sh [--build DIR] [--reps N]
#
# Defaults: build/ (its kelsoft must be built; build-asan/ works too), 5 closes of each kind.
# Needs xvfb, openbox and xdotool (scripts/deps.sh). Exit status 1 when a check fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build"
reps=5
inside=0
while (($#)); do
  case "$1" in
    --build) dir=$(realpath -m "$2"); shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --in-xvfb) inside=1; shift ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "window_check.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
for tool in xvfb-run openbox xdotool; do
  command -v $tool >/dev/null || { echo "window_check.sh: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done
[[ -x "$dir/shell/kelsoft" ]] || { echo "window_check.sh: $dir/shell/kelsoft is not built" >&2; exit 1; }
if ((!inside)); then
  # A 96 dpi screen, so twips turn into the same pixels on every machine.
  exec xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$0" --build "$dir" --reps "$reps" --in-xvfb
fi

tmp=$(mktemp -d)
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null; rm -rf "$tmp"' EXIT
sleep 0.5
cd "$root/samples"
title="KEL Handicapping Software"
status_line=29
fails=0

check() {
  if [[ "$2" == "$3" ]]; then echo "ok    $1"; else echo "FAIL  $1: '$2', expected '$3'"; fails=$((fails + 1)); fi
}
# Starts the window on the sample card; win: its X window, menu: the height of its menu bar.
start() {
  rm -f "$tmp/end"
  (QT_QPA_PLATFORM=xcb "$dir/shell/kelsoft" gulfstrm.kel >/dev/null 2>&1; date +%s%N >"$tmp/end.new"; mv "$tmp/end.new" "$tmp/end") &
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -1) || true
  [[ -n "$win" ]] || { echo "window_check.sh: the window did not open" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # Above the client area the menu bar, under it the status line: two lines of the window's font.
  menu=$((HEIGHT - 6915 * 96 / 1440 - status_line))
}
# The pointer to twips of the client area (the window's own position, as the window manager
# placed it, is not what getwindowgeometry says under a reparenting one).
at() { xdotool mousemove --window "$win" $(($1 * 96 / 1440)) $((menu + $2 * 96 / 1440)); }
click() { at "$1" "$2"; xdotool click 1; sleep 0.5; }
key() { xdotool key "$@"; sleep 0.5; }
active() { xdotool getactivewindow getwindowname; }
# Closes the window by a key and says how long the process lived on; more than 5 s fails.
closeBy() {
  local t0
  t0=$(date +%s%N)
  xdotool key "$2"
  for _ in $(seq 500); do [[ -f "$tmp/end" ]] && break; sleep 0.01; done
  if [[ -f "$tmp/end" ]]; then
    echo "      $1: the process ends after $((($(cat "$tmp/end") - t0) / 1000000)) ms"
  else
    check "$1: the process ends" "still running after 5 s" "ended"
  fi
}

# Twips of the client area: race 2 of the list, the buttons, and Go! and Cancel of the Settings
# frame (at 2520, 960).
race2=(3000 1935) recalculate=(1867 6307) reset=(5707 6307) go=(4567 5467) cancel=(6967 5467)

start
at "${race2[@]}"; xdotool click --repeat 2 --delay 80 1; sleep 0.5
click "${recalculate[@]}"
xdotool type --delay 50 "1/1/01"
click "${go[@]}"
check "Go! with the date 1/1/01 shows the date message" "$(active)" "Check entry"
key Return
key s
key space
check "after OK, s scratches nobody and Space on Go! shows the message again" "$(active)" "Check entry"
key Return
click "${cancel[@]}"
click "${reset[@]}"
check "\"Reset data\" asks" "$(active)" "Enter option"
key Escape
key space
check "after Cancel, Space on \"Reset data\" asks again" "$(active)" "Enter option"
key Return
check "Enter answers No and ends the question" "$(active)" "$title"
# Enter in a text box of the Settings frame runs "Go!"; with the short date still typed, that is
# the date message.
click "${recalculate[@]}"
key Tab Tab Tab Tab Tab
key Return
check "Enter in the purse box runs Go!" "$(active)" "Check entry"
key Return
click "${cancel[@]}"
# Tab from "Print" goes round to the grid, not to the window itself: the ESCs after it reach the
# grid (race list, grid hidden) and then the empty window, which closes.
key Tab Tab Tab Tab
key Escape
key Escape
closeBy "ESC on the empty window" Escape
for ((i = 1; i < reps; ++i)); do
  start
  key Escape
  closeBy "ESC on the empty window" Escape
done
for ((i = 0; i < reps; ++i)); do
  start
  closeBy "Alt+F4 on the race list" alt+F4
done
exit $((fails > 0))
