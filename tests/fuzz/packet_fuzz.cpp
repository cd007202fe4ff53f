// Any bytes given to the history reader either load or fail with one of its three errors,
// and whatever loads is written so that it loads again to the same content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "history/packet.h"

namespace {

using namespace tecladim::history;

[[noreturn]] void Finding(const char* what) {
  std::fprintf(stderr, "packet_fuzz: %s\n", what);
  std::abort();
}

bool IsReaderErrorText(const char* text) {
  for (const PacketErrorKind kind :
       {PacketErrorKind::Mismatch, PacketErrorKind::NoMetaData, PacketErrorKind::InvalidFieldType})
    if (std::strcmp(text, PacketErrorText(kind)) == 0) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Packet packet;
  try {
    packet = ReadPacket(bytes);
  } catch (const PacketError& e) {
    if (!IsReaderErrorText(e.what())) Finding("error with an unknown text");
    if (e.offset() > size) Finding("error offset beyond the input");
    return 0;
  }
  const std::string written = WritePacket(packet);
  Packet again;
  try {
    again = ReadPacket(written);
  } catch (const PacketError&) {
    Finding("the writer's output does not read back");
  }
  if (!(again == packet)) Finding("the written packet reads back different");
  if (WritePacket(again) != written) Finding("writing the read-back packet gives other bytes");
  return 0;
}
