#include "classroom/progress_span.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tecladim::classroom {
namespace {

constexpr double FullPercent = 100.0;
// Ticks stand a little after their unit begins, so that the hour a clock change adds or
// takes, or a month shorter than the average between two ticks, never moves one into the
// unit before it.
constexpr std::int32_t TickMsOfDay = 3 * 3'600'000;
constexpr unsigned TickDayOfMonth = 5;
constexpr std::int64_t DaysPerWeek = 7;
constexpr int MonthsPerYear = 12;
// The speed axis of a student with no exercise yet.
constexpr double EmptyTlTop = 50;
constexpr double TlMinimumStep = 10;
constexpr double PrecisaoMinimumStep = 10;
// Rounding slack, so that 70 / 10 stays 7 whatever the division's last bit.
constexpr double Slack = 1e-9;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The stamp a tick of unit number `u` stands on: days and weeks count from day 0, months
// from January of year 0, years are years.
Stamp TickOf(DateUnit unit, WeekStart weekStart, std::int64_t u) {
  switch (unit) {
    case DateUnit::Day: return MakeStamp(u, TickMsOfDay);
    case DateUnit::Week:  // day 0 was a Saturday: day 1 a Sunday, day 2 a Monday
      return MakeStamp(u * DaysPerWeek + (weekStart == WeekStart::Sunday ? 1 : 2), TickMsOfDay);
    case DateUnit::Month: {
      const int year = static_cast<int>(FloorDiv(u, MonthsPerYear));
      const auto month = static_cast<unsigned>(u - std::int64_t{year} * MonthsPerYear + 1);
      return MakeStamp(DaysFromCivil({year, month, TickDayOfMonth}), TickMsOfDay);
    }
    case DateUnit::Year: return MakeStamp(DaysFromCivil({static_cast<int>(u), 1, TickDayOfMonth}), TickMsOfDay);
  }
  return {};
}

// The last unit whose tick is not after `at`.
std::int64_t UnitAtOrBefore(DateUnit unit, WeekStart weekStart, Stamp at) {
  std::int64_t u = 0;
  switch (unit) {
    case DateUnit::Day: u = at.Day(); break;
    case DateUnit::Week: u = FloorDiv(at.Day() - (weekStart == WeekStart::Sunday ? 1 : 2), DaysPerWeek); break;
    case DateUnit::Month: {
      const CivilDate d = DateOf(at);
      u = std::int64_t{d.year} * MonthsPerYear + d.month - 1;
      break;
    }
    case DateUnit::Year: u = DateOf(at).year; break;
  }
  while (at < TickOf(unit, weekStart, u)) --u;
  return u;
}

struct Dated {
  Stamp at;
  ExerciseFigures figures;
};

std::vector<Dated> DatedFigures(const std::vector<ExerciseRecord>& records) {
  std::vector<Dated> dated;
  dated.reserve(records.size());
  for (const ExerciseRecord& r : records) {
    if (!r.data) continue;
    ExerciseFigures f = FiguresOf(r);
    if (f.tl || f.precisao) dated.push_back({*r.data, std::move(f)});
  }
  std::stable_sort(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) { return a.at < b.at; });
  return dated;
}

std::vector<WeekMedian> WeeklyMedians(const std::vector<Dated>& dated, WeekStart weekStart) {
  std::vector<WeekMedian> weeks;
  auto begin = dated.begin();
  while (begin != dated.end()) {
    const Stamp week = *ThisWeek(begin->at, weekStart).from;
    auto end =
        std::find_if(begin, dated.end(), [&](const Dated& d) { return *ThisWeek(d.at, weekStart).from != week; });
    std::vector<double> tl, precisao;
    for (auto it = begin; it != end; ++it) {
      if (it->figures.tl) tl.push_back(*it->figures.tl);
      if (it->figures.precisao) precisao.push_back(*it->figures.precisao);
    }
    const Stamp middle{begin->at.ms + (std::prev(end)->at.ms - begin->at.ms) / 2};
    weeks.push_back({middle, Median(std::move(tl)), Median(std::move(precisao))});
    begin = end;
  }
  return weeks;
}

}  // namespace

