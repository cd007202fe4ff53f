#!/usr/bin/env bash
# Builds Tecladim and starts it in the current folder, where its history
# "Exercicio.xml" is kept.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DTECLADIM_BUILD_TESTS=OFF >/dev/null
cmake --build "$top/build" --target tecladim -j"$(nproc)"
exec "$top/build/ui/tecladim"
