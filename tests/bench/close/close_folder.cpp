// Writes a student's folder for the close benchmark (run.py): "Exercicio.xml" of N exercises,
// saved by the history's own writer, and "Teclas.xml" of the same N exercises under the
// very stamps of those records, as the trainer would have left them after N closes.
// The exercises run through every lesson in turn, drills 15 times over, each expected
// character with a few slips on one key in three; the record's erros are the slips' sum.
//
// Usage: close_bench_folder FOLDER [N]   (N is 1000 when not given)
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "exercise/exercise_state.h"
#include "history/datetime.h"
#include "history/history_name.h"
#include "history/key_stats_file.h"
#include "history/packet.h"
#include "history/record_set.h"
#include "lessons/catalogue.h"
#include "tests/bench/history/sample_keys.h"

namespace {

using namespace tecladim;
using namespace tecladim::history;

ExerciseKeyStats Exercise(int index) {
  ExerciseKeyStats e;
  e.licao = 1 + index % LessonCount;
  std::u16string_view model = *LessonText(e.licao);
  if (const auto open = model.rfind(u'('); open != std::u16string_view::npos) model = model.substr(0, open);
  const int repetitions = IsDrill(e.licao) ? DrillRepetitions : 1;
  std::map<char16_t, std::int32_t> occurrences;
  for (const char16_t c : model)
    if (c != u'\r' && c != u'\n') occurrences[c] += repetitions;
  // Twenty exercises a school day, whole seconds as the trainer stamps them, a few minutes each.
  const DateTime day = EncodeDateTime({2024, 3, 1}, {}) + index / 20;
  const int seconds = 60 + (index * 37) % 300;
  e.inicio = day + (8 * 3600 + (index % 20) * 20 * 60) / 86400.0;
  e.fim = e.inicio + seconds / 86400.0;
  e.data = e.fim + 0.25 / 86400.0;
  e.keys = bench::SampleKeys(occurrences);
  return e;
}

void AppendRecordOf(RecordSet& set, const ExerciseKeyStats& e) {
  std::int32_t errors = 0;
  for (const KeyCounts& k : e.keys) errors += k.wrong;
  set.Append();
  set.SetInteger("licao", e.licao);
  set.SetDateTime("data", e.data);
  set.SetInteger("erros", errors);
  set.SetDateTime("inicio", e.inicio);
  set.SetDateTime("fim", e.fim);
  set.SetDateTime("tempo", e.fim - e.inicio);
  set.Post();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s FOLDER [N]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = argc == 3 ? std::atoi(argv[2]) : 1000;
  try {
    std::filesystem::create_directories(folder);
    std::vector<ExerciseKeyStats> exercises;
    RecordSet cds1("cds1");
    cds1.CreateDataSet();
    for (int i = 0; i < count; ++i) {
      exercises.push_back(Exercise(i));
      AppendRecordOf(cds1, exercises.back());
    }
    cds1.SaveToFile(folder / std::string(HistoryFileName));
    std::ofstream keyStats(folder / std::string(KeyStatsFileName), std::ios::binary);
    keyStats << WritePacket(KeyStatsPacket(exercises));
    if (!keyStats.flush()) throw std::runtime_error("Teclas.xml was not written");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "close_bench_folder: %s\n", error.what());
    return 1;
  }
  return 0;
}
