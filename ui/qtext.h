#pragma once
#include <QString>
#include <string>
#include <string_view>

// The one crossing between the core's UTF-16 text and Qt's: both count 16-bit units.
namespace tecladim {

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

inline std::u16string_view ViewOf(const QString& text) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace tecladim
