#pragma once
#include <string_view>

// Letter case in the words of the history file (type words, "true", "UTF-8", field names):
// ASCII letters only, whatever the locale, so a file reads the same on every computer.
namespace tecladim {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace tecladim
