#include "history/preload.h"

#include <stdexcept>
#include <string>

#include "history/history_file.h"

namespace tecladim::history {

HistoryRead ReadHistoryPacket(const std::filesystem::path& name) {
  const HistoryFile file(name, HistoryFile::Use::Load);
  HistoryRead read{std::nullopt, file.Stamp()};
  // The bytes go as soon as the packet holds the rows: a large history is not kept twice.
  if (const std::string bytes = file.Read(); !bytes.empty()) read.packet = ReadPacket(bytes);
  return read;
}

PacketPreload::PacketPreload(const std::filesystem::path& name)
    : name_(name), result_(std::async(std::launch::async, [name] { return ReadHistoryPacket(name); })) {}

HistoryRead PacketPreload::Take() {
  if (Taken()) throw std::logic_error("the preloaded history was taken already");
  return result_.get();
}

}  // namespace tecladim::history
