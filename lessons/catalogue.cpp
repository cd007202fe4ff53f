#include "lessons/catalogue.h"

#include <array>

namespace tecladim {
namespace {

// Placeholder table until the lesson texts are written.
constexpr std::array<std::u16string_view, LessonCount> Lessons = {};

}  // namespace

std::optional<std::u16string_view> LessonText(int number) {
  if (number < 1 || number > LessonCount) return std::nullopt;
  return Lessons[static_cast<std::size_t>(number - 1)];
}

}  // namespace tecladim
