#pragma once
#include <QChart>

#include <vector>

#include "classroom/class_report.h"
#include "classroom/progress_span.h"

// The report's charts, built with Qt Charts for the window and the printed pages alike.
// Each returns a new chart the caller owns (usually by handing it to a QChartView).
namespace tecladim::turma {

// tl (left axis) and precisao (right axis, with the 70% line) over the completion dates: each
// exercise a faint point, each week's median a line over them.
QChart* ProgressChart(const std::vector<classroom::ExerciseRecord>& records);

// Exercises done per lesson over the 192 lessons, drills and passages as two series.
QChart* LessonsChart(const std::vector<classroom::ExerciseRecord>& records);

struct StudentBar {
  QString aluno;
  double value = 0;
};
// One horizontal bar per student, top to bottom in the order given.
QChart* StudentBarsChart(const QString& title, const QString& axisTitle, const std::vector<StudentBar>& bars,
                         const classroom::RoundScale& scale);

// The class chart's two halves: the highest lesson reached, and tl, per student, from the
// students' summaries. Students whose file failed are left out.
struct ClassBars {
  std::vector<StudentBar> lessons;
  std::vector<StudentBar> tl;
};
ClassBars MakeClassBars(const std::vector<classroom::Student>& students,
                        const std::vector<classroom::StudentSummary>& summaries);
QChart* ClassLessonsChart(const std::vector<StudentBar>& bars);
// The TL scale of the whole class: every page of a class chart split over pages keeps it.
classroom::RoundScale ClassTlScale(const std::vector<StudentBar>& bars);
QChart* ClassTlChart(const std::vector<StudentBar>& bars, const classroom::RoundScale& scale);

}  // namespace tecladim::turma
