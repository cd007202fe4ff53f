#pragma once
#include <QString>
#include <QtCore/qglobal.h>

// The alert sound lives in a module of its own (tecladim_sound), loaded at the first sound:
// Qt Multimedia and the codec and sound-server libraries it pulls in would otherwise be
// loaded, and kept in memory, before the first window can show.
namespace tecladim {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts the file and returns at once; a file that cannot be played is passed over.
  virtual void Play(const QString& absoluteFileName) = 0;
};

// The module's one entry point, looked up by this name.
inline constexpr char SoundPlayerFactoryName[] = "tecladim_new_sound_player";
using SoundPlayerFactory = SoundPlayer* (*)();

}  // namespace tecladim
