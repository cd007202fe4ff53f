#!/usr/bin/env bash
# Builds everything, with warnings as errors, and runs every test: the whole program's
# tests (as on a Brazilian machine, then the unit tests in the C locale), the core's tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows-only code compiled with
# mingw-w64, a short fuzzing run of the history reader, the end-to-end and signal tests, and
# the soak test. Each flavour of the program is compiled once, through ccache.
#   scripts/test.sh          the full run (what CI calls)
#   scripts/test.sh --quick  the whole program's build and its tests but the slow process
#                            tests: the loop between commits
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
if [ "$quick" = 0 ] || ! command -v cmake >/dev/null; then bash scripts/deps.sh test; fi
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
# The steps below (fuzz.sh, e2e.sh, soak.sh) read this too.
export TECLADIM_WERROR=ON
# The compiler cache serves every tree and every checkout of the project on this machine:
# paths are taken relative to the checkout, and the build folder is not part of the key.
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
SECONDS=0
step() { echo "== $1 (at ${SECONDS} s)"; }

# The tests run as on a Brazilian school machine (the toolkit sets the C library's locale from
# LANG, and dates are local), and the unit tests once more in the C locale.
brazil=(env -u LC_ALL -u LANGUAGE LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo)
plain=(env -u LC_ALL -u LANGUAGE LANG=C TZ=UTC)

step "build and test (all), under pt_BR.UTF-8 and America/Sao_Paulo"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTECLADIM_BUILD_TESTS=ON -DTECLADIM_BUILD_BENCHMARKS=ON \
  -DTECLADIM_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
if [ "$quick" = 1 ]; then
  "${brazil[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs" -LE processes
  echo "Quick tests passed in ${SECONDS} s (the full run: scripts/test.sh)."
  exit 0
fi
"${brazil[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs"
step "the unit tests again, under C and UTC"
# The save's process tests (label "processes") do not read the locale; they ran above.
"${plain[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs" -LE processes

# One sanitized tree of the whole program serves the core's tests and the soak test.
step "core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTECLADIM_BUILD_TESTS=ON \
  -DTECLADIM_SANITIZE=address,undefined -DTECLADIM_WERROR=ON >/dev/null
# The save's process tests ran above; here they would only be slow.
# The core's test programs: the tests of label "core" that are targets of their own (a test
# may run a script instead).
mapfile -t core_tests < <(ctest --test-dir build-asan -N -L core -LE processes | sed -n 's/^ *Test *#[0-9]*: //p')
mapfile -t targets < <(cmake --build build-asan --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
core_targets=()
for t in "${core_tests[@]}"; do
  if printf '%s\n' "${targets[@]}" | grep -qx "$t"; then core_targets+=("$t"); fi
done
cmake --build build-asan -j"$jobs" --target "${core_targets[@]}" abnt2_layout_dump tecladim e2e_lesson_text
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "${brazil[@]}" ctest --test-dir build-asan \
  --output-on-failure -j"$jobs" -L core -LE processes

for script in scripts/check-windows.sh scripts/fuzz.sh scripts/e2e.sh scripts/soak.sh; do
  # A missing step is a broken tree, not a step to skip.
  if [ ! -f "$script" ]; then
    echo "test.sh: $script is missing" >&2
    exit 1
  fi
done
step "scripts/check-windows.sh"
"${brazil[@]}" bash scripts/check-windows.sh
step "scripts/fuzz.sh"
"${brazil[@]}" bash scripts/fuzz.sh
# The end-to-end test drives the program the first build made; the soak the sanitized one.
step "scripts/e2e.sh"
TECLADIM_E2E_BUILD="$top/build-test" "${brazil[@]}" bash scripts/e2e.sh
step "scripts/soak.sh (75 s)"
TECLADIM_SOAK_BUILD="$top/build-asan" "${brazil[@]}" bash scripts/soak.sh 75
echo "All tests passed in ${SECONDS} s."
