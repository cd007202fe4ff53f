#pragma once
#include <QWidget>

#include "classroom/class_report.h"

class QLabel;
class QTableView;

namespace tecladim::turma {

struct ClassData;
class ExamResultsModel;

// The report's "Simulados" tab: the tests taken in tecladim-prova in the period, a line of
// totals above them and every results file that could not be read.
class ExamResultsPage : public QWidget {
  Q_OBJECT
 public:
  explicit ExamResultsPage(QWidget* parent = nullptr);
  // `data` must outlive the page's use of it.
  void Show(const ClassData& data, const classroom::Period& period, const QString& periodText);

  ExamResultsModel* Model() const { return model_; }
  QTableView* Table() const { return table_; }

 private:
  ExamResultsModel* model_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableView* table_ = nullptr;
};

}  // namespace tecladim::turma
