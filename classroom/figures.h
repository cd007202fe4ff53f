#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "exercise/figures.h"
#include "history/datetime.h"

// The figures an instructor reads off one history record: characters asked for, time
// taken, speed, accuracy and the timed passage's target. Pure arithmetic on the record's
// fields and the lesson catalogue; the class report's windows and exports only show them.
namespace tecladim::classroom {

// An accuracy below the trainer's own floor ("Não deixar ser inferior a 70%") is flagged.
using tecladim::AccuracyFloor;
// Speed in words counts five characters as a word.
inline constexpr int CharactersPerWord = 5;

// One history record as loaded: the fields the figures need, each possibly blank.
struct ExerciseRecord {
  std::uint32_t recordNumber = 0;       // 1.. in file order
  std::optional<std::int32_t> licao;
  std::optional<Stamp> data;
  std::optional<std::int32_t> erros;
  std::optional<std::int64_t> tempoS;   // see DurationSeconds
  friend bool operator==(const ExerciseRecord&, const ExerciseRecord&) = default;
};

// Whole seconds of a record's duration: from `tempo`, or from `fim` - `inicio` when `tempo`
// is blank; a negative duration (across midnight) by its magnitude, as the trainer shows it.
// No value when neither way gives one.
std::optional<std::int64_t> DurationSeconds(std::optional<Stamp> tempo, std::optional<Stamp> inicio,
                                            std::optional<Stamp> fim);

// What a lesson number asks for. A number without a lesson is typed on the text "Erro.".
struct LessonDemand {
  std::int32_t toques = 0;              // 15 x the model for a drill, the model for a passage
  std::optional<std::int32_t> meta;     // target seconds of a timed passage
  bool drill = true;
};
LessonDemand DemandOf(std::int32_t licao);

struct ExerciseFigures {
  std::optional<std::int32_t> toques;   // none for a blank `licao`
  std::optional<double> tpm;            // toques por minuto
  std::optional<double> ppm;            // palavras por minuto
  std::optional<double> tl;             // toques líquidos por minuto
  std::optional<double> precisao;       // percent, the trainer's accuracy
  std::optional<std::int32_t> meta;
  std::optional<double> percentualMeta; // the trainer's "Percentual tempo alcançado"
  bool belowAccuracyFloor = false;
  // A timed passage finished within its target time.
  bool withinTarget = false;
};

ExerciseFigures FiguresOf(const ExerciseRecord& record);

// The CSV and table form of a figure: one decimal, decimal comma, half away from zero,
// no thousands separator ("729,5", "-3,0", "0,0").
std::string DecimalText(double value);
// The same with a thousands dot, for the screen ("1.234,5").
std::string GroupedDecimalText(double value);
// "dd/mm/aaaa hh:mm:ss", the time always shown.
std::string DateTimeText(Stamp stamp);
// "dd/mm/aaaa".
std::string DateText(Stamp stamp);

}  // namespace tecladim::classroom
