// The class report's texts of time: days and weeks are the school's local ones (under São
// Paulo's time zone, UTC-3, a moment late on Sunday evening is Sunday, whatever the UTC date),
// and durations read as an instructor reads them.
#include <QDateTime>
#include <QTest>

#include "classroom/class_report.h"
#include "turma/class_data.h"

namespace tecladim::turma {

class LocalTimeTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    previous_ = qgetenv("TZ");
    qputenv("TZ", "America/Sao_Paulo");
  }
  void cleanupTestCase() {
    if (previous_.isNull()) {
      qunsetenv("TZ");
    } else {
      qputenv("TZ", previous_);
    }
  }

  // 04/03/2024 02:30 UTC is Sunday 03/03 23:30 in São Paulo: the Monday week is the one
  // that began on 26/02, and an exercise finished on Monday 00:00:20 is in the next one.
  void TodayAndItsWeekAreLocal() {
    const QDateTime sundayNight = QDateTime::fromSecsSinceEpoch(
        QDateTime(QDate(2024, 3, 4), QTime(2, 30), Qt::UTC).toSecsSinceEpoch());
    const Stamp today = ToStamp(sundayNight);
    QCOMPARE(ToDateTime(today).date(), QDate(2024, 3, 3));
    QCOMPARE(ToDateTime(today).time(), QTime(23, 30));
    const classroom::Period week = classroom::ThisWeek(today, classroom::WeekStart::Monday);
    QVERIFY(week.from);
    QCOMPARE(ToDateTime(*week.from), QDateTime(QDate(2024, 2, 26), QTime(0, 0)));

    const Stamp acrossTheWeeksStart = ToStamp(QDateTime(QDate(2024, 3, 4), QTime(0, 0, 20)));
    QVERIFY(!week.Contains(acrossTheWeeksStart));
    const Stamp mondayMorning = ToStamp(QDateTime(QDate(2024, 3, 4), QTime(9, 0)));
    QVERIFY(classroom::ThisWeek(mondayMorning, classroom::WeekStart::Monday).Contains(acrossTheWeeksStart));
    QVERIFY(week.Contains(ToStamp(QDateTime(QDate(2024, 3, 3), QTime(23, 59, 50)))));
  }

  // Durations keep their seconds under an hour: 61 s and 119 s used to both read "1 min".
  void DurationsShowSecondsUnderAnHour() {
    QCOMPARE(Duration(45), QStringLiteral("45 s"));
    QCOMPARE(Duration(61), QStringLiteral("1 min 1 s"));
    QCOMPARE(Duration(119), QStringLiteral("1 min 59 s"));
    QCOMPARE(Duration(214), QStringLiteral("3 min 34 s"));
    QCOMPARE(Duration(2 * 3600 + 5 * 60 + 30), QStringLiteral("2 h 05 min"));
  }

  // What the window shows of a record is its stored local time, unshifted.
  void MomentsAreShownAsStored() {
    const Stamp midnight = ToStamp(QDateTime(QDate(2024, 3, 4), QTime(0, 0, 20)));
    QCOMPARE(Moment(midnight), QStringLiteral("04/03/2024 00:00"));
  }

 private:
  QByteArray previous_;
};

}  // namespace tecladim::turma

QTEST_GUILESS_MAIN(tecladim::turma::LocalTimeTest)
#include "class_data_test.moc"
