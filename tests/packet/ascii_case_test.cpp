#include <gtest/gtest.h>

#include "history/ascii_case.h"

namespace tecladim {
namespace {

TEST(AsciiCase, AsciiLower) {
  EXPECT_EQ(AsciiLower('A'), 'a');
  EXPECT_EQ(AsciiLower('Z'), 'z');
  EXPECT_EQ(AsciiLower('a'), 'a');
  EXPECT_EQ(AsciiLower('@'), '@');
  EXPECT_EQ(AsciiLower('['), '[');
  EXPECT_EQ(AsciiLower('4'), '4');
  EXPECT_EQ(AsciiLower('\xC7'), '\xC7');  // "Ç" in Windows-1252 stays as it is
}

TEST(AsciiCase, EqualIgnoringAsciiCase) {
  EXPECT_TRUE(EqualIgnoringAsciiCase("", ""));
  EXPECT_TRUE(EqualIgnoringAsciiCase("dateTime", "DATETIME"));
  EXPECT_TRUE(EqualIgnoringAsciiCase("UTF-8", "utf-8"));
  EXPECT_TRUE(EqualIgnoringAsciiCase("true", "True"));
  EXPECT_TRUE(EqualIgnoringAsciiCase("LICAO", "licao"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("i4", "i8"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("i4", "i4 "));
  EXPECT_FALSE(EqualIgnoringAsciiCase("string", "string.uni"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`"));             // the bytes just before "A" and "a"
  EXPECT_FALSE(EqualIgnoringAsciiCase("[", "{"));             // the bytes just after "Z" and "z"
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xC3\xA7", "\xC3\x87"));  // "ç" and "Ç" in UTF-8
}

}  // namespace
}  // namespace tecladim
