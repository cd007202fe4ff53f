#pragma once
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The text forms of the numbers the exercise shows and reads back: whole numbers as the
// labels show them, and percentages in the Brazilian "#,##0.0%" form.
namespace tecladim {

// A text that should have been a number and is not. Its message is the one the standard
// error display shows, e.g. "'abc' is not a valid integer value".
class ConversionError : public std::runtime_error {
 public:
  // "'<text>' is not a valid <kind>", the text in UTF-8.
  ConversionError(std::u16string_view text, std::string_view kind);
};

// Decimal digits with a leading minus for negative values: "0", "-12".
std::u16string IntegerText(std::int64_t value);

// Reads a whole decimal number: leading blanks, an optional "+" or "-", then one or more
// digits up to the end, within the signed 32-bit range. No value for anything else
// ("", "+", "1,", "5 ", "99999999999").
std::optional<std::int32_t> ParseInteger(std::u16string_view text);

// ParseInteger, or ConversionError "'<text>' is not a valid integer value".
std::int32_t IntegerValue(std::u16string_view text);

// "#,##0.0%": one decimal, a decimal comma, a dot between thousands, a leading minus,
// and "%" appended to the value as given (it is already multiplied by 100).
// Rounding is half away from zero on the value's decimal form to 12 significant digits,
// so 98.25 shows "98,3" and 0.05, which binary floating point holds a hair below, "0,1".
// A value that rounds to zero shows "0,0%", never "-0,0%".
std::u16string PercentText(double value);

// A whole count of 10^-decimals units in the Brazilian form: a decimal comma, a dot
// between thousands, a leading minus, exact (no floating point): (123456, 2) shows
// "1.234,56", (735, 2) "7,35", (1234, 0) "1.234", (-5, 1) "-0,5".
std::u16string FixedPointText(std::int64_t units, int decimals);

}  // namespace tecladim
