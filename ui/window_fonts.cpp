#include "ui/window_fonts.h"

#include <QFile>
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
  return PixelFont({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}, pixels,
                   weight, underline);
}

QFont LinkFont() {
  return PixelFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}, 11,
                   Weight::Bold, Underline::Yes);
}

void RegisterFallbackFonts() {
  if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) return;
  for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
    const QString path = QString::fromLatin1(file);
    if (QFile::exists(path)) QFontDatabase::addApplicationFont(path);
  }
}

}  // namespace tecladim
