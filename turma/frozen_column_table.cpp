#include "turma/frozen_column_table.h"

#include <QHeaderView>
#include <QScrollBar>

namespace tecladim::turma {

FrozenColumnTable::FrozenColumnTable(QWidget* parent) : QTableView(parent), frozen_(new QTableView(this)) {
  frozen_->setObjectName(QStringLiteral("colunaFixa"));
  frozen_->setFocusPolicy(Qt::NoFocus);
  frozen_->verticalHeader()->hide();
  frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  frozen_->horizontalHeader()->setHighlightSections(false);
  frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollMode(ScrollPerPixel);
  frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; border-right: 1px solid palette(mid); }"));
  viewport()->stackUnder(frozen_);
  frozen_->show();

  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
    if (section != 0) return;
    frozen_->setColumnWidth(0, size);
    PlaceFrozenColumn();
  });
  connect(verticalHeader(), &QHeaderView::sectionResized, this,
          [this](int section, int, int size) { frozen_->setRowHeight(section, size); });
  connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this](int section, Qt::SortOrder order) {
    frozen_->horizontalHeader()->setSortIndicatorShown(section == 0);
    frozen_->horizontalHeader()->setSortIndicator(section, order);
  });
  connect(frozen_->horizontalHeader(), &QHeaderView::sectionClicked, this, &FrozenColumnTable::SortFromFrozenHeader);
  connect(frozen_, &QTableView::clicked, this, &QTableView::clicked);
  connect(frozen_, &QTableView::doubleClicked, this, &QTableView::doubleClicked);
}

void FrozenColumnTable::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  frozen_->setModel(model);
  frozen_->setSelectionModel(selectionModel());
  frozen_->setSelectionBehavior(selectionBehavior());
  frozen_->setSelectionMode(selectionMode());
  frozen_->setEditTriggers(NoEditTriggers);
  ShowOnlyFirstColumn();
  connect(model, &QAbstractItemModel::modelReset, this, &FrozenColumnTable::ShowOnlyFirstColumn);
  connect(model, &QAbstractItemModel::layoutChanged, this, &FrozenColumnTable::ShowOnlyFirstColumn);
  PlaceFrozenColumn();
}

void FrozenColumnTable::ShowOnlyFirstColumn() {
  const int columns = model() ? model()->columnCount() : 0;
  for (int c = 1; c < columns; ++c) frozen_->setColumnHidden(c, true);
  frozen_->setAlternatingRowColors(alternatingRowColors());
  frozen_->setWordWrap(wordWrap());
  frozen_->setColumnWidth(0, columnWidth(0));
  PlaceFrozenColumn();
}

void FrozenColumnTable::SortFromFrozenHeader(int section) {
  if (!isSortingEnabled() || section != 0) return;
  const QHeaderView* header = horizontalHeader();
  const bool ascending = header->sortIndicatorSection() == 0 && header->sortIndicatorOrder() == Qt::AscendingOrder;
  sortByColumn(0, ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void FrozenColumnTable::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  PlaceFrozenColumn();
}

void FrozenColumnTable::PlaceFrozenColumn() {
  frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                       viewport()->height() + horizontalHeader()->height());
  frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

// Moving left with the keyboard never hides a cell under the fixed column.
QModelIndex FrozenColumnTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
  if (cursorAction == MoveLeft && current.column() > 0 && visualRect(current).topLeft().x() < frozen_->columnWidth(0)) {
    const int to = horizontalScrollBar()->value() + visualRect(current).topLeft().x() - frozen_->columnWidth(0);
    horizontalScrollBar()->setValue(to);
  }
  return current;
}

// A row reached in the fixed column scrolls up or down only: the sideways place is kept.
void FrozenColumnTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int sideways = horizontalScrollBar()->value();
  QTableView::scrollTo(index, hint);
  if (index.column() == 0) horizontalScrollBar()->setValue(sideways);
}

}  // namespace tecladim::turma
