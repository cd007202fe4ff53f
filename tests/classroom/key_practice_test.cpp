#include "classroom/key_practice.h"

#include <gtest/gtest.h>

#include <string>

namespace tecladim::classroom {
namespace {

struct BoundCase {
  const char* name;
  std::int64_t errors;
  std::int64_t samples;
  double lower;
};

const BoundCase BoundCases[] = {
    {"no keys, nothing known", 0, 0, 0.0},       {"no errors", 0, 300, 0.0},
    {"1 error in 3 keys", 1, 3, 0.0615},         {"20 errors in 200 keys", 20, 200, 0.0658},
    {"every one of 5 keys wrong", 5, 5, 0.5655}, {"half of 1,000 keys wrong", 500, 1000, 0.4691},
};

TEST(ErrorRateLowerBound, WilsonLowerEnd) {
  for (const BoundCase& c : BoundCases) EXPECT_NEAR(ErrorRateLowerBound(c.errors, c.samples), c.lower, 5e-4) << c.name;
}

KeyTotals Totals(char16_t key, std::int64_t wrong, std::int64_t samples) {
  return KeyTotals{key, samples - wrong, wrong, 0, 0, {}};
}

TEST(WeakestKeys, FewSamplesDoNotOutrankAKeyMissedOftenOverMany) {
  const KeyTotals keys[] = {
      Totals(u'x', 1, 3),  Totals(u'ç', 20, 200), Totals(u'a', 0, 500), Totals(u'ã', 30, 100),
      Totals(u'\r', 5, 5), Totals(u'e', 2, 400),  Totals(u'q', 1, 50),  Totals(u'k', 3, 60),
  };
  std::u16string order;
  for (const WeakKey& w : WeakestKeys(keys)) order += w.expected;
  // ã (30 in 100) first; ç (20 in 200) above x (1 in 3); a without errors and the line end
  // never; e (2 in 400) is the sixth.
  EXPECT_EQ(order, u"ãçxkq");
}

history::ExerciseKeyStats Exercise(std::vector<KeyCounts> keys) {
  history::ExerciseKeyStats e;
  e.keys = std::move(keys);
  return e;
}

TEST(SumKeys, ExercisesAddUpAndTooShortOnesSayNothing) {
  const history::ExerciseKeyStats exercises[] = {
      Exercise({{u'ç', 10, 2, 2000, 9, {{u'c', 2}}}, {u'a', 18, 0, 3000, 18, {}}}),
      Exercise({{u'ç', 5, 4, 900, 5, {{u'l', 1}, {u'c', 3}}}, {u's', 11, 0, 1000, 10, {}}}),
      Exercise({{u'ç', 10, 9, 0, 0, {{u'x', 9}}}}),  // 19 keys only
  };
  const auto totals = SumKeys(exercises);
  ASSERT_EQ(totals.size(), 3u);
  const KeyTotals& c = totals[0];
  EXPECT_EQ(c.expected, u'ç');
  EXPECT_EQ(c.right, 15);
  EXPECT_EQ(c.wrong, 6);
  EXPECT_EQ(c.rightMs, 2900);
  EXPECT_EQ(c.timedRight, 14);
  ASSERT_EQ(c.typedInstead.size(), 2u);
  EXPECT_EQ(c.typedInstead[0], (WrongKey{u'c', 5})) << "most typed instead first";
  EXPECT_EQ(c.typedInstead[1], (WrongKey{u'l', 1}));
}

struct LessonCase {
  const char* name;
  std::u16string_view keys;
  std::vector<int> first;  // the lessons proposed first, in order
};

const LessonCase LessonCases[] = {
    {"ç and ã: \"ação lição canção\" first", u"çã", {34, 120}},
    {"ç alone: the ç words, then the home-row drills", u"ç", {34, 3, 2, 4, 1}},
    {"the digit 1: the short drills of figures (131, the CPF of 139) before long passages holding more", u"1",
     {131, 139}},
    {"a key no lesson holds", u"ñ", {}},
    {"no keys", u"", {}},
};

TEST(LessonsPractising, LessonsHoldingTheKeysMostOften) {
  for (const LessonCase& c : LessonCases) {
    const auto matches = LessonsPractising(c.keys);
    std::vector<int> lessons;
    for (std::size_t i = 0; i < matches.size() && i < c.first.size(); ++i) lessons.push_back(matches[i].lesson);
    EXPECT_EQ(lessons, c.first) << c.name;
    EXPECT_LE(matches.size(), LessonsToPropose) << c.name;
    if (c.first.empty()) {
      EXPECT_TRUE(matches.empty()) << c.name;
    }
  }
}

}  // namespace
}  // namespace tecladim::classroom
