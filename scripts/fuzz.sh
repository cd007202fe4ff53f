#!/usr/bin/env bash
# Fuzzes the history-file reader for a short while: builds the libFuzzer target with clang
# (core only, AddressSanitizer and UndefinedBehaviorSanitizer) in build-fuzz and runs it on
# a copy of the seed corpus. Exits non-zero when the fuzzer finds a crash, hang or leak.
# Usage: fuzz.sh [seconds]   (default 30)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
seconds="${1:-30}"
build="${TECLADIM_FUZZ_BUILD:-build-fuzz}"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang not found, fuzzing skipped"
  exit 0
fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTECLADIM_CORE_ONLY=ON -DTECLADIM_FUZZ=ON -DTECLADIM_BUILD_TESTS=ON \
  -DTECLADIM_SANITIZE=address,undefined -DTECLADIM_WERROR="${TECLADIM_WERROR:-OFF}" >/dev/null
cmake --build "$build" --target packet_fuzz -j"$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r tests/fuzz/corpus "$work/corpus"
mkdir -p "$work/findings"
"$build/tests/fuzz/packet_fuzz" "$work/corpus" -dict=tests/fuzz/packet.dict \
  -max_total_time="$seconds" -max_len=4096 -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix="$work/findings/" -print_final_stats=1 > "$work/fuzz.log" 2>&1 || {
  status=$?
  tail -n 60 "$work/fuzz.log"
  mkdir -p "$build/findings" && cp -r "$work/findings/." "$build/findings/"
  echo "fuzzing found a problem; inputs kept in $build/findings"
  exit "$status"
}
grep -E '^(stat::|Done )' "$work/fuzz.log" || true
echo "fuzzing ran ${seconds} s without a finding"
