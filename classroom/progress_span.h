#pragma once
#include <optional>
#include <vector>

#include "classroom/class_report.h"
#include "classroom/figures.h"
#include "history/datetime.h"

// What the student's progress chart shows, worked out without a window: the exercises as
// points, their weekly medians, and axes whose ticks fall on round values and on dates that
// never share a label. The chart only draws it.
namespace tecladim::classroom {

// A value axis from `low` to `high`, a tick every `step`; both ends are multiples of `step`.
struct RoundScale {
  double low = 0;
  double high = 1;
  double step = 1;
  friend bool operator==(const RoundScale&, const RoundScale&) = default;
};
// The finest scale holding low..high in at most `maxIntervals` steps of 1, 2 or 5 times a
// power of ten, none finer than `minimumStep`.
RoundScale RoundScaleFor(double low, double high, int maxIntervals, double minimumStep);

// A date axis's ticks stand at the start of one of these, every `unitsPerTick` of them: a day,
// a week, a month or a year. Evenly spaced between `first` and `last` as a chart spaces them,
// each tick stays inside its own unit, so no two ticks read the same.
enum class DateUnit { Day, Week, Month, Year };
struct DateScale {
  Stamp first;  // the first tick and the axis's start
  Stamp last;   // the last tick and the axis's end
  int intervals = 1;
  DateUnit unit = DateUnit::Day;
  int unitsPerTick = 1;
};
DateScale DateScaleFor(Stamp first, Stamp last, WeekStart weekStart, int maxIntervals);
// The tick `index` of the scale, spaced evenly as a chart's date axis spaces them.
Stamp TickAt(const DateScale& scale, int index);

struct ProgressPoint {
  Stamp at;
  double value = 0;
};

// The median tl and precisao of one calendar week, placed midway between its first and last exercise.
struct WeekMedian {
  Stamp at;
  std::optional<double> tl;
  std::optional<double> precisao;
};

struct ProgressSpan {
  // One point per exercise up to MaxProgressPoints; beyond, every n-th exercise, evenly.
  std::vector<ProgressPoint> tl;
  std::vector<ProgressPoint> precisao;
  std::vector<WeekMedian> weeks;
  bool empty = true;  // no dated exercise with a figure; the axes then show the week before `today`
  DateScale dates;
  RoundScale tlScale;
  RoundScale precisaoScale;  // always down to the accuracy floor, always up to 100
};

inline constexpr std::size_t MaxProgressPoints = 2000;
// Ticks an axis carries at most, so that its labels fit a page's width.
inline constexpr int MaxDateIntervals = 7;
inline constexpr int MaxValueIntervals = 8;

ProgressSpan MakeProgressSpan(const std::vector<ExerciseRecord>& records, WeekStart weekStart, Stamp today);

}  // namespace tecladim::classroom
