#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace tecladim {

inline constexpr int LessonCount = 192;
// Numbers below this one are drills, typed 15 times; from here on, passages typed once.
inline constexpr int FirstPassageLesson = 157;

// Whether a number has a lesson of the catalogue ("Lições de 1 a 192").
constexpr bool HasLesson(std::int64_t number) { return number >= 1 && number <= LessonCount; }

// The stored text of a lesson, target-time suffix included; no value outside 1..LessonCount.
// The text lives in static storage: the view stays valid for the whole run.
std::optional<std::u16string_view> LessonText(int number);

}  // namespace tecladim
