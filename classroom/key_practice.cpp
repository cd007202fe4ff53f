#include "classroom/key_practice.h"

#include <algorithm>
#include <cmath>

#include "lessons/catalogue.h"

namespace tecladim::classroom {
namespace {

constexpr double Z95 = 1.959963984540054;  // the normal quantile of a two-sided 95% interval

// The text the student types: a passage's target time is not part of it.
std::u16string_view ModelText(int lesson) {
  std::u16string_view text = *LessonText(lesson);
  if (lesson >= FirstPassageLesson) {
    if (const auto open = text.rfind(u'('); open != std::u16string_view::npos) text = text.substr(0, open);
  }
  return text;
}

}  // namespace

std::vector<KeyTotals> SumKeys(std::span<const history::ExerciseKeyStats> exercises) {
  std::vector<KeyTotals> totals;
  for (const history::ExerciseKeyStats& e : exercises) {
    std::int64_t judged = 0;
    for (const KeyCounts& k : e.keys) judged += k.right + k.wrong;
    if (judged < MinimumJudgedKeys) continue;
    for (const KeyCounts& k : e.keys) {
      auto it =
          std::find_if(totals.begin(), totals.end(), [&](const KeyTotals& t) { return t.expected == k.expected; });
      if (it == totals.end()) it = totals.insert(totals.end(), KeyTotals{k.expected, 0, 0, 0, 0, {}});
      it->right += k.right;
      it->wrong += k.wrong;
      it->rightMs += k.rightMs;
      it->timedRight += k.timedRight;
      for (const WrongKey& w : k.typedInstead) {
        auto seen = std::find_if(it->typedInstead.begin(), it->typedInstead.end(),
                                 [&](const WrongKey& s) { return s.typed == w.typed; });
        if (seen == it->typedInstead.end()) it->typedInstead.push_back(w);
        else seen->count += w.count;
      }
    }
  }
  for (KeyTotals& t : totals) {
    std::stable_sort(t.typedInstead.begin(), t.typedInstead.end(),
                     [](const WrongKey& a, const WrongKey& b) { return a.count > b.count; });
  }
  return totals;
}

double ErrorRateLowerBound(std::int64_t errors, std::int64_t samples) {
  if (samples <= 0) return 0;
  const double n = static_cast<double>(samples);
  const double p = static_cast<double>(std::clamp<std::int64_t>(errors, 0, samples)) / n;
  const double z2 = Z95 * Z95;
  const double centre = p + z2 / (2 * n);
  const double margin = Z95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n));
  return std::max(0.0, (centre - margin) / (1 + z2 / n));
}

std::vector<WeakKey> WeakestKeys(std::span<const KeyTotals> keys) {
  std::vector<WeakKey> weak;
  for (const KeyTotals& k : keys) {
    if (k.wrong <= 0 || k.expected == LineEndKey) continue;
    weak.push_back({k.expected, ErrorRateLowerBound(k.wrong, k.Samples()), k.wrong, k.Samples()});
  }
  std::stable_sort(weak.begin(), weak.end(), [](const WeakKey& a, const WeakKey& b) {
    if (a.lowerBound != b.lowerBound) return a.lowerBound > b.lowerBound;
    return a.samples > b.samples;
  });
  if (weak.size() > KeysToPractise) weak.resize(KeysToPractise);
  return weak;
}

std::vector<LessonMatch> LessonsPractising(std::u16string_view keys) {
  std::vector<LessonMatch> matches;
  if (keys.empty()) return matches;
  for (int lesson = 1; lesson <= LessonCount; ++lesson) {
    const std::u16string_view text = ModelText(lesson);
    if (text.empty()) continue;
    const auto hits =
        std::count_if(text.begin(), text.end(), [&](char16_t c) { return keys.find(c) != std::u16string_view::npos; });
    if (hits > 0) matches.push_back({lesson, static_cast<double>(hits) / static_cast<double>(text.size())});
  }
  std::stable_sort(matches.begin(), matches.end(),
                   [](const LessonMatch& a, const LessonMatch& b) { return a.share > b.share; });
  if (matches.size() > LessonsToPropose) matches.resize(LessonsToPropose);
  return matches;
}

}  // namespace tecladim::classroom
