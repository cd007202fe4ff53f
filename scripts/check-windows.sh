#!/usr/bin/env bash
# Compiles every Windows-only file of platform/ with the mingw-w64 cross compiler, syntax
# only: they are built for real only on Windows, and must not rot in between.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "check-windows: $cxx is not installed, Windows files not checked"
  exit 0
fi
shopt -s nullglob
files=("$top"/platform/*_windows.cpp)
if [ ${#files[@]} -eq 0 ]; then
  echo "check-windows: no Windows-only files"
  exit 0
fi
for f in "${files[@]}"; do
  echo "check-windows: ${f#"$top"/}"
  "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$top" "$f"
done
# The history file's shared, system-neutral code is built with the Windows file there: it
# must compile with it too.
shared=("$top"/platform/durable_file.cpp "$top"/platform/durable_file_journal.cpp "$top"/platform/durable_file_replay.cpp
  "$top"/platform/data_folder.cpp)
for f in "${shared[@]}"; do
  echo "check-windows: ${f#"$top"/}"
  "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$top" "$f"
done
echo "check-windows: $((${#files[@]} + ${#shared[@]})) file(s) compile for Windows"
