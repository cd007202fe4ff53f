#pragma once
#include <cstdint>
#include <string>

#include "history/datetime.h"
#include "lessons/catalogue.h"

namespace tecladim {

// A drill line is typed this many times, one repetition per line of the typing box.
inline constexpr int DrillRepetitions = 15;

// Numbers below FirstPassageLesson are drills, 0 and negative numbers included.
constexpr bool IsDrill(int lesson) { return lesson < FirstPassageLesson; }

// What one exercise keeps between keys. The main window owns it; the lesson start, the
// keystroke judge and the completion step read and write it. The window shows errorCount
// in decimal (IntegerText), and the completion step reads the count back from that text.
struct ExerciseState {
  std::int32_t errorCount = 0;  // wrong keystrokes so far
  std::int32_t position = 0;    // 1-based place in the model text of the key last judged
  char16_t lastKey = 0;         // the character last judged
  std::int32_t total = 0;       // characters the whole exercise asks for
  DateTime inicio = 0;          // start, a time of day (date part 0)
  std::u16string tempo;         // target seconds as written in the lesson text, or empty
  bool pula = false;            // the next key judged away from a line's end is the line advance
  bool busy = false;            // set while a line advance is being injected
  bool noFocus = false;         // the lesson start runs for a lesson-number change: focus stays put
};

// The time of day of a date and time (the fraction of a non-negative value).
DateTime TimeOfDayPart(DateTime now);

// The accuracy label's text: (1 - errors / total) * 100 as "#,##0.0%", "100,0%" for a
// total of 0. The error count may exceed the total; the percentage is then negative.
std::u16string AccuracyText(std::int32_t errorCount, std::int32_t total);
inline std::u16string AccuracyText(const ExerciseState& state) {
  return AccuracyText(state.errorCount, state.total);
}

}  // namespace tecladim
