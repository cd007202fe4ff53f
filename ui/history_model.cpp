#include "ui/history_model.h"

#include <array>

#include "ui/qtext.h"
#include "ui/window_fonts.h"

namespace tecladim {
namespace {

struct Column {
  history::HistoryField field;
  const char16_t* title;
  Qt::Alignment alignment;
};
// Whole numbers stand at the right of their cell, like every integer field of a grid.
constexpr std::array<Column, 3> Columns{{
    {history::HistoryField::Licao, u"Lição", Qt::AlignRight | Qt::AlignVCenter},
    {history::HistoryField::Data, u"Data", Qt::AlignLeft | Qt::AlignVCenter},
    {history::HistoryField::Erros, u"Erros", Qt::AlignRight | Qt::AlignVCenter},
}};
constexpr int DataColumn = 1;
const QString CurrentMark = QStringLiteral("▶");

}  // namespace

HistoryModel::HistoryModel(history::RecordSet& records, QObject* parent)
    : QAbstractTableModel(parent), records_(records) {
  records_.AddListener(this);
}

HistoryModel::~HistoryModel() { records_.RemoveListener(this); }

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : records_.RowCount(); }

int HistoryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Columns.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= records_.RowCount()) return {};
  const Column& column = Columns[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(records_.DisplayTextAt(index.row(), column.field));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(column.alignment);
    case Qt::FontRole:
      if (index.column() == DataColumn) return TahomaFont(9, Weight::Regular);
      return {};
    default:
      return {};
  }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= static_cast<int>(Columns.size())) return {};
    return QString::fromUtf16(Columns[static_cast<std::size_t>(section)].title);
  }
  return section == records_.CurrentRow() ? CurrentMark : QString();
}

void HistoryModel::BeforeReset() { beginResetModel(); }

void HistoryModel::AfterReset() {
  markedRow_ = history::NoRow;
  endResetModel();
}

void HistoryModel::BeforeInsertRow(int orderIndex) { beginInsertRows({}, orderIndex, orderIndex); }

void HistoryModel::AfterInsertRow(int orderIndex) {
  if (markedRow_ >= orderIndex) ++markedRow_;
  endInsertRows();
}

void HistoryModel::CurrentChanged() {
  const int current = records_.CurrentRow();
  if (markedRow_ != history::NoRow && markedRow_ < records_.RowCount()) {
    emit headerDataChanged(Qt::Vertical, markedRow_, markedRow_);
  }
  if (current != history::NoRow) emit headerDataChanged(Qt::Vertical, current, current);
  markedRow_ = current;
  if (onCurrentChanged) onCurrentChanged();
}

}  // namespace tecladim
