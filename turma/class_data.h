#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "classroom/class_loader.h"
#include "classroom/class_report.h"
#include "classroom/exam_results.h"

// What the report windows and documents show: the class as loaded, and the conversions
// between the core's values and Qt's.
namespace tecladim::turma {

struct ClassData {
  QStringList folders;                           // as opened
  std::vector<classroom::Student> students;      // ordered by aluno as NameOrder puts names
  std::vector<classroom::WalkError> walkErrors;  // folders that could not be walked
  std::vector<classroom::StudentResults> results;  // every "Simulados.xml", ordered as the students
  QDateTime loadedAt;
};

inline QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

inline QString PathText(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.generic_u16string());
}

inline std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

// A completion moment as the clock of this machine reads it.
QDateTime ToDateTime(Stamp stamp);
Stamp ToStamp(const QDateTime& moment);

// "70%": the trainer's accuracy floor, for every text of the report that names it.
QString FloorText();

// "1.234,5", or "" for no value.
QString Decimal(const std::optional<double>& value);
// "2 h 05 min", "3 min 34 s", "45 s".
QString Duration(std::int64_t seconds);
// "dd/mm/aaaa hh:mm" or "" for no value.
QString Moment(const std::optional<Stamp>& stamp);

}  // namespace tecladim::turma

namespace tecladim::turma {
// Walks the folders and reads every history and results file on all cores; `progress` as LoadClass tells it.
ClassData LoadClassData(const QStringList& folders, const classroom::LoadProgress& progress = {},
                        const std::atomic<bool>* cancel = nullptr);
// The history directly in `folder` (no walk: a home folder may be large) as one student
// named after the folder, for a student's own report.
ClassData LoadOwnHistory(const QString& folder);
}  // namespace tecladim::turma
