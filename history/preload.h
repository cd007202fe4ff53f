#pragma once
#include <filesystem>
#include <future>
#include <optional>

#include "history/packet.h"

namespace tecladim::history {

// The history file's packet, read as RecordSet::LoadFromFile reads it: nothing for a
// zero-byte file (the store keeps its snapshot). Throws HistoryError, PacketError.
std::optional<Packet> ReadHistoryPacket(const std::filesystem::path& name);

// ReadHistoryPacket on a thread of its own, started before the windows are built, so that
// a large history costs the first show only what is left of its reading. The store takes
// the result on the user-interface thread (RecordSet::LoadFromPreload); nothing else is
// shared with the thread.
class PacketPreload {
 public:
  explicit PacketPreload(const std::filesystem::path& name);
  // Waits for the thread when the result was never taken.
  ~PacketPreload() = default;
  PacketPreload(const PacketPreload&) = delete;
  PacketPreload& operator=(const PacketPreload&) = delete;

  // Waits for the reading to end; the packet, or the reading's error thrown again.
  // Once only.
  std::optional<Packet> Take();
  bool Taken() const { return !result_.valid(); }

 private:
  std::future<std::optional<Packet>> result_;
};

}  // namespace tecladim::history
