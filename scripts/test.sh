#!/usr/bin/env bash
# Builds everything, with warnings as errors, and runs every test: the whole program's
# tests, the core again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows-only code compiled with mingw-w64, a short fuzzing run of the history reader,
# and the end-to-end test.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
bash scripts/deps.sh test
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
# The steps below (fuzz.sh, e2e.sh) configure their own builds; they read this too.
export TECLADIM_WERROR=ON

# The tests run as on a Brazilian school machine (the toolkit sets the C library's locale from
# LANG, and dates are local), and the unit tests once more in the C locale.
brazil=(env -u LC_ALL -u LANGUAGE LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo)
plain=(env -u LC_ALL -u LANGUAGE LANG=C TZ=UTC)

echo "== build and test (all), under pt_BR.UTF-8 and America/Sao_Paulo"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTECLADIM_BUILD_TESTS=ON -DTECLADIM_BUILD_BENCHMARKS=ON \
  -DTECLADIM_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
"${brazil[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs"
echo "== the unit tests again, under C and UTC"
# The save's process tests (label "processes") do not read the locale; they ran above.
"${plain[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs" -LE processes

echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTECLADIM_CORE_ONLY=ON -DTECLADIM_SANITIZE=address,undefined \
  -DTECLADIM_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
# The save's process tests (label "processes") ran above; here they would only be slow.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "${brazil[@]}" ctest --test-dir build-asan --output-on-failure -j"$jobs" \
  -LE processes

for step in scripts/check-windows.sh scripts/fuzz.sh scripts/e2e.sh; do
  # A missing step is a broken tree, not a step to skip.
  if [ ! -f "$step" ]; then
    echo "test.sh: $step is missing" >&2
    exit 1
  fi
  echo "== $step"
  "${brazil[@]}" bash "$step"
done
echo "== scripts/soak.sh (75 s)" && "${brazil[@]}" bash scripts/soak.sh 75
echo "All tests passed."
