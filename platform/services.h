#pragma once
#include <QString>
#include <cstdint>

#include "history/datetime.h"
#include "platform/key_events.h"  // KeyEventExtended, KeyEventKeyUp, the vk:: codes

namespace tecladim {

// The operating-system services the program calls, all on the user-interface thread.
// Key, beep, sound and shell report nothing back: their failures go unnoticed.
class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // Scan code of a virtual key (MapVirtualKeyW with mapping type 0).
  virtual std::uint8_t MapVirtualKey(std::uint8_t virtualKey) = 0;
  // Queues a key event into the system's input stream, like keybd_event: it reaches the
  // window that has the keyboard when it is read, never within the caller's handler.
  virtual void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;

  virtual void Beep() = 0;                                    // the default system beep
  virtual void PlaySoundFile(const QString& fileName) = 0;    // returns at once while it plays
  virtual void OpenUrl(const QString& url) = 0;               // the user's browser
  // Replaces whatever the clipboard holds by an empty text. Throws std::runtime_error
  // with "Cannot open clipboard: %s" when the clipboard cannot be had.
  virtual void EmptyClipboard() = 0;
  // A file, not a folder, of that name exists; links are followed; a bare name is looked
  // up in the working directory.
  virtual bool FileExists(const QString& name) = 0;

  virtual void ReseedRandom() = 0;       // from the clock
  virtual int RandomBelow(int n) = 0;    // 0..n-1, each with equal chance

  virtual DateTime Now() = 0;            // local date and time
};

}  // namespace tecladim
