#include <gtest/gtest.h>

#include <string>

#include "exercise/lesson_start.h"
#include "history/datetime.h"

namespace tecladim {
namespace {

struct NumberRow {
  const char* name;
  std::u16string_view spinText;
  int lesson;
};

class ReadLessonNumberTest : public testing::TestWithParam<NumberRow> {};

TEST_P(ReadLessonNumberTest, ReadsTheSpinBoxText) {
  EXPECT_EQ(ReadLessonNumber(GetParam().spinText), GetParam().lesson);
}

INSTANTIATE_TEST_SUITE_P(
    SpinBoxTexts, ReadLessonNumberTest,
    testing::Values(NumberRow{"EmptyBoxStartsLessonOne", u"", 1}, NumberRow{"PlusAloneIsOne", u"+", 1},
                    NumberRow{"MinusAloneIsOne", u"-", 1}, NumberRow{"TrailingDecimalCommaIsOne", u"1,", 1},
                    NumberRow{"DecimalNumberIsOne", u"1,5", 1}, NumberRow{"LeadingBlankIsSkipped", u" 5", 5},
                    NumberRow{"TrailingBlankIsNotANumber", u"5 ", 1}, NumberRow{"TypedOneThenFive", u"15", 15},
                    NumberRow{"PlusSign", u"+7", 7}, NumberRow{"LeadingZeros", u"099", 99},
                    NumberRow{"ZeroIsKept", u"0", 0}, NumberRow{"NegativeIsKept", u"-1", -1},
                    NumberRow{"BeyondTheCatalogueIsKept", u"193", 193},
                    NumberRow{"LargestInteger", u"2147483647", 2147483647},
                    NumberRow{"SmallestInteger", u"-2147483648", -2147483647 - 1},
                    NumberRow{"OverflowIsOne", u"99999999999", 1}, NumberRow{"JustPastTheLimitIsOne", u"2147483648", 1},
                    NumberRow{"LettersAreOne", u"1a", 1}, NumberRow{"DoubleSignIsOne", u"--1", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitTargetTime, CutsAtTheLastParenthesis) {
  struct Row {
    std::u16string_view text, model, tempo;
  };
  const Row rows[] = {
      {u"Era uma vez.(60)", u"Era uma vez.", u"60"},
      {u"abcdefghijlmnopqrstuvxz(5)", u"abcdefghijlmnopqrstuvxz", u"5"},
      {u"1,2,3.", u"1,2,3.", u""},
      {u"a(b(5)", u"a(b", u"5"},      // only the last "(" starts the suffix
      {u"texto(", u"texto", u""},     // nothing after it: no target
      {u"texto(7", u"texto", u""},    // the last character is dropped whatever it is
      {u"(60)", u"", u"60"},
  };
  for (const Row& r : rows) {
    const TargetTimeSplit split = SplitTargetTime(r.text);
    EXPECT_EQ(split.model, r.model);
    EXPECT_EQ(split.tempo, r.tempo);
  }
}

TEST(SplitTargetTime, ReadsAtMostOneHundredCharactersAfterTheParenthesis) {
  const std::u16string text = u"abc(" + std::u16string(150, u'9');
  const TargetTimeSplit split = SplitTargetTime(text);
  EXPECT_EQ(split.model, u"abc");
  EXPECT_EQ(split.tempo, std::u16string(99, u'9'));
}

TEST(PrepareLesson, NumbersWithoutALessonRunOnErro) {
  struct Row {
    int lesson;
    std::u16string_view instruction;
    int total;
  };
  const Row rows[] = {
      {0, u"Repita 15 vezes o texto acima em cada linha", 75},
      {-1, u"Repita 15 vezes o texto acima em cada linha", 75},
      {193, u"Digite o texto acima 1 vez idêntico", 5},
      {999, u"Digite o texto acima 1 vez idêntico", 5},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.lesson);
    const LessonSetup s = PrepareLesson(r.lesson);
    EXPECT_TRUE(s.notPrepared);
    EXPECT_EQ(s.lessonText, u"Erro.");
    EXPECT_EQ(s.model, u"Erro.");
    EXPECT_EQ(s.tempo, u"");
    EXPECT_EQ(s.instruction, r.instruction);
    EXPECT_EQ(s.total, r.total);
  }
  EXPECT_EQ(NotPreparedMessage, u"Exercício não preparado.");
}

// These rows need the catalogue's texts; they run once the lessons are in.
TEST(PrepareLesson, CatalogueLessons) {
  struct Row {
    int lesson;
    std::size_t modelLength;
    std::u16string_view tempo;
    std::u16string_view instruction;
    int total;
  };
  const Row rows[] = {
      {1, 77, u"", u"Repita 15 vezes o texto acima em cada linha", 1155},
      {158, 79, u"60", u"Digite o texto acima 1 vez idêntico - EM 60 SEGUNDOS", 79},
      {168, 23, u"5", u"Digite o texto acima 1 vez idêntico - EM 5 SEGUNDOS", 23},
      {157, 292, u"", u"Digite o texto acima 1 vez idêntico", 292},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.lesson);
    const LessonSetup s = PrepareLesson(r.lesson);
    EXPECT_FALSE(s.notPrepared);
    EXPECT_EQ(s.model.size(), r.modelLength);
    EXPECT_EQ(s.tempo, r.tempo);
    EXPECT_EQ(s.instruction, r.instruction);
    EXPECT_EQ(s.total, r.total);
  }
  EXPECT_EQ(PrepareLesson(168).model, u"abcdefghijlmnopqrstuvxz");
  EXPECT_EQ(PrepareLesson(1).model.substr(72), u"asdfg");
}

TEST(StartLesson, EmptySpinBoxStartsLessonOne) {
  ExerciseState state;
  EXPECT_EQ(StartLesson(state, u"").lesson, 1);
  EXPECT_EQ(StartLesson(state, u"+").lesson, 1);
}

// A flash that swallowed the injected Enter used to leave pula set into the next exercise:
// its first Enter passed, a line break at the top of the typing box that never completes.
TEST(StartLesson, FreshExerciseHasNoLineAdvancePending) {
  ExerciseState state;
  state.errorCount = 7;
  state.pula = true;
  state.busy = true;
  state.position = 12;
  state.lastKey = u'x';
  const LessonSetup setup = StartLesson(state, u"193");
  EXPECT_EQ(state.errorCount, 0);  // before the message box is shown
  const DateTime now = EncodeDateTime({2026, 3, 5}, {14, 30, 15, 250});
  BeginExercise(state, setup, now);
  EXPECT_EQ(ToStamp(state.inicio).ms, ((14 * 60 + 30) * 60 + 15) * 1000 + 250);
  EXPECT_EQ(state.total, 5);
  EXPECT_EQ(state.tempo, u"");
  EXPECT_FALSE(state.pula);
  EXPECT_FALSE(state.busy);
  EXPECT_EQ(state.position, 12);
  EXPECT_EQ(state.lastKey, u'x');
  EXPECT_EQ(AccuracyText(state), u"100,0%");
}

}  // namespace
}  // namespace tecladim
