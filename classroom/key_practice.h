#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "history/key_stats_file.h"

// "Teclas a treinar": a student's keys summed over their exercises, the weakest of them
// judged with the uncertainty of few samples in mind, and the lessons that practise them.
namespace tecladim::classroom {

// The keys "Teclas a treinar" lists, and the lessons it proposes for them.
inline constexpr std::size_t KeysToPractise = 5;
inline constexpr std::size_t LessonsToPropose = 5;

// One expected character over many exercises.
struct KeyTotals {
  char16_t expected = 0;
  std::int64_t right = 0;
  std::int64_t wrong = 0;
  std::int64_t rightMs = 0;
  std::int64_t timedRight = 0;
  std::vector<WrongKey> typedInstead;  // most typed first; ties in the order first typed

  std::int64_t Samples() const { return right + wrong; }
};

// The keys of these exercises summed per expected character, in the order first met.
// Exercises with fewer than MinimumJudgedKeys judged keys say nothing and are left out.
std::vector<KeyTotals> SumKeys(std::span<const history::ExerciseKeyStats> exercises);

// The lower end of the 95% Wilson interval of an error rate: what the rate is at least,
// given how few keys it rests on. 0 for no samples; 1 error in 3 keys gives about 0.06,
// 20 in 200 about 0.066.
double ErrorRateLowerBound(std::int64_t errors, std::int64_t samples);

struct WeakKey {
  char16_t expected = 0;
  double lowerBound = 0;  // ErrorRateLowerBound of the key
  std::int64_t wrong = 0;
  std::int64_t samples = 0;
};

// At most KeysToPractise keys with errors, weakest first by the lower bound of their error
// rate (more samples first on a tie). The line end is not a key one practises.
std::vector<WeakKey> WeakestKeys(std::span<const KeyTotals> keys);

struct LessonMatch {
  int lesson = 0;
  double share = 0;  // the keys' occurrences per character of the lesson's model text
};

// At most LessonsToPropose lessons of the catalogue whose model text holds these keys most
// often for its length, highest first (the lower number first on a tie); lessons without
// any of them are not proposed.
std::vector<LessonMatch> LessonsPractising(std::u16string_view keys);

}  // namespace tecladim::classroom
