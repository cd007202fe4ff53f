#pragma once
#include <memory>
#include <random>

#include "platform/services.h"
#include "platform/sound_player.h"

class QLibrary;

namespace tecladim {

// How SystemServices puts key events into the input stream.
enum class KeyBackend {
  Windows,  // keybd_event
  XTest,    // the X server's input queue, on Qt's xcb platform
  Queued,   // Qt's own event queue, to the widget that has the keyboard when it is read
};

// The real services of the desktop the program runs on. Create it after the QApplication;
// it is used on the user-interface thread only.
class SystemServices final : public PlatformServices {
 public:
  SystemServices();
  ~SystemServices() override;
  SystemServices(const SystemServices&) = delete;
  SystemServices& operator=(const SystemServices&) = delete;

  std::uint8_t MapVirtualKey(std::uint8_t virtualKey) override;
  void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  void Beep() override;
  void PlaySoundFile(const QString& fileName) override;
  void OpenUrl(const QString& url) override;
  void EmptyClipboard() override;
  bool FileExists(const QString& name) override;
  void ReseedRandom() override;
  int RandomBelow(int n) override;
  DateTime Now() override;

  // Chosen from the platform Qt runs on, at the first key event.
  KeyBackend KeyBackendInUse();
  // Whether the sound module has been looked for, which the first sound does.
  bool SoundModuleTried() const { return soundModuleTried_; }
  // The player of the sound module; null until the first sound, or when there is no module.
  SoundPlayer* Player() { return player_.get(); }

 private:
  KeyInjector& Keys();
  void LoadSoundModule();

  std::unique_ptr<KeyInjector> keys_;
  KeyBackend keyBackend_ = KeyBackend::Queued;
  bool soundModuleTried_ = false;
  std::unique_ptr<QLibrary> soundModule_;  // stays loaded: the player's code lives there
  std::unique_ptr<SoundPlayer> player_;
  std::mt19937 random_;
};

}  // namespace tecladim
