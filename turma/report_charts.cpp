#include "turma/report_charts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <map>

#include "classroom/progress_span.h"
#include "exercise/exercise_state.h"
#include "turma/class_data.h"

namespace tecladim::turma {
namespace {

const QColor TlColor(31, 119, 180);
const QColor PrecisaoColor(44, 160, 44);
const QColor FloorColor(214, 39, 40);
const QColor DrillColor(31, 119, 180);
const QColor PassageColor(255, 127, 14);
constexpr int PointsShownUpTo = 60;  // beyond this many weeks the markers only clutter
// The faint points fade as they crowd, so that the median line stays readable over them.
constexpr int FaintAlphaInk = 60'000;
constexpr int MinFaintAlpha = 35;
constexpr int MaxFaintAlpha = 110;
constexpr qreal FaintMarkerSize = 5;
constexpr qreal MedianLineWidth = 2.5;
constexpr double LessonsPerTick = 12;
constexpr double LessonsPerBarTick = 48;
constexpr double TlMinimumStep = 10;
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

// Exercises per catalogue lesson.
std::map<int, int> ExercisesPerLesson(const std::vector<classroom::ExerciseRecord>& records) {
  std::map<int, int> counts;
  for (const auto& r : records)
    if (r.licao && HasLesson(*r.licao)) ++counts[*r.licao];
  return counts;
}

qreal X(Stamp at) { return static_cast<qreal>(ToDateTime(at).toMSecsSinceEpoch()); }

classroom::WeekStart WeekStartHere() {
  return QLocale().firstDayOfWeek() == Qt::Monday ? classroom::WeekStart::Monday : classroom::WeekStart::Sunday;
}

// Every exercise as a faint dot behind the weekly medians; drawn as one light series, kept
// out of the legend.
QScatterSeries* FaintPoints(const std::vector<classroom::ProgressPoint>& points, QColor color) {
  auto* series = new QScatterSeries;
  const auto count = static_cast<int>(std::max<std::size_t>(1, points.size()));
  color.setAlpha(std::clamp(FaintAlphaInk / count, MinFaintAlpha, MaxFaintAlpha));
  series->setColor(color);
  series->setBorderColor(Qt::transparent);
  series->setMarkerSize(FaintMarkerSize);
  for (const classroom::ProgressPoint& p : points) series->append(X(p.at), p.value);
  return series;
}

QLineSeries* MedianLine(const QString& name, const QColor& color) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(color);
  pen.setWidthF(MedianLineWidth);
  series->setPen(pen);
  return series;
}

QLineSeries* FloorLine(const classroom::DateScale& dates) {
  auto* floor = new QLineSeries;
  floor->setName(QStringLiteral("Mínimo de %1").arg(FloorText()));
  QPen pen(FloorColor);
  pen.setStyle(Qt::DashLine);
  floor->setPen(pen);
  floor->append(X(dates.first), classroom::AccuracyFloor);
  floor->append(X(dates.last), classroom::AccuracyFloor);
  return floor;
}

// Ticks on whole days, weeks, months or years, each labelled once.
QDateTimeAxis* DateAxis(const classroom::DateScale& dates) {
  auto* axis = new QDateTimeAxis;
  axis->setTitleText(QStringLiteral("Data"));
  axis->setRange(ToDateTime(dates.first), ToDateTime(dates.last));
  axis->setTickCount(dates.intervals + 1);
  switch (dates.unit) {
    case classroom::DateUnit::Day:
    case classroom::DateUnit::Week: axis->setFormat(QStringLiteral("dd/MM/yy")); break;
    case classroom::DateUnit::Month: axis->setFormat(QStringLiteral("MM/yyyy")); break;
    case classroom::DateUnit::Year: axis->setFormat(QStringLiteral("yyyy")); break;
  }
  return axis;
}

QValueAxis* RoundAxis(const classroom::RoundScale& scale, const QString& title) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setRange(scale.low, scale.high);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(scale.low);
  axis->setTickInterval(scale.step);
  axis->setLabelFormat(QStringLiteral("%.0f"));
  return axis;
}

void Plot(QChart* chart, std::initializer_list<QXYSeries*> series, QAbstractAxis* x, QAbstractAxis* y) {
  for (QXYSeries* s : series) {
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    if (s->name().isEmpty()) chart->legend()->markers(s).constFirst()->setVisible(false);
  }
}

}  // namespace

