#pragma once
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "exam/result_record.h"
#include "history/record_set.h"
#include "history/recovery_file.h"
#include "history/session_end.h"

// The results file of the simulado program as one run holds it: read at the start (the
// recovery files of earlier runs merged in first), written after every test and again at
// the end, merged with what another program saved meanwhile. A file that does not read is
// never written: this run's results then wait beside it in a recovery file.
namespace tecladim::exam {

// How the save at the end went, and the exit status that tells it after a signal: as the
// trainer's.
using ResultsEnd = SessionEnd;

// The lock wait of every save of the program: a student waits for it after a test, the
// system at the session's end.
inline constexpr auto ResultsLockWait = std::chrono::seconds(3);

class ResultsFile {
 public:
  // `notes` is told, a line each, what was merged or kept and where (the standard error).
  ResultsFile(std::filesystem::path file, std::filesystem::path dataFolder, std::ostream& notes);
  ~ResultsFile();

  // Reads the file (none yet is an empty one). The error text when it does not read, ""
  // when it did: the file then stays as it is for the whole run.
  std::string Load();
  bool LoadFailed() const { return loadFailed_; }

  // Adds a test's result and writes the file. The error text when the write failed ("" when
  // done): the result stays, and the next save (at the latest the one at the end) writes it.
  std::string Add(const ResultRecord& record);
  // Writes what is not written yet: into the file, or into a recovery file when the file
  // cannot be written (or did not read). Once: later calls give the first outcome.
  ResultsEnd SaveAtEnd();

  // The recovery file the end's save put the run into; empty when none.
  const std::filesystem::path& KeptIn() const { return keptIn_; }
  const history::RecordSet& Records() const { return set_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  ResultsEnd KeepInRecoveryFile(const history::Packet& records, history::RecoveryPlace place);

  std::filesystem::path file_;
  std::filesystem::path dataFolder_;
  std::ostream& notes_;
  history::RecordSet set_;
  bool loadFailed_ = false;
  std::optional<ResultsEnd> end_;
  std::filesystem::path keptIn_;
};

}  // namespace tecladim::exam
