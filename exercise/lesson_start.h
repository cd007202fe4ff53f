#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "exercise/exercise_state.h"

namespace tecladim {

// What the model box shows for a number without a lesson; the exercise then runs on it.
inline constexpr std::u16string_view NoLessonText = u"Erro.";
// Shown in a plain message box once NoLessonText is in the model box.
inline constexpr std::u16string_view NotPreparedMessage = u"Exercício não preparado.";

inline constexpr std::u16string_view DrillInstruction = u"Repita 15 vezes o texto acima em cada linha";
inline constexpr std::u16string_view PassageInstruction = u"Digite o texto acima 1 vez idêntico";

// Where the target time begins in a lesson text: the last one starts the suffix.
inline constexpr char16_t TargetTimeOpen = u'(';
// At most this many characters after the "(" are read as the target (closing ")" included).
inline constexpr std::size_t TargetTimeSpan = 100;

// The lesson number the spin box's text reads as: a whole decimal number (ParseInteger),
// or 1, the spin box's minimum, for anything else. Not limited to 1..LessonCount.
int ReadLessonNumber(std::u16string_view spinText);

// Everything a lesson start shows, worked out from the lesson number alone.
struct LessonSetup {
  int lesson = 1;                   // as read from the spin box
  std::u16string_view lessonText;   // catalogue text (suffix included) or NoLessonText
  bool notPrepared = false;         // no lesson of that number: show NotPreparedMessage
  std::u16string_view model;        // lessonText with the target-time suffix cut away
  std::u16string tempo;             // target seconds as written, or empty
  std::u16string instruction;       // the line above the typing box
  std::int32_t total = 0;           // characters asked for: 15 x model for drills
};

LessonSetup PrepareLesson(int lesson);

// The lesson start, in the window's order:
//   setup = StartLesson(state, spin text)   error count 0 (shown as "0" at once), no line
//                                           advance pending (pula and busy flag cleared)
//   model box := setup.lessonText; if setup.notPrepared, show NotPreparedMessage and wait
//   typing box emptied
//   BeginExercise(state, setup, clock)      read the clock after the message box
//   model box := setup.model; instruction line := setup.instruction
//   typing box writable, focused unless state.noFocus; accuracy shown
// The views in the setup point into static storage and stay valid for the whole run.
LessonSetup StartLesson(ExerciseState& state, std::u16string_view spinText);

// inicio := the time of day of `now`; tempo and total from the setup. Position and last
// key are left as they are: the judge writes both before it reads them.
void BeginExercise(ExerciseState& state, const LessonSetup& setup, DateTime now);

// Splits a lesson text at its last "(": the model before it, the target after it less
// its last character (at most TargetTimeSpan characters read).
struct TargetTimeSplit {
  std::u16string_view model;
  std::u16string_view tempo;
};
TargetTimeSplit SplitTargetTime(std::u16string_view lessonText);

}  // namespace tecladim
