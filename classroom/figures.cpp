#include "classroom/figures.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "exercise/exercise_state.h"
#include "exercise/figures.h"
#include "exercise/lesson_start.h"
#include "exercise/number_text.h"
#include "history/regional.h"

namespace tecladim::classroom {
namespace {

constexpr std::int64_t MsPerSecond = 1000;
constexpr double SecondsPerMinute = 60.0;

// The regional texts are plain ASCII digits and signs.
std::string Narrow(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out.push_back(static_cast<char>(c));
  return out;
}

LessonDemand ComputeDemand(std::int32_t licao) {
  const LessonSetup setup = PrepareLesson(licao);
  LessonDemand demand;
  demand.toques = setup.total;
  demand.drill = IsDrill(licao);
  if (!demand.drill) {
    if (const std::int32_t target = TargetSeconds(setup.tempo); target != 0) demand.meta = target;
  }
  return demand;
}

// The catalogue's lessons plus 0 and LessonCount + 1, worked out once: a class of a
// million records asks for them a million times.
const std::array<LessonDemand, LessonCount + 2>& DemandTable() {
  static const auto table = [] {
    std::array<LessonDemand, LessonCount + 2> t;
    for (std::int32_t n = 0; n <= LessonCount + 1; ++n) t[static_cast<std::size_t>(n)] = ComputeDemand(n);
    return t;
  }();
  return table;
}

}  // namespace

std::optional<std::int64_t> DurationSeconds(std::optional<Stamp> tempo, std::optional<Stamp> inicio,
                                            std::optional<Stamp> fim) {
  std::int64_t ms = 0;
  if (tempo) {
    ms = tempo->ms;
  } else if (inicio && fim) {
    ms = fim->ms - inicio->ms;
  } else {
    return std::nullopt;
  }
  return std::llabs(ms) / MsPerSecond;
}

LessonDemand DemandOf(std::int32_t licao) {
  if (licao >= 0 && licao <= LessonCount + 1) return DemandTable()[static_cast<std::size_t>(licao)];
  return ComputeDemand(licao);
}

ExerciseFigures FiguresOf(const ExerciseRecord& record) {
  ExerciseFigures f;
  if (!record.licao) return f;
  const LessonDemand demand = DemandOf(*record.licao);
  f.toques = demand.toques;
  f.meta = demand.meta;
  const double toques = demand.toques;
  if (record.erros) {
    f.precisao = AccuracyPercent(*record.erros, demand.toques);
    f.belowAccuracyFloor = *f.precisao < AccuracyFloor;
  }
  if (record.tempoS && *record.tempoS > 0) {
    const double seconds = static_cast<double>(*record.tempoS);
    f.tpm = toques * SecondsPerMinute / seconds;
    f.ppm = *f.tpm / CharactersPerWord;
    if (record.erros) {
      const double net = std::max(0.0, toques - static_cast<double>(*record.erros));
      f.tl = net * SecondsPerMinute / seconds;
    }
    if (f.meta) {
      f.percentualMeta = TargetPercent(*f.meta, *record.tempoS);
      f.withinTarget = *record.tempoS <= *f.meta;
    }
  }
  return f;
}

std::string GroupedDecimalText(double value) {
  std::string text = Narrow(PercentText(value));
  text.pop_back();  // the "%" of the percentage form
  return text;
}

std::string DecimalText(double value) {
  std::string text = GroupedDecimalText(value);
  std::erase(text, '.');
  return text;
}

std::string DateTimeText(Stamp stamp) { return Narrow(ShortDate(stamp)) + ' ' + Narrow(LongTime(stamp)); }

std::string DateText(Stamp stamp) { return Narrow(ShortDate(stamp)); }

}  // namespace tecladim::classroom
