#include "turma/exam_results_export.h"

#include <filesystem>
#include <ostream>

#include "turma/class_data.h"
#include "turma/exam_results_model.h"
#include "turma/exports.h"
#include "turma/load_errors.h"

namespace tecladim::turma {
namespace {

// Whether `file` lies in `folder` or below it.
bool Below(const std::filesystem::path& file, const std::filesystem::path& folder) {
  std::error_code ec;
  const auto relative =
      std::filesystem::weakly_canonical(file, ec).lexically_relative(std::filesystem::weakly_canonical(folder, ec));
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

bool ReportResultsFailures(const ClassData& data, std::ostream& errors) {
  bool any = false;
  for (const auto& s : data.results) {
    if (!s.Failed()) continue;
    errors << "tecladim-turma: " << s.aluno << ": " << PathText(s.file).toStdString() << ": "
           << ResultsFailureText(s).toStdString() << '\n';
    any = true;
  }
  return any;
}

int ExportExamCsv(const CommandLine& command, std::ostream& errors) {
  const ClassData data = LoadClassData(command.folders);
  if (const QString refused = RefusedOutputText(command.output, data); !refused.isEmpty()) {
    errors << "tecladim-turma: " << refused.toStdString() << '\n';
    return 2;
  }
  bool failed = false;
  for (const auto& e : data.walkErrors) {
    errors << "tecladim-turma: " << PathText(e.folder).toStdString() << ": " << WalkErrorText(e).toStdString() << '\n';
    failed = true;
  }
  for (const QString& folder : data.folders) {
    std::error_code ec;
    if (!std::filesystem::is_directory(PathOf(folder), ec)) continue;  // told as a folder error
    bool found = false;
    for (const auto& s : data.results) found = found || Below(s.file, PathOf(folder));
    if (found) continue;
    errors << "tecladim-turma: nenhum simulado encontrado em " << folder.toStdString() << '\n';
    failed = true;
  }
  if (data.results.empty()) return 1;
  failed = ReportResultsFailures(data, errors) || failed;
  if (!WriteWhole(command.output, classroom::ExamResultsCsv(data.results, {}))) {
    errors << "tecladim-turma: não foi possível gravar " << command.output.toStdString() << '\n';
    return 1;
  }
  return failed ? 1 : 0;
}

}  // namespace tecladim::turma
