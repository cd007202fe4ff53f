#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "exercise/exercise_state.h"
#include "exercise/number_text.h"
#include "tests/support/scoped_locale.h"

namespace tecladim {
namespace {

struct AccuracyRow {
  const char* name;
  int errors;
  int total;
  std::u16string_view text;
};

class AccuracyTest : public testing::TestWithParam<AccuracyRow> {};

TEST_P(AccuracyTest, ShowsThePercentageOfRightKeys) {
  EXPECT_EQ(AccuracyText(GetParam().errors, GetParam().total), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Accuracy, AccuracyTest,
    testing::Values(AccuracyRow{"ThreeErrorsOver1155Shows99_7", 3, 1155, u"99,7%"},
                    AccuracyRow{"TenErrorsOverFiveShowsMinus100", 10, 5, u"-100,0%"},
                    AccuracyRow{"TwentyOneOver1200RoundsHalfUpTo98_3", 21, 1200, u"98,3%"},
                    AccuracyRow{"NoErrorsShows100", 0, 1155, u"100,0%"},
                    AccuracyRow{"TotalZeroShows100", 0, 0, u"100,0%"},
                    AccuracyRow{"TotalZeroWithErrorsStillShows100", 4, 0, u"100,0%"},
                    AccuracyRow{"AsManyErrorsAsCharactersShowsZero", 1155, 1155, u"0,0%"},
                    AccuracyRow{"OneErrorOverAnAlphabetShows95_7", 1, 23, u"95,7%"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PercentText, FormatsWithCommaGroupingAndSign) {
  struct Row {
    double value;
    std::u16string_view text;
  };
  const Row rows[] = {
      {1234.5, u"1.234,5%"},         {1234567.89, u"1.234.567,9%"}, {999.95, u"1.000,0%"},
      {80.0, u"80,0%"},              {125.0, u"125,0%"},            {0.0, u"0,0%"},
      {0.05, u"0,1%"},               {0.15, u"0,2%"},               {1.45, u"1,5%"},
      {99.95, u"100,0%"},            {0.04, u"0,0%"},               {-0.04, u"0,0%"},
      {-0.05, u"-0,1%"},             {-1234.56, u"-1.234,6%"},      {6000.0, u"6.000,0%"},
      {100.0 / 3.0, u"33,3%"},       {200.0 / 3.0, u"66,7%"},       {1e15, u"1.000.000.000.000.000,0%"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(PercentText(r.value), r.text);
  }
}

TEST(IntegerValue, NotANumberIsAConversionErrorWithTheSystemsText) {
  struct Row {
    std::u16string_view text;
    const char* message;
  };
  const Row rows[] = {
      {u"abc", "'abc' is not a valid integer value"},
      {u"", "'' is not a valid integer value"},
      {u"3,5", "'3,5' is not a valid integer value"},
      {u"ç", "'\xC3\xA7' is not a valid integer value"},
  };
  for (const Row& r : rows) {
    try {
      IntegerValue(r.text);
      ADD_FAILURE() << r.message;
    } catch (const ConversionError& e) {
      EXPECT_STREQ(e.what(), r.message);
    }
  }
  EXPECT_EQ(IntegerValue(u"3"), 3);
  EXPECT_EQ(IntegerText(-12), u"-12");
  EXPECT_EQ(IntegerText(0), u"0");
}

TEST(FixedPointText, ShowsScaledCountsWithCommaAndThousandsDot) {
  struct Row {
    const char* name;
    std::int64_t units;
    int decimals;
    std::u16string_view text;
  };
  for (const Row& row : {
           Row{"grade with two decimals", 735, 2, u"7,35"},
           Row{"grade below one point", 5, 2, u"0,05"},
           Row{"zero points keeps both decimals", 0, 2, u"0,00"},
           Row{"strokes grouped by thousands", 1234, 0, u"1.234"},
           Row{"under a thousand no dot", 999, 0, u"999"},
           Row{"a million strokes per minute in tenths", 12345678, 1, u"1.234.567,8"},
           Row{"negative tenths below one", -5, 1, u"-0,5"},
           Row{"most negative value", INT64_MIN, 0, u"-9.223.372.036.854.775.808"},
       }) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FixedPointText(row.units, row.decimals), row.text);
  }
}

// The toolkit sets the C library's locale from LANG; on a Brazilian machine a printf of a
// floating value writes "95,7", and a text built on it read "9,,6%".
TEST(NumberTextUnderTheUsersLocale, IsTheSameWhateverTheCLibraryLocale) {
  for (const char* name : testing_support::UserLocales()) {
    SCOPED_TRACE(name);
    testing_support::ScopedCLocale locale(name);
    if (!locale.Active()) {
      // The Brazilian locale is the one the schools run: its absence is a broken test machine.
      EXPECT_STRNE(name, "pt_BR.UTF-8") << "run scripts/deps.sh test to generate it";
      continue;
    }
    EXPECT_EQ(AccuracyText(1, 23), u"95,7%");
    EXPECT_EQ(AccuracyText(0, 23), u"100,0%");
    EXPECT_EQ(AccuracyText(3, 1155), u"99,7%");
    EXPECT_EQ(PercentText(1234567.89), u"1.234.567,9%");
    EXPECT_EQ(PercentText(0.05), u"0,1%");
    EXPECT_EQ(PercentText(-1234.56), u"-1.234,6%");
    EXPECT_EQ(IntegerText(-1234567), u"-1234567");
    EXPECT_EQ(IntegerValue(u" -42"), -42);
    EXPECT_EQ(FixedPointText(123456, 2), u"1.234,56");
  }
}

}  // namespace
}  // namespace tecladim
