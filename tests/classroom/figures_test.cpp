#include "classroom/figures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "exercise/completion.h"
#include "exercise/exercise_state.h"

namespace tecladim::classroom {
namespace {

std::string Text(const std::optional<double>& v) { return v ? DecimalText(*v) : "-"; }
std::string Text(const std::optional<std::int32_t>& v) { return v ? std::to_string(*v) : "-"; }

struct Case {
  const char* name;
  std::optional<std::int32_t> licao;
  std::optional<std::int32_t> erros;
  std::optional<std::int64_t> seconds;
  // expected, as the CSV shows them ("-" for none)
  const char* toques;
  const char* tpm;
  const char* ppm;
  const char* tl;
  const char* precisao;
  const char* meta;
  const char* percentualMeta;
  bool flagged;
  bool withinTarget;
};

class FiguresTable : public ::testing::TestWithParam<Case> {};

TEST_P(FiguresTable, FromOneRecord) {
  const Case& c = GetParam();
  ExerciseRecord r;
  r.licao = c.licao;
  r.erros = c.erros;
  r.tempoS = c.seconds;
  const ExerciseFigures f = FiguresOf(r);
  EXPECT_EQ(Text(f.toques), c.toques);
  EXPECT_EQ(Text(f.tpm), c.tpm);
  EXPECT_EQ(Text(f.ppm), c.ppm);
  EXPECT_EQ(Text(f.tl), c.tl);
  EXPECT_EQ(Text(f.precisao), c.precisao);
  EXPECT_EQ(Text(f.meta), c.meta);
  EXPECT_EQ(Text(f.percentualMeta), c.percentualMeta);
  EXPECT_EQ(f.belowAccuracyFloor, c.flagged);
  EXPECT_EQ(f.withinTarget, c.withinTarget);
}

INSTANTIATE_TEST_SUITE_P(
    Classroom, FiguresTable,
    ::testing::Values(
        Case{"Lesson1Drill3ErrorsIn95s", 1, 3, 95, "1155", "729,5", "145,9", "727,6", "99,7", "-", "-", false, false},
        Case{"Lesson156DrillOf80CharactersInFiveMinutes", 156, 0, 300, "1200", "240,0", "48,0", "240,0", "100,0", "-",
             "-", false, false},
        Case{"Lesson158Target60In75sIs80Percent", 158, 1, 75, "79", "63,2", "12,6", "62,4", "98,7", "60", "80,0",
             false, false},
        Case{"Lesson168Target5In4sIs125Percent", 168, 0, 4, "23", "345,0", "69,0", "345,0", "100,0", "5", "125,0",
             false, true},
        Case{"Lesson168ExactlyOnTargetIsWithin", 168, 0, 5, "23", "276,0", "55,2", "276,0", "100,0", "5", "100,0",
             false, true},
        Case{"Lesson157PassageWithoutTarget", 157, 2, 120, "292", "146,0", "29,2", "145,0", "99,3", "-", "-", false,
             false},
        Case{"Lesson0IsErroAsADrill", 0, 0, 30, "75", "150,0", "30,0", "150,0", "100,0", "-", "-", false, false},
        Case{"Lesson193IsErroAsAPassage", 193, 0, 2, "5", "150,0", "30,0", "150,0", "100,0", "-", "-", false, false},
        Case{"NegativeLessonIsADrill", -4, 0, 60, "75", "75,0", "15,0", "75,0", "100,0", "-", "-", false, false},
        Case{"ZeroSecondsHasNoSpeed", 1, 0, 0, "1155", "-", "-", "-", "100,0", "-", "-", false, false},
        Case{"TimedPassageInZeroSecondsHasNoPercentage", 158, 0, 0, "79", "-", "-", "-", "100,0", "60", "-", false,
             false},
        Case{"BlankDurationHasNoSpeed", 1, 3, std::nullopt, "1155", "-", "-", "-", "99,7", "-", "-", false, false},
        Case{"BlankErrorsHaveSpeedButNoNetSpeed", 1, std::nullopt, 95, "1155", "729,5", "145,9", "-", "-", "-", "-",
             false, false},
        Case{"BlankLessonHasNoFigures", std::nullopt, 3, 95, "-", "-", "-", "-", "-", "-", "-", false, false},
        Case{"AccuracyJustBelow70IsFlagged", 158, 24, 60, "79", "79,0", "15,8", "55,0", "69,6", "60", "100,0", true,
             true},
        Case{"ExactlyAtFloorIsNotFlagged", 193, 1, 60, "5", "5,0", "1,0", "4,0", "80,0", "-", "-", false, false},
        Case{"MoreErrorsThanCharactersGivesNoNegativeNetSpeed", 193, 9, 60, "5", "5,0", "1,0", "0,0", "-80,0", "-",
             "-", true, false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Duration, TempoFirstThenEndMinusStartAndAlwaysByMagnitude) {
  const Stamp seconds95{95'000};
  EXPECT_EQ(DurationSeconds(seconds95, std::nullopt, std::nullopt), 95);
  EXPECT_EQ(DurationSeconds(Stamp{95'999}, std::nullopt, std::nullopt), 95) << "fraction dropped";
  EXPECT_EQ(DurationSeconds(std::nullopt, Stamp{1'000'000}, Stamp{1'095'000}), 95);
  EXPECT_EQ(DurationSeconds(seconds95, Stamp{0}, Stamp{10'000}), 95) << "tempo wins over fim - inicio";
  // From 23:50:00 to 00:10:00 on the same completion date the trainer shows 23:40:00.
  const std::int64_t inicio = 45'000 * MsPerDay + (23 * 3600 + 50 * 60) * 1000LL;
  const std::int64_t fim = 45'000 * MsPerDay + 10 * 60 * 1000LL;
  EXPECT_EQ(DurationSeconds(std::nullopt, Stamp{inicio}, Stamp{fim}), 23 * 3600 + 40 * 60);
  EXPECT_EQ(DurationSeconds(ToStamp(-(23.0 * 3600 + 40 * 60) / 86400), std::nullopt, std::nullopt),
            23 * 3600 + 40 * 60);
  EXPECT_EQ(DurationSeconds(std::nullopt, Stamp{5}, std::nullopt), std::nullopt);
  EXPECT_EQ(DurationSeconds(std::nullopt, std::nullopt, std::nullopt), std::nullopt);
}

// The trainer's label and the class report read one exercise alike: lesson 1 asks 1155 keys.
TEST(BothPrograms, ShowTheSameAccuracyAndTargetShare) {
  struct Row {
    std::int32_t erros;
    const char16_t* trainer;
    const char* report;
  };
  for (const Row& r : {Row{3, u"99,7%", "99,7"}, Row{0, u"100,0%", "100,0"}, Row{1155, u"0,0%", "0,0"},
                       Row{2310, u"-100,0%", "-100,0"}, Row{21, u"98,2%", "98,2"}}) {
    SCOPED_TRACE(r.erros);
    EXPECT_EQ(AccuracyText(r.erros, 1155), r.trainer);
    EXPECT_EQ(Text(FiguresOf({1, 1, std::nullopt, r.erros, 60}).precisao), r.report);
  }
  // Lesson 158 asks 60 s; done in 75 s: the report window and the report's column say 80,0.
  CompletionInput in;
  in.errorsText = u"0";
  in.lesson = 158;
  in.tempo = u"60";
  in.inicio = TimeOfDayPart(EncodeDateTime({2024, 3, 5}, {10, 0, 0, 0}));
  in.now = EncodeDateTime({2024, 3, 5}, {10, 1, 15, 0});
  const std::u16string report = MakeCompletionReport(in).text;
  EXPECT_NE(report.find(u"Percentual tempo alcançado: 80,0%"), std::u16string::npos);
  EXPECT_EQ(Text(FiguresOf({1, 158, std::nullopt, 0, 75}).percentualMeta), "80,0");
}

TEST(NumberForms, OneDecimalCommaHalfAwayFromZero) {
  EXPECT_EQ(DecimalText(729.47368), "729,5");
  EXPECT_EQ(DecimalText(0.05), "0,1");
  EXPECT_EQ(DecimalText(-0.05), "-0,1");
  EXPECT_EQ(DecimalText(-0.04), "0,0");
  EXPECT_EQ(DecimalText(98.25), "98,3");
  EXPECT_EQ(DecimalText(12345.65), "12345,7");
  EXPECT_EQ(GroupedDecimalText(12345.65), "12.345,7");
  EXPECT_EQ(DateTimeText(ToStamp(EncodeDateTime({2024, 3, 5}, {0, 0, 0, 0}))), "05/03/2024 00:00:00");
  EXPECT_EQ(DateTimeText(ToStamp(EncodeDateTime({2024, 3, 5}, {14, 3, 27, 999}))), "05/03/2024 14:03:27");
}

}  // namespace
}  // namespace tecladim::classroom
