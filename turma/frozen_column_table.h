#pragma once
#include <QTableView>

namespace tecladim::turma {

// A table whose first column stays put while the others scroll sideways: a second view
// of the same rows shows that column over the left edge, scrolled up and down with the
// table, sharing its selection. Clicks, double clicks and sorting act as on the table.
class FrozenColumnTable : public QTableView {
  Q_OBJECT
 public:
  explicit FrozenColumnTable(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;
  QTableView* FrozenColumn() const { return frozen_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 private:
  void ShowOnlyFirstColumn();
  void PlaceFrozenColumn();
  void SortFromFrozenHeader(int section);

  QTableView* frozen_ = nullptr;
};

}  // namespace tecladim::turma
