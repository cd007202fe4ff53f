#!/bin/sh
# Takes the two pictures of the main window in docs/: a fresh start, and the history
# panel after two completed exercises. Drives the real program under Xvfb with xdotool.
# Usage: take_screenshots.sh <path of the tecladim program> <docs folder>
set -eu
program=$(readlink -f "$1")
docs=$(readlink -f "$2")
work=$(mktemp -d)
app=
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# The server picks a free display and writes its number (other Xvfb may be running).
Xvfb -displayfd 5 -screen 0 1400x800x24 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
cd "$work"
: > Exercicio.xml   # an empty history: no hand-position window over the first picture
"$program" &
app=$!
sleep 2
win=$(xdotool search --sync --name '^Tecladim$' | head -n 1)
xdotool windowactivate --sync "$win" || true
sleep 0.5
import -window root "$docs/main-window.png"

# Lesson 168, the alphabet as a passage, typed twice like a student would. (A number without
# a lesson cannot be typed: leaving the spin box for the typing box sets it back into range.)
geometry=$(xdotool getwindowgeometry --shell "$win")
eval "$geometry"
xdotool mousemove $((X + 100)) $((Y + 20)) click 1 click 1 click 1   # the lesson spin box
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 80 168
sleep 0.5
for round in 1 2; do
  xdotool mousemove $((X + 400)) $((Y + 400)) click 1   # the typing box
  xdotool type --delay 80 'abcdefghijlmnopqrstuvxz'
  sleep 1
  # The report's OK button, at 347,357 in the centred 795 x 387 window.
  xdotool mousemove $((X + 675 - 397 + 347 + 37)) $((Y + 350 - 193 + 357 + 12)) click 1
  sleep 1
done
xdotool mousemove $((X + 400)) $((Y + 400)) click 1
sleep 0.5
import -window root "$docs/main-window-history.png"
