#include <gtest/gtest.h>

#include "history/datetime.h"
#include "history/regional.h"

namespace tecladim {
namespace {

DateTime At(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d}, {h, mi, s, ms});
}

TEST(Calendar, KnownDaysSinceTheEpoch) {
  EXPECT_EQ(DaysFromCivil({1899, 12, 30}), 0);
  EXPECT_EQ(DaysFromCivil({1900, 1, 1}), 2);
  EXPECT_EQ(DaysFromCivil({2024, 3, 5}), 45356);
  EXPECT_EQ(CivilFromDays(45356), (CivilDate{2024, 3, 5}));
  EXPECT_EQ(CivilFromDays(-1), (CivilDate{1899, 12, 29}));
  // Gregorian rules for every year: 1900 was no leap year, 2000 was.
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_EQ(CivilFromDays(DaysFromCivil({1, 1, 1})), (CivilDate{1, 1, 1}));
}

TEST(Stamp, RoundsToTheNearestMillisecond) {
  EXPECT_EQ(ToStamp(0.5).ms, MsPerDay / 2);
  EXPECT_EQ(ToStamp(1.0 / MsPerDay * 0.6).ms, 1);
  EXPECT_EQ(ToStamp(1.0 / MsPerDay * 0.4).ms, 0);
  const Stamp s = ToStamp(At(2024, 3, 5, 14, 3, 27, 123));
  EXPECT_EQ(s.Day(), 45356);
  EXPECT_EQ(s.MsOfDay(), ((14 * 60 + 3) * 60 + 27) * 1000 + 123);
}

TEST(Stamp, NegativeValuesCountDaysBackAndKeepTheMagnitudeAsTime) {
  const Stamp s = ToStamp(-1.25);
  EXPECT_EQ(DateOf(s), (CivilDate{1899, 12, 29}));
  EXPECT_EQ(TimeOf(s), (TimeOfDay{6, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(FromStamp(s), -1.25);
  // Between -1 and 0 there is no day to carry the sign: it reads back as its magnitude.
  EXPECT_DOUBLE_EQ(FromStamp(ToStamp(-0.25)), 0.25);
}

TEST(Stamp, ValuesBeyondFourDigitYearsAreClamped) {
  EXPECT_EQ(DateOf(ToStamp(1e12)).year, 9999);
  EXPECT_EQ(DateOf(ToStamp(-1e12)), (CivilDate{1, 1, 1}));
}

TEST(Stamp, FirstDayAndLastDayAreTheEndsOfFourDigitYears) {
  EXPECT_EQ(CivilFromDays(FirstDay), (CivilDate{1, 1, 1}));
  EXPECT_EQ(CivilFromDays(LastDay), (CivilDate{9999, 12, 31}));
  EXPECT_EQ(CivilFromDays(LastDay + 1), (CivilDate{10000, 1, 1}));
  EXPECT_EQ(ToStamp(1e12).Day(), LastDay);
  EXPECT_EQ(ToStamp(-1e12).Day(), FirstDay);
}

TEST(Regional, BrazilianForms) {
  const DateTime v = At(2024, 3, 5, 14, 3, 27, 999);
  EXPECT_EQ(ShortDate(v), u"05/03/2024");
  EXPECT_EQ(LongTime(v), u"14:03:27");  // the fraction is dropped, not rounded
  EXPECT_EQ(DateTimeText(v), u"05/03/2024 14:03:27");
  EXPECT_EQ(DateTimeText(At(2024, 3, 5)), u"05/03/2024");
  EXPECT_EQ(DateTimeText(At(2024, 3, 5, 0, 0, 0, 1)), u"05/03/2024 00:00:00");
  EXPECT_EQ(ShortDate(At(999, 1, 2)), u"02/01/0999");
  EXPECT_EQ(LongTime(EncodeTime({0, 5, 17, 0})), u"00:05:17");
  EXPECT_EQ(DateTimeText(0.0), u"30/12/1899");
}

TEST(Regional, ParsesWhatItFormats) {
  const auto v = ParseDateTime(u"05/03/2024 13:58:10");
  ASSERT_TRUE(v);
  EXPECT_EQ(ToStamp(*v), ToStamp(At(2024, 3, 5, 13, 58, 10)));
  EXPECT_EQ(ParseDateTime(u"05/03/2024"), At(2024, 3, 5));
  EXPECT_EQ(ParseDateTime(u"5/3/2024 1:02"), At(2024, 3, 5, 1, 2));
}

TEST(Regional, RefusesWhatIsNotADate) {
  for (const char16_t* bad : {u"", u"31/02/2024", u"05/13/2024", u"2024-03-05", u"05/03/2024 24:00:00",
                              u"05/03/2024 10:60:00", u"05/03/2024 10:00:00 ", u"05/03/2024x", u"00/01/2024"}) {
    EXPECT_FALSE(ParseDateTime(bad)) << "accepted a bad date";
  }
}

}  // namespace
}  // namespace tecladim
