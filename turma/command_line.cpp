#include "turma/command_line.h"

#include <optional>

#include <fstream>
#include <ostream>

#include "classroom/csv.h"
#include "history/history_name.h"
#include "turma/class_data.h"
#include "turma/exam_results_export.h"
#include "turma/class_goals.h"
#include "turma/exports.h"
#include "turma/load_errors.h"
#include "turma/report_document.h"

namespace tecladim::turma {

const char* const UsageText =
    "Uso: tecladim-turma [PASTA...]\n"
    "     tecladim-turma --csv ARQUIVO PASTA...\n"
    "     tecladim-turma --pdf ARQUIVO PASTA...\n"
    "     tecladim-turma --csv-provas ARQUIVO PASTA...\n"
    "     tecladim-turma --csv-teclas ARQUIVO PASTA...\n"
    "     tecladim-turma --meu-desempenho [PASTA]\n"
    "Lê o Exercicio.xml de cada aluno nas pastas (em qualquer profundidade) e mostra\n"
    "o relatório da turma, ou o grava em CSV ou PDF sem abrir janela; --csv-provas\n"
    "grava em CSV os simulados (Simulados.xml) de cada aluno, --csv-teclas os acertos e\n"
    "erros de cada tecla (Teclas.xml). --meu-desempenho mostra o relatório do próprio\n"
    "aluno, com o histórico da PASTA (a pasta atual, se omitida).\n";

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine c;
  if (arguments.isEmpty()) return c;
  const QString& first = arguments.first();
  if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
    c.mode = CommandLine::Mode::Usage;
    return c;
  }
  if (first == QStringLiteral("--meu-desempenho")) {
    c.mode = CommandLine::Mode::OwnReport;
    if (arguments.size() > 2) {
      c.mode = CommandLine::Mode::Usage;
      c.error = QStringLiteral("%1 aceita uma só pasta.").arg(first);
      return c;
    }
    c.folders = {arguments.size() == 2 ? arguments[1] : QStringLiteral(".")};
    return c;
  }
  if (first == QStringLiteral("--csv") || first == QStringLiteral("--pdf") || first == QStringLiteral("--csv-provas") ||
      first == QStringLiteral("--csv-teclas")) {
    c.mode = first == QStringLiteral("--csv")          ? CommandLine::Mode::Csv
             : first == QStringLiteral("--pdf")        ? CommandLine::Mode::Pdf
             : first == QStringLiteral("--csv-provas") ? CommandLine::Mode::CsvExams
                                                       : CommandLine::Mode::KeyCsv;
    if (arguments.size() < 3) {
      c.mode = CommandLine::Mode::Usage;
      c.error = QStringLiteral("%1 pede um arquivo de saída e ao menos uma pasta.").arg(first);
      return c;
    }
    c.output = arguments[1];
    c.folders = arguments.mid(2);
    return c;
  }
  for (const QString& a : arguments) {
    if (a.startsWith(QLatin1Char('-'))) {
      c.mode = CommandLine::Mode::Usage;
      c.error = QStringLiteral("Opção desconhecida: %1").arg(a);
      return c;
    }
  }
  c.folders = arguments;
  return c;
}

namespace {

// Every folder and file that could not be read, one line each; true when there was any.
bool ReportFailures(const ClassData& data, std::ostream& errors) {
  bool any = false;
  for (const auto& e : data.walkErrors) {
    errors << "tecladim-turma: " << PathText(e.folder).toStdString() << ": " << WalkErrorText(e).toStdString() << '\n';
    any = true;
  }
  for (const auto& s : data.students) {
    if (!s.Failed()) continue;
    errors << "tecladim-turma: " << s.aluno << ": " << PathText(s.file).toStdString() << ": "
           << FailureText(s).toStdString() << '\n';
    any = true;
  }
  return any;
}

}  // namespace

// What stops an export before anything is written: an output that is a student's history
// (status 2, nothing written), or opened folders without any history (reported, status 1).
std::optional<int> CheckExport(const CommandLine& command, const ClassData& data, std::ostream& errors) {
  if (const QString refused = RefusedOutputText(command.output, data); !refused.isEmpty()) {
    errors << "tecladim-turma: " << refused.toStdString() << '\n';
    return 2;
  }
  const QStringList empty = FoldersWithoutHistory(data);
  for (const QString& folder : empty) errors << "tecladim-turma: " << NoHistoryText(folder).toStdString() << '\n';
  if (!empty.isEmpty() && data.students.empty()) return 1;
  return std::nullopt;
}

int ExportCsv(const CommandLine& command, std::ostream& errors) {
  ClassData data = LoadClassData(command.folders);
  if (const auto stop = CheckExport(command, data, errors)) return *stop;
  const bool failed = ReportFailures(data, errors) || !FoldersWithoutHistory(data).isEmpty();
  if (command.mode == CommandLine::Mode::KeyCsv) classroom::LoadKeyStats(data.students);
  const std::string csv = command.mode == CommandLine::Mode::KeyCsv ? classroom::KeyCsv(data.students, {})
                                                                    : classroom::ClassCsv(data.students, {});
  if (command.mode == CommandLine::Mode::KeyCsv) {
    // A damaged key statistics file loses that student's keys, never the export.
    for (const auto& s : data.students)
      if (!s.Failed() && s.keyStats == classroom::KeyStatsState::Failed)
        errors << "tecladim-turma: " << s.aluno << ": " << history::KeyStatsFileName << ": " << s.keyStatsError << '\n';
  }
  if (!WriteWhole(command.output, csv)) {
    errors << "tecladim-turma: não foi possível gravar " << command.output.toStdString() << '\n';
    return 1;
  }
  return failed ? 1 : 0;
}

int ExportPdf(const CommandLine& command, std::ostream& errors) {
  ClassData data = LoadClassData(command.folders);
  if (const auto stop = CheckExport(command, data, errors)) return *stop;
  classroom::LoadKeyStats(data.students);                          // the key pages
  const bool resultsFailed = ReportResultsFailures(data, errors);  // the simulados' page shows them too
  const bool failed = ReportFailures(data, errors) || resultsFailed || !FoldersWithoutHistory(data).isEmpty();
  ReportOptions options;
  options.periodText = QStringLiteral("Tudo");
  options.now = QDateTime::currentDateTime();
  options.goals = RememberedGoals(command.folders);
  if (!WriteReportPdf(command.output, data, options)) {
    errors << "tecladim-turma: não foi possível gravar " << command.output.toStdString() << '\n';
    return 1;
  }
  return failed ? 1 : 0;
}

}  // namespace tecladim::turma
