// The key statistics' file for 1,000 exercises: its size (at most 2 MB) and the time to
// write and read it. The exercises run through every lesson in turn, drills and passages
// alike, each expected character with a few slips on one key in three.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "history/datetime.h"
#include "history/key_stats_file.h"
#include "lessons/catalogue.h"

namespace tecladim::history {
namespace {

constexpr std::size_t FileSizeGoal = 2 * 1024 * 1024;
constexpr int Exercises = 1000;

ExerciseKeyStats Exercise(int index) {
  ExerciseKeyStats e;
  e.licao = 1 + index % LessonCount;
  std::u16string_view model = *LessonText(e.licao);
  if (const auto open = model.rfind(u'('); e.licao >= FirstPassageLesson && open != std::u16string_view::npos)
    model = model.substr(0, open);
  const int repetitions = e.licao < FirstPassageLesson ? 15 : 1;
  std::map<char16_t, std::int32_t> occurrences;
  for (const char16_t c : model) occurrences[c] += repetitions;
  const DateTime day = EncodeDateTime({2024, 3, 1}, {}) + index / 20;
  e.inicio = day + (8.0 + (index % 20) * 0.4) / 24.0;
  e.fim = e.inicio + 0.004;
  e.data = e.fim + 0.0000042;
  int n = 0;
  for (const auto& [c, count] : occurrences) {
    KeyCounts k{c, count, 0, count * 185LL, count - 1, {}};
    if (++n % 3 == 0) {
      k.wrong = 1 + n % 4;
      k.typedInstead = {{static_cast<char16_t>(c + 1), k.wrong - k.wrong / 2}};
      if (k.wrong / 2 > 0) k.typedInstead.push_back({u'\b', k.wrong / 2});
    }
    e.keys.push_back(std::move(k));
  }
  return e;
}

std::vector<ExerciseKeyStats> ThousandExercises() {
  std::vector<ExerciseKeyStats> all;
  for (int i = 0; i < Exercises; ++i) all.push_back(Exercise(i));
  return all;
}

void BM_WriteKeyStats(benchmark::State& bench) {
  const auto exercises = ThousandExercises();
  std::size_t bytes = 0;
  std::size_t rows = 0;
  for (auto _ : bench) {
    const Packet packet = KeyStatsPacket(exercises);
    rows = packet.RowCount();
    bytes = WritePacket(packet).size();
  }
  bench.counters["bytes"] = static_cast<double>(bytes);
  bench.counters["rows"] = static_cast<double>(rows);
  if (bytes > FileSizeGoal) bench.SkipWithError("the file of 1,000 exercises is over 2 MB");
}
BENCHMARK(BM_WriteKeyStats)->Unit(benchmark::kMillisecond);

void BM_ReadKeyStats(benchmark::State& bench) {
  const std::string bytes = WritePacket(KeyStatsPacket(ThousandExercises()));
  for (auto _ : bench) benchmark::DoNotOptimize(ReadKeyStats(ReadPacket(bytes)));
}
BENCHMARK(BM_ReadKeyStats)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tecladim::history

BENCHMARK_MAIN();
