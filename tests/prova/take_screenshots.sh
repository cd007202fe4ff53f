#!/bin/sh
# Takes the pictures of the exam simulation in docs/ as on a school machine: Xvfb at
# 1366x768, openbox, pt_BR.UTF-8, the ABNT2 keyboard. The rules screen, the test screen
# half way through a short test typed with a few errors, and the result sheet.
# Usage: take_screenshots.sh <build folder> <docs folder>
set -eu
build=$(readlink -f "$1")
docs=$(readlink -f "$2")
work=$(mktemp -d)
trap 'kill $app $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
app=""; wm=""

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
export LANG=pt_BR.UTF-8 LC_ALL=pt_BR.UTF-8 TZ=America/Sao_Paulo
setxkbmap -layout br -variant abnt2
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
cd "$work"   # the results file goes to the folder the program starts in: never the checkout
"$build/prova/tecladim-prova" >/dev/null 2>&1 &
app=$!
sleep 2
window=$(xdotool search --sync --name "Prova simulada" | head -1)
xdotool windowactivate --sync "$window"
xdotool windowmove "$window" 0 0
xdotool windowsize "$window" 1366 740
sleep 0.5
xdotool key alt+r             # "Ver as regras"
sleep 1
import -window root "$docs/prova-regras.png"
xdotool key alt+c             # "Começar a prova"
sleep 1
# The first lines of the first text, with a letter different, a space doubled, a missing
# accent and two letters swapped; then Backspace takes a wrong key back.
xdotool type --delay 15 "Todo cidadão tem o direito de recebre dos órgãos  publicos informações do seu interesse particular ou de interesse coletivo. Esse direito vale para a Uniãp"
xdotool key BackSpace
xdotool type --delay 15 "o, os estados, o Distrito federal e os municípios"
sleep 1
import -window root "$docs/prova-teste.png"
xdotool key alt+e             # "Entregar"
sleep 1
import -window root "$docs/prova-resultado.png"
