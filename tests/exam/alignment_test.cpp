#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "exam/alignment.h"

namespace tecladim::exam {
namespace {

// The fewest errors by the whole table, written straight from the rule: a character a
// mais, a menos or different is one error, two neighbours swapped one, and (when the text
// not reached is no error) the model may end anywhere once the typing has ended.
std::int64_t ReferenceErrors(const std::u32string& a, const std::u32string& b, UnreachedText unreached) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<std::int64_t>> d(n + 1, std::vector<std::int64_t>(m + 1));
  for (std::size_t i = 0; i <= n; ++i)
    for (std::size_t j = 0; j <= m; ++j) {
      if (i == 0) {
        d[i][j] = static_cast<std::int64_t>(j);
        continue;
      }
      std::int64_t v = d[i - 1][j] + 1;
      if (j > 0) {
        v = std::min(v, d[i][j - 1] + 1);
        v = std::min(v, d[i - 1][j - 1] + (SameCharacter(a[i - 1], b[j - 1]) ? 0 : 1));
      }
      if (i > 1 && j > 1 && SameCharacter(a[i - 1], b[j - 2]) && SameCharacter(a[i - 2], b[j - 1]) &&
          !SameCharacter(a[i - 1], a[i - 2]))
        v = std::min(v, d[i - 2][j - 2] + 1);
      d[i][j] = v;
    }
  if (unreached == UnreachedText::Missing) return d[n][m];
  std::int64_t best = d[n][m];
  for (std::size_t i = 0; i <= n; ++i) best = std::min(best, d[i][m]);
  return best;
}

// The steps walk both texts from start to end and each says what it does.
void ExpectStepsSpellBothTexts(const std::vector<AlignedStep>& steps, const std::u32string& a, const std::u32string& b,
                               UnreachedText unreached) {
  std::size_t i = 0, j = 0;
  for (const AlignedStep& s : steps) {
    ASSERT_EQ(s.model, i);
    ASSERT_EQ(s.typed, j);
    switch (s.step) {
      case Step::Match: ASSERT_TRUE(SameCharacter(a[i++], b[j++])); break;
      case Step::Substitute: ASSERT_FALSE(SameCharacter(a[i++], b[j++])); break;
      case Step::Insert: ++j; break;
      case Step::Delete: ++i; break;
      case Step::Unreached:
        ASSERT_EQ(unreached, UnreachedText::NotAnError);
        ASSERT_EQ(j, b.size());
        ++i;
        break;
      case Step::Transpose:
        ASSERT_TRUE(SameCharacter(a[i], b[j + 1]) && SameCharacter(a[i + 1], b[j]));
        i += 2, j += 2;
        break;
    }
  }
  EXPECT_EQ(i, a.size());
  EXPECT_EQ(j, b.size());
}

std::u32string RandomText(std::mt19937& random, std::size_t length) {
  // Few letters, so matches, swaps and ties are frequent; a capital, a space, a line break.
  static constexpr char32_t Letters[] = {U'a', U'b', U'c', U'ç', U'A', U' ', U'\n'};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(Letters) - 1);
  std::u32string text;
  for (std::size_t k = 0; k < length; ++k) text += Letters[pick(random)];
  return text;
}

// A copy with random typing mistakes, so the two texts stay close as an exam's do.
std::u32string Mistyped(std::mt19937& random, const std::u32string& model) {
  std::u32string typed = model;
  std::uniform_int_distribution<int> count(0, static_cast<int>(model.size() / 4) + 1);
  for (int e = count(random); e > 0 && !typed.empty(); --e) {
    std::uniform_int_distribution<std::size_t> at(0, typed.size() - 1);
    const std::size_t p = at(random);
    switch (random() % 4) {
      case 0: typed.erase(p, 1); break;
      case 1: typed.insert(p, 1, RandomText(random, 1)[0]); break;
      case 2: typed[p] = RandomText(random, 1)[0]; break;
      default:
        if (p + 1 < typed.size()) std::swap(typed[p], typed[p + 1]);
    }
  }
  return typed.substr(0, typed.size() - std::min<std::size_t>(typed.size(), random() % 3 == 0 ? random() % 20 : 0));
}

struct PropertyRow {
  const char* name;
  std::size_t minLength, maxLength;
  int cases;
  bool related;  // the typed text a mistyped copy of the model, or independent
};

class AlignmentPropertyTest : public testing::TestWithParam<PropertyRow> {};

TEST_P(AlignmentPropertyTest, CountsAsFewErrorsAsTheWholeTable) {
  const PropertyRow& row = GetParam();
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> length(row.minLength, row.maxLength);
  for (int c = 0; c < row.cases; ++c) {
    const std::u32string a = RandomText(random, length(random));
    const std::u32string b = row.related ? Mistyped(random, a) : RandomText(random, length(random));
    for (UnreachedText unreached : {UnreachedText::NotAnError, UnreachedText::Missing}) {
      SCOPED_TRACE(testing::Message() << "case " << c << (unreached == UnreachedText::Missing ? " missing" : ""));
      const auto steps = Align(a, b, unreached);
      ASSERT_EQ(ErrorCount(steps), ReferenceErrors(a, b, unreached));
      ExpectStepsSpellBothTexts(steps, a, b, unreached);
      if (HasFatalFailure()) return;
    }
  }
}

// The long rows are large enough to be split in halves, the short ones are not.
INSTANTIATE_TEST_SUITE_P(RandomTexts, AlignmentPropertyTest,
                         testing::Values(PropertyRow{"short_independent", 0, 10, 3000, false},
                                         PropertyRow{"short_mistyped", 0, 12, 3000, true},
                                         PropertyRow{"long_mistyped_split_in_halves", 150, 400, 60, true},
                                         PropertyRow{"long_independent_split_in_halves", 150, 300, 20, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Wherever a long text is cut in halves, two letters swapped across the cut stay one error.
TEST(Alignment, SwapAnywhereInALongTextIsOneError) {
  std::mt19937 random(7);
  std::u32string model;
  while (model.size() < 300) model += U"a Lei garante ao cidadão o acesso à informação pública. "[random() % 56];
  for (std::size_t p = 0; p + 1 < model.size(); ++p) {
    if (SameCharacter(model[p], model[p + 1])) continue;
    std::u32string typed = model;
    std::swap(typed[p], typed[p + 1]);
    for (UnreachedText unreached : {UnreachedText::NotAnError, UnreachedText::Missing}) {
      const auto steps = Align(model, typed, unreached);
      ASSERT_EQ(ErrorCount(steps), 1) << "swap at " << p;
      ExpectStepsSpellBothTexts(steps, model, typed, unreached);
    }
  }
}

TEST(Alignment, OfEmptyTexts) {
  EXPECT_TRUE(Align(U"", U"", UnreachedText::NotAnError).empty());
  EXPECT_EQ(ErrorCount(Align(U"abc", U"", UnreachedText::NotAnError)), 0);
  EXPECT_EQ(ErrorCount(Align(U"abc", U"", UnreachedText::Missing)), 3);
  EXPECT_EQ(ErrorCount(Align(U"", U"abc", UnreachedText::NotAnError)), 3);
}

}  // namespace
}  // namespace tecladim::exam
