#!/usr/bin/env bash
# End-to-end test: builds Tecladim (Release, in build-e2e, or the program of an existing build
# tree named by TECLADIM_E2E_BUILD, as scripts/test.sh does) and drives the real program under
# Xvfb with a Brazilian ABNT2 keyboard, through the X server only (tests/e2e/e2e_test.py).
# Then the signal test: records survive SIGTERM, SIGHUP and SIGINT (tests/e2e/signal_test.py).
# Then one passage typed with dead keys, AltGr, Shift and slips, its key statistics checked in
# "Teclas.xml" against the history's record (tests/e2e/key_stats_e2e_test.py).
# Then a one-minute simulado in tecladim-prova, its result checked in "Simulados.xml" and in
# tecladim-turma --csv-provas (tests/e2e/prova_e2e_test.py).
# Screenshots and logs are kept in build-e2e/e2e-artifacts/.
set -euo pipefail
# As on a Brazilian school machine, unless the caller chose otherwise.
export LANG="${LANG:-pt_BR.UTF-8}" TZ="${TZ:-America/Sao_Paulo}"
unset LC_ALL
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TECLADIM_E2E_BUILD:-$top/build-e2e}"

missing=()
for tool in Xvfb xdotool setxkbmap xkbcomp import python3 dbus-run-session; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "e2e: missing ${missing[*]}; install them with: bash scripts/deps.sh test" >&2
  exit 1
fi

# A tree handed over is used as it was configured; only its own tree is configured here.
if [ -z "${TECLADIM_E2E_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTECLADIM_BUILD_TESTS=ON \
    -DTECLADIM_WERROR="${TECLADIM_WERROR:-OFF}" >/dev/null
fi
cmake --build "$build" --target tecladim tecladim-prova tecladim-turma e2e_lesson_text -j"$(nproc)"
# The test bounds itself (each wait, and the whole run); this is the last resort.
# A D-Bus session of its own: the test reads the labels through the accessibility bus.
timeout --kill-after=10 300 dbus-run-session -- python3 -B "$top/tests/e2e/e2e_test.py" \
  --program "$build/ui/tecladim" --lesson-text "$build/tests/e2e/e2e_lesson_text" \
  --artifacts "$build/e2e-artifacts"
timeout --kill-after=10 180 python3 -B "$top/tests/e2e/signal_test.py" \
  --program "$build/ui/tecladim" --lesson-text "$build/tests/e2e/e2e_lesson_text" \
  --artifacts "$build/e2e-artifacts"
timeout --kill-after=10 150 python3 -B "$top/tests/e2e/key_stats_e2e_test.py" \
  --program "$build/ui/tecladim" --lesson-text "$build/tests/e2e/e2e_lesson_text" \
  --artifacts "$build/e2e-artifacts"
timeout --kill-after=10 120 python3 -B "$top/tests/e2e/prova_e2e_test.py" \
  --program "$build/prova/tecladim-prova" --turma "$build/turma/tecladim-turma" \
  --artifacts "$build/e2e-artifacts/prova"
