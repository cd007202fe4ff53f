#include "turma/report_charts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <map>

#include "exercise/exercise_state.h"
#include "turma/class_data.h"

namespace tecladim::turma {
namespace {

const QColor TlColor(31, 119, 180);
const QColor PrecisaoColor(44, 160, 44);
const QColor FloorColor(214, 39, 40);
const QColor DrillColor(31, 119, 180);
const QColor PassageColor(255, 127, 14);
constexpr double FullPercent = 100.0;
constexpr int PointsShownUpTo = 60;  // beyond this many exercises the markers only clutter
constexpr qint64 MsPerHour = 3'600'000;
constexpr std::size_t BarLabelsUpTo = 60;

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QFont font = chart->titleFont();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.15);
  chart->setTitleFont(font);
  return chart;
}

void ShowEmpty(QChart* chart) { chart->setTitle(chart->title() + QStringLiteral(" — sem exercícios no período")); }

}  // namespace

QChart* ProgressChart(const std::vector<classroom::ExerciseRecord>& records) {
  QChart* chart = NewChart(QStringLiteral("Velocidade (TL) e precisão ao longo do tempo"));
  auto* tl = new QLineSeries;
  tl->setName(QStringLiteral("TL (toques líquidos por minuto)"));
  tl->setColor(TlColor);
  auto* precisao = new QLineSeries;
  precisao->setName(QStringLiteral("Precisão %"));
  precisao->setColor(PrecisaoColor);
  double maxTl = 0, minPrecisao = FullPercent;
  qint64 first = 0, last = 0;
  bool any = false;
  for (const auto& r : records) {
    if (!r.data) continue;
    const classroom::ExerciseFigures f = classroom::FiguresOf(r);
    const auto x = static_cast<qreal>(ToDateTime(*r.data).toMSecsSinceEpoch());
    if (f.tl) {
      tl->append(x, *f.tl);
      maxTl = std::max(maxTl, *f.tl);
    }
    if (f.precisao) {
      precisao->append(x, *f.precisao);
      minPrecisao = std::min(minPrecisao, *f.precisao);
    }
    if (f.tl || f.precisao) {
      if (!any) first = static_cast<qint64>(x);
      last = static_cast<qint64>(x);
      any = true;
    }
  }
  const bool points = tl->count() <= PointsShownUpTo;
  tl->setPointsVisible(points);
  precisao->setPointsVisible(points);
  chart->addSeries(tl);
  chart->addSeries(precisao);

  auto* floor = new QLineSeries;
  floor->setName(QStringLiteral("Mínimo de %1").arg(FloorText()));
  QPen pen(FloorColor);
  pen.setStyle(Qt::DashLine);
  floor->setPen(pen);
  if (!any) {
    const QDateTime now = QDateTime::currentDateTime();
    first = now.addDays(-7).toMSecsSinceEpoch();
    last = now.toMSecsSinceEpoch();
    ShowEmpty(chart);
  }
  if (first == last) {  // one day's single exercise still gets a span to stand in
    first -= MsPerHour;
    last += MsPerHour;
  }
  floor->append(static_cast<qreal>(first), classroom::AccuracyFloor);
  floor->append(static_cast<qreal>(last), classroom::AccuracyFloor);
  chart->addSeries(floor);

  auto* time = new QDateTimeAxis;
  time->setFormat(QStringLiteral("dd/MM/yy"));
  time->setTitleText(QStringLiteral("Data"));
  time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
  time->setTickCount(6);
  chart->addAxis(time, Qt::AlignBottom);
  auto* tlAxis = new QValueAxis;
  tlAxis->setTitleText(QStringLiteral("TL"));
  tlAxis->setRange(0, std::max(50.0, maxTl * 1.1));
  tlAxis->setLabelFormat(QStringLiteral("%.0f"));
  tlAxis->applyNiceNumbers();
  tlAxis->setLinePenColor(TlColor);
  chart->addAxis(tlAxis, Qt::AlignLeft);
  auto* precisaoAxis = new QValueAxis;
  precisaoAxis->setTitleText(QStringLiteral("Precisão %"));
  // The 70% line always shows, with room below it.
  precisaoAxis->setRange(std::min(60.0, std::floor(minPrecisao / 10) * 10), FullPercent);
  precisaoAxis->setLabelFormat(QStringLiteral("%.0f"));
  precisaoAxis->setLinePenColor(PrecisaoColor);
  chart->addAxis(precisaoAxis, Qt::AlignRight);
  for (QLineSeries* s : {tl, precisao, floor}) s->attachAxis(time);
  tl->attachAxis(tlAxis);
  precisao->attachAxis(precisaoAxis);
  floor->attachAxis(precisaoAxis);
  return chart;
}

