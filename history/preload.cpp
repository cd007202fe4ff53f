#include "history/preload.h"

#include <stdexcept>
#include <string>

#include "history/history_file.h"
#include "history/recovery_file.h"

namespace tecladim::history {

HistoryRead ReadHistoryPacket(const std::filesystem::path& name) {
  const HistoryFile file(name, HistoryFile::Use::Load);
  HistoryRead read{std::nullopt, file.Stamp()};
  // The bytes go as soon as the packet holds the rows: a large history is not kept twice.
  if (const std::string bytes = file.Read(); !bytes.empty()) read.packet = ReadPacket(bytes);
  return read;
}

HistoryRead ReadHistoryAtStart(const std::filesystem::path& name, const StartSteps& steps) {
  const auto note = [&](const std::string& line) {
    if (steps.notes) *steps.notes << line << std::endl;
  };
  for (const std::string& line : MergeRecoveryFiles(name, steps.dataFolder, *steps.layout)) note(line);
  const HistoryFile file(name, HistoryFile::Use::Load);
  if (steps.reading) steps.reading->store(true);
  HistoryRead read{std::nullopt, file.Stamp()};
  const std::string bytes = file.Read();
  if (bytes.empty()) return read;
  ReadReport report;
  read.packet = ReadPacket(bytes, report);
  if (report.bent) {
    try {
      note(OriginalKeptText(name, KeepOriginalBytes(name, bytes, steps.now, steps.dataFolder)));
    } catch (const std::exception& e) {
      note(std::string(steps.layout->program) + ": não foi possível guardar uma cópia do " +
           std::string(steps.layout->file) + " como estava (" + e.what() + ").");
    }
  }
  return read;
}

PacketPreload::PacketPreload(const std::filesystem::path& name, StartSteps steps)
    : name_(name), reading_(std::make_shared<std::atomic<bool>>(false)) {
  steps.reading = reading_.get();
  result_ = std::async(std::launch::async, [name, steps, reading = reading_] {
    try {
      return ReadHistoryAtStart(name, steps);
    } catch (...) {
      reading->store(true);
      throw;
    }
  });
}

PacketPreload::PacketPreload(const std::filesystem::path& name)
    : name_(name), result_(std::async(std::launch::async, [name] { return ReadHistoryPacket(name); })) {}

HistoryRead PacketPreload::Take() {
  if (Taken()) throw std::logic_error("the preloaded history was taken already");
  return result_.get();
}

}  // namespace tecladim::history
