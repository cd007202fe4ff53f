#include "classroom/class_report.h"

#include <gtest/gtest.h>

namespace tecladim::classroom {
namespace {

Stamp On(int y, unsigned m, unsigned d, int h = 12) { return ToStamp(EncodeDateTime({y, m, d}, {h, 0, 0, 0})); }

// A drill of lesson `licao` on day `d` of March 2024: `seconds` long with `erros` errors.
ExerciseRecord Drill(std::uint32_t number, int licao, unsigned d, int erros, std::int64_t seconds) {
  return {number, licao, On(2024, 3, d), erros, seconds};
}

TEST(StudentSummary, CountsLessonsTimeAndTargets) {
  const std::vector<ExerciseRecord> records = {
      Drill(1, 1, 1, 3, 95),   Drill(2, 1, 2, 0, 90),     Drill(3, 2, 3, 10, 100),
      Drill(4, 158, 4, 0, 50),  // timed passage (60 s) within target
      Drill(5, 158, 5, 0, 75),  // over target
      Drill(6, 193, 6, 0, 10),  // no lesson: counts as an exercise, never as a lesson reached
      {7, std::nullopt, std::nullopt, std::nullopt, std::nullopt},  // a blank record
  };
  const StudentSummary s = Summarize(records);
  EXPECT_EQ(s.exercises, 7u);
  EXPECT_EQ(s.lessonsCompleted, 3u);
  EXPECT_EQ(s.highestLesson, 158);
  EXPECT_EQ(s.lastActivity, On(2024, 3, 6));
  EXPECT_EQ(s.secondsPractised, 95 + 90 + 100 + 50 + 75 + 10);
  EXPECT_EQ(s.timedPassages, 2u);
  EXPECT_EQ(s.withinTarget, 1u);
  EXPECT_FALSE(s.trendTl) << "fewer than eleven exercises have nothing to compare with";
}

TEST(StudentSummary, ALessonIsDoneWhenAnExerciseReachedTheFloor) {
  // Lesson 1 asks for 1155 characters: 3 errors are 99,7%, 347 errors 70,0%, 750 errors 35,1%.
  struct Case {
    const char* name;
    std::vector<ExerciseRecord> records;
    double floor;
    std::size_t done, tried;
  };
  const Case cases[] = {
      {"one exercise at 35%: tried, not done", {Drill(1, 1, 1, 750, 95)}, AccuracyFloor, 0, 1},
      {"lesson 1 at 99,7% and lesson 2 at 35%", {Drill(1, 1, 1, 3, 95), Drill(2, 2, 2, 750, 95)}, AccuracyFloor, 1, 1},
      {"lesson 2 at 35% then at 100%: done once",
       {Drill(1, 2, 1, 750, 95), Drill(2, 2, 2, 0, 95)},
       AccuracyFloor,
       1,
       0},
      {"70,0% is at the floor", {Drill(1, 1, 1, 346, 95)}, AccuracyFloor, 1, 0},
      {"a floor of 99,8% leaves 99,7% tried", {Drill(1, 1, 1, 3, 95), Drill(2, 2, 2, 0, 95)}, 99.8, 1, 1},
      {"a number without a lesson is neither", {Drill(1, 193, 1, 0, 10)}, AccuracyFloor, 0, 0},
  };
  for (const Case& c : cases) {
    const StudentSummary s = Summarize(c.records, c.floor);
    EXPECT_EQ(s.lessonsCompleted, c.done) << c.name;
    EXPECT_EQ(s.lessonsTried, c.tried) << c.name;
  }
}

TEST(ClassGoals, BothGoalsOverTheRecentFigures) {
  StudentSummary s;
  s.recentTl = 150;
  s.recentPrecisao = 92;
  struct Case {
    const char* name;
    ClassGoals goals;
    bool reached;
  };
  const Case cases[] = {
      {"TL 150 and 90%: both reached", {150.0, 90}, true},
      {"TL 150,5: too fast a goal", {150.5, 90}, false},
      {"95%: too careful a goal", {100.0, 95}, false},
      {"no TL asked, the floor", {std::nullopt, AccuracyFloor}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(ReachedGoals(s, c.goals), c.reached) << c.name;
  EXPECT_FALSE(ReachedGoals(StudentSummary{}, {})) << "no exercise reaches nothing";
}

TEST(StudentSummary, RecentFiguresAndTrendUseTheLastTenAgainstTheTenBefore) {
  std::vector<ExerciseRecord> records;
  // Ten early drills of lesson 1 at 60 s (tl 1155), then ten at 120 s (tl 577,5).
  for (std::uint32_t i = 0; i < 10; ++i) records.push_back(Drill(i + 1, 1, 1 + i, 0, 60));
  for (std::uint32_t i = 0; i < 10; ++i) records.push_back(Drill(i + 11, 1, 11 + i, 0, 120));
  StudentSummary s = Summarize(records);
  ASSERT_TRUE(s.recentTl && s.trendTl);
  EXPECT_DOUBLE_EQ(*s.recentTl, 577.5);
  EXPECT_DOUBLE_EQ(*s.trendTl, 577.5 - 1155.0);

  // One more good exercise: the window moves by one.
  records.push_back(Drill(21, 1, 21, 0, 60));
  s = Summarize(records);
  EXPECT_DOUBLE_EQ(*s.recentTl, 577.5) << "median of nine 577,5 and one 1155";
  EXPECT_DOUBLE_EQ(*s.trendTl, 577.5 - 1155.0);
}

TEST(StudentSummary, RecentAccuracyIsTheMeanAndBelow70IsFlagged) {
  std::vector<ExerciseRecord> records;
  // Lesson 193 asks for 5 characters: 2 errors is 60%, 0 errors 100%.
  for (std::uint32_t i = 0; i < 12; ++i) records.push_back(Drill(i + 1, 193, 1 + i, i < 4 ? 0 : 2, 10));
  const StudentSummary s = Summarize(records);
  ASSERT_TRUE(s.recentPrecisao);
  EXPECT_DOUBLE_EQ(*s.recentPrecisao, (2 * 100.0 + 8 * 60.0) / 10);
  EXPECT_TRUE(s.recentBelowFloor);
  EXPECT_EQ(s.belowAccuracyFloor, 8u);
}

TEST(Median, OddEvenAndEmpty) {
  EXPECT_EQ(Median({}), std::nullopt);
  EXPECT_EQ(Median({3.0}), 3.0);
  EXPECT_EQ(Median({5.0, 1.0, 3.0}), 3.0);
  EXPECT_EQ(Median({4.0, 1.0, 3.0, 2.0}), 2.5);
}

TEST(Periods, WeekMonthAndRangeBoundaries) {
  // Wednesday 06/03/2024.
  const Stamp wednesday = On(2024, 3, 6, 15);
  const Period sundayWeek = ThisWeek(wednesday, WeekStart::Sunday);
  EXPECT_EQ(sundayWeek.from, On(2024, 3, 3, 0));
  EXPECT_EQ(sundayWeek.to, On(2024, 3, 10, 0));
  const Period mondayWeek = ThisWeek(wednesday, WeekStart::Monday);
  EXPECT_EQ(mondayWeek.from, On(2024, 3, 4, 0));
  EXPECT_EQ(ThisWeek(On(2024, 3, 3), WeekStart::Monday).from, On(2024, 2, 26, 0)) << "a Sunday ends a Monday week";
  EXPECT_EQ(ThisWeek(On(2024, 3, 3), WeekStart::Sunday).from, On(2024, 3, 3, 0));

  const Period december = ThisMonth(On(2023, 12, 31, 23));
  EXPECT_EQ(december.from, On(2023, 12, 1, 0));
  EXPECT_EQ(december.to, On(2024, 1, 1, 0));

  const Period range = DateRange({2024, 3, 1}, {2024, 3, 2});
  EXPECT_TRUE(range.Contains(On(2024, 3, 1, 0)));
  EXPECT_TRUE(range.Contains(ToStamp(EncodeDateTime({2024, 3, 2}, {23, 59, 59, 999}))));
  EXPECT_FALSE(range.Contains(On(2024, 3, 3, 0)));
  EXPECT_FALSE(range.Contains(On(2024, 2, 29, 23)));
  EXPECT_FALSE(range.Contains(std::nullopt)) << "a record without data is in no dated period";
  EXPECT_TRUE(Period{}.Contains(std::nullopt));
}

TEST(ClassSummary, OverStudentsSkippingFailedFilesAndFollowingThePeriod) {
  Student ana{"ana", "ana/Exercicio.xml", {}, {Drill(1, 1, 1, 0, 60), Drill(2, 5, 10, 0, 60)}};
  Student bia{"bia", "bia/Exercicio.xml", {}, {Drill(1, 160, 2, 0, 120)}};
  Student caio{"caio", "caio/Exercicio.xml", "Mismatch in datapacket.", {}};
  Student davi{"davi", "davi/Exercicio.xml", {}, {}};
  const std::vector<Student> students = {ana, bia, caio, davi};

  ClassSummary all = SummarizeClass(students, Period{});
  EXPECT_EQ(all.students, 3u);
  EXPECT_EQ(all.failedFiles, 1u);
  EXPECT_EQ(all.activeStudents, 2u);
  EXPECT_EQ(all.exercises, 3u);
  EXPECT_EQ(all.highestLesson, 160);
  EXPECT_EQ(all.medianHighestLesson, (5 + 160) / 2.0);
  EXPECT_EQ(all.lastActivity, On(2024, 3, 10));

  const ClassSummary firstDays = SummarizeClass(students, DateRange({2024, 3, 1}, {2024, 3, 2}));
  EXPECT_EQ(firstDays.exercises, 2u);
  EXPECT_EQ(firstDays.highestLesson, 160);
  EXPECT_EQ(firstDays.lastActivity, On(2024, 3, 2));
}

TEST(ClassSummary, ASubtotalPerOpenedFolder) {
  std::vector<Student> students = {{"manha/ana", {}, {}, {Drill(1, 1, 1, 0, 60), Drill(2, 5, 2, 0, 60)}},
                                   {"manha/bia", {}, "Mismatch in datapacket.", {}},
                                   {"tarde/caio", {}, {}, {Drill(1, 9, 3, 0, 60)}}};
  students[2].folder = 1;
  std::vector<StudentSummary> summaries;
  for (const Student& s : students) summaries.push_back(Summarize(s, Period{}));
  const ClassSummary manha = SummarizeClass(students, summaries, 0);
  EXPECT_EQ(manha.students, 1u);
  EXPECT_EQ(manha.failedFiles, 1u);
  EXPECT_EQ(manha.exercises, 2u);
  EXPECT_EQ(manha.highestLesson, 5);
  const ClassSummary tarde = SummarizeClass(students, summaries, 1);
  EXPECT_EQ(tarde.students, 1u);
  EXPECT_EQ(tarde.failedFiles, 0u);
  EXPECT_EQ(tarde.exercises, 1u);
  EXPECT_EQ(tarde.highestLesson, 9);
  EXPECT_EQ(SummarizeClass(students, summaries).exercises, 3u);
}

TEST(Inactivity, CountsFromTheLastExerciseWhateverThePeriod) {
  const Student ana{"ana", {}, {}, {Drill(1, 1, 1, 0, 60), Drill(2, 1, 5, 0, 60)}};
  EXPECT_FALSE(InactiveFor(ana, 7, On(2024, 3, 12, 11)));
  EXPECT_TRUE(InactiveFor(ana, 7, On(2024, 3, 12, 13)));
  EXPECT_TRUE(InactiveFor(Student{"novo", {}, {}, {}}, 7, On(2024, 3, 12)));
}

}  // namespace
}  // namespace tecladim::classroom
