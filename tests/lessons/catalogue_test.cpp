#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "history/utf8.h"
#include "lessons/catalogue.h"

namespace tecladim {
namespace {

constexpr std::size_t DrillLineLength = 80;
constexpr std::size_t FirstTwoDrillsLength = 77;
constexpr std::size_t BusinessLineLength = 81;

// Every character a lesson may hold: all of them reach the screen through the ABNT2 keys,
// the accented ones through its dead keys.
constexpr std::u16string_view Repertoire =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !$(),-./:;?\""
    u"áàâãéêíóôõúçÁÃÇÉÓª";

// The drill lines whose last repetition is cut right after a space, which the student types too.
const std::set<int> EndsInSpace = {20, 31, 52, 59, 60, 67, 70, 76, 79, 88, 90, 97, 108, 112, 123};

// Drill lines where a later repetition differs from the first; 135 counts amounts upward.
const std::set<int> VariedDrills = {61, 66, 67, 70, 74, 94, 98, 103, 122, 135, 142, 154};

const std::set<int> TimedAlphabets = {168, 179, 187, 192};

constexpr std::u16string_view Alphabet = u"abcdefghijlmnopqrstuvxz";

std::u16string_view Text(int number) {
  const auto text = LessonText(number);
  return text ? *text : std::u16string_view{};
}

std::size_t ExpectedDrillLength(int number) {
  if (number <= 2) return FirstTwoDrillsLength;
  if (number >= 141 && number <= 155) return BusinessLineLength;
  return DrillLineLength;
}

// The pattern with its closing space: the text up to the first place, just after a space,
// from which it starts over and runs on unchanged to its end. Empty when it never does.
std::u16string_view FirstPattern(std::u16string_view text) {
  for (std::size_t p = 1; p < text.size(); ++p) {
    if (text[p - 1] == u' ' && text.substr(p) == text.substr(0, text.size() - p)) {
      return text.substr(0, p);
    }
  }
  return {};
}

std::u16string RepeatedAndCut(std::u16string_view unit, std::size_t length) {
  std::u16string line;
  while (line.size() < length) line += unit;
  line.resize(length);
  return line;
}

TEST(Lookup, EveryNumberFromOneTo192HasALesson) {
  for (int n = 1; n <= LessonCount; ++n) {
    const auto text = LessonText(n);
    ASSERT_TRUE(text.has_value()) << "lesson " << n << ": no text";
    EXPECT_FALSE(text->empty()) << "lesson " << n << ": empty text";
  }
  EXPECT_EQ(LessonCount, 192);
  EXPECT_EQ(FirstPassageLesson, 157);
}

TEST(Lookup, NumbersOutsideTheCatalogueHaveNoLesson) {
  for (const int n : {0, -1, 193, 999, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(LessonText(n).has_value()) << "number " << n << " should have no lesson";
  }
}

TEST(Lengths, DrillLinesHaveTheirTabledLength) {
  for (int n = 1; n < FirstPassageLesson; ++n) {
    EXPECT_EQ(Text(n).size(), ExpectedDrillLength(n)) << "lesson " << n << ": wrong line length";
  }
}

TEST(Lengths, TellingLengthsAtTheBordersOfTheTable) {
  EXPECT_EQ(Text(1).size(), 77u);
  EXPECT_EQ(Text(2).size(), 77u);
  EXPECT_EQ(Text(3).size(), 80u);
  EXPECT_EQ(Text(140).size(), 80u);
  for (int n = 141; n <= 155; ++n) EXPECT_EQ(Text(n).size(), 81u) << "lesson " << n;
  EXPECT_EQ(Text(156).size(), 80u);
  EXPECT_EQ(Text(157).size(), 292u);
}

TEST(Lengths, PassagesHaveTheirTabledTypedLength) {
  struct Row {
    int lesson;
    std::size_t typed;
  };
  constexpr Row rows[] = {
      {158, 79},  {159, 99},  {160, 103}, {161, 116}, {162, 123}, {163, 125}, {164, 134},
      {165, 129}, {166, 138}, {167, 144}, {168, 23},  {169, 144}, {170, 158}, {171, 157},
      {172, 165}, {173, 171}, {174, 179}, {175, 175}, {176, 186}, {177, 189}, {178, 183},
      {179, 23},  {180, 191}, {181, 200}, {182, 193}, {183, 199}, {184, 227}, {185, 226},
      {186, 244}, {187, 23},  {188, 243}, {189, 251}, {190, 241}, {191, 288}, {192, 23},
  };
  ASSERT_EQ(std::size(rows), static_cast<std::size_t>(LessonCount - FirstPassageLesson));
  for (const Row& row : rows) {
    const std::u16string_view text = Text(row.lesson);
    EXPECT_EQ(text.find(u'('), row.typed) << "lesson " << row.lesson << ": wrong typed length";
  }
}

TEST(Suffix, DrillsAndLesson157CarryNoTargetTime) {
  for (int n = 1; n <= FirstPassageLesson; ++n) {
    const std::u16string_view text = Text(n);
    EXPECT_EQ(text.find(u'('), std::u16string_view::npos) << "lesson " << n << ": holds \"(\"";
    EXPECT_EQ(text.find(u')'), std::u16string_view::npos) << "lesson " << n << ": holds \")\"";
  }
}

TEST(Suffix, EveryPassageEndsInItsOneTargetTime) {
  for (int n = FirstPassageLesson + 1; n <= LessonCount; ++n) {
    const std::u16string_view text = Text(n);
    const std::u16string_view want = TimedAlphabets.count(n) ? u"(5)" : u"(60)";
    const std::size_t open = text.find(u'(');
    ASSERT_NE(open, std::u16string_view::npos) << "lesson " << n << ": no target time";
    EXPECT_EQ(text.find(u'(', open + 1), std::u16string_view::npos)
        << "lesson " << n << ": more than one \"(\"";
    EXPECT_EQ(text.substr(open), want)
        << "lesson " << n << ": wrong suffix " << Utf8FromUtf16(text.substr(open));
    EXPECT_EQ(text.find(u')'), text.size() - 1) << "lesson " << n << ": \")\" before the end";
  }
}

TEST(Form, EveryCharacterIsInTheRepertoire) {
  for (int n = 1; n <= LessonCount; ++n) {
    const std::u16string_view text = Text(n);
    for (std::size_t i = 0; i < text.size(); ++i) {
      EXPECT_NE(Repertoire.find(text[i]), std::u16string_view::npos)
          << "lesson " << n << ": character U+" << std::hex << static_cast<int>(text[i]) << std::dec
          << " at " << i << " is not in the repertoire";
    }
  }
}

TEST(Form, NoLeadingSpaceNoDoubleSpaceNoControlCharacter) {
  for (int n = 1; n <= LessonCount; ++n) {
    const std::u16string_view text = Text(n);
    EXPECT_NE(text.front(), u' ') << "lesson " << n << ": begins with a space";
    EXPECT_EQ(text.find(u"  "), std::u16string_view::npos)
        << "lesson " << n << ": two spaces in a row";
    for (const char16_t c : text) {
      EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F))
          << "lesson " << n << ": control character U+" << std::hex << static_cast<int>(c);
    }
  }
}

TEST(Form, ExactlyTheListedDrillsEndInASpace) {
  for (int n = 1; n <= LessonCount; ++n) {
    const bool ends = Text(n).back() == u' ';
    if (EndsInSpace.count(n)) {
      EXPECT_TRUE(ends) << "lesson " << n << ": should end in a space but does not";
    } else {
      EXPECT_FALSE(ends) << "lesson " << n << ": ends in a space but should not";
    }
  }
}

TEST(DrillForm, EveryDrillIsItsPatternRepeatedAndCut) {
  for (int n = 1; n < FirstPassageLesson; ++n) {
    if (VariedDrills.count(n)) continue;
    const std::u16string_view text = Text(n);
    const std::u16string_view pattern = FirstPattern(text);
    ASSERT_FALSE(pattern.empty()) << "lesson " << n << ": never starts over: " << Utf8FromUtf16(text);
    EXPECT_EQ(RepeatedAndCut(pattern, text.size()), text)
        << "lesson " << n << ": not its pattern \"" << Utf8FromUtf16(pattern) << "\" repeated";
  }
}

TEST(DrillForm, ThePatternOfTellingDrills) {
  EXPECT_EQ(FirstPattern(Text(1)), u"asdfg hjklç ");
  EXPECT_EQ(FirstPattern(Text(20)), u"a2s3d4f5g6 h7j8k9l10ç- ");
  EXPECT_EQ(FirstPattern(Text(29)), u"O ESTUDO TORNA SUAVE A VIDA. ");
  EXPECT_EQ(FirstPattern(Text(132)), u"20 39 48 57 67 58 49 30 23 34 45 56 78 89 90 ");
}

TEST(DrillForm, VariedDrillsAreNoPlainRepetition) {
  for (const int n : VariedDrills) {
    const std::u16string_view text = Text(n);
    EXPECT_TRUE(FirstPattern(text).empty())
        << "lesson " << n << ": a plain repetition, but a later repetition should differ";
    // Still a drill line: its first group comes back at the start of a later group.
    const std::u16string_view first = text.substr(0, text.find(u' ') + 1);
    std::u16string again(u" ");
    again += first;
    EXPECT_NE(text.find(again), std::u16string_view::npos)
        << "lesson " << n << ": its first group \"" << Utf8FromUtf16(first) << "\" never comes back";
  }
}

TEST(RowDiscipline, FirstWordListsUseOnlyTheirRow) {
  struct Row {
    int lesson;
    std::u16string_view keys;
  };
  constexpr Row rows[] = {
      {21, u"asdfghjklç "},
      {22, u"asdfghjklç "},
      {23, u"qwertyuiop "},
  };
  for (const Row& row : rows) {
    const std::u16string_view text = Text(row.lesson);
    for (std::size_t i = 0; i < text.size(); ++i) {
      EXPECT_NE(row.keys.find(text[i]), std::u16string_view::npos)
          << "lesson " << row.lesson << ": \"" << Utf8FromUtf16(text.substr(i, 1)) << "\" at " << i
          << " is off its row";
    }
  }
}

TEST(GivenTexts, MatchCharacterForCharacter) {
  struct Row {
    int lesson;
    std::u16string_view text;
  };
  constexpr Row rows[] = {
      {1, u"asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg"},
      {2, u"çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh"},
      {3, u"açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açs"},
      {4, u"ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghf"},
      {5, u"qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yu"},
      {6, u"poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy tr"},
      {7, u"qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpw"},
      {8, u"yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq ytu"},
      {9, u"tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyr"},
      {10, u"aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqs"},
      {11, u"zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm"},
      {12, u";.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bv"},
      {13, u"z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x"},
      {14, u"bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnv"},
      {15, u"azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnj"},
      {16, u"23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 78"},
      {17, u"-0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65"},
      {18, u"2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-3"},
      {19, u"675849302- 675849302- 675849302- 675849302- 675849302- 675849302- 675849302- 675"},
      {20, u"a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 "},
      {21, u"assa sala dada fada gaga haja kada laça assada sal salsa fala assa sala dada fad"},
      {26, u"para qualquer pessoa para qualquer pessoa para qualquer pessoa para qualquer pes"},
      {27, u"Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu canta"},
      {29, u"O ESTUDO TORNA SUAVE A VIDA. O ESTUDO TORNA SUAVE A VIDA. O ESTUDO TORNA SUAVE A"},
      {31, u"idéia é só fúria avô tânia câmbio ânsia pão mãe sã manhã à idéia é só fúria avô "},
      {40, u"each shall has glass all ask fall teach imortal each shall has glass all ask fal"},
      {49, u"zxvutsrqponmljihgfedcba zxvutsrqponmljihgfedcba zxvutsrqponmljihgfedcba zxvutsrq"},
      {63, u"ghtybnfjruvmdkeic,slwox.açqpz; ghtybnfjruvmdkeic,slwox.açqpz; ghtybnfjruvmdkeic,"},
      {131, u"123456 7890 123456 7890 123456 7890 123456 7890 123456 7890 123456 7890 123456 7"},
      {132, u"20 39 48 57 67 58 49 30 23 34 45 56 78 89 90 20 39 48 57 67 58 49 30 23 34 45 56"},
      {135, u"Cz$ 1,00 Cz$ 2,00 Cz$ 3,00 Cz$ 4,00 Cz$ 5,00 Cz$ 6,00 Cz$ 7,00 Cz$ 8,00 Cz$ 9,00"},
      {136, u"I, II, III, IV, V, VI, VII, VIII, IX e X. I, II, III, IV, V, VI, VII, VIII, IX e"},
      {137, u"N/n. 6.456 - Frs. 089 - c/ de V. Sª N/n. 6.456 - Frs. 089 - c/ de V. Sª N/n. 6.4"},
      {141, u"a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Text(row.lesson), row.text)
        << "lesson " << row.lesson << ": differs from its given text";
  }
}

TEST(Alphabet, CheckpointsHoldTheirAlphabet) {
  EXPECT_EQ(Text(24),
            u"abcdefghijlmopqrstuvxz abcdefghijlmopqrstuvxz abcdefghijlmopqrstuvxz abcdefghijl");
  for (const int n : {43, 55, 65, 89, 100, 116, 128, 140, 156}) {
    EXPECT_EQ(Text(n),
              u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh")
        << "lesson " << n << ": not the alphabet checkpoint";
  }
  for (const int n : TimedAlphabets) {
    EXPECT_EQ(Text(n), std::u16string(Alphabet) + u"(5)") << "lesson " << n;
  }
}

TEST(Lesson157, TheNumbersOneToHundred) {
  std::u16string expected;
  for (int i = 1; i <= 100; ++i) {
    if (i > 1) expected += u',';
    for (const char c : std::to_string(i)) expected += static_cast<char16_t>(c);
  }
  expected += u'.';
  EXPECT_EQ(Text(157), expected);
  EXPECT_EQ(Text(157).size(), 292u);
  EXPECT_TRUE(Text(157).starts_with(u"1,2,3,"));
  EXPECT_TRUE(Text(157).ends_with(u",99,100."));
}

TEST(Passages, ProseIsWholeSentences) {
  for (int n = FirstPassageLesson + 1; n <= LessonCount; ++n) {
    if (TimedAlphabets.count(n)) continue;
    const std::u16string_view text = Text(n);
    const std::u16string_view typed = text.substr(0, text.find(u'('));
    EXPECT_EQ(typed.back(), u'.') << "lesson " << n << ": the prose does not end in a period";
    EXPECT_EQ(typed.find(u" ."), std::u16string_view::npos)
        << "lesson " << n << ": space before a period";
    EXPECT_EQ(typed.find(u" ,"), std::u16string_view::npos)
        << "lesson " << n << ": space before a comma";
    const char16_t first = typed.front();
    if (n == 161) {
      EXPECT_TRUE(first >= u'a' && first <= u'z') << "lesson 161: should begin in lower case";
    } else {
      EXPECT_TRUE(first >= u'A' && first <= u'Z')
          << "lesson " << n << ": should begin with a capital";
    }
  }
}

TEST(Passages, QuotationMarksComeInPairs) {
  for (int n = 1; n <= LessonCount; ++n) {
    const std::u16string_view text = Text(n);
    const auto quotes = std::count(text.begin(), text.end(), u'"');
    EXPECT_EQ(quotes % 2, 0) << "lesson " << n << ": a quotation is left open";
    if (n == 177) {
      EXPECT_EQ(quotes, 2) << "lesson 177: should hold one quotation";
    }
  }
}

// What the course promises a teacher beyond the form of its lines.

// Reached through the ABNT2 dead keys; ç has a key of its own.
constexpr std::u16string_view DeadKeyLetters = u"áàâãéêíóôõúÁÃÉÓ";
constexpr std::u16string_view SmallAccents = u"áàâãéêíóôõúç";
constexpr std::u16string_view CapitalAccents = u"ÁÃÇÉÓ";

bool IsIn(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }

bool AnyLessonHolds(int first, int last, char16_t c) {
  for (int n = first; n <= last; ++n) {
    if (IsIn(Text(n), c)) return true;
  }
  return false;
}

TEST(Accents, NoLessonBefore31NeedsADeadKey) {
  for (int n = 1; n < 31; ++n) {
    for (const char16_t c : DeadKeyLetters) {
      EXPECT_FALSE(IsIn(Text(n), c)) << "lesson " << n << " needs a dead key for " << Utf8FromUtf16({&c, 1});
    }
  }
}

TEST(Accents, EveryAccentedLetterKeepsComingBackAfterLesson31) {
  // Small letters in every stretch of drills and passages; the rarer capitals in both kinds.
  constexpr std::pair<int, int> stretches[] = {{32, 63},   {64, 99},   {100, 130},
                                               {131, 156}, {158, 175}, {176, 191}};
  for (const char16_t c : SmallAccents) {
    for (const auto& [first, last] : stretches) {
      EXPECT_TRUE(AnyLessonHolds(first, last, c))
          << "lessons " << first << " to " << last << " never practise " << Utf8FromUtf16({&c, 1});
    }
  }
  for (const char16_t c : CapitalAccents) {
    EXPECT_TRUE(AnyLessonHolds(32, FirstPassageLesson - 1, c))
        << "no drill practises " << Utf8FromUtf16({&c, 1});
    EXPECT_TRUE(AnyLessonHolds(FirstPassageLesson + 1, LessonCount, c))
        << "no passage practises " << Utf8FromUtf16({&c, 1});
  }
}

TEST(Sentences, ASentenceAfterAFullStopQuestionOrExclamationStartsWithACapital) {
  for (int n = 1; n <= LessonCount; ++n) {
    const std::u16string_view text = Text(n);
    for (std::size_t i = 2; i < text.size(); ++i) {
      const bool small = (text[i] >= u'a' && text[i] <= u'z') || IsIn(SmallAccents, text[i]);
      EXPECT_FALSE(small && text[i - 1] == u' ' && IsIn(u".!?", text[i - 2]))
          << "lesson " << n << ": " << Utf8FromUtf16(text.substr(i - 2, 12));
    }
  }
}

TEST(Sentences, SomePassagesAskAndSomeExclaim) {
  int questions = 0;
  int exclamations = 0;
  for (int n = FirstPassageLesson + 1; n <= LessonCount; ++n) {
    questions += IsIn(Text(n), u'?');
    exclamations += IsIn(Text(n), u'!');
  }
  EXPECT_GE(questions, 2);
  EXPECT_GE(exclamations, 2);
}

// The words of four letters or more in a drill's pattern (the whole line for a varied drill).
std::set<std::u16string> DrillWords(int number) {
  const std::u16string_view text = Text(number);
  const std::u16string_view pattern = FirstPattern(text).empty() ? text : FirstPattern(text);
  std::set<std::u16string> words;
  std::u16string word;
  for (const char16_t c : std::u16string(pattern) + u' ') {
    if (c != u' ') {
      if (!IsIn(u",.;:!?\"", c)) word += c;
      continue;
    }
    if (word.size() >= 4) words.insert(word);
    word.clear();
  }
  return words;
}

TEST(DrillForm, NoDrillRepeatsMostOfAnotherDrillsWords) {
  for (int a = 31; a < FirstPassageLesson; ++a) {
    const auto first = DrillWords(a);
    for (int b = a + 1; b < FirstPassageLesson; ++b) {
      const auto second = DrillWords(b);
      std::size_t shared = 0;
      for (const auto& w : second) shared += first.count(w);
      EXPECT_FALSE(shared >= 2 && 2 * shared > std::min(first.size(), second.size()))
          << "lessons " << a << " and " << b << " share " << shared << " of their words";
    }
  }
}

// Accented letters, capitals, punctuation marks and letters per word of a typed line,
// averaged over the sentence drills of a stretch (alphabet checkpoints left out).
std::array<double, 4> MeanMarks(int first, int last) {
  std::array<double, 4> sum{};
  int lines = 0;
  for (int n = first; n <= last; ++n) {
    const std::u16string_view text = Text(n);
    if (text.starts_with(Alphabet)) continue;
    double letters = 0;
    double words = text.back() == u' ' ? 0 : 1;
    for (const char16_t c : text) {
      sum[0] += IsIn(SmallAccents, c) || IsIn(CapitalAccents, c);
      sum[1] += (c >= u'A' && c <= u'Z') || IsIn(CapitalAccents, c);
      sum[2] += IsIn(u",.;:!?-", c);
      letters += c != u' ' && !IsIn(u",.;:!?-", c);
      words += c == u' ';
    }
    sum[3] += letters / words;
    ++lines;
  }
  for (double& s : sum) s /= lines;
  return sum;
}

TEST(Progression, SentenceDrillsGrowHarderFrom64To115) {
  const auto early = MeanMarks(64, 80);
  const auto late = MeanMarks(101, 115);
  const char* const measures[] = {"accented letters", "capitals", "punctuation", "word length"};
  for (std::size_t i = 0; i < early.size(); ++i) {
    EXPECT_GT(late[i], early[i] + 0.5) << measures[i] << ": " << early[i] << " -> " << late[i];
  }
}

// Figures and office texts: what a course for office and exam typing has to practise.

constexpr std::u16string_view Digits = u"0123456789";

// The lessons from first to last, each number once, whose text (less a target time) matches.
int LessonsMatching(int first, int last, const std::regex& pattern, int except = 0) {
  int count = 0;
  for (int n = first; n <= last; ++n) {
    const std::u16string_view text = Text(n);
    if (n != except && std::regex_search(Utf8FromUtf16(text.substr(0, text.find(u'('))), pattern)) {
      ++count;
    }
  }
  return count;
}

TEST(Figures, DrillsFrom64To130KeepEveryDigitInPractice) {
  int drillsWithDigits = 0;
  for (int n = 64; n <= 130; ++n) {
    drillsWithDigits += Text(n).find_first_of(Digits) != std::u16string_view::npos;
  }
  EXPECT_GE(drillsWithDigits, 8) << "drills with digits in lessons 64 to 130";
  for (const char16_t digit : Digits) {
    int drills = 0;
    for (int n = 64; n <= 130; ++n) drills += IsIn(Text(n), digit);
    EXPECT_GE(drills, 2) << "digit " << Utf8FromUtf16({&digit, 1}) << " in drills 64 to 130";
  }
}

TEST(Figures, EveryDigitComesInTheLongerPassages) {
  for (const char16_t digit : Digits) {
    EXPECT_TRUE(AnyLessonHolds(169, 191, digit))
        << "no passage of 169 to 191 holds the digit " << Utf8FromUtf16({&digit, 1});
  }
}

TEST(Office, SymbolsAndFormsOfOfficeTexts) {
  struct Row {
    const char* what;
    int first;
    int last;
    int except;
    const char* pattern;
    int atLeast;
  };
  const Row rows[] = {
      {"an amount \"R$ 1.250,00\" in a passage", 158, 191, 0, R"(R\$ \d{1,3}(\.\d{3})+,\d{2}\b)", 2},
      {"\"$\" in a passage", 158, 191, 0, R"(\$)", 2},
      {"\"/\" after lesson 137", 138, LessonCount, 0, "/", 3},
      {"a quotation besides lesson 177", 1, LessonCount, 177, "\"", 3},
      {"a CEP, CPF or telephone number", 1, LessonCount, 0,
       R"((^|[^\d.-])(\d{5}-\d{3}|\d{3}\.\d{3}\.\d{3}-\d{2}|\d{4,5}-\d{4})($|[^\d-]))", 3},
      {"\"atenciosamente\" in a drill", 1, FirstPassageLesson - 1, 0, "[Aa]tenciosamente", 1},
      {"\"atenciosamente\" in a letter", FirstPassageLesson + 1, LessonCount, 0, "[Aa]tenciosamente", 1},
  };
  for (const Row& row : rows) {
    EXPECT_GE(LessonsMatching(row.first, row.last, std::regex(row.pattern), row.except), row.atLeast)
        << "lessons with " << row.what;
  }
}

// Words of three letters or more, in lower case, sentence by sentence.
std::vector<std::vector<std::u16string>> SentenceWords(std::u16string_view text) {
  std::vector<std::vector<std::u16string>> sentences(1);
  std::u16string word;
  const auto endWord = [&] {
    if (word.size() >= 3) sentences.back().push_back(word);
    word.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if ((c >= u'A' && c <= u'Z') || IsIn(CapitalAccents, c)) {
      word += c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a')
                                     : u"áãçéó"[CapitalAccents.find(c)];
      continue;
    }
    if ((c >= u'a' && c <= u'z') || IsIn(SmallAccents, c) || c == u'-') {
      word += c;
      continue;
    }
    endWord();
    // "R$ 1.250,00" goes on; a full stop is followed by a space or the end.
    if (IsIn(u".!?", c) && (i + 1 == text.size() || text[i + 1] == u' ')) sentences.emplace_back();
  }
  endWord();
  return sentences;
}

TEST(Mends, NoWordComesBackWithinASentenceOrAcrossOneFullStop) {
  for (const int n : {143, 170, 186}) {
    const std::u16string_view text = Text(n);
    const std::u16string_view pattern = FirstPattern(text);
    const auto sentences = SentenceWords(n < FirstPassageLesson && !pattern.empty() ? pattern : text);
    std::set<std::u16string> previous;
    for (const auto& sentence : sentences) {
      std::set<std::u16string> seen;
      for (const auto& word : sentence) {
        EXPECT_FALSE(seen.count(word) || previous.count(word))
            << "lesson " << n << ": \"" << Utf8FromUtf16(word) << "\" comes back too soon";
        seen.insert(word);
      }
      previous = std::move(seen);
    }
  }
}

// Whether the text holds one of the phrases, which are separated by "|".
bool HoldsOneOf(std::u16string_view text, std::u16string_view phrases) {
  for (std::size_t from = 0; from <= phrases.size();) {
    const std::size_t bar = std::min(phrases.find(u'|', from), phrases.size());
    if (text.find(phrases.substr(from, bar - from)) != std::u16string_view::npos) return true;
    from = bar + 1;
  }
  return false;
}

TEST(Mends, WordingATeacherAskedFor) {
  struct Row {
    int lesson;
    std::u16string_view wanted;
    std::u16string_view unwanted;
  };
  constexpr Row rows[] = {
      {78, u"acalma os ânimos", u"acalma o ânimo "},
      {104, u"gua, luz e telefone", u"eletricidade"},
      {108, u"linha central|teclas-guia", u"palavra"},
      {110, u"o dicionário", u"Aurélio|Houaiss|Michaelis"},
      {149, u"último dia útil do mês", u"útil. "},
      {167, u" a distância|ao longe", u"à distância"},
      {172, u"linha de chegada", u"a meta"},
  };
  for (const Row& row : rows) {
    const std::u16string_view text = Text(row.lesson);
    EXPECT_TRUE(HoldsOneOf(text, row.wanted))
        << "lesson " << row.lesson << " lacks " << Utf8FromUtf16(row.wanted);
    EXPECT_FALSE(HoldsOneOf(text, row.unwanted))
        << "lesson " << row.lesson << " still holds " << Utf8FromUtf16(row.unwanted);
  }
}

TEST(Mends, TheCurupirasFeetAreHisOwn) {
  // Named before the hunters come in, the feet can only be the Curupira's.
  const std::u16string_view text = Text(165);
  const std::size_t feet = text.find(u"pés virados para trás");
  ASSERT_NE(feet, std::u16string_view::npos);
  EXPECT_LT(feet, text.find(u"caçadores"));
}

TEST(Mends, TwoPassagesDoNotTurnOnTheSameWords) {
  const bool both = Text(171).find(u"Desde então") != std::u16string_view::npos &&
                    Text(177).find(u"Desde então") != std::u16string_view::npos;
  EXPECT_FALSE(both) << "lessons 171 and 177 both turn on \"Desde então\"";
}

}  // namespace
}  // namespace tecladim
