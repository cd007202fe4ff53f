#!/usr/bin/env bash
# Builds Tecladim and starts it in the current folder, where its history
# "Exercicio.xml" is kept. With "turma" first, builds and starts the class report instead,
# with the class folders that follow (or the last ones opened); with "prova", the exam
# simulation (its arguments follow, e.g. --corrigir MODELO DIGITADO).
# Usage: run.sh | run.sh turma [FOLDER...] | run.sh prova [ARGUMENT...]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DTECLADIM_BUILD_TESTS=OFF >/dev/null
if [ "${1:-}" = turma ]; then
  shift
  cmake --build "$top/build" --target tecladim-turma -j"$(nproc)"
  exec "$top/build/turma/tecladim-turma" "$@"
fi
if [ "${1:-}" = prova ]; then
  shift
  cmake --build "$top/build" --target tecladim-prova -j"$(nproc)"
  exec "$top/build/prova/tecladim-prova" "$@"
fi
cmake --build "$top/build" --target tecladim tecladim_sound -j"$(nproc)"
exec "$top/build/ui/tecladim"
