#pragma once
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "classroom/class_report.h"
#include "classroom/key_report.h"
#include "turma/class_data.h"

class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QTableWidget;

namespace tecladim::turma {

class KeyboardView;
class KeyStatsReading;

// What the "Teclas" tab and the printed key pages say of one student's keys or the class's.
struct KeysShown {
  QString title;      // "ana" or "Turma inteira"
  QString situation;  // rich text: how many exercises, or why there is nothing
  std::vector<classroom::KeyTotals> keys;
  std::vector<classroom::ClassKey> classKeys;  // the class's, with who misses each; empty for a student
  classroom::PracticeAdvice advice;
};

// The keys of a student (by aluno) or, for an empty name, of the whole class, in the period;
// the class's keys summed already (classroom::ClassKeys) are taken as they are.
KeysShown MakeKeysShown(const ClassData& data, const QString& aluno, const classroom::Period& period,
                        const QString& periodText, const std::vector<classroom::ClassKey>* classKeys = nullptr);

// "Teclas a treinar" and the lessons proposed, as rich text.
QString AdviceHtml(const classroom::PracticeAdvice& advice);

// The "Teclas" tab: the keyboard coloured by error rate, the table of keys, the chart per
// finger and the keys to practise, for one student or the whole class.
class KeysPage : public QWidget {
  Q_OBJECT
 public:
  // The class's key statistics are read by `reading`, on its thread, when the class's keys are
  // first shown; one student's are read here.
  explicit KeysPage(KeyStatsReading* reading, QWidget* parent = nullptr);
  ~KeysPage() override;

  void Show(ClassData* data, const classroom::Period& period, const QString& periodText);
  // Shows this student's keys; an empty name shows the class's.
  void SelectStudent(const QString& aluno);
  // The class's students are about to be replaced or freed: a sum of their keys under way
  // keeps them alive until it ends, and its result is dropped.
  void ClassLeaving();

  KeyboardView* Keyboard() const { return keyboard_; }
  QTableWidget* Table() const { return table_; }
  QString SituationText() const;
  QString AdviceText() const;
  // While the class's key statistics are read: "Lendo as estatísticas de teclas…" and the count.
  bool ShowsReading() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FitAdvice();
  // Built when shown: a large class's keys take a moment to add up.
  void Rebuild();
  void ShowReading();
  // The class's keys are summed on a pool thread: a thousand students' exercises take a second.
  struct ClassSum;
  void StartSum();
  void FinishSum(const std::shared_ptr<ClassSum>& sum);
  bool stale_ = false;
  std::shared_ptr<ClassSum> sum_;
  std::vector<std::weak_ptr<ClassSum>> sums_;                  // every sum that may still read the class's students
  std::optional<std::vector<classroom::ClassKey>> classKeys_;  // summed over classKeysPeriod_
  classroom::Period classKeysPeriod_;

  KeyStatsReading* reading_;
  ClassData* data_ = nullptr;
  classroom::Period period_;
  QString periodText_;
  QComboBox* whose_ = nullptr;
  QLabel* situation_ = nullptr;
  QProgressBar* readingBar_ = nullptr;
  KeyboardView* keyboard_ = nullptr;
  QLabel* advice_ = nullptr;
  QTableWidget* table_ = nullptr;
  QChartView* fingers_ = nullptr;
};

}  // namespace tecladim::turma
