#include "turma/class_rows.h"

#include "turma/class_table_model.h"

namespace tecladim::turma {

ClassRows::ClassRows(QObject* parent) : QSortFilterProxyModel(parent) { setSortRole(ClassTableModel::SortRole); }

void ClassRows::SetNameFilter(const QString& text) {
  const QString folded = FoldedName(text.trimmed());
  if (folded == filter_) return;
  filter_ = folded;
  invalidateFilter();
}

bool ClassRows::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const QVariant a = left.data(sortRole()), b = right.data(sortRole());
  if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString) {
    const int order = names_.Compare(a.toString(), b.toString());
    // Equal names keep the class's order, the same as the student list and the chart.
    return order != 0 ? order < 0 : left.row() < right.row();
  }
  return QSortFilterProxyModel::lessThan(left, right);
}

bool ClassRows::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (filter_.isEmpty()) return true;
  const QString aluno = sourceModel()->index(sourceRow, ClassTableModel::Aluno, sourceParent).data().toString();
  return FoldedName(aluno).contains(filter_);
}

}  // namespace tecladim::turma
