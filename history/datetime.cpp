#include "history/datetime.h"

#include <chrono>
#include <cmath>

namespace tecladim {
namespace {

namespace chr = std::chrono;

// 30/12/1899 as days since the Unix epoch.
constexpr std::int64_t EpochOffset =
    chr::sys_days{chr::year{1899} / chr::December / 30}.time_since_epoch().count();

static_assert(FirstDay == chr::sys_days{chr::year{1} / chr::January / 1}.time_since_epoch().count() - EpochOffset);
static_assert(LastDay == chr::sys_days{chr::year{9999} / chr::December / 31}.time_since_epoch().count() - EpochOffset);

}  // namespace

std::int64_t DaysFromCivil(CivilDate date) {
  const chr::year_month_day ymd{chr::year{date.year}, chr::month{date.month}, chr::day{date.day}};
  return chr::sys_days{ymd}.time_since_epoch().count() - EpochOffset;
}

CivilDate CivilFromDays(std::int64_t days) {
  const chr::year_month_day ymd{chr::sys_days{chr::days{days + EpochOffset}}};
  return {static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
          static_cast<unsigned>(ymd.day())};
}

bool IsValidDate(int year, unsigned month, unsigned day) {
  return chr::year_month_day{chr::year{year}, chr::month{month}, chr::day{day}}.ok();
}

Stamp MakeStamp(std::int64_t day, std::int32_t msOfDay) {
  return Stamp{day < 0 ? day * MsPerDay - msOfDay : day * MsPerDay + msOfDay};
}

Stamp ToStamp(DateTime value) {
  if (std::isnan(value)) return Stamp{};
  const double limit = static_cast<double>(LastDay + 1);
  double magnitude = std::fabs(value);
  if (magnitude >= limit) magnitude = limit - 1.0 / static_cast<double>(MsPerDay);
  const auto total = static_cast<std::int64_t>(std::llround(magnitude * static_cast<double>(MsPerDay)));
  const std::int64_t day = total / MsPerDay;
  const auto msOfDay = static_cast<std::int32_t>(total % MsPerDay);
  if (value < 0 && day > 0) return MakeStamp(day <= -FirstDay ? -day : FirstDay, msOfDay);
  return MakeStamp(day, msOfDay);
}

DateTime FromStamp(Stamp stamp) {
  const auto day = static_cast<double>(stamp.Day());
  const double fraction = static_cast<double>(stamp.MsOfDay()) / static_cast<double>(MsPerDay);
  return stamp.ms < 0 ? day - fraction : day + fraction;
}

DateTime EncodeTime(TimeOfDay time) {
  const std::int64_t ms = ((time.hour * 60LL + time.minute) * 60LL + time.second) * 1000LL + time.millisecond;
  return static_cast<double>(ms) / static_cast<double>(MsPerDay);
}

DateTime EncodeDateTime(CivilDate date, TimeOfDay time) {
  return FromStamp(MakeStamp(DaysFromCivil(date), static_cast<std::int32_t>(std::llround(
                                                       EncodeTime(time) * static_cast<double>(MsPerDay)))));
}

CivilDate DateOf(Stamp stamp) { return CivilFromDays(stamp.Day()); }

TimeOfDay TimeOf(Stamp stamp) {
  std::int32_t ms = stamp.MsOfDay();
  TimeOfDay t;
  t.millisecond = ms % 1000;
  ms /= 1000;
  t.second = ms % 60;
  ms /= 60;
  t.minute = ms % 60;
  t.hour = ms / 60;
  return t;
}

}  // namespace tecladim