QChart* ProgressChart(const std::vector<classroom::ExerciseRecord>& records) {
  const classroom::ProgressSpan span =
      classroom::MakeProgressSpan(records, WeekStartHere(), ToStamp(QDateTime::currentDateTime()));
  QChart* chart = NewChart(QStringLiteral("Velocidade (TL) e precisão ao longo do tempo"));
  if (span.empty) ShowEmpty(chart);
  QLineSeries* tl = MedianLine(QStringLiteral("TL (mediana da semana)"), TlColor);
  QLineSeries* precisao = MedianLine(QStringLiteral("Precisão % (mediana da semana)"), PrecisaoColor);
  for (const classroom::WeekMedian& week : span.weeks) {
    if (week.tl) tl->append(X(week.at), *week.tl);
    if (week.precisao) precisao->append(X(week.at), *week.precisao);
  }
  tl->setPointsVisible(span.weeks.size() <= PointsShownUpTo);
  precisao->setPointsVisible(span.weeks.size() <= PointsShownUpTo);

  QDateTimeAxis* time = DateAxis(span.dates);
  QValueAxis* tlAxis = RoundAxis(span.tlScale, QStringLiteral("TL"));
  tlAxis->setLinePenColor(TlColor);
  QValueAxis* precisaoAxis = RoundAxis(span.precisaoScale, QStringLiteral("Precisão %"));
  precisaoAxis->setLinePenColor(PrecisaoColor);
  chart->addAxis(time, Qt::AlignBottom);
  chart->addAxis(tlAxis, Qt::AlignLeft);
  chart->addAxis(precisaoAxis, Qt::AlignRight);
  // The faint points first, so that every line is drawn over them.
  Plot(chart, {FaintPoints(span.tl, TlColor)}, time, tlAxis);
  Plot(chart, {FaintPoints(span.precisao, PrecisaoColor)}, time, precisaoAxis);
  Plot(chart, {tl}, time, tlAxis);
  Plot(chart, {precisao, FloorLine(span.dates)}, time, precisaoAxis);
  return chart;
}

QChart* LessonsChart(const std::vector<classroom::ExerciseRecord>& records) {
  QChart* chart = NewChart(QStringLiteral("Lições alcançadas (exercícios por lição)"));
  auto* drills = new QScatterSeries;
  drills->setName(QStringLiteral("Repetição (lições 1 a 156)"));
  drills->setColor(DrillColor);
  drills->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  drills->setMarkerSize(7);
  auto* passages = new QScatterSeries;
  passages->setName(QStringLiteral("Texto (lições 157 a 192)"));
  passages->setColor(PassageColor);
  passages->setMarkerSize(8);
  const std::map<int, int> counts = ExercisesPerLesson(records);
  int most = 0;
  for (const auto& [lesson, count] : counts) {
    (IsDrill(lesson) ? drills : passages)->append(lesson, count);
    most = std::max(most, count);
  }
  if (counts.empty()) ShowEmpty(chart);
  QValueAxis* lessons = RoundAxis({0, LessonCount, LessonsPerTick}, QStringLiteral("Lição (a partir de 157, textos)"));
  QValueAxis* exercises =
      RoundAxis(classroom::RoundScaleFor(0, most + 1, classroom::MaxValueIntervals, 1), QStringLiteral("Exercícios"));
  chart->addAxis(lessons, Qt::AlignBottom);
  chart->addAxis(exercises, Qt::AlignLeft);
  Plot(chart, {drills, passages}, lessons, exercises);
  return chart;
}

QChart* StudentBarsChart(const QString& title, const QString& axisTitle, const std::vector<StudentBar>& bars,
                         const classroom::RoundScale& scale) {
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
  QValueAxis* values = RoundAxis(scale, axisTitle);
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
                          {0, LessonCount, LessonsPerBarTick});
}

classroom::RoundScale ClassTlScale(const std::vector<StudentBar>& bars) {
  double maximum = 0;
  for (const StudentBar& bar : bars) maximum = std::max(maximum, bar.value);
  return classroom::RoundScaleFor(0, maximum, classroom::MaxValueIntervals, TlMinimumStep);
}

QChart* ClassTlChart(const std::vector<StudentBar>& bars, const classroom::RoundScale& scale) {
  return StudentBarsChart(QStringLiteral("TL por aluno (mediana dos últimos 10 exercícios)"),
                          QStringLiteral("TL (toques líquidos por minuto)"), bars, scale);
}

}  // namespace tecladim::turma
