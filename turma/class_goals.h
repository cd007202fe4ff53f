#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "classroom/class_report.h"

class QDoubleSpinBox;
class QSpinBox;
class QToolBar;

namespace tecladim::turma {

// The settings key of a class: its opened folders as absolute paths, in any order.
QString ClassGoalsKey(const QStringList& absoluteFolders);

// The goals last set for these folders (as given, made absolute), as the window would show them.
classroom::ClassGoals RememberedGoals(const QStringList& folders);

// The class's goals on the window's filter bar, a TL and an accuracy, remembered for the
// set of folders opened: the same class opened again finds its own goals, another class
// starts from no TL and the trainer's floor.
class ClassGoalsEditor : public QObject {
  Q_OBJECT
 public:
  // Adds its label and two boxes to the end of `bar`.
  explicit ClassGoalsEditor(QToolBar* bar);

  classroom::ClassGoals Goals() const;
  // Shows the goals and remembers them for the folders shown.
  void SetGoals(const classroom::ClassGoals& goals);
  // Shows the goals remembered for these folders (absolute paths); tells no change.
  void ShowFolders(const QStringList& absoluteFolders);

 signals:
  // The instructor changed a goal (already remembered).
  void Changed();

 private:
  void Remember();

  QDoubleSpinBox* tl_ = nullptr;
  QSpinBox* precisao_ = nullptr;
  QString key_;
};

}  // namespace tecladim::turma
