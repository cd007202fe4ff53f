#!/bin/sh
# A student types the drills of lessons 31 to 40 in the real trainer, slipping on "ç" and on
# "~" + "a", then the class report shows their keys (tests/e2e/type_lessons_31_40.py): takes
# docs/turma-teclas-aluno.png, docs/turma-teclas-turma.png and docs/turma-meu-desempenho.png.
# Slow (about ten minutes), so outside the test command. Needs the targets tecladim,
# tecladim-turma, e2e_lesson_text and turma_demo_class built in the build folder.
# Usage: type_lessons_31_40.sh <build folder> <docs folder>
set -eu
build=$(readlink -f "$1")
docs=$(readlink -f "$2")
export LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo
unset LC_ALL
# A D-Bus session of its own: the line advances are read through the accessibility bus.
exec dbus-run-session -- python3 -B "$(dirname "$0")/type_lessons_31_40.py" \
  --program "$build/ui/tecladim" --turma "$build/turma/tecladim-turma" \
  --lesson-text "$build/tests/e2e/e2e_lesson_text" --demo-class "$build/tests/turma/turma_demo_class" \
  --artifacts "$build/lessons-31-40-artifacts" --docs "$docs"
