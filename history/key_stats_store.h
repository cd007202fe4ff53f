#pragma once
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "exercise/completion.h"
#include "exercise/key_statistics.h"
#include "history/key_stats_file.h"

// The key statistics of a run, kept until they are saved beside the history. The file is
// saved as the history is: under the same exclusive lock, replaced by the same durable
// write, merged with what other programs saved meanwhile.
namespace tecladim::history {

// An exercise's statistics under its stamps: a completion's record, or MakeLeftRecord's.
ExerciseKeyStats StatsOfExercise(const CompletionRecord& stamps, ExerciseEnd end, const KeyStatistics& keys);

// The file holds something that is not key statistics: it is left as it is.
class KeyStatsFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class KeyStatsStore {
 public:
  // An exercise to save; one without keys makes no row and is not kept.
  void Add(ExerciseKeyStats exercise);
  std::size_t Pending() const { return pending_.size(); }

  // Under the exclusive lock: reads the file, keeps every exercise in it, appends those
  // added here that it lacks (an exercise is known by its stamps), writes it. With nothing
  // added, nothing is done and no file is made. Throws HistoryError when the lock or the
  // file fails, KeyStatsFileError for a file that is not ours (untouched); either way the
  // exercises stay for a later save.
  void SaveToFile(const std::filesystem::path& name);

 private:
  std::vector<ExerciseKeyStats> pending_;
};

// What standard error says when the statistics could not be saved (Portuguese, as the
// trainer's other messages there).
std::string KeyStatsNotSavedText(const std::filesystem::path& name, const std::exception& error);

}  // namespace tecladim::history
