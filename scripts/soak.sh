#!/usr/bin/env bash
# Soak test: builds the whole program with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-soak, through ccache when it is there) and drives it under Xvfb with random but
# realistic input for a while (tests/soak/soak.py). Prints the seed; a failure is replayed with
# the same seed. The last screenshots, the program's output, the actions sent and the history
# are kept in build-soak/soak-artifacts/.
# Usage: scripts/soak.sh [SECONDS (default 75)] [--seed N]
set -euo pipefail
# As on a Brazilian school machine, unless the caller chose otherwise.
export LANG="${LANG:-pt_BR.UTF-8}" TZ="${TZ:-America/Sao_Paulo}"
unset LC_ALL
top="$(cd "$(dirname "$0")/.." && pwd)"
# TECLADIM_SOAK_BUILD names an existing sanitized tree to use as configured (scripts/test.sh
# shares one with the core's sanitizer run).
build="${TECLADIM_SOAK_BUILD:-$top/build-soak}"
seconds="${1:-75}"
shift || true

missing=()
for tool in Xvfb xdotool setxkbmap openbox import python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "soak: missing ${missing[*]}; install them with: bash scripts/deps.sh test" >&2
  exit 1
fi
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

if [ -z "${TECLADIM_SOAK_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTECLADIM_BUILD_TESTS=ON \
    -DTECLADIM_SANITIZE=address,undefined >/dev/null
fi
cmake --build "$build" --target tecladim e2e_lesson_text -j"$(nproc)"
# The driver bounds itself; this is the last resort (start-up, sessions' ends, slack).
timeout --kill-after=10 "$((seconds + 300))" python3 -B "$top/tests/soak/soak.py" \
  --program "$build/ui/tecladim" --lesson-text "$build/tests/e2e/e2e_lesson_text" \
  --seconds "$seconds" --artifacts "$build/soak-artifacts" "$@"
