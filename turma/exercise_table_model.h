#pragma once
#include <QAbstractTableModel>

#include <vector>

#include "classroom/figures.h"

namespace tecladim::turma {

// One student's exercises in the period, newest first, with their figures.
class ExerciseTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { Data, Licao, Tipo, Erros, Tempo, Toques, Tpm, Ppm, Tl, Precisao, Meta, PercentualMeta, ColumnCount };

  explicit ExerciseTableModel(QObject* parent = nullptr);
  // `records` in ascending `data`.
  void Show(std::vector<classroom::ExerciseRecord> records);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QString CellText(const classroom::ExerciseRecord& r, const classroom::ExerciseFigures& f, int column) const;

  std::vector<classroom::ExerciseRecord> records_;
  std::vector<classroom::ExerciseFigures> figures_;
};

}  // namespace tecladim::turma
