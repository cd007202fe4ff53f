#include <array>

#include "history/packet.h"

namespace tecladim::history {
namespace {

struct TypeWord {
  std::string_view word;
  ValueKind kind;
};

constexpr std::array<TypeWord, 27> TypeWords{{
    {"i1", ValueKind::Integer},       {"i2", ValueKind::Integer},
    {"i4", ValueKind::Integer},       {"i8", ValueKind::Integer},
    {"int", ValueKind::Integer},      {"ui1", ValueKind::Integer},
    {"ui2", ValueKind::Integer},      {"ui4", ValueKind::Integer},
    {"uint", ValueKind::Integer},     {"date", ValueKind::DateTime},
    {"time", ValueKind::DateTime},    {"dateTime", ValueKind::DateTime},
    {"SQLdateTime", ValueKind::DateTime}, {"SQLdateTimeOffset", ValueKind::DateTime},
    {"r4", ValueKind::Text},          {"r8", ValueKind::Text},
    {"r10", ValueKind::Text},         {"boolean", ValueKind::Text},
    {"string", ValueKind::Text},      {"string.uni", ValueKind::Text},
    {"bin.hex", ValueKind::Text},     {"fixed", ValueKind::Text},
    {"fixedFMT", ValueKind::Text},    {"nested", ValueKind::Text},
    {"struct", ValueKind::Text},      {"IntArray", ValueKind::Text},
    {"UIntArray", ValueKind::Text},
}};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

const char* PacketErrorText(PacketErrorKind kind) {
  switch (kind) {
    case PacketErrorKind::Mismatch: return "Mismatch in datapacket.";
    case PacketErrorKind::NoMetaData: return "Datapacket contains no meta data.";
    case PacketErrorKind::InvalidFieldType: return "Invalid field type.";
  }
  return "Mismatch in datapacket.";
}

bool KindOfType(std::string_view typeWord, ValueKind& kind) {
  for (const TypeWord& t : TypeWords) {
    if (EqualNoCase(t.word, typeWord)) {
      kind = t.kind;
      return true;
    }
  }
  return false;
}

bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.' || c == ':';
    if (!plain) return false;
  }
  return true;
}

}  // namespace tecladim::history
