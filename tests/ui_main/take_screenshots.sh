#!/bin/sh
# Takes the pictures of the trainer in docs/ as a student sees them on a Brazilian school
# machine: pt_BR.UTF-8, America/Sao_Paulo, a 1366x768 screen with a window manager (openbox)
# and the ABNT2 keyboard. Drives the real program with xdotool:
#   main-window.png          lesson 1 after one wrong key (the accuracy below 100%)
#   alert-report.png         the completion report of a timed passage, with its percentage
#   main-window-history.png  the history panel after completed exercises
# Usage: take_screenshots.sh <path of the tecladim program> <docs folder>
set -eu
program=$(readlink -f "$1")
docs=$(readlink -f "$2")
work=$(mktemp -d)
app=
wm=
trap 'kill $app $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# The server picks a free display and writes its number (other Xvfb may be running).
Xvfb -displayfd 5 -r -screen 0 1366x768x24 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo
unset LC_ALL
setxkbmap -model abnt2 -layout br
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
cd "$work"
: > Exercicio.xml   # an empty history: no hand-position window over the first picture
"$program" &
app=$!
sleep 2
win=$(xdotool search --sync --onlyvisible --name '^Tecladim$' | head -n 1)
xdotool windowactivate --sync "$win" || true
sleep 0.5
# The client area's corner on the screen (xdotool's geometry is the frame's under a window manager).
X=$(xwininfo -id "$win" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(xwininfo -id "$win" | sed -n 's/.*Absolute upper-left Y: *//p')

typing_box() { xdotool mousemove $((X + 400)) $((Y + 400)) click 1; sleep 0.3; }
report_ok() {
  # The report's OK button, at 347,357 in the 795 x 387 window centred over the main one.
  xdotool mousemove $((X + 675 - 397 + 347 + 37)) $((Y + 350 - 193 + 357 + 12)) click 1
  sleep 1
}

# Lesson 1, the home row: a few keys, one wrong, then the flash gone.
typing_box
xdotool type --delay 120 'asdfg hjk'
xdotool type --delay 120 'x'
sleep 1.6
typing_box
xdotool type --delay 120 'lç asd'
sleep 0.5
import -window root "$docs/main-window.png"

# Lesson 192, the alphabet against the clock, typed in a few seconds: the report shows how
# much of the target time was reached.
xdotool mousemove $((X + 100)) $((Y + 21)) click 1 click 1 click 1   # the lesson spin box
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 80 192
sleep 0.5
typing_box
xdotool type --delay 150 'abcdefghijlmnopqrstuvx'
sleep 1
xdotool type 'z'
sleep 1.5
import -window root "$docs/alert-report.png"
report_ok

# Lesson 168, a passage, typed once more for a second row of history.
xdotool mousemove $((X + 100)) $((Y + 21)) click 1 click 1 click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 80 168
sleep 0.5
typing_box
xdotool type --delay 80 'abcdefghijlmnopqrstuvxz'
sleep 1.5
report_ok
typing_box
sleep 0.5
import -window root "$docs/main-window-history.png"
