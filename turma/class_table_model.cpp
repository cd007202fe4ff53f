#include "turma/class_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "exercise/figures.h"
#include "turma/load_errors.h"

namespace tecladim::turma {
namespace {
const QColor WarningBackground(255, 214, 214);
const QColor ErrorText(170, 0, 0);
const QColor InactiveText(128, 128, 128);
const QColor GoalReachedText(0, 120, 40);
}  // namespace

ClassTableModel::ClassTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ClassTableModel::Show(const ClassData* data, const classroom::Period& period, Stamp now, int inactiveDays,
                           const classroom::ClassGoals& goals) {
  beginResetModel();
  rows_.clear();
  inactiveDays_ = inactiveDays;
  goals_ = goals;
  if (data) {
    rows_.reserve(data->students.size());
    for (const classroom::Student& s : data->students) {
      Row row;
      row.student = &s;
      if (!s.Failed()) {
        row.summary = classroom::Summarize(s, period, goals.precisao);
        row.reachedGoals = classroom::ReachedGoals(row.summary, goals);
        row.inactive = classroom::InactiveFor(s, inactiveDays, now);
        row.daysInactive = classroom::DaysWithoutActivity(s, now);
      }
      rows_.push_back(std::move(row));
    }
  }
  endResetModel();
}

std::vector<classroom::StudentSummary> ClassTableModel::Summaries() const {
  std::vector<classroom::StudentSummary> summaries;
  summaries.reserve(rows_.size());
  for (const Row& row : rows_) summaries.push_back(row.summary);
  return summaries;
}

int ClassTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ClassTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const classroom::Student* ClassTableModel::StudentAt(int row) const {
  if (row < 0 || row >= rowCount()) return nullptr;
  return rows_[static_cast<std::size_t>(row)].student;
}

QString ClassTableModel::HeaderText(int column) {
  switch (column) {
    case Aluno: return QStringLiteral("Aluno");
    case Exercicios: return QStringLiteral("Exercícios");
    case Licoes: return QStringLiteral("Lições feitas");
    case LicoesTentadas: return QStringLiteral("Só tentadas");
    case MaiorLicao: return QStringLiteral("Maior lição");
    case UltimaAtividade: return QStringLiteral("Última atividade");
    case TempoPraticado: return QStringLiteral("Tempo praticado");
    case Tl: return QStringLiteral("TL (mediana)");
    case Precisao: return QStringLiteral("Precisão %");
    case Tendencia: return QStringLiteral("Tendência TL");
    case NoTempo: return QStringLiteral("Textos no tempo");
    case Metas: return QStringLiteral("Metas");
    case Situacao: return QStringLiteral("Situação");
    case Arquivo: return QStringLiteral("Arquivo");
    default: return {};
  }
}

QString ClassTableModel::Situation(const Row& row) const {
  if (row.student->Failed()) return FailureText(*row.student);
  QStringList marks;
  if (row.summary.recentBelowFloor) marks << QStringLiteral("Precisão abaixo de ") + FloorText();
  // The student's own count of days, not the threshold that marked them.
  if (row.inactive) {
    if (!row.daysInactive) {
      marks << QStringLiteral("Sem atividade");
    } else {
      marks << (*row.daysInactive == 1 ? QStringLiteral("Sem atividade há 1 dia")
                                       : QStringLiteral("Sem atividade há %1 dias").arg(*row.daysInactive));
    }
  }
  return marks.join(QStringLiteral("; "));
}

QString ClassTableModel::CellText(int r, int column) const {
  const Row& row = rows_[static_cast<std::size_t>(r)];
  const classroom::StudentSummary& s = row.summary;
  const bool failed = row.student->Failed();
  switch (column) {
    case Aluno: return Text(row.student->aluno);
    case Arquivo: return PathText(row.student->file);
    case Situacao: return Situation(row);
    default: break;
  }
  if (failed) return {};
  switch (column) {
    case Exercicios: return QString::number(s.exercises);
    case Licoes: return QString::number(s.lessonsCompleted);
    case LicoesTentadas: return s.lessonsTried ? QString::number(s.lessonsTried) : QString();
    case MaiorLicao: return s.highestLesson ? QString::number(*s.highestLesson) : QString();
    case UltimaAtividade: return Moment(s.lastActivity);
    case TempoPraticado: return s.exercises ? Duration(s.secondsPractised) : QString();
    case Tl: return Decimal(s.recentTl);
    case Precisao: return Decimal(s.recentPrecisao);
    case Tendencia:
      if (!s.trendTl) return {};
      return (*s.trendTl > 0 ? QStringLiteral("▲ +") : *s.trendTl < 0 ? QStringLiteral("▼ ") : QStringLiteral("= ")) +
             Decimal(s.trendTl);
    case NoTempo:
      return s.timedPassages ? QStringLiteral("%1 de %2").arg(s.withinTarget).arg(s.timedPassages) : QString();
    case Metas:
      if (!s.recentTl) return {};  // nothing to judge
      return row.reachedGoals ? QStringLiteral("✔ sim") : QStringLiteral("não");
    default: return {};
  }
}

QVariant ClassTableModel::SortValue(const Row& row, int column) const {
  const classroom::StudentSummary& s = row.summary;
  auto number = [](const auto& optional) { return optional ? QVariant(static_cast<double>(*optional)) : QVariant(-1e300); };
  switch (column) {
    case Exercicios: return static_cast<qulonglong>(s.exercises);
    case Licoes: return static_cast<qulonglong>(s.lessonsCompleted);
    case LicoesTentadas: return static_cast<qulonglong>(s.lessonsTried);
    case Metas: return row.reachedGoals ? 2 : s.recentTl ? 1 : 0;
    case MaiorLicao: return number(s.highestLesson);
    case UltimaAtividade: return s.lastActivity ? QVariant(static_cast<qlonglong>(s.lastActivity->ms)) : QVariant(LLONG_MIN);
    case TempoPraticado: return static_cast<qlonglong>(s.secondsPractised);
    case Tl: return number(s.recentTl);
    case Precisao: return number(s.recentPrecisao);
    case Tendencia: return number(s.trendTl);
    case NoTempo: return s.timedPassages ? static_cast<double>(s.withinTarget) / static_cast<double>(s.timedPassages) : -1.0;
    default: return CellText(static_cast<int>(&row - rows_.data()), column);
  }
}

QVariant ClassTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole: return CellText(index.row(), column);
    case SortRole: return SortValue(row, column);
    case Qt::ToolTipRole:
      if (row.student->Failed()) return PathText(row.student->file) + QLatin1Char('\n') + FailureText(*row.student);
      if (column == Tl) return QStringLiteral("Toques líquidos por minuto: mediana dos últimos 10 exercícios");
      if (column == Precisao) return QStringLiteral("Média dos últimos 10 exercícios");
      if (column == Tendencia) return QStringLiteral("TL dos últimos 10 exercícios menos a dos 10 anteriores");
      if (column == Licoes)
        return QStringLiteral("Lições com ao menos um exercício de precisão %1% ou mais").arg(Decimal(goals_.precisao));
      if (column == LicoesTentadas)
        return QStringLiteral("Lições tentadas sem chegar a %1% de precisão").arg(Decimal(goals_.precisao));
      if (column == Metas)
        return (goals_.tl ? QStringLiteral("TL %1 ou mais e ").arg(Decimal(goals_.tl)) : QString()) +
               QStringLiteral("precisão %1% ou mais nos últimos 10 exercícios").arg(Decimal(goals_.precisao));
      return {};
    case Qt::TextAlignmentRole:
      if (column == Aluno || column == Situacao || column == Arquivo) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (column == Precisao && row.summary.recentBelowFloor) return QBrush(WarningBackground);
      return {};
    case Qt::ForegroundRole:
      if (row.student->Failed()) return QBrush(ErrorText);
      if (row.inactive) return QBrush(InactiveText);
      if (column == Situacao && row.summary.recentBelowFloor) return QBrush(ErrorText);
      if (column == Metas && row.reachedGoals) return QBrush(GoalReachedText);
      return {};
    case Qt::FontRole:
      if (row.inactive && !row.student->Failed()) {
        QFont font;
        font.setItalic(true);
        return font;
      }
      return {};
    default: return {};
  }
}

QVariant ClassTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return HeaderText(section);
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace tecladim::turma
