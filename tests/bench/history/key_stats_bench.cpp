// The key statistics' file for 1,000 exercises: its size (at most 2 MB) and the time to
// write and read it; and the trainer's close with it against the close without it (at most
// 1.2 times as long). The exercises run through every lesson in turn, drills and passages
// alike, each expected character with a few slips on one key in three.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <future>
#include <map>
#include <string>

#include "history/datetime.h"
#include "history/history_name.h"
#include "history/key_stats_file.h"
#include "history/key_stats_store.h"
#include "history/record_set.h"
#include "lessons/catalogue.h"
#include "tests/bench/history/sample_keys.h"

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
  e.keys = bench::SampleKeys(occurrences);
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

// The close of a trainer whose student has 1,000 exercises behind them and completed one
// more this run: the history's save and (Arg 1) beside it, on a thread of its own, the key
// statistics' save, each under its lock, merged and written durably, as TForm1::FormClose
// does them; the key statistics' file checked at the start, as the trainer does while the
// student types. In a folder of the working directory's file system, the disk a student's
// folder is on.
enum class Statistics { Without, With };

class TrainerFolder {
 public:
  TrainerFolder() : folder_(std::filesystem::current_path() / ("tecladim-close-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    RecordSet set("cds1");
    set.CreateDataSet();
    for (const ExerciseKeyStats& e : exercises_) AppendRecordOf(set, e);
    set.SaveToFile(History());
    history_ = ReadHistoryBytes(History());
    keyStats_ = WritePacket(KeyStatsPacket(exercises_));
  }
  ~TrainerFolder() { std::filesystem::remove_all(folder_); }
  std::filesystem::path History() const { return folder_ / std::string(HistoryFileName); }
  std::filesystem::path KeyStats() const { return folder_ / std::string(KeyStatsFileName); }

  // The files as the run found them.
  void Reset() const {
    WriteBytes(History(), history_);
    WriteBytes(KeyStats(), keyStats_);
  }
  static void AppendRecordOf(RecordSet& set, const ExerciseKeyStats& e) {
    set.Append();
    set.SetInteger("licao", e.licao);
    set.SetDateTime("data", e.data);
    set.SetInteger("erros", 0);
    set.SetDateTime("inicio", e.inicio);
    set.SetDateTime("fim", e.fim);
    set.SetDateTime("tempo", e.fim - e.inicio);
    set.Post();
  }
  const std::vector<ExerciseKeyStats> exercises_ = ThousandExercises();

 private:
  static std::string ReadHistoryBytes(const std::filesystem::path& p) {
    std::FILE* f = std::fopen(p.c_str(), "rb");
    std::string bytes;
    char buffer[65536];
    for (std::size_t n; f && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    if (f) std::fclose(f);
    return bytes;
  }
  static void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::filesystem::path folder_;
  std::string history_, keyStats_;
};

void BM_TrainerClose(benchmark::State& bench) {
  const auto statistics = static_cast<Statistics>(bench.range(0));
  const TrainerFolder folder;
  const ExerciseKeyStats run = Exercise(Exercises);
  for (auto _ : bench) {
    bench.PauseTiming();
    folder.Reset();
    RecordSet cds1("cds1");  // as the start left it: the history loaded, this run's record added
    cds1.CreateDataSet();
    cds1.Close();
    cds1.LoadFromFile(folder.History());
    TrainerFolder::AppendRecordOf(cds1, run);
    KeyStatsStore keyStats;
    keyStats.Add(run);
    keyStats.Check(folder.KeyStats());
    if (!keyStats.CheckedWhole()) bench.SkipWithError("the key statistics' file did not read");
    bench.ResumeTiming();
    std::future<void> keyStatsSaved;
    if (statistics == Statistics::With)
      keyStatsSaved = std::async(std::launch::async, [&] { keyStats.SaveToFile(folder.KeyStats()); });
    cds1.SaveToFile(folder.History());
    if (keyStatsSaved.valid()) keyStatsSaved.get();
  }
  bench.SetLabel(statistics == Statistics::With ? "with key statistics" : "without");
}
BENCHMARK(BM_TrainerClose)
    ->Arg(static_cast<int>(Statistics::Without))
    ->Arg(static_cast<int>(Statistics::With))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tecladim::history

BENCHMARK_MAIN();
