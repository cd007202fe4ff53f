#include "exercise/figures.h"

#include "exercise/number_text.h"

namespace tecladim {
namespace {
constexpr double Percent = 100.0;
}  // namespace

std::u16string AccuracyFloorText() { return IntegerText(AccuracyFloorPercent) + u"%"; }

double AccuracyPercent(std::int64_t errors, std::int64_t total) {
  if (total == 0) return Percent;
  return (1.0 - static_cast<double>(errors) / static_cast<double>(total)) * Percent;
}

std::int32_t TargetSeconds(std::u16string_view tempo) { return tempo.empty() ? 0 : IntegerValue(tempo); }

double TargetPercent(std::int32_t target, std::int64_t seconds) {
  return static_cast<double>(target) / static_cast<double>(seconds) * Percent;
}

}  // namespace tecladim
