#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "classroom/figures.h"
#include "history/datetime.h"
#include "history/packet.h"
#include "lessons/catalogue.h"
#include "tests/packet/packet_test_data.h"

// Histories that look like a real student's: a few exercises a day on school days, the
// lesson moving on every few exercises, speed rising and errors falling as weeks go by.
// Written with the trainer's own packet writer, so they read as the trainer's files.
namespace tecladim::classroom::testing {

struct StudentProfile {
  std::uint32_t seed = 1;
  int exercises = 100;
  std::int64_t firstDay = 0;      // days since 30/12/1899 of the first exercise
  double startTpm = 80;           // characters per minute at the start
  double gainPerExercise = 0.6;   // tpm gained per exercise
  double startErrorRate = 0.03;   // errors per character at the start
  int exercisesPerLesson = 3;
  int exercisesPerDay = 6;
};

class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double Next() {  // 0 <= x < 1
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_;
};

inline history::Packet StudentHistory(const StudentProfile& p) {
  history::Packet packet = history::testdata::HistoryColumns(static_cast<std::size_t>(p.exercises));
  Lcg random(p.seed);
  constexpr std::int64_t MsPerSecond = 1000;
  std::int64_t day = p.firstDay;
  std::int64_t clock = MakeStamp(day, (8 + static_cast<int>(random.Next() * 4)) * 3'600'000).ms;
  int today = 0;
  for (int i = 0; i < p.exercises; ++i) {
    const int licao = std::min(LessonCount, 1 + i / std::max(1, p.exercisesPerLesson));
    const LessonDemand demand = DemandOf(licao);
    const double tpm = std::max(20.0, (p.startTpm + p.gainPerExercise * i) * (0.85 + 0.3 * random.Next()));
    const std::int64_t seconds = std::max<std::int64_t>(1, std::llround(demand.toques * 60.0 / tpm));
    const double rate = std::max(0.002, p.startErrorRate * std::exp(-i / 400.0)) * (0.5 + random.Next());
    const auto erros = static_cast<std::int64_t>(std::llround(demand.toques * rate));
    const std::int64_t start = clock / MsPerSecond * MsPerSecond;
    const std::int64_t end = start + seconds * MsPerSecond;
    packet.columns[0].numbers.push_back(licao);
    packet.columns[1].numbers.push_back(end + static_cast<std::int64_t>(random.Next() * 999));
    packet.columns[2].numbers.push_back(erros);
    packet.columns[3].numbers.push_back(start);
    packet.columns[4].numbers.push_back(end);
    packet.columns[5].numbers.push_back(seconds * MsPerSecond);
    packet.rowStates.push_back(4);
    packet.changeLog.push_back({static_cast<std::uint32_t>(i + 1), 0, 4});
    clock = end + static_cast<std::int64_t>(20'000 + random.Next() * 120'000);
    if (++today >= p.exercisesPerDay) {
      today = 0;
      day += 1 + (random.Next() < 0.3 ? 1 : 0);
      clock = MakeStamp(day, (8 + static_cast<int>(random.Next() * 4)) * 3'600'000).ms;
    }
  }
  return packet;
}

}  // namespace tecladim::classroom::testing
