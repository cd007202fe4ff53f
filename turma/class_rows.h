#pragma once
#include <QSortFilterProxyModel>

#include "turma/name_order.h"

namespace tecladim::turma {

// The class table's rows as shown: sorted by the clicked column (names in NameOrder, the
// figures by value) and kept to the students whose name contains the filter, whatever
// the accents and case ("joao" finds "João").
class ClassRows : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  explicit ClassRows(QObject* parent = nullptr);

  void SetNameFilter(const QString& text);
  QString NameFilter() const { return filter_; }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  NameOrder names_;
  QString filter_;  // folded
};

}  // namespace tecladim::turma
