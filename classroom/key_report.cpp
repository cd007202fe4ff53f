#include "classroom/key_report.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_map>

#include "history/utf8.h"

namespace tecladim::classroom {

std::vector<history::ExerciseKeyStats> KeyExercisesInPeriod(const Student& student, const Period& period) {
  std::vector<history::ExerciseKeyStats> in;
  if (student.Failed()) return in;
  for (const history::ExerciseKeyStats& e : student.keyExercises)
    if (period.Everything() || period.Contains(ToStamp(e.data))) in.push_back(e);
  return in;
}

std::vector<KeyTotals> StudentKeys(const Student& student, const Period& period) {
  if (period.Everything()) return student.Failed() ? std::vector<KeyTotals>{} : SumKeys(student.keyExercises);
  return SumKeys(KeyExercisesInPeriod(student, period));
}

namespace {

void AddInto(KeyTotals& total, const KeyTotals& key) {
  total.right += key.right;
  total.wrong += key.wrong;
  total.rightMs += key.rightMs;
  total.timedRight += key.timedRight;
  for (const WrongKey& w : key.typedInstead) {
    auto seen = std::find_if(total.typedInstead.begin(), total.typedInstead.end(),
                             [&](const WrongKey& s) { return s.typed == w.typed; });
    if (seen == total.typedInstead.end()) total.typedInstead.push_back(w);
    else seen->count += w.count;
  }
  std::stable_sort(total.typedInstead.begin(), total.typedInstead.end(),
                   [](const WrongKey& a, const WrongKey& b) { return a.count > b.count; });
}

}  // namespace

std::vector<ClassKey> ClassKeys(std::span<const Student> students, const Period& period) {
  std::vector<ClassKey> keys;
  std::unordered_map<char16_t, std::size_t> slot;
  for (const Student& student : students) {
    for (const KeyTotals& k : StudentKeys(student, period)) {
      auto [at, added] = slot.try_emplace(k.expected, keys.size());
      if (added) keys.push_back({KeyTotals{k.expected, 0, 0, 0, 0, {}}, {}});
      ClassKey& key = keys[at->second];
      AddInto(key.totals, k);
      if (k.wrong > 0) key.missers.push_back({student.aluno, k.wrong, k.Samples()});
    }
  }
  for (ClassKey& key : keys) {
    std::stable_sort(key.missers.begin(), key.missers.end(), [](const KeyMisser& a, const KeyMisser& b) {
      return ErrorRateLowerBound(a.wrong, a.samples) > ErrorRateLowerBound(b.wrong, b.samples);
    });
    if (key.missers.size() > StudentsPerKey) key.missers.resize(StudentsPerKey);
  }
  return keys;
}

std::vector<KeyTotals> TotalsOf(const std::vector<ClassKey>& keys) {
  std::vector<KeyTotals> totals;
  totals.reserve(keys.size());
  for (const ClassKey& k : keys) totals.push_back(k.totals);
  return totals;
}

std::array<FingerTotals, FingerCount - 1> SumFingers(std::span<const KeyTotals> keys) {
  std::array<FingerTotals, FingerCount - 1> fingers{};
  for (std::size_t i = 0; i < fingers.size(); ++i) fingers[i].finger = static_cast<Finger>(i);
  for (const KeyTotals& k : keys) {
    const Finger finger = FingerOf(k.expected);
    if (finger == Finger::None || k.expected == LineEndKey) continue;
    FingerTotals& f = fingers[static_cast<std::size_t>(finger)];
    f.right += k.right;
    f.wrong += k.wrong;
  }
  return fingers;
}

double ErrorRate(std::int64_t wrong, std::int64_t samples) {
  return samples > 0 ? static_cast<double>(wrong) / static_cast<double>(samples) : 0.0;
}

std::int64_t MeanKeyMs(const KeyTotals& key) {
  if (key.timedRight <= 0) return -1;
  return static_cast<std::int64_t>(
      std::llround(static_cast<double>(key.rightMs) / static_cast<double>(key.timedRight)));
}

std::string KeyName(char16_t key) {
  if (key == u' ') return "espaço";
  if (key == LineEndKey) return "Enter";
  return Utf8FromUtf16(std::u16string_view(&key, 1));
}

std::string FingerText(char16_t key) {
  if (key == LineEndKey) return {};
  return Utf8FromUtf16(FingerName(FingerOf(key)));
}

namespace {

std::tuple<std::size_t, int, int, char16_t> PlaceOf(char16_t key) {
  const auto keying = KeyingOf(key);
  if (!keying || key == LineEndKey) return {Abnt2Keys().size(), 0, 0, key};
  const KeyStroke& last = keying->Last();
  return {static_cast<std::size_t>(last.key - Abnt2Keys().data()), keying->count, static_cast<int>(last.level), key};
}

}  // namespace

bool KeyboardOrder(char16_t a, char16_t b) { return PlaceOf(a) < PlaceOf(b); }

PracticeAdvice AdviceFor(std::span<const KeyTotals> keys) {
  PracticeAdvice advice;
  advice.keys = WeakestKeys(keys);
  std::u16string chars;
  for (const WeakKey& k : advice.keys) chars.push_back(k.expected);
  advice.lessons = LessonsPractising(chars);
  return advice;
}

}  // namespace tecladim::classroom
