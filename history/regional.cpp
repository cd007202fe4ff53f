#include "history/regional.h"

namespace tecladim {
namespace {

void AppendDigits(std::u16string& out, long long value, int width) {
  char16_t buffer[24];
  int n = 0;
  unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                   : static_cast<unsigned long long>(value);
  do {
    buffer[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n < width) buffer[n++] = u'0';
  if (value < 0) out.push_back(u'-');
  while (n > 0) out.push_back(buffer[--n]);
}

// Reads 1 or 2 digits (up to maxDigits) at pos; advances pos.
std::optional<int> ReadNumber(std::u16string_view text, std::size_t& pos, int maxDigits) {
  int value = 0;
  int digits = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= u'0' && text[pos] <= u'9') {
    value = value * 10 + (text[pos] - u'0');
    ++pos;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

bool Expect(std::u16string_view text, std::size_t& pos, char16_t c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

std::u16string ShortDate(Stamp stamp) {
  const CivilDate d = DateOf(stamp);
  std::u16string out;
  out.reserve(10);
  AppendDigits(out, d.day, 2);
  out.push_back(u'/');
  AppendDigits(out, d.month, 2);
  out.push_back(u'/');
  AppendDigits(out, d.year, 4);
  return out;
}

std::u16string LongTime(Stamp stamp) {
  const TimeOfDay t = TimeOf(stamp);
  std::u16string out;
  out.reserve(8);
  AppendDigits(out, t.hour, 2);
  out.push_back(u':');
  AppendDigits(out, t.minute, 2);
  out.push_back(u':');
  AppendDigits(out, t.second, 2);
  return out;
}

std::u16string DateTimeText(Stamp stamp) {
  std::u16string out = ShortDate(stamp);
  if (stamp.MsOfDay() != 0) {
    out.push_back(u' ');
    out += LongTime(stamp);
  }
  return out;
}

std::u16string ShortDate(DateTime value) { return ShortDate(ToStamp(value)); }
std::u16string LongTime(DateTime value) { return LongTime(ToStamp(value)); }
std::u16string DateTimeText(DateTime value) { return DateTimeText(ToStamp(value)); }

std::optional<DateTime> ParseDateTime(std::u16string_view text) {
  std::size_t pos = 0;
  const auto day = ReadNumber(text, pos, 2);
  if (!day || !Expect(text, pos, u'/')) return std::nullopt;
  const auto month = ReadNumber(text, pos, 2);
  if (!month || !Expect(text, pos, u'/')) return std::nullopt;
  const auto year = ReadNumber(text, pos, 4);
  if (!year || !IsValidDate(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)) || *year < 1)
    return std::nullopt;
  TimeOfDay time;
  if (pos < text.size()) {
    if (!Expect(text, pos, u' ')) return std::nullopt;
    const auto hour = ReadNumber(text, pos, 2);
    if (!hour || !Expect(text, pos, u':')) return std::nullopt;
    const auto minute = ReadNumber(text, pos, 2);
    if (!minute) return std::nullopt;
    int second = 0;
    if (pos < text.size()) {
      if (!Expect(text, pos, u':')) return std::nullopt;
      const auto s = ReadNumber(text, pos, 2);
      if (!s) return std::nullopt;
      second = *s;
    }
    if (pos != text.size() || *hour > 23 || *minute > 59 || second > 59) return std::nullopt;
    time = {*hour, *minute, second, 0};
  }
  return EncodeDateTime({*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)}, time);
}

}  // namespace tecladim
