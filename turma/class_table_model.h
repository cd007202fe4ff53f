#pragma once
#include <QAbstractTableModel>

#include <vector>

#include "classroom/class_report.h"
#include "turma/class_data.h"

namespace tecladim::turma {

// One row per student: the figures of the chosen period, the flags, and for a file that
// could not be read its error. Qt::UserRole gives each cell's value for sorting (ClassRows
// puts the texts in NameOrder).
class ClassTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column {
    Aluno,
    Exercicios,
    Licoes,
    LicoesTentadas,
    MaiorLicao,
    UltimaAtividade,
    TempoPraticado,
    Tl,
    Precisao,
    Tendencia,
    NoTempo,
    Metas,
    Situacao,
    Arquivo,
    ColumnCount
  };
  static constexpr int SortRole = Qt::UserRole;

  explicit ClassTableModel(QObject* parent = nullptr);

  // The class and the period to show; `now` and `inactiveDays` decide the inactivity mark,
  // `goals` the lessons done (at its accuracy) and who reached the class's goals.
  void Show(const ClassData* data, const classroom::Period& period, Stamp now, int inactiveDays,
            const classroom::ClassGoals& goals = {});

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  const classroom::Student* StudentAt(int row) const;
  const classroom::StudentSummary& SummaryAt(int row) const { return rows_[static_cast<std::size_t>(row)].summary; }
  // Every row's summary, in the class's order (the rows' order before sorting).
  std::vector<classroom::StudentSummary> Summaries() const;
  bool InactiveAt(int row) const { return rows_[static_cast<std::size_t>(row)].inactive; }
  static QString HeaderText(int column);
  // The text of the cell as the table shows it (also what the PDF prints).
  QString CellText(int row, int column) const;

 private:
  struct Row {
    const classroom::Student* student = nullptr;
    classroom::StudentSummary summary;
    bool inactive = false;
    std::optional<std::int64_t> daysInactive;  // since the last exercise
    bool reachedGoals = false;
  };
  QVariant SortValue(const Row& row, int column) const;
  QString Situation(const Row& row) const;

  std::vector<Row> rows_;
  int inactiveDays_ = 0;
  classroom::ClassGoals goals_;
};

}  // namespace tecladim::turma
