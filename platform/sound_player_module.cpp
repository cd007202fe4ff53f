#include <QSoundEffect>
#include <QUrl>
#include <memory>

#include "platform/sound_player.h"

namespace tecladim {
namespace {

class EffectPlayer final : public SoundPlayer {
 public:
  void Play(const QString& absoluteFileName) override {
    // The effect loads and plays on its own; a file it cannot read or a machine without a
    // sound device only leaves it in its error state, which nobody is told about.
    // An effect that failed keeps its error even when the file is fixed: start afresh.
    if (!effect_ || effect_->status() == QSoundEffect::Error) effect_ = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(absoluteFileName);
    if (effect_->source() != source) {
      effect_->stop();
      effect_->setSource(source);
    }
    effect_->play();
  }

 private:
  // One effect, kept while it plays; replaced only by the next sound.
  std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace
}  // namespace tecladim

extern "C" Q_DECL_EXPORT tecladim::SoundPlayer* tecladim_new_sound_player() { return new tecladim::EffectPlayer; }
