#include "turma/exam_results_model.h"

#include <QBrush>
#include <QColor>

#include "turma/class_data.h"
#include "turma/load_errors.h"

namespace tecladim::turma {

ExamResultsModel::ExamResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ExamResultsModel::Show(const ClassData* data, const classroom::Period& period) {
  beginResetModel();
  rows_.clear();
  tests_ = studentsWithTests_ = passed_ = failedFiles_ = 0;
  for (const classroom::StudentResults& s : data->results) {
    if (s.Failed()) {
      rows_.push_back({&s, nullptr});
      ++failedFiles_;
      continue;
    }
    const auto taken = classroom::InPeriod(s, period);
    for (const exam::ResultRecord* r : taken) {
      rows_.push_back({&s, r});
      passed_ += r->apto ? 1 : 0;
    }
    tests_ += static_cast<int>(taken.size());
    studentsWithTests_ += taken.empty() ? 0 : 1;
  }
  endResetModel();
}

int ExamResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ExamResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

bool ExamResultsModel::FailedAt(int row) const { return rows_[static_cast<std::size_t>(row)].result == nullptr; }

QString ExamResultsModel::CellText(int row, int column) const {
  const Row& at = rows_[static_cast<std::size_t>(row)];
  if (column == Aluno) return Text(at.student->aluno);
  if (!at.result) return column == Perfil ? ResultsFailureText(*at.student) : QString();
  const exam::ResultRecord& r = *at.result;
  switch (column) {
    case Perfil: return Text(r.perfil);
    case Data: return Moment(classroom::TakenAt(r));
    case Tb: return QString::number(r.tb);
    case Erros: return QString::number(r.erros);
    case Tl: return QString::number(r.tl);
    case Nota: return Text(classroom::GradeText(r));
    case Apto: return Text(std::string(classroom::VerdictText(r)));
    default: return {};
  }
}

QVariant ExamResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const bool failed = FailedAt(index.row());
  if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
  // The reader's error texts can be long: the tooltip shows them whole.
  if (role == Qt::ToolTipRole && failed) return CellText(index.row(), Perfil);
  if (role == Qt::ForegroundRole && failed) return QBrush(QColor(170, 0, 0));
  if (role == Qt::TextAlignmentRole && index.column() >= Tb && index.column() <= Nota)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::BackgroundRole && index.column() == Apto && !failed)
    return QBrush(rows_[static_cast<std::size_t>(index.row())].result->apto ? QColor(214, 240, 214)
                                                                            : QColor(255, 214, 214));
  return {};
}

QVariant ExamResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case Aluno: return QStringLiteral("Aluno");
    case Perfil: return QStringLiteral("Perfil");
    case Data: return QStringLiteral("Data");
    case Tb: return QStringLiteral("TB");
    case Erros: return QStringLiteral("Erros");
    case Tl: return QStringLiteral("TL");
    case Nota: return QStringLiteral("Nota");
    case Apto: return QStringLiteral("APTO");
    default: return {};
  }
}

QString ResultsFailureText(const classroom::StudentResults& student) {
  if (!student.Failed()) return {};
  if (student.failure == classroom::LoadFailure::NotHistory)
    return QStringLiteral("Arquivo não é um arquivo de simulados do Tecladim (%1)").arg(Text(student.error));
  // Opening and damage are told as for a history.
  classroom::Student asFile{student.aluno, student.file, student.error, {}, student.failure, student.cause};
  return FailureText(asFile);
}

}  // namespace tecladim::turma
