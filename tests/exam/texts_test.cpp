#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

#include "exam/profiles.h"
#include "exam/texts.h"
#include "history/utf8.h"
#include "lessons/abnt2_keyboard.h"

namespace tecladim::exam {
namespace {

// The texts the boards that state a length use (about 1,700 and 1,800 characters).
constexpr std::size_t LongPassageMin = 1700;
constexpr std::size_t LongPassageMax = 1850;

TEST(ExamTexts, AreTwelveOrMorePassagesOfOneToTwoThousandCharacters) {
  EXPECT_GE(ExamTexts().size(), 12u);
  std::set<std::string_view> ids;
  for (const ExamText& t : ExamTexts()) {
    SCOPED_TRACE(std::string(t.id));
    ASSERT_TRUE(IsValidUtf8(t.text));
    const std::u32string text = Utf32FromUtf8(t.text);
    EXPECT_GE(text.size(), 1000u);
    EXPECT_LE(text.size(), 2000u);
    EXPECT_EQ(CharacterCount(t), static_cast<std::int32_t>(text.size()));
    EXPECT_TRUE(ids.insert(t.id).second) << "the id is taken";
    EXPECT_EQ(FindExamText(t.id), &t);
    EXPECT_FALSE(t.title.empty());
    // The id goes into "Simulados.xml" and the class report's CSV as it is.
    EXPECT_EQ(t.id.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"), std::string_view::npos);
  }
}

// Every saved result names its text by id: an id once shipped is never renamed nor dropped.
TEST(ExamTexts, KeepEveryIdEverShipped) {
  constexpr std::string_view Shipped[] = {
      "acesso-informacao", "servidor-atendimento", "consumidor",         "juizado-especial", "vacinacao",
      "agua-saneamento",   "orcamento-publico",    "eleicoes",           "energia-solar",    "estatuto-crianca",
      "dados-pessoais",    "mudancas-climaticas",  "mediacao",           "defesa-civil",     "atencao-basica",
      "licitacoes",        "residuos-solidos",     "defensoria-publica", "antibioticos",     "cerrado",
  };
  for (const std::string_view id : Shipped) EXPECT_NE(FindExamText(id), nullptr) << id;
}

TEST(ExamTexts, HaveSixOrMoreLongPassagesForTheBoardsThatStateALength) {
  constexpr std::string_view LongPassages[] = {
      "defesa-civil",       "atencao-basica", "licitacoes", "residuos-solidos",
      "defensoria-publica", "antibioticos",   "cerrado",
  };
  static_assert(std::size(LongPassages) >= 6);
  for (const std::string_view id : LongPassages) {
    SCOPED_TRACE(std::string(id));
    const ExamText* t = FindExamText(id);
    ASSERT_NE(t, nullptr);
    EXPECT_GE(Utf32FromUtf8(t->text).size(), LongPassageMin);
    EXPECT_LE(Utf32FromUtf8(t->text).size(), LongPassageMax);
  }
  for (const Profile& p : Profiles()) {
    if (p.textLength == 0) continue;
    SCOPED_TRACE(std::string(p.name));
    std::size_t suiting = 0;
    for (const ExamText& t : ExamTexts()) suiting += SuitsLength(t, p.textLength) ? 1 : 0;
    EXPECT_GE(suiting, 6u);
  }
}

TEST(ExamTexts, ChoiceFollowsTheBoardsLength) {
  const auto indexOf = [](std::string_view id) {
    return static_cast<std::size_t>(FindExamText(id) - ExamTexts().data());
  };
  struct Row {
    const char* name;
    std::int32_t usualLength;
    std::size_t current;
    std::size_t expected;
  };
  const Row rows[] = {
      {"PC-MG from a short text: the first long one", 1700, 0, indexOf("defesa-civil")},
      {"TJ-SP from a short text: the first long one", 1800, indexOf("mediacao"), indexOf("defesa-civil")},
      {"TJ-SP keeps a long text already chosen", 1800, indexOf("cerrado"), indexOf("cerrado")},
      {"a board that states no length keeps a short text", 0, indexOf("eleicoes"), indexOf("eleicoes")},
      {"a board that states no length keeps a long text", 0, indexOf("cerrado"), indexOf("cerrado")},
      {"a length no text has keeps the choice", 5000, indexOf("consumidor"), indexOf("consumidor")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::size_t chosen = TextChoiceFor(row.usualLength, row.current);
    EXPECT_EQ(chosen, row.expected);
    EXPECT_TRUE(row.usualLength == 5000 || SuitsLength(ExamTexts()[chosen], row.usualLength));
  }
}

// What the keyboard table types (directly, with Shift or AltGr, or a dead key and a letter);
// the line break, Enter, ends a paragraph.
TEST(ExamTexts, UseOnlyWhatAnAbnt2KeyboardTypes) {
  for (const ExamText& t : ExamTexts()) {
    SCOPED_TRACE(std::string(t.id));
    const std::u32string text = Utf32FromUtf8(t.text);
    for (std::size_t i = 0; i < text.size(); ++i)
      EXPECT_TRUE(text[i] == U'\n' || (text[i] < 0x10000 && KeyingOf(static_cast<char16_t>(text[i]))))
          << "character U+" << std::hex << static_cast<unsigned>(text[i]) << " at " << std::dec << i;
    // No blank at either end of a paragraph, no doubled blank: the model is typed as shown.
    EXPECT_EQ(text.find(U"  "), std::u32string::npos);
    EXPECT_EQ(text.find(U" \n"), std::u32string::npos);
    EXPECT_EQ(text.find(U"\n "), std::u32string::npos);
    EXPECT_NE(text.back(), U'\n');
  }
}

// Spellings the 1990 agreement did away with, which a keyboard still types: the trema
// ("freqüência"), the accent of "idéia", "heróico", "vôo", "lêem".
TEST(ExamTexts, AreInTodaysSpelling) {
  for (const ExamText& t : ExamTexts()) {
    SCOPED_TRACE(std::string(t.id));
    for (const std::string_view old : {"ü", "Ü", "éia", "óia", "óic", "éic", "ôo", "êem"})
      EXPECT_EQ(t.text.find(old), std::string_view::npos) << old;
  }
}

}  // namespace
}  // namespace tecladim::exam
