#include "classroom/progress_span.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tecladim::classroom {
namespace {

// Lesson 156 asks for 1200 characters: without errors, 300 s is a tl of 240.
constexpr std::int32_t Lesson = 156;

Stamp At(int year, unsigned month, unsigned day, int hour = 10) {
  return MakeStamp(DaysFromCivil({year, month, day}), hour * 3'600'000);
}

ExerciseRecord Exercise(Stamp at, std::int64_t seconds, std::int32_t erros = 0) {
  ExerciseRecord r;
  r.licao = Lesson;
  r.data = at;
  r.erros = erros;
  r.tempoS = seconds;
  return r;
}

std::string Label(Stamp at, DateUnit unit) {
  const CivilDate d = DateOf(at);
  char text[16];
  if (unit == DateUnit::Year) std::snprintf(text, sizeof text, "%04d", d.year);
  else if (unit == DateUnit::Month) std::snprintf(text, sizeof text, "%02u/%04d", d.month, d.year);
  else std::snprintf(text, sizeof text, "%02u/%02u/%02d", d.day, d.month, d.year % 100);
  return text;
}

struct WeekCase {
  const char* name;
  std::vector<ExerciseRecord> records;
  WeekStart weekStart;
  const char* medians;  // "tl/precisao" per week, in date order
};

class WeeklyMedianTable : public ::testing::TestWithParam<WeekCase> {};

TEST_P(WeeklyMedianTable, OnePointPerCalendarWeek) {
  const WeekCase& c = GetParam();
  std::string medians;
  for (const WeekMedian& w : MakeProgressSpan(c.records, c.weekStart, At(2027, 1, 1)).weeks)
    medians += (medians.empty() ? "" : " | ") + DecimalText(*w.tl) + "/" + DecimalText(*w.precisao);
  EXPECT_EQ(medians, c.medians);
}

// 07/12/2026 is a Monday.
INSTANTIATE_TEST_SUITE_P(
    Classroom, WeeklyMedianTable,
    ::testing::Values(
        WeekCase{"ThreeExercisesOfOneWeekGiveTheMiddleOne",
                 {Exercise(At(2026, 12, 7), 600), Exercise(At(2026, 12, 8), 300), Exercise(At(2026, 12, 9), 400)},
                 WeekStart::Monday,
                 "180,0/100,0"},
        WeekCase{"TwoWeeksAreTwoPointsAndAnEvenWeekTakesTheMeanOfItsMiddleTwo",
                 {Exercise(At(2026, 12, 7), 600), Exercise(At(2026, 12, 8), 300, 120), Exercise(At(2026, 12, 14), 240)},
                 WeekStart::Monday,
                 "168,0/95,0 | 300,0/100,0"},
        WeekCase{"SundayStartsTheWeekOfABrazilianCalendar",
                 {Exercise(At(2026, 12, 12), 600), Exercise(At(2026, 12, 13), 300)},
                 WeekStart::Sunday,
                 "120,0/100,0 | 240,0/100,0"},
        WeekCase{"RecordsOutOfOrderStillGiveWeeksInDateOrder",
                 {Exercise(At(2026, 12, 14), 240), Exercise(At(2026, 12, 7), 600)},
                 WeekStart::Monday,
                 "120,0/100,0 | 300,0/100,0"},
        WeekCase{"AnExerciseWithoutADateIsLeftOut",
                 {Exercise(At(2026, 12, 7), 600), ExerciseRecord{2, Lesson, std::nullopt, 0, 60}},
                 WeekStart::Monday,
                 "120,0/100,0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
  const char* name;
  Stamp first;
  Stamp last;
  const char* labels;
};

class DateScaleTable : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateScaleTable, TicksCoverTheSpanWithoutARepeatedLabel) {
  const DateCase& c = GetParam();
  const DateScale scale = DateScaleFor(c.first, c.last, WeekStart::Monday, MaxDateIntervals);
  EXPECT_LE(scale.intervals, MaxDateIntervals);
  EXPECT_LE(scale.first, c.first);
  EXPECT_GE(scale.last, c.last);
  std::string labels;
  std::set<std::string> distinct;
  for (int i = 0; i <= scale.intervals; ++i) {
    const std::string label = Label(TickAt(scale, i), scale.unit);
    labels += (i ? " " : "") + label;
    distinct.insert(label);
  }
  EXPECT_EQ(labels, c.labels);
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(scale.intervals + 1));
}

INSTANTIATE_TEST_SUITE_P(Classroom, DateScaleTable,
                         ::testing::Values(DateCase{"OneExerciseGetsItsOwnDay", At(2026, 12, 10), At(2026, 12, 10),
                                                    "10/12/26 11/12/26"},
                                           DateCase{"FourSchoolDaysAreDays", At(2026, 12, 7, 8), At(2026, 12, 10, 15),
                                                    "07/12/26 08/12/26 09/12/26 10/12/26 11/12/26"},
                                           DateCase{"FiveWeeksAreMondays", At(2026, 11, 4), At(2026, 12, 10),
                                                    "02/11/26 09/11/26 16/11/26 23/11/26 30/11/26 07/12/26 14/12/26"},
                                           DateCase{"AFebruaryOfALeapYearStillGivesOneTickAMonth", At(2028, 1, 20),
                                                    At(2028, 5, 10), "01/2028 02/2028 03/2028 04/2028 05/2028 06/2028"},
                                           DateCase{"ASchoolYearIsEveryOtherMonth", At(2026, 2, 2), At(2026, 12, 10),
                                                    "01/2026 03/2026 05/2026 07/2026 09/2026 11/2026 01/2027"},
                                           DateCase{"TwentyYearsOfALabMachineAreEveryFiveYears", At(2006, 3, 1),
                                                    At(2026, 12, 10), "2005 2010 2015 2020 2025 2030"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DateScale, NoSpanOfUpToTenYearsRepeatsALabel) {
  for (std::int64_t start = At(2024, 1, 1).ms; start < At(2028, 1, 1).ms; start += 5 * MsPerDay + 3'600'000)
    for (std::int64_t days : {0, 1, 6, 13, 40, 95, 200, 400, 800, 1500, 3650}) {
      const DateScale scale =
          DateScaleFor(Stamp{start}, Stamp{start + days * MsPerDay}, WeekStart::Sunday, MaxDateIntervals);
      std::set<std::string> labels;
      for (int i = 0; i <= scale.intervals; ++i) labels.insert(Label(TickAt(scale, i), scale.unit));
      ASSERT_EQ(labels.size(), static_cast<std::size_t>(scale.intervals + 1)) << Label(Stamp{start}, DateUnit::Day);
    }
}

struct ScaleCase {
  const char* name;
  double low;
  double high;
  double minimumStep;
  RoundScale expected;
};

class RoundScaleTable : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(RoundScaleTable, EndsAndStepAreRound) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(RoundScaleFor(c.low, c.high, MaxValueIntervals, c.minimumStep), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Classroom, RoundScaleTable,
                         ::testing::Values(ScaleCase{"TlUpTo320ReadsEvery50", 0, 320, 10, {0, 350, 50}},
                                           ScaleCase{"TlOfAFastTypistReadsEvery200", 0, 1234, 10, {0, 1400, 200}},
                                           ScaleCase{"PrecisaoAboveTheFloorIs70To100", 70, 100, 10, {70, 100, 10}},
                                           ScaleCase{"PrecisaoOf63StartsAt60", 63.5, 100, 10, {60, 100, 10}},
                                           ScaleCase{"PrecisaoBelowZeroReadsEvery50", -150, 100, 10, {-150, 100, 50}},
                                           ScaleCase{"NoSpreadStillGivesOneStep", 0, 0, 10, {0, 10, 10}},
                                           ScaleCase{"SevenExercisesOfALessonCountOneByOne", 0, 7, 1, {0, 7, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressSpan, FiftyThousandExercisesAreThinnedButTheScaleHoldsEveryOne) {
  std::vector<ExerciseRecord> records;
  for (std::int64_t i = 0; i < 50'000; ++i)  // one an hour, day and night, for 2083 days
    records.push_back(Exercise(Stamp{At(2010, 1, 1).ms + i * 3'600'000}, 300 + i % 7));
  records[12'345].tempoS = 36;  // a tl of 2000, on a record the thinning drops
  const ProgressSpan span = MakeProgressSpan(records, WeekStart::Monday, At(2027, 1, 1));
  EXPECT_LE(span.tl.size(), MaxProgressPoints);
  EXPECT_GE(span.tl.size(), MaxProgressPoints / 2);
  EXPECT_GE(span.tlScale.high, 2000);
  EXPECT_EQ(span.weeks.size(), 299u);
}

TEST(ProgressSpan, NoExerciseShowsTheWeekBeforeToday) {
  const ProgressSpan span = MakeProgressSpan({}, WeekStart::Monday, At(2026, 12, 10));
  EXPECT_TRUE(span.empty);
  EXPECT_EQ(Label(span.dates.first, span.dates.unit), "02/12/26");
  EXPECT_EQ(Label(span.dates.last, span.dates.unit), "12/12/26");
  EXPECT_EQ(span.precisaoScale, (RoundScale{70, 100, 10}));
}

}  // namespace
}  // namespace tecladim::classroom
