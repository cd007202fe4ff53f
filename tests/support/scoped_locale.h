#pragma once
#include <clocale>
#include <string>
#include <vector>

// The C library's locale as the toolkit leaves it on a user's machine: QApplication calls
// setlocale(LC_ALL, "") at start, so printf and strtod follow LANG from then on. Tests set
// it for one scope and put the previous one back.
namespace tecladim::testing_support {

class ScopedCLocale {
 public:
  explicit ScopedCLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedCLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

  // False when the machine lacks the locale (deps.sh test generates the ones below).
  bool Active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

// The locales a school's machine may run under: Brazilian first, then ones whose decimal
// point or grouping differ.
inline const std::vector<const char*>& UserLocales() {
  static const std::vector<const char*> names = {"pt_BR.UTF-8", "C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"};
  return names;
}

}  // namespace tecladim::testing_support
