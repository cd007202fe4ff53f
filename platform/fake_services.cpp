#include "platform/fake_services.h"

#include <stdexcept>

#include "platform/queued_keys.h"

namespace tecladim {

FakeServices::FakeServices(KeyDelivery delivery) { DeliverKeys(delivery); }

FakeServices::~FakeServices() = default;

void FakeServices::DeliverKeys(KeyDelivery delivery) {
  delivery_ = delivery;
  // Kept once made: destroying it would drop the events it still has queued.
  if (delivery == KeyDelivery::ToFocusedWidget && !queue_) queue_ = std::make_unique<QueuedKeyDelivery>();
}

std::uint8_t FakeServices::MapVirtualKey(std::uint8_t virtualKey) { return Set1ScanCode(virtualKey); }

void FakeServices::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
  keys.push_back({virtualKey, scanCode, flags});
  if (delivery_ == KeyDelivery::ToFocusedWidget) queue_->Send(virtualKey, scanCode, flags);
}

void FakeServices::Beep() { ++beeps; }

void FakeServices::PlaySoundFile(const QString& fileName) { sounds.push_back(fileName); }

void FakeServices::OpenUrl(const QString& url) { urls.push_back(url); }

void FakeServices::EmptyClipboard() {
  if (clipboardFailure) throw std::runtime_error("Cannot open clipboard: " + clipboardFailure->toStdString());
  ++clipboardWipes;
}

bool FakeServices::FileExists(const QString& name) {
  fileQueries.push_back(name);
  return existingFiles.contains(name);
}

void FakeServices::ReseedRandom() { ++reseeds; }

int FakeServices::RandomBelow(int n) {
  randomRanges.push_back(n);
  if (randomScript.empty()) return 0;
  const int value = randomScript.front();
  randomScript.pop_front();
  if (value < 0 || value >= n) throw std::logic_error("scripted random value outside the range asked for");
  return value;
}

DateTime FakeServices::Now() { return now; }

}  // namespace tecladim
