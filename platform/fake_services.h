#pragma once
#include <QSet>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/services.h"

namespace tecladim {

class QueuedKeyDelivery;

// One key event as SendKeyEvent was asked to send it.
struct SentKey {
  std::uint8_t virtualKey = 0;
  std::uint8_t scanCode = 0;
  std::uint32_t flags = 0;
  friend bool operator==(const SentKey&, const SentKey&) = default;
};

// Whether the fake's key events also go on to the widget that has the keyboard.
enum class KeyDelivery {
  RecordOnly,      // only recorded
  ToFocusedWidget  // recorded and delivered through Qt's event queue, as SystemServices does
                   // on the offscreen platform: window tests see the line advance come back
};

// PlatformServices for tests: records what it was asked and answers from what the test set.
// Everything is public on purpose; a test reads and sets the fields directly.
class FakeServices final : public PlatformServices {
 public:
  explicit FakeServices(KeyDelivery delivery = KeyDelivery::RecordOnly);
  ~FakeServices() override;

  // Switches delivery on or off; the events already queued are not affected.
  void DeliverKeys(KeyDelivery delivery);

  std::uint8_t MapVirtualKey(std::uint8_t virtualKey) override;  // the set-1 codes
  void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  void Beep() override;
  void PlaySoundFile(const QString& fileName) override;
  void OpenUrl(const QString& url) override;
  // Throws like the real one while clipboardFailure holds a reason.
  void EmptyClipboard() override;
  bool FileExists(const QString& name) override;  // answers from existingFiles
  void ReseedRandom() override;
  // The next value of randomScript (0 once it is used up); throws std::logic_error for a
  // scripted value outside 0..n-1, which would be a mistake of the test.
  int RandomBelow(int n) override;
  DateTime Now() override;  // the value of now

  // What was asked.
  std::vector<SentKey> keys;
  int beeps = 0;
  std::vector<QString> sounds;
  std::vector<QString> urls;
  int clipboardWipes = 0;  // successful ones
  std::vector<QString> fileQueries;
  int reseeds = 0;
  std::vector<int> randomRanges;  // the n of every RandomBelow

  // What it answers.
  QSet<QString> existingFiles;
  std::deque<int> randomScript;
  DateTime now = 0;
  std::optional<QString> clipboardFailure;  // the reason after "Cannot open clipboard: "

 private:
  KeyDelivery delivery_ = KeyDelivery::RecordOnly;
  std::unique_ptr<QueuedKeyDelivery> queue_;
};

}  // namespace tecladim
