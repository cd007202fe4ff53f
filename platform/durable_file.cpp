#include <string_view>

#include "platform/durable_file.h"

namespace tecladim::platform {
namespace {

constexpr std::string_view TempSuffix = ".tmp";
constexpr std::size_t TempRandomLength = 6;  // the X's of mkstemps

bool IsAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::uint64_t TailHash(std::string_view bytes) {
  if (bytes.size() > TailHashLength) bytes.remove_prefix(bytes.size() - TailHashLength);
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool IsTemporaryOf(std::string_view name, std::string_view history) {
  // ".Exercicio.xml.Ab3xYz.tmp": hidden, so the folder the students see stays tidy.
  if (name.size() == 1 + history.size() + 1 + TempRandomLength + TempSuffix.size() && name.front() == '.' &&
      name.substr(1, history.size()) == history && name[1 + history.size()] == '.' && name.ends_with(TempSuffix)) {
    const std::string_view random = name.substr(2 + history.size(), TempRandomLength);
    bool plain = true;
    for (const char c : random) plain = plain && IsAlphanumeric(c);
    if (plain) return true;
  }
  // "Exercicio.xml.tmp1234-0": what earlier versions of the program left behind.
  if (!name.starts_with(history) || name.substr(history.size()).substr(0, TempSuffix.size()) != TempSuffix)
    return false;
  const std::string_view numbers = name.substr(history.size() + TempSuffix.size());
  const std::size_t dash = numbers.find('-');
  return dash != std::string_view::npos && AllDigits(numbers.substr(0, dash)) && AllDigits(numbers.substr(dash + 1));
}

}  // namespace tecladim::platform
