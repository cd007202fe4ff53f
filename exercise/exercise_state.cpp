#include "exercise/exercise_state.h"

#include <cmath>

#include "exercise/figures.h"
#include "exercise/number_text.h"

namespace tecladim {

DateTime TimeOfDayPart(DateTime now) { return std::fabs(now - std::trunc(now)); }

std::u16string AccuracyText(std::int32_t errorCount, std::int32_t total) {
  return PercentText(AccuracyPercent(errorCount, total));
}

}  // namespace tecladim
