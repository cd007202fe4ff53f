#include <atomic>
#include <string>
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

// A save of a large history holds the lock for a second or two; a program that holds it far
// longer is stuck, and the waiting save gives up with an error rather than hang the window.
std::atomic<std::chrono::milliseconds::rep> lockWaitLimitMs{
    std::chrono::duration_cast<std::chrono::milliseconds>(DefaultLockWaitLimit).count()};

}  // namespace

void SetLockWaitLimit(std::chrono::milliseconds limit) { lockWaitLimitMs.store(limit.count()); }

std::chrono::milliseconds LockWaitLimit() { return std::chrono::milliseconds(lockWaitLimitMs.load()); }

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

std::error_code LockedFile::ReplaceEnd(std::uint64_t keep, std::string_view end) {
  if (!WriteEndInPlace(keep, end)) return {};
  // The way back: the whole file, by the usual routes. The write in place, even one that
  // failed half way, left the bytes before `keep` alone.
  std::string whole;
  if (const std::error_code ec = Read(whole)) return ec;
  if (keep > whole.size()) return std::make_error_code(std::errc::invalid_argument);
  whole.resize(static_cast<std::size_t>(keep));
  whole.append(end);
  return Replace(whole);
}

}  // namespace tecladim::platform
