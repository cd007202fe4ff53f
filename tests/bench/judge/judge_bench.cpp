// The judge runs before the typing box inserts each character: its cost is per key.
// Typed text: 14 full lines of an 81-character drill and the 15th in progress.
#include <benchmark/benchmark.h>

#include <string>

#include "exercise/judge.h"
#include "exercise/key_statistics.h"

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

// The same keys with the window's one call to the key statistics after each verdict: the
// recording may cost at most 1 µs more per key than the judge alone.
void BM_JudgeAndRecordMidLine(benchmark::State& bench) {
  const std::u16string typed = TypedText(40);
  ExerciseState state;
  KeyStatistics stats;
  std::int64_t nowMs = 0;
  for (auto _ : bench) {
    const KeyInput in{Line[40], static_cast<std::int64_t>(typed.size()), Line, typed, TypedLineCount(typed), 141};
    const Judgement verdict = JudgeKey(state, in);
    stats.Record(in, verdict, state, nowMs += 180);
    benchmark::DoNotOptimize(verdict);
  }
  benchmark::DoNotOptimize(stats.JudgedKeys());
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JudgeAndRecordMidLine);

void BM_JudgeAndRecordWrongKey(benchmark::State& bench) {
  const std::u16string typed = TypedText(40);
  ExerciseState state;
  KeyStatistics stats;
  std::int64_t nowMs = 0;
  for (auto _ : bench) {
    const KeyInput in{u'#', static_cast<std::int64_t>(typed.size()), Line, typed, TypedLineCount(typed), 141};
    const Judgement verdict = JudgeKey(state, in);
    stats.Record(in, verdict, state, nowMs += 180);
    benchmark::DoNotOptimize(verdict);
    state.errorCount = 0;
  }
  benchmark::DoNotOptimize(stats.Errors());
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JudgeAndRecordWrongKey);

// The recording alone, a whole drill line's keys in turn.
void BM_RecordLine(benchmark::State& bench) {
  KeyStatistics stats;
  std::int64_t nowMs = 0;
  for (auto _ : bench) {
    for (const char16_t c : Line) stats.Record(c, c, KeyVerdict::Right, nowMs += 180);
  }
  benchmark::DoNotOptimize(stats.JudgedKeys());
  bench.SetItemsProcessed(bench.iterations() * static_cast<std::int64_t>(Line.size()));
}
BENCHMARK(BM_RecordLine);

}  // namespace
}  // namespace tecladim
