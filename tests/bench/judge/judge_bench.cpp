// The judge runs before the typing box inserts each character: its cost is per key.
// Typed text: 14 full lines of an 81-character drill and the 15th in progress.
#include <benchmark/benchmark.h>

#include <string>

#include "exercise/judge.h"

namespace tecladim {
namespace {

constexpr std::u16string_view Line =
    u"a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8";

std::u16string TypedText(std::size_t inProgress) {
  std::u16string typed;
  for (int i = 0; i < DrillRepetitions - 1; ++i) {
    typed += Line;
    typed += u"\r\n";
  }
  typed += Line.substr(0, inProgress);
  return typed;
}

// A right key in mid-line, line count counted afresh from the text as the window does.
void BM_JudgeMidLine(benchmark::State& bench) {
  const std::u16string typed = TypedText(40);
  ExerciseState state;
  for (auto _ : bench) {
    const KeyInput in{Line[40], static_cast<std::int64_t>(typed.size()), Line, typed, TypedLineCount(typed), 141};
    benchmark::DoNotOptimize(JudgeKey(state, in));
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JudgeMidLine);

// The 15th line's last key: the drill completes.
void BM_JudgeLastKey(benchmark::State& bench) {
  const std::u16string typed = TypedText(Line.size() - 1);
  ExerciseState state;
  for (auto _ : bench) {
    const KeyInput in{Line.back(), static_cast<std::int64_t>(typed.size()), Line, typed, TypedLineCount(typed), 141};
    benchmark::DoNotOptimize(JudgeKey(state, in));
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JudgeLastKey);

// A wrong key: the count goes up.
void BM_JudgeWrongKey(benchmark::State& bench) {
  const std::u16string typed = TypedText(40);
  ExerciseState state;
  for (auto _ : bench) {
    const KeyInput in{u'#', static_cast<std::int64_t>(typed.size()), Line, typed, TypedLineCount(typed), 141};
    benchmark::DoNotOptimize(JudgeKey(state, in));
    state.errorCount = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JudgeWrongKey);

}  // namespace
}  // namespace tecladim
