#!/bin/sh
# Takes the pictures of the class report in docs/ as an instructor sees them on a school's
# machine (a 1366x768 screen under openbox, pt_BR.UTF-8, America/Sao_Paulo), two folders opened
# and a lab machine's 50,000 exercises: every view of the
# window, the print dialog, and pages of the PDF report (the class; the simulados are the
# third page; the class's keyboard, one student and their keyboard). The "Teclas" tab's pictures
# come from lessons typed in the real trainer: tests/e2e/type_lessons_31_40.sh.
# Usage: take_screenshots.sh <build folder> <docs folder>
set -eu
build=$(readlink -f "$1")
docs=$(readlink -f "$2")
work=$(mktemp -d)
wm=
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/tests/turma/turma_demo_class" "$work/escola" --laboratorio
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" \
  LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo
unset LC_ALL
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
cd "$work"
"$build/tests/turma/turma_screenshots" escola "$docs"
"$build/turma/tecladim-turma" --pdf turma.pdf escola/turma-a escola/turma-b 2>/dev/null || true   # one damaged file: status 1
pdftoppm -r 70 -png -f 1 -l 1 turma.pdf pagina
pdftoppm -r 70 -png -f 4 -l 6 turma.pdf pagina
cp pagina-01.png "$docs/turma-pdf-resumo.png"
cp pagina-04.png "$docs/turma-pdf-teclas-turma.png"
cp pagina-05.png "$docs/turma-pdf-aluno.png"
cp pagina-06.png "$docs/turma-pdf-teclas-aluno.png"
pdftoppm -r 70 -png -singlefile ficha.pdf ficha
cp ficha.png "$docs/turma-pdf-ficha.png"
