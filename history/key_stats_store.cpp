#include "history/key_stats_store.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <random>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

#include "history/datetime.h"
#include "history/history_file.h"
#include "history/look_again.h"
#include "history/packet.h"
#include "history/recovery_file.h"
#include "platform/durable_file.h"

namespace tecladim::history {
namespace {

// What tells one exercise from another, in both files: its stamps to the millisecond.
auto Identity(const ExerciseKeyStats& e) {
  return std::tuple(e.licao, ToStamp(e.data).ms, ToStamp(e.inicio).ms, ToStamp(e.fim).ms, e.end);
}

std::vector<ExerciseKeyStats> ExercisesIn(const std::string& bytes) {
  if (bytes.empty()) return {};  // just created by the lock, or a save that never wrote
  try {
    return ReadKeyStats(ReadPacket(bytes));
  } catch (const std::exception& error) {  // PacketError, KeyStatsError
    throw KeyStatsFileError(error.what());
  }
}

// Appends to `all` those of `mine` it lacks; returns how many.
std::size_t AddMissing(std::vector<ExerciseKeyStats>& all, const std::vector<ExerciseKeyStats>& mine) {
  const std::size_t onDisk = all.size();
  for (const ExerciseKeyStats& e : mine) {
    const auto id = Identity(e);
    const auto first = all.begin();
    const auto last = all.begin() + static_cast<std::ptrdiff_t>(onDisk);
    if (std::none_of(first, last, [&id](const ExerciseKeyStats& d) { return Identity(d) == id; })) all.push_back(e);
  }
  return all.size() - onDisk;
}

// Without locks two saves may read the same file and each write it with only its own
// exercises: the one renamed last wins. Looking again a little later, at random moments,
// finds a save that came between, and the lost exercises are written again, until the file
// stays as it is with every one of them in it (as the history's own save does).
void CheckSavedWithoutLock(const std::filesystem::path& name, const std::vector<ExerciseKeyStats>& mine,
                           platform::FileStamp last, std::chrono::steady_clock::duration saveTook) {
  LookAgainUntilSettled<KeyStatsFileError>(name, last, saveTook, [&](HistoryFile& file) -> std::optional<std::string> {
    std::vector<ExerciseKeyStats> all = ExercisesIn(file.Read());
    if (AddMissing(all, mine) == 0) return std::nullopt;
    return WritePacket(KeyStatsPacket(all));
  });
}

// The recovery files of the statistics file `name` that exist, and the exercises each holds;
// one that does not read is left out, and left as it is.
struct Recovered {
  std::filesystem::path file;
  std::vector<ExerciseKeyStats> exercises;
};
std::vector<Recovered> ReadRecoveryFiles(const std::filesystem::path& name, const std::filesystem::path& dataFolder) {
  std::vector<std::filesystem::path> places{RecoveryFileBeside(name)};
  if (!dataFolder.empty()) places.push_back(RecoveryFileInDataFolder(name, dataFolder));
  std::vector<Recovered> found;
  for (const std::filesystem::path& file : places) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) continue;
    try {
      found.push_back({file, ExercisesIn(ReadHistoryFile(file))});
    } catch (const std::exception&) {
      // Not readable now: its exercises wait there, and nothing is lost.
    }
  }
  return found;
}

