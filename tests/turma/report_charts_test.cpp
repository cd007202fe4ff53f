// The charts as drawn: the progress chart's weekly median line over its points, date labels
// that never repeat, value axes on round ticks, and one TL scale on every page of the class chart.
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSet>
#include <QTest>
#include <QValueAxis>

#include <memory>

#include "turma/class_data.h"
#include "turma/report_charts.h"

namespace tecladim::turma {
namespace {

// Lesson 156 asks for 1200 characters: without errors, 300 s is a tl of 240.
classroom::ExerciseRecord Exercise(const QDateTime& at, std::int64_t seconds, std::int32_t erros = 0) {
  return {1, 156, ToStamp(at), erros, seconds};
}

// `count` exercises spread evenly over `days` days from 07/12/2026 (a Monday) on.
std::vector<classroom::ExerciseRecord> Spread(int count, double days, std::int64_t seconds = 300,
                                              std::int32_t erros = 0) {
  std::vector<classroom::ExerciseRecord> records;
  const QDateTime first(QDate(2026, 12, 7), QTime(9, 0));
  for (int i = 0; i < count; ++i)
    records.push_back(
        Exercise(first.addSecs(static_cast<qint64>(days * 86400 * i / std::max(1, count - 1))), seconds, erros));
  return records;
}

// The ticks a value axis draws, whichever way it places them.
QList<double> Ticks(const QValueAxis* axis) {
  QList<double> ticks;
  if (axis->tickType() == QValueAxis::TicksDynamic) {
    for (double t = axis->tickAnchor(); t <= axis->max() + 1e-9; t += axis->tickInterval())
      if (t >= axis->min() - 1e-9) ticks << t;
  } else {
    for (int i = 0; i < axis->tickCount(); ++i)
      ticks << axis->min() + i * (axis->max() - axis->min()) / (axis->tickCount() - 1);
  }
  return ticks;
}

QValueAxis* AxisTitled(QChart* chart, const QString& title) {
  for (QAbstractAxis* axis : chart->axes(Qt::Vertical))
    if (axis->titleText() == title) return qobject_cast<QValueAxis*>(axis);
  for (QAbstractAxis* axis : chart->axes(Qt::Horizontal))
    if (axis->titleText() == title) return qobject_cast<QValueAxis*>(axis);
  return nullptr;
}

}  // namespace

class ReportChartsTest : public QObject {
  Q_OBJECT

 private slots:
  void ProgressChartDrawsAWeeklyMedianLineOverEveryExercise() {
    // 20 exercises from Monday 07/12 to Wednesday 23/12: three weeks, whichever day starts them.
    const std::unique_ptr<QChart> chart(ProgressChart(Spread(20, 16)));
    int medianPoints = 0, exercisePoints = 0;
    for (QAbstractSeries* series : chart->series()) {
      if (auto* line = qobject_cast<QLineSeries*>(series); line && line->name().contains(QStringLiteral("mediana")))
        medianPoints += line->count();
      if (auto* points = qobject_cast<QScatterSeries*>(series)) exercisePoints += points->count();
    }
    QCOMPARE(medianPoints, 2 * 3);
    QCOMPARE(exercisePoints, 2 * 20);
  }

  void DateLabelsNeverRepeat_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("days");
    QTest::newRow("one exercise") << 1 << 0.0;
    QTest::newRow("four school days") << 20 << 3.3;
    QTest::newRow("three weeks") << 60 << 20.0;
    QTest::newRow("eleven years of a lab machine") << 50'000 << 4000.0;
  }
  void DateLabelsNeverRepeat() {
    QFETCH(int, count);
    QFETCH(double, days);
    const std::unique_ptr<QChart> chart(ProgressChart(Spread(count, days)));
    auto* axis = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).constFirst());
    QVERIFY(axis);
    // As the axis labels its ticks: evenly spaced from min to max, in the chart's locale.
    const qint64 min = axis->min().toMSecsSinceEpoch(), max = axis->max().toMSecsSinceEpoch();
    QStringList labels;
    for (int i = 0; i < axis->tickCount(); ++i)
      labels << chart->locale().toString(
          QDateTime::fromMSecsSinceEpoch(min + (max - min) * i / (axis->tickCount() - 1)), axis->format());
    QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
    QVERIFY2(labels.size() >= 2 && labels.size() <= 8, qPrintable(labels.join(u' ')));
  }

  void ValueAxesTickOnRoundValues_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<int>("erros");
    QTest::addColumn<QList<double>>("tl");
    QTest::addColumn<QList<double>>("precisao");
    // 1200 characters in 225 s is a tl of 320; 660 errors leave 45% and a tl of 144.
    QTest::newRow("tl of 320 above the floor")
        << qint64{225} << 0 << QList<double>{0, 50, 100, 150, 200, 250, 300, 350} << QList<double>{70, 80, 90, 100};
    QTest::newRow("45% below the floor") << qint64{225} << 660 << QList<double>{0, 20, 40, 60, 80, 100, 120, 140, 160}
                                         << QList<double>{40, 50, 60, 70, 80, 90, 100};
  }
  void ValueAxesTickOnRoundValues() {
    QFETCH(qint64, seconds);
    QFETCH(int, erros);
    QFETCH(QList<double>, tl);
    QFETCH(QList<double>, precisao);
    const std::unique_ptr<QChart> chart(ProgressChart(Spread(5, 3, seconds, erros)));
    QCOMPARE(Ticks(AxisTitled(chart.get(), QStringLiteral("TL"))), tl);
    QCOMPARE(Ticks(AxisTitled(chart.get(), QStringLiteral("Precisão %"))), precisao);
  }

  // Printed 25 students a page, a class whose fastest typist is on the second page used to
  // get a shorter TL scale on the first page, so equal bars meant different speeds.
  void EveryPageOfTheClassChartKeepsOneTlScale() {
    std::vector<StudentBar> all;
    for (int i = 0; i < 30; ++i) all.push_back({QStringLiteral("aluno %1").arg(i), i < 25 ? 90.0 : 310.0});
    const classroom::RoundScale scale = ClassTlScale(all);
    const std::unique_ptr<QChart> first(ClassTlChart({all.begin(), all.begin() + 25}, scale));
    const std::unique_ptr<QChart> second(ClassTlChart({all.begin() + 25, all.end()}, scale));
    const QString title = QStringLiteral("TL (toques líquidos por minuto)");
    QCOMPARE(Ticks(AxisTitled(first.get(), title)), Ticks(AxisTitled(second.get(), title)));
    QCOMPARE(Ticks(AxisTitled(first.get(), title)), (QList<double>{0, 50, 100, 150, 200, 250, 300, 350}));
  }
};

}  // namespace tecladim::turma

QTEST_MAIN(tecladim::turma::ReportChartsTest)
#include "report_charts_test.moc"
