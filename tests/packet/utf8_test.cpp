#include <gtest/gtest.h>

#include "history/utf8.h"

namespace tecladim {
namespace {

TEST(Utf8, IsValidUtf8) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("licao"));
  EXPECT_TRUE(IsValidUtf8("li\xC3\xA7\xC3\xA3o"));                          // lição
  EXPECT_TRUE(IsValidUtf8("exerc\xC3\xAD" "cio de digita\xC3\xA7\xC3\xA3o 12"));  // past eight bytes
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));                                 // €
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));                             // U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE7\xE3o"));                                   // "ção" in Windows-1252
  EXPECT_FALSE(IsValidUtf8("12345678\x80"));                                // after eight ASCII bytes
  EXPECT_FALSE(IsValidUtf8("abc\xC3"));                                     // cut short
  EXPECT_FALSE(IsValidUtf8("\xC3\x28"));                                    // no continuation byte
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                                    // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));                                // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                                // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));                            // beyond U+10FFFF
}

TEST(Utf8, DecodeUtf8) {
  struct Row {
    std::string_view text;
    std::size_t at;
    std::size_t length;
    std::uint32_t cp;  // 0 when nothing is decoded
  };
  const Row rows[] = {
      {"\xC3\xA7", 0, 2, 0xE7},
      {"a\xE2\x82\xAC", 1, 3, 0x20AC},
      {"\xF0\x9F\x98\x80", 0, 4, 0x1F600},
      {"a", 0, 0, 0},
      {"\xE7", 0, 0, 0},
      {"\xE2\x82", 0, 0, 0},
      {"\xC1\xBF", 0, 0, 0},
      {"\xED\xBF\xBF", 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::uint32_t cp = 0;
    EXPECT_EQ(DecodeUtf8(r.text, r.at, cp), r.length);
    EXPECT_EQ(cp, r.cp);
  }
}

TEST(Utf8, AppendUtf8) {
  const auto appended = [](std::uint32_t cp) {
    std::string out = ">";
    AppendUtf8(out, cp);
    return out;
  };
  EXPECT_EQ(appended(0x41), ">A");
  EXPECT_EQ(appended(0x7F), ">\x7F");
  EXPECT_EQ(appended(0x80), ">\xC2\x80");
  EXPECT_EQ(appended(0xE7), ">\xC3\xA7");
  EXPECT_EQ(appended(0x7FF), ">\xDF\xBF");
  EXPECT_EQ(appended(0x800), ">\xE0\xA0\x80");
  EXPECT_EQ(appended(0x20AC), ">\xE2\x82\xAC");
  EXPECT_EQ(appended(0xFFFF), ">\xEF\xBF\xBF");
  EXPECT_EQ(appended(0x10000), ">\xF0\x90\x80\x80");
  EXPECT_EQ(appended(0x10FFFF), ">\xF4\x8F\xBF\xBF");
}

TEST(Utf8, Utf8FromUtf16) {
  EXPECT_EQ(Utf8FromUtf16(u""), "");
  EXPECT_EQ(Utf8FromUtf16(u"asdfg hjkl\u00E7 "), "asdfg hjkl\xC3\xA7 ");
  EXPECT_EQ(Utf8FromUtf16(u"a\u00E7\u00E3o"), "a\xC3\xA7\xC3\xA3o");
  EXPECT_EQ(Utf8FromUtf16(u"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(Utf8FromUtf16(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8FromUtf16(u"\xD83Dx"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf8FromUtf16(u"x\xDE00"), "x\xEF\xBF\xBD");
  EXPECT_EQ(Utf8FromUtf16(u"\xD83D\xD83D\xDE00"), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8FromUtf16(u"\xD83D"), "\xEF\xBF\xBD");
}

TEST(Utf8, Utf32BothWays) {
  EXPECT_EQ(Utf32FromUtf8("a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\xF0\x9F\x98\x80"), U"a\u00E7\u00E3o \u20AC\U0001F600");
  EXPECT_EQ(Utf32FromUtf8("\xE7\xE3o"), U"\uFFFD\uFFFDo");  // Windows-1252, a byte each
  EXPECT_EQ(Utf32FromUtf8("abc\xC3"), U"abc\uFFFD");        // cut short
  EXPECT_EQ(Utf8FromUtf32(U"a\u00E7\u00E3o \U0001F600"), "a\xC3\xA7\xC3\xA3o \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8FromUtf32(std::u32string{U'x', char32_t{0xD800}, char32_t{0x110000}}), "x\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tecladim
