#include "history/packet.h"

namespace tecladim::history {

const char* PacketErrorText(PacketErrorKind kind) {
  switch (kind) {
    case PacketErrorKind::Mismatch: return "Mismatch in datapacket.";
    case PacketErrorKind::NoMetaData: return "Datapacket contains no meta data.";
    case PacketErrorKind::InvalidFieldType: return "Invalid field type.";
  }
  return "Mismatch in datapacket.";
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
