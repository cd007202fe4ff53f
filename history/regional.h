#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "history/datetime.h"

// The Brazilian text forms of dates and times. They are fixed, whatever the machine's
// locale: the completion step reads hours, minutes and seconds from fixed character
// positions and parses dates back from text, which a 12-hour clock or a month-first
// date would silently corrupt.
namespace tecladim {

// "dd/mm/yyyy": ten characters, the date the value reads as.
std::u16string ShortDate(DateTime value);
std::u16string ShortDate(Stamp stamp);

// "hh:mm:ss", 24-hour, the fraction of a second dropped (not rounded).
std::u16string LongTime(DateTime value);
std::u16string LongTime(Stamp stamp);

// The short date, then a blank and the long time unless the time is exactly midnight.
std::u16string DateTimeText(DateTime value);
std::u16string DateTimeText(Stamp stamp);

// Reads "dd/mm/yyyy", optionally followed by one blank and "hh:mm" or "hh:mm:ss"
// (one- or two-digit fields). No value when the text is not such a date and time.
std::optional<DateTime> ParseDateTime(std::u16string_view text);

}  // namespace tecladim
