#pragma once
#include <cstddef>
#include <filesystem>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "exercise/completion.h"
#include "exercise/key_statistics.h"
#include "history/key_stats_file.h"
#include "platform/durable_file.h"

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
  // added here and those waiting in its recovery files (beside it, and in `dataFolder` when
  // one is given) that it lacks (an exercise is known by its stamps), writes it; then the
  // recovery files give up what was saved. With nothing to add, nothing is done and no file
  // is made. Throws HistoryError when the lock or the file fails, KeyStatsFileError for a
  // file that is not ours (untouched); either way the exercises stay for a later save or
  // KeepInRecoveryFile, and the recovery files as they were.
  //
  // A file Check found whole and that nobody changed since is not read again: the new
  // exercises are written at its end (the same bytes as the whole merge would give), so a
  // close neither reads nor rewrites a large file.
  void SaveToFile(const std::filesystem::path& name, const std::filesystem::path& dataFolder = {});
  // Reads the file `name` on a thread of its own (the trainer's start, while the student
  // types) to know it whole and valid when it comes to be saved; SaveToFile waits for it.
  void Check(const std::filesystem::path& name);
  // Waits for Check: whether it found the file whole and valid.
  bool CheckedWhole() { return Checked().has_value(); }

  // When the file cannot take them (not ours, locked at the session's end, a folder that
  // refuses it): the exercises waiting go to its recovery file, beside it or else in the
  // data folder, as the history's records do, and the next SaveToFile takes them in.
  // Returns the file written and how many exercises went; throws the last place's error,
  // the exercises then staying here.
  std::pair<std::filesystem::path, std::size_t> KeepInRecoveryFile(const std::filesystem::path& name,
                                                                   const std::filesystem::path& dataFolder);

 private:
  // What Check found: the stamp of the file as it was read whole and valid, and where its
  // exercises end when new ones may go there (EndOfExercises).
  struct Found {
    platform::FileStamp stamp;
    std::optional<std::size_t> endOfExercises;
    bool locksWork = false;  // platform::LocksWorkFor, asked once
  };
  std::optional<Found> Checked();

  std::vector<ExerciseKeyStats> pending_;
  std::shared_future<std::optional<Found>> checking_;
  std::optional<Found> checked_;
  // This run's exercises already saved: a file nobody changed since holds them.
  std::vector<ExerciseKeyStats> savedHere_;
};

// What standard error says when the statistics could not be saved (Portuguese, as the
// trainer's other messages there).
std::string KeyStatsNotSavedText(const std::filesystem::path& name, const std::exception& error);
std::string KeyStatsKeptText(std::size_t exercises, const std::filesystem::path& file);

}  // namespace tecladim::history