RoundScale RoundScaleFor(double low, double high, int maxIntervals, double minimumStep) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(minimumStep > 0)) return {0, minimumStep, minimumStep};
  if (!(high > low)) high = low + minimumStep;
  for (double power = std::pow(10.0, std::floor(std::log10(minimumStep)));; power *= 10) {
    for (const double factor : {1.0, 2.0, 5.0}) {
      const double step = factor * power;
      if (step < minimumStep) continue;
      const double from = std::floor(low / step + Slack) * step;
      const double to = std::ceil(high / step - Slack) * step;
      if ((to - from) / step <= maxIntervals + Slack) return {from, to, step};
    }
  }
}

DateScale DateScaleFor(Stamp first, Stamp last, WeekStart weekStart, int maxIntervals) {
  if (last < first) std::swap(first, last);
  struct Choice {
    DateUnit unit;
    int units;
  };
  static constexpr std::array Choices{
      Choice{DateUnit::Day, 1},     Choice{DateUnit::Day, 2},     Choice{DateUnit::Week, 1},
      Choice{DateUnit::Week, 2},    Choice{DateUnit::Month, 1},   Choice{DateUnit::Month, 2},
      Choice{DateUnit::Month, 3},   Choice{DateUnit::Month, 6},   Choice{DateUnit::Year, 1},
      Choice{DateUnit::Year, 2},    Choice{DateUnit::Year, 5},    Choice{DateUnit::Year, 10},
      Choice{DateUnit::Year, 20},   Choice{DateUnit::Year, 50},   Choice{DateUnit::Year, 100},
      Choice{DateUnit::Year, 200},  Choice{DateUnit::Year, 500},  Choice{DateUnit::Year, 1000},
      Choice{DateUnit::Year, 2000}, Choice{DateUnit::Year, 5000}, Choice{DateUnit::Year, 10000}};
  DateScale scale;
  for (const Choice& c : Choices) {
    const std::int64_t from = FloorDiv(UnitAtOrBefore(c.unit, weekStart, first), c.units) * c.units;
    std::int64_t to = UnitAtOrBefore(c.unit, weekStart, last);
    if (TickOf(c.unit, weekStart, to) < last) ++to;
    const std::int64_t intervals = std::max<std::int64_t>(1, (to - from + c.units - 1) / c.units);
    scale = {TickOf(c.unit, weekStart, from), TickOf(c.unit, weekStart, from + intervals * c.units),
             static_cast<int>(std::min<std::int64_t>(intervals, maxIntervals)), c.unit, c.units};
    if (intervals <= maxIntervals) break;
  }
  return scale;
}

Stamp TickAt(const DateScale& scale, int index) {
  return {scale.first.ms + (scale.last.ms - scale.first.ms) * index / scale.intervals};
}

ProgressSpan MakeProgressSpan(const std::vector<ExerciseRecord>& records, WeekStart weekStart, Stamp today) {
  ProgressSpan span;
  const std::vector<Dated> dated = DatedFigures(records);
  double maxTl = 0, minPrecisao = AccuracyFloor, maxPrecisao = FullPercent;
  const std::size_t stride = dated.size() / MaxProgressPoints + 1;
  for (std::size_t i = 0; i < dated.size(); ++i) {
    const ExerciseFigures& f = dated[i].figures;
    if (f.tl) maxTl = std::max(maxTl, *f.tl);
    if (f.precisao) minPrecisao = std::min(minPrecisao, *f.precisao);
    if (f.precisao) maxPrecisao = std::max(maxPrecisao, *f.precisao);
    if (i % stride != 0) continue;
    if (f.tl) span.tl.push_back({dated[i].at, *f.tl});
    if (f.precisao) span.precisao.push_back({dated[i].at, *f.precisao});
  }
  span.weeks = WeeklyMedians(dated, weekStart);
  span.empty = dated.empty();
  span.dates = span.empty ? DateScaleFor(Stamp{today.ms - DaysPerWeek * MsPerDay}, today, weekStart, MaxDateIntervals)
                          : DateScaleFor(dated.front().at, dated.back().at, weekStart, MaxDateIntervals);
  span.tlScale = RoundScaleFor(0, span.empty ? EmptyTlTop : maxTl, MaxValueIntervals, TlMinimumStep);
  span.precisaoScale = RoundScaleFor(minPrecisao, maxPrecisao, MaxValueIntervals, PrecisaoMinimumStep);
  return span;
}

}  // namespace tecladim::classroom
