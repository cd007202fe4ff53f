#include <gtest/gtest.h>

#include <set>
#include <string>

#include "exam/texts.h"
#include "history/utf8.h"

namespace tecladim::exam {
namespace {

// What an ABNT2 keyboard types directly, with Shift or AltGr, or with its dead keys
// (´ ` ^ ~ ¨) on a vowel; the line break ends a paragraph.
const std::u32string Abnt2Characters =
    U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 \n"
    U"'\"!@#$%¨&*()-_=+´`[]{}~^çÇ;:/?\\|,.<>ªº¹²³£¢¬§°"
    U"áéíóúÁÉÍÓÚàèìòùÀÈÌÒÙâêîôûÂÊÎÔÛãõñÃÕÑäëïöüÄËÏÖÜ";

TEST(ExamTexts, AreTwelveOrMorePassagesOfOneToTwoThousandCharacters) {
  EXPECT_GE(ExamTexts().size(), 12u);
  std::set<std::string_view> ids;
  for (const ExamText& t : ExamTexts()) {
    SCOPED_TRACE(std::string(t.id));
    ASSERT_TRUE(IsValidUtf8(t.text));
    const std::u32string text = Utf32FromUtf8(t.text);
    EXPECT_GE(text.size(), 1000u);
    EXPECT_LE(text.size(), 2000u);
    EXPECT_TRUE(ids.insert(t.id).second) << "the id is taken";
    EXPECT_EQ(FindExamText(t.id), &t);
    EXPECT_FALSE(t.title.empty());
  }
}

TEST(ExamTexts, UseOnlyWhatAnAbnt2KeyboardTypes) {
  for (const ExamText& t : ExamTexts()) {
    SCOPED_TRACE(std::string(t.id));
    const std::u32string text = Utf32FromUtf8(t.text);
    for (std::size_t i = 0; i < text.size(); ++i)
      EXPECT_NE(Abnt2Characters.find(text[i]), std::u32string::npos)
          << "character U+" << std::hex << static_cast<unsigned>(text[i]) << " at " << std::dec << i;
    // No blank at either end of a paragraph, no doubled blank: the model is typed as shown.
    EXPECT_EQ(text.find(U"  "), std::u32string::npos);
    EXPECT_EQ(text.find(U" \n"), std::u32string::npos);
    EXPECT_EQ(text.find(U"\n "), std::u32string::npos);
    EXPECT_NE(text.back(), U'\n');
  }
}

}  // namespace
}  // namespace tecladim::exam
