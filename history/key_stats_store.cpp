#include "history/key_stats_store.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "history/datetime.h"
#include "history/history_file.h"
#include "history/packet.h"

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

}  // namespace

ExerciseKeyStats StatsOfExercise(const CompletionRecord& stamps, ExerciseEnd end, const KeyStatistics& keys) {
  return {stamps.licao, stamps.data, stamps.inicio, stamps.fim, end, {keys.Keys().begin(), keys.Keys().end()}};
}

void KeyStatsStore::Add(ExerciseKeyStats exercise) {
  if (!exercise.keys.empty()) pending_.push_back(std::move(exercise));
}

void KeyStatsStore::SaveToFile(const std::filesystem::path& name) {
  if (pending_.empty()) return;
  HistoryFile file(name, HistoryFile::Use::Save);
  std::vector<ExerciseKeyStats> all = ExercisesIn(file.Read());
  const std::size_t onDisk = all.size();
  for (const ExerciseKeyStats& mine : pending_) {
    const auto id = Identity(mine);
    const auto first = all.begin();
    const auto last = all.begin() + static_cast<std::ptrdiff_t>(onDisk);
    if (std::none_of(first, last, [&id](const ExerciseKeyStats& e) { return Identity(e) == id; })) all.push_back(mine);
  }
  if (all.size() > onDisk) file.Replace(WritePacket(KeyStatsPacket(all)));
  pending_.clear();
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