// After the statistics file holds them: the exercises saved leave the recovery file, which
// goes when it is empty. Another trainer may have added some meanwhile: they stay.
void RemoveSaved(const std::filesystem::path& file, const std::vector<ExerciseKeyStats>& saved) {
  HistoryFile locked(file, HistoryFile::Use::Save);
  std::vector<ExerciseKeyStats> rest;
  for (ExerciseKeyStats& e : ExercisesIn(locked.Read())) {
    const auto id = Identity(e);
    if (std::none_of(saved.begin(), saved.end(), [&id](const ExerciseKeyStats& s) { return Identity(s) == id; }))
      rest.push_back(std::move(e));
  }
  if (!rest.empty()) {
    locked.Replace(WritePacket(KeyStatsPacket(rest)));
    return;
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

}  // namespace

ExerciseKeyStats StatsOfExercise(const CompletionRecord& stamps, ExerciseEnd end, const KeyStatistics& keys) {
  return {stamps.licao, stamps.data, stamps.inicio, stamps.fim, end, {keys.Keys().begin(), keys.Keys().end()}};
}

void KeyStatsStore::Add(ExerciseKeyStats exercise) {
  if (!exercise.keys.empty()) pending_.push_back(std::move(exercise));
}

void KeyStatsStore::Check(const std::filesystem::path& name) {
  checked_.reset();
  checking_ = std::async(std::launch::async, [name]() -> std::optional<Found> {
                try {
                  HistoryFile file(name, HistoryFile::Use::Load);
                  const std::string bytes = file.Read();
                  ExercisesIn(bytes);
                  return Found{file.Stamp(), EndOfExercises(bytes), platform::LocksWorkFor(name)};
                } catch (const std::exception&) {
                  return std::nullopt;  // the save reads it whole and says what is wrong
                }
              }).share();
}

std::optional<KeyStatsStore::Found> KeyStatsStore::Checked() {
  if (checking_.valid()) {
    checked_ = checking_.get();
    checking_ = {};
  }
  return checked_;
}

void KeyStatsStore::SaveToFile(const std::filesystem::path& name, const std::filesystem::path& dataFolder) {
  const std::vector<Recovered> recovered = ReadRecoveryFiles(name, dataFolder);
  std::vector<ExerciseKeyStats> mine = pending_;
  for (const Recovered& r : recovered) AddMissing(mine, r.exercises);
  if (mine.empty()) return;
  const std::optional<Found> checked = Checked();
  checked_.reset();
  const bool locksWork = checked ? checked->locksWork : platform::LocksWorkFor(name);
  std::optional<Found> written;
  std::chrono::steady_clock::duration saveTook{};
  ReadAgainIfTorn<KeyStatsFileError>(name, [&] {
    HistoryFile file(name, HistoryFile::Use::Save);
    const auto saveStarted = std::chrono::steady_clock::now();
    // This run's own exercises on a file known whole since, which holds none of them but
    // those this store wrote: the others go at its end, the file unread.
    if (recovered.empty() && locksWork && checked && checked->endOfExercises && file.Stamp() == checked->stamp) {
      std::vector<ExerciseKeyStats> fresh;
      AddMissing(fresh, mine);
      std::erase_if(fresh, [this](const ExerciseKeyStats& e) {
        return std::any_of(savedHere_.begin(), savedHere_.end(),
                           [&e](const ExerciseKeyStats& s) { return Identity(s) == Identity(e); });
      });
      if (fresh.empty()) return;
      if (const std::optional<std::string> rows = ExerciseRows(fresh)) {
        const std::size_t keep = *checked->endOfExercises;
        file.ReplaceEnd(keep, *rows + std::string(KeyStatsFileEnd()));
        written = Found{file.Stamp(), keep + rows->size(), locksWork};
        return;
      }
    }
    const std::string bytes = file.Read();
    std::vector<ExerciseKeyStats> all = ExercisesIn(bytes);
    if (AddMissing(all, mine) > 0) {
      const std::string whole = WritePacket(KeyStatsPacket(all));
      file.Replace(whole);
      written = Found{file.Stamp(), EndOfExercises(whole), locksWork};
      saveTook = std::chrono::steady_clock::now() - saveStarted;
    }
  });
  if (written && !locksWork) CheckSavedWithoutLock(name, mine, written->stamp, saveTook);
  // Whole and valid as written, it need not be read again by this run's next save.
  if (locksWork) checked_ = written;
  savedHere_.insert(savedHere_.end(), pending_.begin(), pending_.end());
  pending_.clear();
  for (const Recovered& r : recovered) {
    try {
      RemoveSaved(r.file, r.exercises);
    } catch (const std::exception&) {
      // Left as it is: the next save finds its exercises already in the file.
    }
  }
}

std::pair<std::filesystem::path, std::size_t> KeyStatsStore::KeepInRecoveryFile(
    const std::filesystem::path& name, const std::filesystem::path& dataFolder) {
  const std::size_t count = pending_.size();
  std::filesystem::path file = RecoveryFileBeside(name);
  try {
    KeyStatsStore beside = *this;
    beside.SaveToFile(file);
  } catch (const std::exception&) {
    file = RecoveryFileInDataFolder(name, dataFolder);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    KeyStatsStore inDataFolder = *this;
    inDataFolder.SaveToFile(file);
  }
  pending_.clear();
  return {file, count};
}

std::string KeyStatsKeptText(std::size_t exercises, const std::filesystem::path& file) {
  return "tecladim: as estatísticas de teclas de " + std::to_string(exercises) +
         (exercises == 1 ? " exercício" : " exercícios") + " foram guardadas em " + FullPathText(file) +
         " e entram no arquivo de estatísticas na próxima gravação.";
}

std::string KeyStatsNotSavedText(const std::filesystem::path& name, const std::exception& error) {
  if (dynamic_cast<const KeyStatsFileError*>(&error))
    return "tecladim: " + FullPathText(name) +
           " não é um arquivo de estatísticas de teclas e ficou como estava; as estatísticas desta execução não "
           "foram gravadas (" +
           error.what() + ").";
  return "tecladim: as estatísticas de teclas não foram gravadas em " + FullPathText(name) + " (" + error.what() + ").";
}

}  // namespace tecladim::history
