#pragma once
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/datetime.h"
#include "history/packet.h"
#include "history/packet_scanner.h"

// How the reader turns the text of a value into what a column holds. Lenient by design:
// a value that does not read as its type makes the field blank, never an error (unlike the
// strict ParseInteger and ParseDateTime that read the window's texts). Inline: a
// million-row load reads six million of them.
namespace tecladim::history::packet_reading {

// The range an integer column's values are held to; a wider number is clamped.
struct IntegerRange {
  std::int64_t min = 0;
  std::int64_t max = 0;
};

// An integer value: blank when a letter comes before any digit or there is no digit;
// otherwise the number at the start after blanks and a sign, 0 when the text starts
// otherwise. Too many digits saturate instead of wrapping.
inline std::optional<std::int64_t> IntegerOrBlank(std::string_view t, IntegerRange range) {
  std::size_t i = 0;
  while (i < t.size() && !IsDigit(t[i])) {
    if (IsLetter(t[i])) return std::nullopt;
    ++i;
  }
  if (i == t.size()) return std::nullopt;
  std::size_t k = 0;
  while (k < t.size() && IsBlank(t[k])) ++k;
  bool negative = false;
  if (k < t.size() && (t[k] == '+' || t[k] == '-')) negative = t[k++] == '-';
  constexpr std::uint64_t Cap = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  for (; k < t.size() && IsDigit(t[k]); ++k) {
    if (magnitude < Cap) magnitude = magnitude * 10 + static_cast<std::uint64_t>(t[k] - '0');
  }
  std::int64_t value = 0;
  if (negative) value = magnitude >= Cap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
  else value = magnitude >= Cap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
  return std::clamp(value, range.min, range.max);
}

// Whether `t` is how the save writes `value` back: its decimal digits, "-" before a
// negative one, nothing else; a blank value is an empty text.
inline bool IsWrittenInteger(std::string_view t, std::optional<std::int64_t> value) {
  if (!value) return t.empty();
  std::array<char, 24> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc{} && t == std::string_view(text.data(), static_cast<std::size_t>(end - text.data()));
}

// The number made by the digits at t[at...], at most maxDigits of them, right-padded with
// zeros to padTo digits (0 = no padding).
inline std::uint32_t DigitsAt(std::string_view t, std::size_t at, std::size_t maxDigits, std::size_t padTo) {
  std::uint32_t v = 0;
  std::size_t n = 0;
  for (; at + n < t.size() && n < maxDigits && IsDigit(t[at + n]); ++n) v = v * 10 + static_cast<std::uint32_t>(t[at + n] - '0');
  for (; n < padTo; ++n) v *= 10;
  return v;
}

// Whether a date-time text that read as a value is how the save writes it back:
// "YYYYMMDD" at midnight, else "YYYYMMDDTHH:MM:SSmmm" with a time of day in range.
inline bool IsWrittenDateTime(std::string_view t) {
  constexpr std::size_t DateOnly = 8, WithTime = 20;
  const auto digitsAt = [&](std::size_t from, std::size_t count) {
    return std::all_of(t.begin() + static_cast<std::ptrdiff_t>(from),
                       t.begin() + static_cast<std::ptrdiff_t>(from + count), IsDigit);
  };
  if (t.size() == DateOnly) return digitsAt(0, DateOnly);
  if (t.size() != WithTime || !digitsAt(0, 8) || t[8] != 'T' || t[11] != ':' || t[14] != ':' || !digitsAt(9, 2) ||
      !digitsAt(12, 2) || !digitsAt(15, 5))
    return false;
  const std::uint32_t hours = DigitsAt(t, 9, 2, 0), minutes = DigitsAt(t, 12, 2, 0), secondsMs = DigitsAt(t, 15, 5, 0);
  return hours <= 23 && minutes <= 59 && secondsMs <= 59'999 && hours + minutes + secondsMs != 0;
}

// Converts the calendar day of a date-time value, keeping the last one: a day's
// exercises share their date. No value for a day that does not exist.
class DayCache {
 public:
  std::optional<std::int64_t> Days(int year, unsigned month, unsigned day) {
    const std::uint32_t key = static_cast<std::uint32_t>(year) * 10000u + month * 100u + day;
    if (key != key_) {
      key_ = key;
      days_ = std::nullopt;
      if (year != 0 && IsValidDate(year, month, day)) days_ = DaysFromCivil({year, month, day});
    }
    return days_;
  }

