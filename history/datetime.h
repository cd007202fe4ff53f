#pragma once
#include <compare>
#include <cstdint>

namespace tecladim {

// A date and time as the program passes it around: days since 30/12/1899 00:00, the
// integer part the date, the fraction the time of day. A time of day alone has date 0.
// A negative value reads as 30/12/1899 minus the whole days of its magnitude, with the
// magnitude of its fraction as the time of day.
using DateTime = double;

inline constexpr std::int64_t MsPerDay = 86'400'000;

// 01/01/0001 and 31/12/9999 in days since 30/12/1899: the range of a four-digit year, which
// every value is held to.
inline constexpr std::int64_t FirstDay = -693'593;
inline constexpr std::int64_t LastDay = 2'958'465;

struct CivilDate {
  int year = 1899;
  unsigned month = 12;
  unsigned day = 30;
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// A DateTime rounded to the whole millisecond, the precision the history keeps.
// `ms` is signed: the day is ms / MsPerDay (rounded toward zero) and the millisecond of
// the day is |ms % MsPerDay|, so -1.25 days and +1.25 days share their time of day.
// A value between -1 and 0 has no negative day to carry its sign and becomes positive.
struct Stamp {
  std::int64_t ms = 0;
  friend bool operator==(const Stamp&, const Stamp&) = default;
  friend auto operator<=>(const Stamp&, const Stamp&) = default;

  std::int64_t Day() const { return ms / MsPerDay; }
  std::int32_t MsOfDay() const {
    const std::int64_t r = ms % MsPerDay;
    return static_cast<std::int32_t>(r < 0 ? -r : r);
  }
};

// Rounds to the nearest millisecond, half away from zero, and applies the negative rule.
// Values beyond the years 1..9999 are clamped to that range.
Stamp ToStamp(DateTime value);
DateTime FromStamp(Stamp stamp);
Stamp MakeStamp(std::int64_t day, std::int32_t msOfDay);  // day may be negative

// Days since 30/12/1899 of a Gregorian date (proleptic for all years), and back.
std::int64_t DaysFromCivil(CivilDate date);
CivilDate CivilFromDays(std::int64_t days);

// False for months outside 1..12 and days the month does not have.
bool IsValidDate(int year, unsigned month, unsigned day);

DateTime EncodeDateTime(CivilDate date, TimeOfDay time);
DateTime EncodeTime(TimeOfDay time);

// The calendar date and time of day a value reads as (negative rule included).
CivilDate DateOf(Stamp stamp);
TimeOfDay TimeOf(Stamp stamp);

}  // namespace tecladim
