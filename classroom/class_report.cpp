#include "classroom/class_report.h"

#include <algorithm>
#include <numeric>
#include <bitset>

#include "lessons/catalogue.h"

namespace tecladim::classroom {
namespace {

constexpr std::int64_t DaysPerWeek = 7;

Stamp StartOfDay(std::int64_t day) { return MakeStamp(day, 0); }


std::optional<double> Mean(const std::vector<double>& values) {
  if (values.empty()) return std::nullopt;
  return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// Median tl of the exercises in [first, last) that have one.
std::optional<double> MedianTl(std::vector<ExerciseRecord>::const_iterator first,
                               std::vector<ExerciseRecord>::const_iterator last) {
  std::vector<double> values;
  for (auto it = first; it != last; ++it)
    if (const auto tl = FiguresOf(*it).tl) values.push_back(*tl);
  return Median(std::move(values));
}

}  // namespace

bool Period::Contains(const std::optional<Stamp>& data) const {
  if (!data) return Everything();
  if (from && *data < *from) return false;
  if (to && !(*data < *to)) return false;
  return true;
}

Period ThisWeek(Stamp today, WeekStart start) {
  const std::int64_t day = today.Day();
  // Day 0, 30/12/1899, was a Saturday.
  const std::int64_t weekday = ((day + 6) % DaysPerWeek + DaysPerWeek) % DaysPerWeek;  // 0 = Sunday
  const std::int64_t back = start == WeekStart::Sunday ? weekday : (weekday + 6) % DaysPerWeek;
  return {StartOfDay(day - back), StartOfDay(day - back + DaysPerWeek)};
}

Period ThisMonth(Stamp today) {
  const CivilDate date = DateOf(today);
  const CivilDate first{date.year, date.month, 1};
  const CivilDate next = date.month == 12 ? CivilDate{date.year + 1, 1, 1} : CivilDate{date.year, date.month + 1, 1};
  return {StartOfDay(DaysFromCivil(first)), StartOfDay(DaysFromCivil(next))};
}

Period DateRange(CivilDate first, CivilDate last) {
  return {StartOfDay(DaysFromCivil(first)), StartOfDay(DaysFromCivil(last) + 1)};
}

std::optional<double> Median(std::vector<double> values) {
  if (values.empty()) return std::nullopt;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  const double upper = values[mid];
  if (values.size() % 2 == 1) return upper;
  const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
  return (lower + upper) / 2.0;
}

std::vector<ExerciseRecord> InPeriod(const Student& student, const Period& period) {
  if (period.Everything()) return student.records;
  std::vector<ExerciseRecord> out;
  for (const ExerciseRecord& r : student.records)
    if (period.Contains(r.data)) out.push_back(r);
  return out;
}

StudentSummary Summarize(const std::vector<ExerciseRecord>& records, double lessonFloor) {
  StudentSummary s;
  s.exercises = records.size();
  std::bitset<LessonCount + 1> tried, done;
  for (const ExerciseRecord& r : records) {
    const ExerciseFigures f = FiguresOf(r);
    if (r.licao && HasLesson(*r.licao)) {
      tried.set(static_cast<std::size_t>(*r.licao));
      if (f.precisao && *f.precisao >= lessonFloor) done.set(static_cast<std::size_t>(*r.licao));
      s.highestLesson = std::max(s.highestLesson.value_or(*r.licao), *r.licao);
    }
    if (r.data && (!s.lastActivity || *s.lastActivity < *r.data)) s.lastActivity = r.data;
    if (r.tempoS) s.secondsPractised += *r.tempoS;
    if (f.meta) {
      ++s.timedPassages;
      if (f.withinTarget) ++s.withinTarget;
    }
    if (f.belowAccuracyFloor) ++s.belowAccuracyFloor;
  }
  s.lessonsCompleted = done.count();
  s.lessonsTried = (tried & ~done).count();

  const auto end = records.end();
  const auto recent = records.size() > RecentExercises ? end - RecentExercises : records.begin();
  s.recentTl = MedianTl(recent, end);
  std::vector<double> precisions;
  for (auto it = recent; it != end; ++it)
    if (const auto p = FiguresOf(*it).precisao) precisions.push_back(*p);
  s.recentPrecisao = Mean(precisions);
  s.recentBelowFloor = s.recentPrecisao && *s.recentPrecisao < AccuracyFloor;

  const auto before = recent - records.begin() > static_cast<std::ptrdiff_t>(RecentExercises)
                          ? recent - RecentExercises
                          : records.begin();
  if (const auto earlier = MedianTl(before, recent); earlier && s.recentTl) s.trendTl = *s.recentTl - *earlier;
  return s;
}

StudentSummary Summarize(const Student& student, const Period& period, double lessonFloor) {
  if (period.Everything()) return Summarize(student.records, lessonFloor);
  return Summarize(InPeriod(student, period), lessonFloor);
}

bool ReachedGoals(const StudentSummary& summary, const ClassGoals& goals) {
  if (!summary.recentTl || !summary.recentPrecisao) return false;
  return (!goals.tl || *summary.recentTl >= *goals.tl) && *summary.recentPrecisao >= goals.precisao;
}

ClassSummary SummarizeClass(const std::vector<Student>& students, const Period& period) {
  std::vector<StudentSummary> summaries(students.size());
  for (std::size_t i = 0; i < students.size(); ++i)
    if (!students[i].Failed()) summaries[i] = Summarize(students[i], period);
  return SummarizeClass(students, summaries);
}

ClassSummary SummarizeClass(const std::vector<Student>& students, const std::vector<StudentSummary>& summaries,
                            std::optional<std::size_t> folder) {
  ClassSummary c;
  std::vector<double> highest, tls, precisions, trends;
  for (std::size_t i = 0; i < students.size(); ++i) {
    if (folder && students[i].folder != *folder) continue;
    if (students[i].Failed()) {
      ++c.failedFiles;
      continue;
    }
    ++c.students;
    const StudentSummary& s = summaries[i];
    if (s.exercises > 0) ++c.activeStudents;
    c.exercises += s.exercises;
    c.secondsPractised += s.secondsPractised;
    if (s.lastActivity && (!c.lastActivity || *c.lastActivity < *s.lastActivity)) c.lastActivity = s.lastActivity;
    if (s.highestLesson) {
      c.highestLesson = std::max(c.highestLesson.value_or(*s.highestLesson), *s.highestLesson);
      highest.push_back(*s.highestLesson);
    }
    if (s.recentTl) tls.push_back(*s.recentTl);
    if (s.recentPrecisao) precisions.push_back(*s.recentPrecisao);
    if (s.trendTl) trends.push_back(*s.trendTl);
    c.timedPassages += s.timedPassages;
    c.withinTarget += s.withinTarget;
    if (s.recentBelowFloor) ++c.studentsBelowFloor;
  }
  c.medianHighestLesson = Median(std::move(highest));
  c.recentTl = Median(std::move(tls));
  c.recentPrecisao = Mean(precisions);
  c.trendTl = Mean(trends);
  return c;
}

bool InactiveFor(const Student& student, int days, Stamp now) {
  // Records are in `data` order, blank first: the last one is the newest.
  const std::optional<Stamp> last = student.records.empty() ? std::nullopt : student.records.back().data;
  if (!last) return true;
  return last->ms < now.ms - static_cast<std::int64_t>(days) * MsPerDay;
}

std::optional<std::int64_t> DaysWithoutActivity(const Student& student, Stamp now) {
  const std::optional<Stamp> last = student.records.empty() ? std::nullopt : student.records.back().data;
  if (!last) return std::nullopt;
  return std::max<std::int64_t>(0, now.Day() - last->Day());
}

}  // namespace tecladim::classroom
