#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "exam/alignment.h"

// The rules of the typing tests of public exams, as profiles a student picks. Each rule
// is read from public notices and preparation sites and kept with a version, so a result
// names the rule it was scored by; a profile is "no estilo de" a board, never the board's.
// Texts are UTF-8.
namespace tecladim::exam {

enum class Scale : std::uint8_t {
  NetStrokes,           // TL = toques brutos - erros x peso over the whole test
  NetStrokesPerMinute,  // the same TL divided by the test's minutes, in tenths
  PointsLessPerError,   // a maximum less a fixed amount per error, in hundredths, never below 0
};

struct Profile {
  std::string_view name;     // what the student picks and --perfil takes: "TJ-MG"
  std::int32_t version = 1;  // raised whenever the rule below changes
  std::string_view style;    // "no estilo do TJ-MG"
  std::string_view source;   // where the rule was read
  std::int32_t minutes = 5;  // the test's time
  std::int32_t errorWeight = 1;
  Scale scale = Scale::NetStrokes;
  // In the grade's units: TL; tenths of TL per minute; hundredths of a point.
  std::int64_t passMark = 0;
  std::int64_t maxPoints = 0;       // hundredths, PointsLessPerError only
  std::int64_t pointsPerError = 0;  // hundredths, PointsLessPerError only
  UnreachedText unreached = UnreachedText::NotAnError;
  std::int32_t textLength = 0;  // characters of the board's usual text, about; 0 when not said
  // Whether the instructor chooses the time and the pass mark.
  bool chosen = false;
};

// TJ-MG, PC-MG, PC-ES, TJ-SP, Livre, in that order.
std::span<const Profile> Profiles();

// The profile of that name, ignoring letter case; nullptr for none.
const Profile* FindProfile(std::string_view name);

// "Livre" with the instructor's time and pass mark (tenths of TL per minute).
Profile FreeProfile(std::int32_t minutes, std::int64_t passMarkTenths);

// The grade's decimals: 0 for TL, 1 for TL per minute, 2 for points.
int GradeDecimals(Scale scale);
// The grade's unit after its number: "TL", "TL por minuto", "pontos".
std::string_view GradeUnit(Scale scale);

// One line of the profile's rule: how TL and the grade are found and what passes,
// "TL = toques brutos − erros × 1, no tempo da prova (5 minutos); apto com 600 TL".
std::string RuleText(const Profile& profile);

// How errors are counted, in sentences for the rules screen and the result sheet; says
// what this profile does with the text not reached.
std::string CountingRuleText(const Profile& profile);

}  // namespace tecladim::exam
