#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "classroom/class_report.h"
#include "classroom/key_practice.h"
#include "lessons/abnt2_keyboard.h"

// The key statistics as the class report shows them: a student's keys in a period, the
// class's keys with the students who miss each most, and the fingers' totals.
namespace tecladim::classroom {

// The students a class key names as missing it most.
inline constexpr std::size_t StudentsPerKey = 3;

// The student's exercises with key statistics whose `data` falls in the period.
std::vector<history::ExerciseKeyStats> KeyExercisesInPeriod(const Student& student, const Period& period);

// The student's keys summed over the period (SumKeys); nothing for a failed student.
std::vector<KeyTotals> StudentKeys(const Student& student, const Period& period);

struct KeyMisser {
  std::string aluno;
  std::int64_t wrong = 0;
  std::int64_t samples = 0;
};

struct ClassKey {
  KeyTotals totals;                // every student's keys added up
  std::vector<KeyMisser> missers;  // at most StudentsPerKey, by ErrorRateLowerBound, highest first
};

// The class's keys in the period, in the order first met.
std::vector<ClassKey> ClassKeys(std::span<const Student> students, const Period& period);
std::vector<KeyTotals> TotalsOf(const std::vector<ClassKey>& keys);

struct FingerTotals {
  Finger finger = Finger::None;
  std::int64_t right = 0;
  std::int64_t wrong = 0;
  std::int64_t Samples() const { return right + wrong; }
};

// The fingers from the left little one to the thumbs, each with the keys it types (the line
// end, which no finger types, is left out).
std::array<FingerTotals, FingerCount - 1> SumFingers(std::span<const KeyTotals> keys);

// Errors per key typed, 0 for no samples.
double ErrorRate(std::int64_t wrong, std::int64_t samples);
// The mean time to a right key in ms, rounded; -1 when no right key was timed.
std::int64_t MeanKeyMs(const KeyTotals& key);

// How a key is named in tables and in the CSV (UTF-8): the character itself, "espaço" for the
// space bar, "Enter" for the line end.
std::string KeyName(char16_t key);
// The finger's name as the class report says it ("mínimo direito"), UTF-8; "" for none.
std::string FingerText(char16_t key);

// Sorts keys as the keyboard shows them: row by row, left to right, plain before Shift before
// AltGr, a letter made with a dead key after the plain ones; the line end and what the
// keyboard cannot type last.
bool KeyboardOrder(char16_t a, char16_t b);

// "Teclas a treinar" and the lessons that hold those keys most.
struct PracticeAdvice {
  std::vector<WeakKey> keys;
  std::vector<LessonMatch> lessons;
};
PracticeAdvice AdviceFor(std::span<const KeyTotals> keys);

}  // namespace tecladim::classroom
