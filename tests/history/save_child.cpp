// A program of ours on a history, reduced to what the process tests need: it loads
// "Exercicio.xml" in the folder as the start-up does, appends records, and saves as the close
// does. Exits 0 after a successful save, 1 with the error on stderr otherwise.
//
//   history_save_child FOLDER append TAG COUNT [--wait FILE] [--delay-ms N] [--announce]
//       records with licao = TAG and erros = 0..COUNT-1; prints "loaded" once they are in the
//       store; --wait: then waits until FILE exists before saving; --announce: prints
//       "saving" just before the save
//   history_save_child FOLDER make RECORDS
//       writes a history of RECORDS records (licao 1..192 round and round)
//   history_save_child FOLDER keys TAG COUNT [the options of append] [--check]
//       the same with the key statistics file "Teclas.xml": COUNT exercises of lesson TAG,
//       the i-th with i + 1 wrong keys on "a", saved as the trainer saves them; --check: the
//       file is checked before "loaded", as the trainer's start does
//   history_save_child FOLDER make-keys EXERCISES
//       writes a key statistics file of EXERCISES exercises
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "history/datetime.h"
#include "history/history_name.h"
#include "history/key_stats_store.h"
#include "history/record_set.h"
#include "tests/history/exercise_records.h"

namespace {

using namespace tecladim;
using namespace tecladim::history;
namespace fs = std::filesystem;

constexpr const char* HistoryName = "Exercicio.xml";

void StartUp(RecordSet& set) {
  set.CreateDataSet();
  if (fs::is_regular_file(HistoryName)) {
    set.Close();
    set.LoadFromFile(HistoryName);
  }
  if (!set.Active()) set.Open();
  set.Last();
}

Packet MakeHistory(std::size_t records) {
  RecordSet set("cds1");
  set.CreateDataSet();
  Packet p = set.Content();
  const std::int64_t first = ToStamp(testing::At(2015, 2, 2, 8)).ms;
  for (std::size_t i = 0; i < records; ++i) {
    const auto k = static_cast<std::int64_t>(i);
    const std::int64_t end = first + k * 400'000 + 300'000;
    const std::int64_t values[] = {1 + k % 192, end + k % 1000, k % 25, end - 300'000, end, 300'000};
    for (std::size_t f = 0; f < 6; ++f) {
      p.columns[f].numbers.push_back(values[f]);
      p.columns[f].present.push_back(1);
    }
    p.rowStates.push_back(StatusInserted);
    p.changeLog.push_back({static_cast<std::uint32_t>(i + 1), 0, StatusInserted});
  }
  return p;
}

// An exercise of lesson `licao` with `wrong` slips on "a" and a few right keys, stamped `at`.
ExerciseKeyStats KeyExercise(int licao, int wrong, DateTime at) {
  ExerciseKeyStats e{licao, at, at - 5.0 / 1440.0, at, ExerciseEnd::Completed, {}};
  for (const char16_t key : std::u16string_view(u"asdfgjklç ãáÇ"))
    e.keys.push_back({key, 17, key == u'a' ? wrong : 0, 3400, 16, {}});
  if (wrong > 0) e.keys.front().typedInstead = {{u's', wrong}};
  return e;
}

int MakeKeyStats(std::size_t exercises) {
  KeyStatsStore store;
  const DateTime first = testing::At(2015, 2, 2, 8);
  for (std::size_t i = 0; i < exercises; ++i)
    store.Add(
        KeyExercise(1 + static_cast<int>(i % 192), static_cast<int>(i % 7), first + static_cast<double>(i) / 200.0));
  store.SaveToFile(std::string(KeyStatsFileName));
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 4) return 2;
  fs::current_path(argv[1]);
  const std::string command = argv[2];
  RecordSet set("cds1");
  if (command == "make") {
    set.CreateDataSet();
    set.LoadFromPacket(MakeHistory(std::strtoul(argv[3], nullptr, 10)));
    set.SaveToFile(HistoryName);
    return 0;
  }
  if (command == "make-keys") return MakeKeyStats(std::strtoul(argv[3], nullptr, 10));
  const bool keys = command == "keys";
  if ((command != "append" && !keys) || argc < 5) return 2;
  const int tag = std::atoi(argv[3]);
  const int count = std::atoi(argv[4]);
  const char* waitFor = nullptr;
  int delayMs = 0;
  bool announce = false;
  bool check = false;
  for (int i = 5; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--wait") && i + 1 < argc) waitFor = argv[++i];
    else if (!std::strcmp(argv[i], "--delay-ms") && i + 1 < argc) delayMs = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--announce")) announce = true;
    else if (!std::strcmp(argv[i], "--check")) check = true;
  }
  const DateTime now = testing::At(2026, 1, 1) + tag / 1440.0;
  KeyStatsStore keyStats;
  if (keys) {
    for (int i = 0; i < count; ++i) keyStats.Add(KeyExercise(tag, i + 1, now + i / 86400.0));
    if (check) {
      keyStats.Check(std::string(KeyStatsFileName));
      if (!keyStats.CheckedWhole()) return 1;
    }
  } else {
    StartUp(set);
    for (int i = 0; i < count; ++i) testing::RecordExercise(set, tag, now + i / 86400.0, i, now, now + i / 86400.0);
  }
  std::fputs("loaded\n", stdout);
  std::fflush(stdout);
  if (waitFor != nullptr)
    while (!fs::exists(waitFor)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  if (announce) {
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
  }
  if (keys) keyStats.SaveToFile(std::string(KeyStatsFileName));
  else set.SaveToFile(HistoryName);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int result = Run(argc, argv);
    if (result == 2) std::fputs("usage: see the head of save_child.cpp\n", stderr);
    return result;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
