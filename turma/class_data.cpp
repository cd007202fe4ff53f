#include "turma/class_data.h"

#include <QDir>
#include <QFileInfo>

#include "classroom/figures.h"
#include "exercise/figures.h"
#include "turma/name_order.h"

namespace tecladim::turma {
namespace {
constexpr std::int64_t SecondsPerHour = 3600;
constexpr std::int64_t SecondsPerMinute = 60;
}  // namespace

// Day numbers are the history's own (history/datetime.h), never counted again here.
QDateTime ToDateTime(Stamp stamp) {
  const CivilDate day = CivilFromDays(stamp.Day());
  return QDateTime(QDate(day.year, static_cast<int>(day.month), static_cast<int>(day.day)),
                   QTime::fromMSecsSinceStartOfDay(stamp.MsOfDay()));
}

Stamp ToStamp(const QDateTime& moment) {
  const QDate day = moment.date();
  return MakeStamp(DaysFromCivil({day.year(), static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day())}),
                   moment.time().msecsSinceStartOfDay());
}

QString FloorText() { return QString::fromStdU16String(AccuracyFloorText()); }

QString Decimal(const std::optional<double>& value) {
  return value ? Text(classroom::GroupedDecimalText(*value)) : QString();
}

QString Duration(std::int64_t seconds) {
  const std::int64_t hours = seconds / SecondsPerHour;
  const std::int64_t minutes = seconds % SecondsPerHour / SecondsPerMinute;
  if (hours > 0) return QStringLiteral("%1 h %2 min").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
  // Seconds stay: an exercise of 61 s and one of 119 s must not both read "1 min".
  if (minutes > 0) return QStringLiteral("%1 min %2 s").arg(minutes).arg(seconds % SecondsPerMinute);
  return QStringLiteral("%1 s").arg(seconds);
}

QString Moment(const std::optional<Stamp>& stamp) {
  return stamp ? ToDateTime(*stamp).toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QString();
}

}  // namespace tecladim::turma

namespace tecladim::turma {
ClassData LoadClassData(const QStringList& folders, const classroom::LoadProgress& progress,
                        const std::atomic<bool>* cancel) {
  ClassData data;
  data.folders = folders;
  std::vector<std::filesystem::path> paths;
  for (const QString& folder : folders) paths.push_back(PathOf(folder));
  classroom::ClassFolders found = classroom::FindHistories(paths);
  data.walkErrors = std::move(found.errors);
  data.students = classroom::LoadClass(found.histories, progress, 0, cancel);
  data.results = classroom::LoadClassResults(found.results, 0, cancel);
  const NameOrder order;
  order.Sort(data.students);
  order.Sort(data.results);
  data.loadedAt = QDateTime::currentDateTime();
  return data;
}

ClassData LoadOwnHistory(const QString& folder) {
  ClassData data;
  data.folders = {folder};
  const QDir opened(folder);
  QString aluno = QFileInfo(opened.absolutePath()).fileName();
  if (aluno.isEmpty()) aluno = opened.absolutePath();  // the root folder
  const QString file = opened.absoluteFilePath(Text(std::string(history::HistoryFileName)));
  data.students.push_back(classroom::LoadStudent({aluno.toStdString(), PathOf(file)}));
  data.loadedAt = QDateTime::currentDateTime();
  return data;
}

}  // namespace tecladim::turma