 private:
  std::uint32_t key_ = 0;  // year 0 is never valid, so 0 is no key
  std::optional<std::int64_t> days_;
};

// Each date-time cell of a load goes through StampOrBlank, called from the sink alone: kept
// inside it, as the compiler would not do by itself for a function of this size.
#if defined(__GNUC__)
#define TECLADIM_INLINE_INTO_CALLER [[gnu::always_inline]] inline
#elif defined(_MSC_VER)
#define TECLADIM_INLINE_INTO_CALLER __forceinline
#else
#define TECLADIM_INLINE_INTO_CALLER inline
#endif

// A date-time value as Stamp::ms: year, month and day from the next 4, 2 and 2 digits
// (other characters between them passed over); then, after a "T" right behind them, the
// hours, the minutes three characters later and seconds*1000+ms three characters after
// those. A day that does not exist (31/02, month or day 0, year 0) or too few digits make
// it blank; a time out of range keeps the date at midnight.
TECLADIM_INLINE_INTO_CALLER std::optional<std::int64_t> StampOrBlank(std::string_view t, DayCache& days) {
  std::array<int, 8> d{};
  std::size_t got = 0;
  std::size_t i = 0;
  if (t.size() >= d.size() && std::all_of(t.begin(), t.begin() + 8, IsDigit)) {  // as the writer writes it
    for (; got < d.size(); ++got) d[got] = t[got] - '0';
    i = got;
  }
  for (; i < t.size() && got < d.size(); ++i) {
    if (IsDigit(t[i])) d[got++] = t[i] - '0';
  }
  if (got < d.size()) return std::nullopt;
  const int year = d[0] * 1000 + d[1] * 100 + d[2] * 10 + d[3];
  const auto month = static_cast<unsigned>(d[4] * 10 + d[5]);
  const auto day = static_cast<unsigned>(d[6] * 10 + d[7]);
  const std::optional<std::int64_t> dayNumber = days.Days(year, month, day);
  if (!dayNumber) return std::nullopt;
  std::int32_t msOfDay = 0;
  if (i < t.size() && t[i] == 'T') {
    constexpr std::size_t NumberDigits = 9;  // enough to be out of range, never to overflow
    const std::uint32_t hours = DigitsAt(t, i + 1, NumberDigits, 0);
    const std::uint32_t minutes = DigitsAt(t, i + 4, NumberDigits, 0);
    const std::uint32_t secondsMs = DigitsAt(t, i + 7, 5, 5);
    if (hours <= 23 && minutes <= 59 && secondsMs <= 59'999)
      msOfDay = static_cast<std::int32_t>(hours * 3'600'000 + minutes * 60'000 + secondsMs);
  }
  return *dayNumber < 0 ? *dayNumber * MsPerDay - msOfDay : *dayNumber * MsPerDay + msOfDay;  // MakeStamp
}

// The code page the text of the file is in: Windows-1252 unless it says UTF-8 and is.
enum class Encoding { Ansi, Utf8 };

// Decodes a raw value: the five XML entities and numeric references become characters
// (UTF-8), unknown references stay as written, and bytes of an ANSI file are converted
// from Windows-1252, so every text of the packet is valid UTF-8.
void DecodeValue(std::string_view raw, Encoding encoding, std::string& out);

// The change log: numbers separated by blanks, three to an entry (an incomplete last entry
// is dropped); a token that does not start with a digit counts as 0 and a number beyond 32
// bits as the largest one. False when any of that happened: the log is then rebuilt.
bool ReadChangeLog(std::string_view text, std::vector<ChangeLogEntry>& log);

}  // namespace tecladim::history::packet_reading
