#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8, the one encoding every text of the core is handed over in: the history's values,
// error messages, the lesson texts' test messages.
namespace tecladim {

// Whether every byte belongs to a well-formed sequence: no overlong forms, no surrogates,
// nothing beyond U+10FFFF, no sequence cut short at the end.
bool IsValidUtf8(std::string_view text);

// The code point of the multi-byte sequence at text[at] and its length; length 0 (cp left
// as it was) when the bytes there are ASCII or not a well-formed sequence.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& cp);

// Appends a code point (at most U+10FFFF, never a surrogate) as one to four bytes.
void AppendUtf8(std::string& out, std::uint32_t cp);

// 16-bit text as UTF-8: a surrogate pair gives one code point, a lone surrogate U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);

// Code points as UTF-8; a surrogate or a value beyond U+10FFFF as U+FFFD.
std::string Utf8FromUtf32(std::u32string_view text);

// UTF-8 as code points; every byte that does not start a well-formed sequence as U+FFFD.
std::u32string Utf32FromUtf8(std::string_view text);

// UTF-8 as 16-bit text, by the same rule.
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace tecladim
