#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "classroom/figures.h"
#include "history/datetime.h"
#include "history/key_stats_file.h"

// A class: every student's history, and the figures per student and per class.
namespace tecladim::classroom {

// Records read for a student's current state: the last this many exercises, and the trend
// compares them with as many before them.
inline constexpr std::size_t RecentExercises = 10;

// Why a history could not be read, for the report to word in its reader's language.
enum class LoadFailure {
  None,
  CannotOpen,  // the system refused the file: `cause` says why
  Damaged,     // the file's markup is cut off or broken
  NotHistory,  // well formed, but without the history's fields
};

// Whether the student's "Teclas.xml" (the trainer's key statistics, beside the history) was read.
enum class KeyStatsState {
  NotRecorded,  // no such file: an older trainer, or another program, keeps this history
  NotRead,      // the file is there; LoadKeyStats reads it when the keys are asked for
  Read,
  Failed,  // the file is there but cannot be read: `keyStatsError` says why; the history still shows
};

// A "Teclas.xml" as the class's load found it: a file rewritten since differs in one or the other.
struct KeyStatsLook {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written{};
  friend bool operator==(const KeyStatsLook&, const KeyStatsLook&) = default;
};

struct Student {
  std::string aluno;               // folder path relative to the opened folder, '/' between parts
  std::filesystem::path file;      // the "Exercicio.xml" it was read from
  std::string error;               // the reader's error text; empty when the file loaded
  std::vector<ExerciseRecord> records;  // ascending `data` (blank first), then record number
  LoadFailure failure = LoadFailure::None;
  std::error_code cause{};  // for CannotOpen
  KeyStatsState keyStats = KeyStatsState::NotRecorded;
  std::string keyStatsError{};                            // the key statistics reader's error text
  std::vector<history::ExerciseKeyStats> keyExercises{};  // in file order
  KeyStatsLook keyStatsSeen{};                            // when keyStats is not NotRecorded
  std::size_t folder = 0;   // which of the opened folders it was found in
  bool Failed() const { return !error.empty(); }
};

// A span of completion moments, either end open; the from end is included, the to end not.
struct Period {
  std::optional<Stamp> from;
  std::optional<Stamp> to;
  // A record without `data` belongs only to the unbounded period.
  bool Contains(const std::optional<Stamp>& data) const;
  bool Everything() const { return !from && !to; }
};

enum class WeekStart { Sunday, Monday };

// The periods the report offers, around "today" (a date and time, its date is used).
Period ThisWeek(Stamp today, WeekStart start);
Period ThisMonth(Stamp today);
// From the first day to the last one, both whole days included.
Period DateRange(CivilDate first, CivilDate last);

struct StudentSummary {
  std::size_t exercises = 0;
  std::size_t lessonsCompleted = 0;           // catalogue lessons with an exercise at the floor or above
  std::size_t lessonsTried = 0;               // catalogue lessons tried, none of them at the floor
  std::optional<std::int32_t> highestLesson;  // within the catalogue
  std::optional<Stamp> lastActivity;
  std::int64_t secondsPractised = 0;
  std::optional<double> recentTl;             // median over the last RecentExercises
  std::optional<double> recentPrecisao;       // mean over the last RecentExercises
  std::optional<double> trendTl;              // recent median tl minus the one before it
  std::size_t timedPassages = 0;
  std::size_t withinTarget = 0;
  std::size_t belowAccuracyFloor = 0;         // exercises under 70% in the period
  bool recentBelowFloor = false;              // recentPrecisao under 70%
};

// `records` in order (ascending `data`), already limited to the period. A lesson is done
// when one of its exercises reached `lessonFloor` percent of accuracy.
StudentSummary Summarize(const std::vector<ExerciseRecord>& records, double lessonFloor = AccuracyFloor);
StudentSummary Summarize(const Student& student, const Period& period, double lessonFloor = AccuracyFloor);

// What the instructor asks of the class over the last RecentExercises exercises: a TL (none:
// any) and an accuracy, which is also the floor a lesson counts as done at.
struct ClassGoals {
  std::optional<double> tl;
  double precisao = AccuracyFloor;
  friend bool operator==(const ClassGoals&, const ClassGoals&) = default;
};
// Whether the student's recent figures reach both goals; a student without any does not.
bool ReachedGoals(const StudentSummary& summary, const ClassGoals& goals);

struct ClassSummary {
  std::size_t students = 0;         // loaded
  std::size_t failedFiles = 0;
  std::size_t activeStudents = 0;   // with an exercise in the period
  std::size_t exercises = 0;
  std::int64_t secondsPractised = 0;
  std::optional<Stamp> lastActivity;
  std::optional<std::int32_t> highestLesson;
  std::optional<double> medianHighestLesson;
  std::optional<double> recentTl;        // median of the students' recent tl
  std::optional<double> recentPrecisao;  // mean of the students' recent precisao
  std::optional<double> trendTl;         // mean of the students' trends
  std::size_t timedPassages = 0;
  std::size_t withinTarget = 0;
  std::size_t studentsBelowFloor = 0;
};

ClassSummary SummarizeClass(const std::vector<Student>& students, const Period& period);
// The same from summaries already made, one per student in the same order (a failed
// student's is not read); with `folder`, only the students found in that opened folder.
ClassSummary SummarizeClass(const std::vector<Student>& students, const std::vector<StudentSummary>& summaries,
                            std::optional<std::size_t> folder = std::nullopt);

// The records of a student that fall in the period, in order.
std::vector<ExerciseRecord> InPeriod(const Student& student, const Period& period);

// Whether the student has done nothing since `days` days before `now` (all records
// counted, whatever the period; a student who never practised counts as inactive).
bool InactiveFor(const Student& student, int days, Stamp now);
// Calendar days since the student's last exercise (0 today); no value for one who never practised.
std::optional<std::int64_t> DaysWithoutActivity(const Student& student, Stamp now);

// The median of the values (the mean of the middle two for an even count).
std::optional<double> Median(std::vector<double> values);

}  // namespace tecladim::classroom
