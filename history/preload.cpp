#include "history/preload.h"

#include <stdexcept>
#include <string>

#include "history/history_file.h"

namespace tecladim::history {

std::optional<Packet> ReadHistoryPacket(const std::filesystem::path& name) {
  const platform::FileView file = ViewHistoryFile(name);
  if (file.Bytes().empty()) return std::nullopt;
  return ReadPacket(file.Bytes());
}

PacketPreload::PacketPreload(const std::filesystem::path& name)
    : result_(std::async(std::launch::async, [name] { return ReadHistoryPacket(name); })) {}

std::optional<Packet> PacketPreload::Take() {
  if (Taken()) throw std::logic_error("the preloaded history was taken already");
  return result_.get();
}

}  // namespace tecladim::history
