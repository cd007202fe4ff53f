#pragma once
#include <QAbstractTableModel>
#include <QString>

#include <vector>

#include "classroom/class_report.h"
#include "classroom/exam_results.h"

namespace tecladim::turma {

struct ClassData;

// The class's simulados in the period: one row per test, by student then date; a results
// file that could not be read is one row of its student with the reason.
class ExamResultsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { Aluno, Perfil, Data, Tb, Erros, Tl, Nota, Apto, ColumnCount };

  explicit ExamResultsModel(QObject* parent = nullptr);
  // `data` must outlive the model's use of it.
  void Show(const ClassData* data, const classroom::Period& period);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  QString CellText(int row, int column) const;
  // Whether the row is a results file that could not be read (its reason in Perfil).
  bool FailedAt(int row) const;
  // The tests shown, the students they belong to, and how many passed.
  int Tests() const { return tests_; }
  int StudentsWithTests() const { return studentsWithTests_; }
  int Passed() const { return passed_; }
  int FailedFiles() const { return failedFiles_; }

 private:
  struct Row {
    const classroom::StudentResults* student;
    const exam::ResultRecord* result;  // null for a file that could not be read
  };
  std::vector<Row> rows_;
  int tests_ = 0;
  int studentsWithTests_ = 0;
  int passed_ = 0;
  int failedFiles_ = 0;
};

// "Arquivo incompleto ou danificado (…)", worded as for a history, the file named as the
// exam program's; empty for a file that was read.
QString ResultsFailureText(const classroom::StudentResults& student);

}  // namespace tecladim::turma
