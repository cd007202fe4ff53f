#!/usr/bin/env bash
# Builds Tecladim and starts it in the current folder, where its history
# "Exercicio.xml" is kept. With "turma" first, builds and starts the class report instead,
# with the class folders that follow (or the last ones opened).
# Usage: run.sh | run.sh turma [FOLDER...]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DTECLADIM_BUILD_TESTS=OFF >/dev/null
if [ "${1:-}" = turma ]; then
  shift
  cmake --build "$top/build" --target tecladim-turma -j"$(nproc)"
  exec "$top/build/turma/tecladim-turma" "$@"
fi
cmake --build "$top/build" --target tecladim tecladim_sound -j"$(nproc)"
exec "$top/build/ui/tecladim"