QChart* LessonsChart(const std::vector<classroom::ExerciseRecord>& records) {
  QChart* chart = NewChart(QStringLiteral("Lições alcançadas (exercícios por lição)"));
  std::map<int, int> counts;
  for (const auto& r : records)
    if (r.licao && *r.licao >= 1 && *r.licao <= LessonCount) ++counts[*r.licao];
  auto* drills = new QScatterSeries;
  drills->setName(QStringLiteral("Repetição (lições 1 a 156)"));
  drills->setColor(DrillColor);
  drills->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  drills->setMarkerSize(7);
  auto* passages = new QScatterSeries;
  passages->setName(QStringLiteral("Texto (lições 157 a 192)"));
  passages->setColor(PassageColor);
  passages->setMarkerSize(8);
  int most = 1;
  for (const auto& [lesson, count] : counts) {
    (IsDrill(lesson) ? drills : passages)->append(lesson, count);
    most = std::max(most, count);
  }
  if (counts.empty()) ShowEmpty(chart);
  chart->addSeries(drills);
  chart->addSeries(passages);
  auto* lessons = new QValueAxis;
  lessons->setRange(0, LessonCount);
  lessons->setTickType(QValueAxis::TicksDynamic);
  lessons->setTickAnchor(0);
  lessons->setTickInterval(12);
  lessons->setLabelFormat(QStringLiteral("%d"));
  lessons->setTitleText(QStringLiteral("Lição (a partir de 157, textos)"));
  chart->addAxis(lessons, Qt::AlignBottom);
  auto* exercises = new QValueAxis;
  exercises->setRange(0, most + 1);
  exercises->setLabelFormat(QStringLiteral("%d"));
  exercises->setTitleText(QStringLiteral("Exercícios"));
  if (most + 1 <= 10) exercises->setTickCount(most + 2);
  chart->addAxis(exercises, Qt::AlignLeft);
  for (QScatterSeries* s : {drills, passages}) {
    s->attachAxis(lessons);
    s->attachAxis(exercises);
  }
  return chart;
}

QChart* StudentBarsChart(const QString& title, const QString& axisTitle, const std::vector<StudentBar>& bars,
                         double maximum) {
  QChart* chart = NewChart(title);
  auto* set = new QBarSet(axisTitle);
  set->setColor(TlColor);
  QStringList names;
  // Horizontal bars grow upward from the first category: the list is reversed so that the
  // first student stands at the top.
  for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
    *set << it->value;
    names << it->aluno;
  }
  auto* series = new QHorizontalBarSeries;
  series->append(set);
  // Beyond a few dozen bars the values no longer fit beside them; the axis still reads.
  series->setLabelsVisible(bars.size() <= BarLabelsUpTo);
  series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));
  series->setBarWidth(0.7);
  chart->addSeries(series);
  auto* students = new QBarCategoryAxis;
  students->append(names);
  chart->addAxis(students, Qt::AlignLeft);
  series->attachAxis(students);
  auto* values = new QValueAxis;
  values->setRange(0, std::max(1.0, maximum));
  // The lesson axis ends at the last lesson; a speed axis reads better on round ticks.
  if (maximum != LessonCount) values->applyNiceNumbers();
  values->setLabelFormat(QStringLiteral("%.0f"));
  values->setTitleText(axisTitle);
  chart->addAxis(values, Qt::AlignBottom);
  series->attachAxis(values);
  chart->legend()->hide();
  if (bars.empty()) ShowEmpty(chart);
  return chart;
}

ClassBars MakeClassBars(const std::vector<classroom::Student>& students,
                        const std::vector<classroom::StudentSummary>& summaries) {
  ClassBars bars;
  for (std::size_t i = 0; i < students.size(); ++i) {
    if (students[i].Failed()) continue;
    const QString aluno = Text(students[i].aluno);
    bars.lessons.push_back({aluno, static_cast<double>(summaries[i].highestLesson.value_or(0))});
    // Rounded to a whole number so the bar's label stays short.
    bars.tl.push_back({aluno, std::round(summaries[i].recentTl.value_or(0))});
  }
  return bars;
}

QChart* ClassLessonsChart(const std::vector<StudentBar>& bars) {
  return StudentBarsChart(QStringLiteral("Lição alcançada por aluno"), QStringLiteral("Maior lição"), bars,
                          LessonCount);
}

QChart* ClassTlChart(const std::vector<StudentBar>& bars) {
  double maximum = 0;
  for (const StudentBar& bar : bars) maximum = std::max(maximum, bar.value);
  return StudentBarsChart(QStringLiteral("TL por aluno (mediana dos últimos 10 exercícios)"),
                          QStringLiteral("TL (toques líquidos por minuto)"), bars, maximum * 1.15);
}

}  // namespace tecladim::turma
