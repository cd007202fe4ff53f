#include "exercise/exercise_state.h"

#include <cmath>

#include "exercise/number_text.h"

namespace tecladim {

DateTime TimeOfDayPart(DateTime now) { return std::fabs(now - std::trunc(now)); }

std::u16string AccuracyText(std::int32_t errorCount, std::int32_t total) {
  if (total == 0) return u"100,0%";
  const double a = (1.0 - static_cast<double>(errorCount) / static_cast<double>(total)) * 100.0;
  return PercentText(a);
}

}  // namespace tecladim
