#include "turma/exercise_table_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

#include "exercise/exercise_state.h"
#include "turma/class_data.h"

namespace tecladim::turma {

ExerciseTableModel::ExerciseTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ExerciseTableModel::Show(std::vector<classroom::ExerciseRecord> records) {
  beginResetModel();
  records_ = std::move(records);
  std::reverse(records_.begin(), records_.end());
  figures_.clear();
  figures_.reserve(records_.size());
  for (const auto& r : records_) figures_.push_back(classroom::FiguresOf(r));
  endResetModel();
}

int ExerciseTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int ExerciseTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString ExerciseTableModel::CellText(const classroom::ExerciseRecord& r, const classroom::ExerciseFigures& f,
                                     int column) const {
  auto whole = [](const auto& v) { return v ? QString::number(*v) : QString(); };
  switch (column) {
    case Data: return r.data ? ToDateTime(*r.data).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
    case Licao: return whole(r.licao);
    case Tipo:
      if (!r.licao) return {};
      if (*r.licao < 1 || *r.licao > LessonCount) return QStringLiteral("Sem lição");
      return IsDrill(*r.licao) ? QStringLiteral("Repetição") : QStringLiteral("Texto");
    case Erros: return whole(r.erros);
    case Tempo: return r.tempoS ? Duration(*r.tempoS) : QString();
    case Toques: return whole(f.toques);
    case Tpm: return Decimal(f.tpm);
    case Ppm: return Decimal(f.ppm);
    case Tl: return Decimal(f.tl);
    case Precisao: return Decimal(f.precisao);
    case Meta: return f.meta ? QStringLiteral("%1 s").arg(*f.meta) : QString();
    case PercentualMeta: return f.percentualMeta ? Decimal(f.percentualMeta) + QLatin1Char('%') : QString();
    default: return {};
  }
}

QVariant ExerciseTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::DisplayRole) return CellText(records_[row], figures_[row], index.column());
  if (role == Qt::TextAlignmentRole && index.column() != Data && index.column() != Tipo)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::BackgroundRole && index.column() == Precisao && figures_[row].belowAccuracyFloor)
    return QBrush(QColor(255, 214, 214));
  return {};
}

QVariant ExerciseTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case Data: return QStringLiteral("Data");
    case Licao: return QStringLiteral("Lição");
    case Tipo: return QStringLiteral("Tipo");
    case Erros: return QStringLiteral("Erros");
    case Tempo: return QStringLiteral("Tempo");
    case Toques: return QStringLiteral("Toques");
    case Tpm: return QStringLiteral("TPM");
    case Ppm: return QStringLiteral("PPM");
    case Tl: return QStringLiteral("TL");
    case Precisao: return QStringLiteral("Precisão %");
    case Meta: return QStringLiteral("Meta");
    case PercentualMeta: return QStringLiteral("% da meta");
    default: return {};
  }
}

}  // namespace tecladim::turma
