#pragma once
#include <QColor>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "classroom/key_practice.h"

class QPainter;

// The ABNT2 keyboard drawn from the keyboard table, each key coloured by its error rate.
// A key sums every character typed on it: "ç" and "Ç" on the ç key; a letter made with a
// dead key ("ã") on both the accent's key and the letter's, since either stroke may slip.
namespace tecladim::turma {

// The error rate from which a key is shown at the red end of the scale.
inline constexpr double RedErrorRate = 0.20;

class KeyboardPicture {
 public:
  // The keys to show (KeyTotals of a student or of the class); none shows a grey keyboard.
  void SetKeys(std::vector<classroom::KeyTotals> keys);

  // The keyboard with its legend below, as large as fits in `area`, centred.
  void Paint(QPainter& painter, const QRectF& area) const;
  // The figures of the key under `point` (in the coordinates Paint used), as rich text;
  // empty where there is no key.
  QString ToolTipAt(const QPointF& point, const QRectF& area) const;

  // A key's error rate; no value for a key with no sample (or no such key).
  std::optional<double> ErrorRateOf(std::string_view xkbName) const;
  // What a key's figures look like on screen: "ç — 12 acertos, 3 erros (20,0%) …".
  static QString CharacterLine(const classroom::KeyTotals& key);
  static QColor RateColor(std::optional<double> rate);

 private:
  struct CapFigures {
    std::int64_t right = 0;
    std::int64_t wrong = 0;
    std::vector<std::size_t> characters;  // into keys_
  };
  std::vector<classroom::KeyTotals> keys_;
  std::vector<CapFigures> caps_;  // one per Abnt2Keys() entry
};

// The picture as a widget: figures on hover.
class KeyboardView : public QWidget {
  Q_OBJECT
 public:
  explicit KeyboardView(QWidget* parent = nullptr);
  void SetKeys(std::vector<classroom::KeyTotals> keys);
  const KeyboardPicture& Picture() const { return picture_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  KeyboardPicture picture_;
};

}  // namespace tecladim::turma
