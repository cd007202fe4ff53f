#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The figures the trainer shows and the class report counts, decided once: the accuracy,
// the floor it should not fall under, and how much of a passage's target time was reached.
namespace tecladim {

// "Não deixar ser inferior a 70%": the accuracy a student keeps above.
inline constexpr int AccuracyFloorPercent = 70;
inline constexpr double AccuracyFloor = AccuracyFloorPercent;

// "70%", built from the floor for every text that names it.
std::u16string AccuracyFloorText();

// (1 - errors / total) x 100; 100 when nothing was asked (total 0). More errors than
// characters give a negative value.
double AccuracyPercent(std::int64_t errors, std::int64_t total);

// The target seconds written in a lesson's suffix ("60" of "(60)"), read strictly: no text
// is 0, which means no target; anything but a whole number is a ConversionError.
std::int32_t TargetSeconds(std::u16string_view tempo);

// The target as a share of the time taken: target / seconds x 100 ("Percentual tempo
// alcançado"); seconds must be above 0.
double TargetPercent(std::int32_t target, std::int64_t seconds);

}  // namespace tecladim
