#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <ostream>

#include "history/datetime.h"
#include "history/history_fields.h"
#include "history/packet.h"
#include "platform/durable_file.h"

namespace tecladim::history {

// One load of the history file under its shared lock: the packet (nothing for a zero-byte
// file, whose store keeps its snapshot) and the file's stamp, by which a later save tells
// whether another program saved meanwhile.
struct HistoryRead {
  std::optional<Packet> packet;
  platform::FileStamp stamp;
};

// Reads the file as RecordSet::LoadFromFile does. Throws HistoryError, PacketError.
HistoryRead ReadHistoryPacket(const std::filesystem::path& name);

// What the trainer's start does around that read.
struct StartSteps {
  std::filesystem::path dataFolder;      // the user's own: where what the history's folder refuses goes
  DateTime now = 0;                      // names the copy of a bent history's original bytes
  std::ostream* notes = nullptr;         // told, a line each, what was merged or kept and where
  std::atomic<bool>* reading = nullptr;  // set once the history's lock is held: only reading is left
  const RecordLayout* layout = &HistoryLayout;  // the records of the file and of its recovery files
};

// ReadHistoryPacket, after merging the history's recovery files into it, and keeping a copy
// of its original bytes when the reader had to bend them (history/recovery_file.h).
HistoryRead ReadHistoryAtStart(const std::filesystem::path& name, const StartSteps& steps);

// ReadHistoryPacket on a thread of its own, started before the windows are built, so that
// a large history costs the first show only what is left of its reading. The store takes
// the result on the user-interface thread (RecordSet::LoadFromPreload); nothing else is
// shared with the thread.
class PacketPreload {
 public:
  explicit PacketPreload(const std::filesystem::path& name);
  // The trainer's start: ReadHistoryAtStart on the thread.
  PacketPreload(const std::filesystem::path& name, StartSteps steps);
  // Waits for the thread when the result was never taken.
  ~PacketPreload() = default;
  PacketPreload(const PacketPreload&) = delete;
  PacketPreload& operator=(const PacketPreload&) = delete;

  const std::filesystem::path& Name() const { return name_; }
  // Waits for the reading to end; what it read, or the reading's error thrown again.
  // Once only.
  HistoryRead Take();
  bool Taken() const { return !result_.valid(); }
  // Waits for the reading to end, leaving its result to Take.
  void Wait() const { result_.wait(); }
  // The same for at most `limit`; whether it ended.
  bool WaitFor(std::chrono::milliseconds limit) const { return result_.wait_for(limit) == std::future_status::ready; }
  // Whether the start's read holds the history's lock (or ended): what is left is the
  // reading, not a wait for another program.
  bool Reading() const { return reading_ && reading_->load(); }

 private:
  std::filesystem::path name_;
  std::shared_ptr<std::atomic<bool>> reading_;
  std::future<HistoryRead> result_;
};

}  // namespace tecladim::history
