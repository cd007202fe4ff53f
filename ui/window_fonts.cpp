#include "ui/window_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace tecladim {
namespace {

QFont PixelFont(const QStringList& families, int pixels, Weight weight, Underline underline) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixels);
  font.setBold(weight == Weight::Bold);
  font.setUnderline(underline == Underline::Yes);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

QFont BoxFont() {
  QFont font = PixelFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")},
                         21, Weight::Bold, Underline::No);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

QFont TahomaFont(int pixels, Weight weight, Underline underline) {
  // Wine's free Tahoma carries hand-tuned bitmaps for small sizes that render thin and
  // unevenly spaced under FreeType; Liberation Sans is close in width and crisp in bold.
  return PixelFont({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, pixels,
                   weight, underline);
}

QFont LinkFont() {
  return PixelFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}, 11,
                   Weight::Bold, Underline::Yes);
}

void RegisterFallbackFonts() {
  // Nothing to register: every stand-in is an ordinary system font. Kept as the one
  // place to add bundled fonts, should a system need them.
}

}  // namespace tecladim
