#include "exercise/judge.h"

#include <algorithm>
#include <limits>

namespace tecladim {

std::int32_t ModelPosition(std::int64_t caret, std::size_t modelLength) noexcept {
  // Each model line stands in the typing box with its CR LF; what is left after the full
  // lines is the place within the current one. A remainder, not a loop of subtractions:
  // the same answer in one step whatever the caret, and no overflow near the int limits.
  if (caret < 0) return 1;
  const auto lineSpan = static_cast<std::int64_t>(modelLength) + 2;
  return static_cast<std::int32_t>(caret % lineSpan + 1);
}

std::int32_t TypedLineCount(std::u16string_view typed) noexcept {
  if (typed.empty()) return 0;
  const auto breaks = std::count(typed.begin(), typed.end(), u'\n');
  const bool lastLineEmpty = typed.back() == u'\n';
  const auto lines = breaks + (lastLineEmpty ? 0 : 1);
  return static_cast<std::int32_t>(std::min<std::ptrdiff_t>(lines, std::numeric_limits<std::int32_t>::max()));
}

bool LineAdvanceLost(const ExerciseState& state, std::int64_t caret, std::size_t modelLength) noexcept {
  const auto afterLastCharacter = static_cast<std::int64_t>(modelLength) + 1;
  return state.pula && modelLength > 0 && ModelPosition(caret, modelLength) == afterLastCharacter;
}

namespace {

bool CompletesExercise(const KeyInput& in) {
  if (IsDrill(in.lesson)) return in.lineCount == DrillRepetitions;
  // A passage is complete when the typed text and this key are the model exactly; the key
  // itself has already been found equal to the model's last character.
  const std::size_t length = in.model.size();
  return in.typed.size() + 1 == length && in.model.substr(0, length - 1) == in.typed;
}

}  // namespace

Judgement JudgeKey(ExerciseState& state, const KeyInput& in) noexcept {
  Judgement verdict;
  if (state.busy) return verdict;

  state.lastKey = in.key;
  const std::int32_t p = ModelPosition(in.caret, in.model.size());
  state.position = p;
  const auto length = static_cast<std::int32_t>(in.model.size());
  verdict.recomputeAccuracy = true;

  if (in.key != EnterChar) {
    // Exact comparison: case, accents and control characters all count. Past the line's
    // end the model offers nothing, so every character there is wrong.
    const bool right = p <= length && in.model[static_cast<std::size_t>(p - 1)] == in.key;
    if (!right) {
      if (state.errorCount < std::numeric_limits<std::int32_t>::max()) ++state.errorCount;
      verdict.cancel = true;
      verdict.error = true;
      return verdict;
    }
  }

  if (p == length) {
    if (in.key == EnterChar) {
      // The student's Enter before the line's last character is refused like anywhere
      // else; letting it through would put a line break in mid-line.
      verdict.cancel = true;
    } else if (CompletesExercise(in)) {
      verdict.armCompletion = true;
    } else {
      verdict.lineAdvance = true;
    }
    return verdict;
  }

  if (state.pula) {
    state.pula = false;  // as a rule, the injected Enter of the line just finished
  } else if (in.key == EnterChar) {
    verdict.cancel = true;  // the student's own Enter: no error, no beep
  }
  return verdict;
}

}  // namespace tecladim
