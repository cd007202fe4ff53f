#include "exercise/lesson_start.h"

#include "exercise/number_text.h"

namespace tecladim {

namespace {
constexpr int SpinMinimum = 1;
constexpr std::u16string_view TargetPrefix = u" - EM ";
constexpr std::u16string_view TargetSuffix = u" SEGUNDOS";
}  // namespace

int ReadLessonNumber(std::u16string_view spinText) {
  return ParseInteger(spinText).value_or(SpinMinimum);
}

TargetTimeSplit SplitTargetTime(std::u16string_view lessonText) {
  const std::size_t open = lessonText.rfind(TargetTimeOpen);
  if (open == std::u16string_view::npos) return {lessonText, {}};
  std::u16string_view after = lessonText.substr(open + 1, TargetTimeSpan);
  if (!after.empty()) after.remove_suffix(1);
  return {lessonText.substr(0, open), after};
}

LessonSetup PrepareLesson(int lesson) {
  LessonSetup setup;
  setup.lesson = lesson;
  if (const auto text = LessonText(lesson)) {
    setup.lessonText = *text;
  } else {
    setup.lessonText = NoLessonText;
    setup.notPrepared = true;
  }
  const TargetTimeSplit split = SplitTargetTime(setup.lessonText);
  setup.model = split.model;
  setup.tempo = std::u16string(split.tempo);
  const auto length = static_cast<std::int32_t>(setup.model.size());
  if (IsDrill(lesson)) {
    setup.instruction = std::u16string(DrillInstruction);
    setup.total = DrillRepetitions * length;
  } else {
    setup.instruction = std::u16string(PassageInstruction);
    if (!setup.tempo.empty()) {
      setup.instruction += TargetPrefix;
      setup.instruction += setup.tempo;
      setup.instruction += TargetSuffix;
    }
    setup.total = length;
  }
  return setup;
}

LessonSetup StartLesson(ExerciseState& state, std::u16string_view spinText) {
  state.errorCount = 0;
  // A line advance of the exercise before (its Enter swallowed by a flash, or still on its
  // way) must not let a line break into the fresh typing box.
  state.pula = false;
  state.busy = false;
  return PrepareLesson(ReadLessonNumber(spinText));
}

void BeginExercise(ExerciseState& state, const LessonSetup& setup, DateTime now) {
  state.inicio = TimeOfDayPart(now);
  state.tempo = setup.tempo;
  state.total = setup.total;
}

}  // namespace tecladim
