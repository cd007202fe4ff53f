#pragma once
#include <QAbstractTableModel>
#include <functional>
#include <string_view>

#include "history/record_set.h"

namespace tecladim {

// The history grid's view of the record set (the data link `DataSource1`): the columns
// licao, data and erros, one row per record in `data` order, the current record marked in
// the indicator column. It follows the set's own notices, so a post inserts one row and
// never rebuilds a history of a million records.
class HistoryModel final : public QAbstractTableModel, private history::RecordSetListener {
  Q_OBJECT
 public:
  static constexpr int LicaoWidth = 27;
  static constexpr int DataWidth = 92;
  static constexpr int ErrosWidth = 38;

  HistoryModel(history::RecordSet& records, QObject* parent);
  ~HistoryModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  std::function<void()> onCurrentChanged;  // the field texts follow the current record

 private:
  void BeforeReset() override;
  void AfterReset() override;
  void BeforeInsertRow(int orderIndex) override;
  void AfterInsertRow(int orderIndex) override;
  void CurrentChanged() override;

  history::RecordSet& records_;
  int markedRow_ = history::NoRow;
};

}  // namespace tecladim
