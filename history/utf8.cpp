#include "history/utf8.h"

#include <cstring>

namespace tecladim {
namespace {

constexpr std::uint32_t ReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c < 0xE000; }

}  // namespace

std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& cp) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char c = b(0);
  std::size_t len = 0;
  std::uint32_t value = 0;
  std::uint32_t min = 0;
  if (c >= 0xC2 && c <= 0xDF) { len = 2; value = c & 0x1Fu; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { len = 3; value = c & 0x0Fu; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { len = 4; value = c & 0x07u; min = 0x10000; }
  else return 0;
  if (at + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(k) & 0xC0u) != 0x80u) return 0;
    value = (value << 6) | (b(k) & 0x3Fu);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  cp = value;
  return len;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // A history file is ASCII almost throughout, so eight bytes are tested at a time.
    if (text.size() - i >= 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, 8);
      if ((word & 0x8080808080808080ull) == 0) {
        i += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    std::uint32_t cp = 0;
    const std::size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    else if (IsHighSurrogate(c) || IsLowSurrogate(c))
      c = ReplacementCharacter;
    AppendUtf8(out, c);
  }
  return out;
}

std::string Utf8FromUtf32(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? ReplacementCharacter : c);
  return out;
}

std::u32string Utf32FromUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out.push_back(byte);
      ++i;
      continue;
    }
    std::uint32_t cp = ReplacementCharacter;
    const std::size_t length = DecodeUtf8(text, i, cp);
    out.push_back(length == 0 ? ReplacementCharacter : cp);
    i += length == 0 ? 1 : length;
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char32_t cp : Utf32FromUtf8(text)) {
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

}  // namespace tecladim
