#!/bin/sh
# Takes the two pictures of the main window in docs/: a fresh start, and the history
# panel after two completed exercises. Drives the real program under Xvfb with xdotool.
# Usage: take_screenshots.sh <path of the tecladim program> <docs folder>
set -eu
program=$(readlink -f "$1")
docs=$(readlink -f "$2")
display=:57
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb $display -screen 0 1400x800x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display QT_QPA_PLATFORM=xcb
cd "$work"
: > Exercicio.xml   # an empty history: no hand-position window over the first picture
"$program" &
app=$!
sleep 2
win=$(xdotool search --sync --name '^Tecladim$' | head -n 1)
xdotool windowactivate --sync "$win" || true
sleep 0.5
import -window root "$docs/main-window.png"

# Two passages of the number 193 ("Erro."), each answered like a student would.
geometry=$(xdotool getwindowgeometry --shell "$win")
eval "$geometry"
for round in 1 2; do
  xdotool mousemove $((X + 100)) $((Y + 20)) click 1 click 1 click 1   # the lesson spin box
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 80 193
  sleep 0.5
  xdotool key space                      # "Exercício não preparado." - OK
  sleep 0.5
  xdotool mousemove $((X + 400)) $((Y + 400)) click 1   # the typing box
  xdotool type --delay 80 'Erro.'
  sleep 1
  # The report's OK button, at 347,357 in the centred 795 x 387 window.
  xdotool mousemove $((X + 675 - 397 + 347 + 37)) $((Y + 350 - 193 + 357 + 12)) click 1
  sleep 1
  xdotool key space                      # the restart of 193 asks again - OK
  sleep 0.5
done
xdotool mousemove $((X + 400)) $((Y + 400)) click 1
sleep 0.5
import -window root "$docs/main-window-history.png"
