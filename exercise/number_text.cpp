#include "exercise/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "history/utf8.h"

namespace tecladim {
namespace {

constexpr int SignificantDigits = 12;

// The decimal digits of round(|value| * 10), half away from zero, taken from the value's
// decimal form to SignificantDigits digits. At least two digits: "05" for 0.5.
std::string TenthsDigits(double magnitude) {
  // to_chars, unlike printf, never takes the decimal point from the C library's locale,
  // which the toolkit sets from the environment (a comma on Brazilian machines).
  char buffer[64];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, SignificantDigits - 1);
  // buffer: d.ddddddddddde[+-]xx
  std::string mantissa;
  const char* p = buffer;
  for (; p != written.ptr && *p != 'e'; ++p)
    if (*p != '.') mantissa.push_back(*p);
  int exponent = 0;
  if (p != written.ptr) {
    const char* e = p + 1;
    if (e != written.ptr && *e == '+') ++e;  // from_chars takes no plus sign
    std::from_chars(e, written.ptr, exponent);
  }
  // The mantissa digits stand for 0.d1d2... * 10^(exponent+1); tenths keep exponent+2 of them.
  const int kept = exponent + 2;
  std::string digits;
  int roundDigit = 0;
  if (kept <= 0) {
    roundDigit = kept == 0 ? mantissa[0] - '0' : 0;
  } else {
    for (int i = 0; i < kept; ++i)
      digits.push_back(i < static_cast<int>(mantissa.size()) ? mantissa[static_cast<std::size_t>(i)] : '0');
    if (kept < static_cast<int>(mantissa.size())) roundDigit = mantissa[static_cast<std::size_t>(kept)] - '0';
  }
  if (roundDigit >= 5) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i) digits[static_cast<std::size_t>(i)] = '0';
    if (i < 0)
      digits.insert(digits.begin(), '1');
    else
      ++digits[static_cast<std::size_t>(i)];
  }
  while (digits.size() < 2) digits.insert(digits.begin(), '0');
  return digits;
}

}  // namespace

namespace {
std::string NotValidMessage(std::u16string_view text, std::string_view kind) {
  std::string message = "'";
  message += Utf8FromUtf16(text);
  message += "' is not a valid ";
  message += kind;
  return message;
}
}  // namespace

ConversionError::ConversionError(std::u16string_view text, std::string_view kind)
    : std::runtime_error(NotValidMessage(text, kind)) {}

std::u16string IntegerText(std::int64_t value) {
  char buffer[24];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::u16string(buffer, written.ptr);
}

std::optional<std::int32_t> ParseInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size()) return std::nullopt;
  // Accumulated as a magnitude; the negative side holds one more than the positive.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - u'0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t IntegerValue(std::u16string_view text) {
  if (const auto value = ParseInteger(text)) return *value;
  throw ConversionError(text, "integer value");
}

std::u16string PercentText(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  const std::string tenths = TenthsDigits(std::fabs(value));
  const std::size_t whole = tenths.size() - 1;
  std::u16string out;
  out.reserve(tenths.size() + tenths.size() / 3 + 3);
  if (value < 0 && tenths.find_first_not_of('0') != std::string::npos) out.push_back(u'-');
  for (std::size_t i = 0; i < whole; ++i) {
    if (i > 0 && (whole - i) % 3 == 0) out.push_back(u'.');
    out.push_back(static_cast<char16_t>(tenths[i]));
  }
  out.push_back(u',');
  out.push_back(static_cast<char16_t>(tenths[whole]));
  out.push_back(u'%');
  return out;
}

std::u16string FixedPointText(std::int64_t units, int decimals) {
  // The magnitude as unsigned, so the most negative value has one too.
  const std::uint64_t magnitude =
      units < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
  char buffer[24];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  std::string digits(buffer, written.ptr);
  const auto fraction = static_cast<std::size_t>(decimals < 0 ? 0 : decimals);
  if (digits.size() <= fraction) digits.insert(0, fraction + 1 - digits.size(), '0');
  const std::size_t whole = digits.size() - fraction;
  std::u16string out;
  if (units < 0) out.push_back(u'-');
  for (std::size_t i = 0; i < whole; ++i) {
    if (i > 0 && (whole - i) % 3 == 0) out.push_back(u'.');
    out.push_back(static_cast<char16_t>(digits[i]));
  }
  if (fraction > 0) out.push_back(u',');
  for (std::size_t i = whole; i < digits.size(); ++i) out.push_back(static_cast<char16_t>(digits[i]));
  return out;
}

}  // namespace tecladim
