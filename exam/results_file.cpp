#include "exam/results_file.h"

#include <exception>

#include "history/preload.h"
#include "history/recovery_file.h"
#include "platform/durable_file.h"

namespace tecladim::exam {

ResultsFile::ResultsFile(std::filesystem::path file, std::filesystem::path dataFolder, std::ostream& notes)
    : file_(std::move(file)), dataFolder_(std::move(dataFolder)), notes_(notes), set_("Simulados", ResultLayout) {
  set_.CreateDataSet();
}

ResultsFile::~ResultsFile() = default;

std::string ResultsFile::Load() {
  platform::SetLockWaitLimit(ResultsLockWait);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file_, ec) &&
      !std::filesystem::is_regular_file(history::RecoveryFileBeside(file_), ec) &&
      !std::filesystem::is_regular_file(history::RecoveryFileInDataFolder(file_, dataFolder_), ec))
    return {};
  history::StartSteps steps{dataFolder_, FromStamp({0}), &notes_};
  steps.layout = &ResultLayout;
  try {
    history::PacketPreload read(file_, steps);
    set_.LoadFromPreload(read);
    return {};
  } catch (const std::exception& error) {
    // The store is closed and empty now: this run's results gather in a store of their own.
    loadFailed_ = true;
    set_.CreateDataSet();
    return error.what();
  }
}

std::string ResultsFile::Add(const ResultRecord& record) {
  AppendResult(set_, record);
  if (loadFailed_) return {};  // kept for the recovery file at the end
  try {
    platform::SetLockWaitLimit(ResultsLockWait);
    set_.SaveToFile(file_);
    return {};
  } catch (const std::exception& error) {
    return error.what();
  }
}

ResultsEnd ResultsFile::KeepInRecoveryFile(const history::Packet& records, history::RecoveryPlace place) {
  if (records.RowCount() == 0) return ResultsEnd::Saved;
  try {
    const std::filesystem::path kept = history::KeepRecords(file_, records, place, dataFolder_, ResultLayout);
    keptIn_ = kept;
    notes_ << history::RecordsKeptText(records.RowCount(), kept, ResultLayout) << std::endl;
    return ResultsEnd::RecordsKept;
  } catch (const std::exception& error) {
    notes_ << "tecladim-prova: " << records.RowCount() << " resultados desta execução se perderam: " << error.what()
           << std::endl;
    return ResultsEnd::RecordsLost;
  }
}

ResultsEnd ResultsFile::SaveAtEnd() {
  if (end_) return *end_;
  platform::SetLockWaitLimit(ResultsLockWait);
  if (loadFailed_) {
    end_ = KeepInRecoveryFile(set_.NewRecords(), history::RecoveryPlace::BesideHistory);
    return *end_;
  }
  try {
    set_.SaveToFile(file_);
    end_ = ResultsEnd::Saved;
  } catch (const std::exception& error) {
    notes_ << "tecladim-prova: " << error.what() << std::endl;
    end_ = KeepInRecoveryFile(set_.NewRecords(), history::RecoveryPlace::DataFolder);
  }
  return *end_;
}

}  // namespace tecladim::exam
