#include "turma/exports.h"

#include <QSaveFile>

#include <filesystem>
#include <system_error>

#include "exam/result_record.h"
#include "history/ascii_case.h"
#include "history/history_name.h"

namespace tecladim::turma {
namespace {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Whether `file` lies in `folder` or below it, however either was written.
bool Below(const std::filesystem::path& file, const std::filesystem::path& folder) {
  std::error_code ec;
  const std::filesystem::path f = std::filesystem::weakly_canonical(file, ec);
  const std::filesystem::path d = std::filesystem::weakly_canonical(folder, ec);
  auto fi = f.begin();
  for (auto di = d.begin(); di != d.end(); ++di, ++fi) {
    if (di->empty()) continue;  // the trailing separator of "turma/"
    if (fi == f.end() || *fi != *di) return false;
  }
  return true;
}

}  // namespace

QString RefusedOutputText(const QString& output, const ClassData& data) {
  const std::filesystem::path path = PathOf(output);
  const bool historyName =
      EqualIgnoringAsciiCase(path.filename().string(), history::HistoryFileName);
  bool readHere = false;
  for (const classroom::Student& s : data.students) readHere = readHere || SameFile(path, s.file);
  // A student's key statistics are theirs as much as the history is.
  if (EqualIgnoringAsciiCase(path.filename().string(), history::KeyStatsFileName))
    return QStringLiteral(
               "%1 é o arquivo de estatísticas de teclas de um aluno (Teclas.xml): escolha outro arquivo "
               "para a exportação.")
        .arg(output);
  if (historyName || readHere)
    return QStringLiteral("%1 é o histórico de um aluno (Exercicio.xml): escolha outro arquivo para a exportação.")
        .arg(output);
  // The simulados' results are a student's work too.
  bool resultsHere = EqualIgnoringAsciiCase(path.filename().string(), exam::ResultsFileName);
  for (const classroom::StudentResults& s : data.results) resultsHere = resultsHere || SameFile(path, s.file);
  if (!resultsHere) return {};
  return QStringLiteral("%1 são os simulados de um aluno (Simulados.xml): escolha outro arquivo para a exportação.")
      .arg(output);
}

QStringList FoldersWithoutHistory(const ClassData& data) {
  QStringList empty;
  for (const QString& folder : data.folders) {
    std::error_code ec;
    if (!std::filesystem::is_directory(PathOf(folder), ec)) continue;  // told as a folder error
    bool found = false;
    for (const classroom::Student& s : data.students) found = found || Below(s.file, PathOf(folder));
    if (!found) empty << folder;
  }
  return empty;
}

QString NoHistoryText(const QString& folder) { return QStringLiteral("nenhum histórico encontrado em %1").arg(folder); }

bool WriteWhole(const QString& name, std::string_view bytes) {
  QSaveFile file(name);
  // Unbuffered: a write the system cuts short must fail here, not be committed half done.
  return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
         file.commit();
}

}  // namespace tecladim::turma
