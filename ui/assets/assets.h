#pragma once
#include <QImageReader>
#include <QPixmap>
#include <QString>
#include <QtCore/qglobal.h>

// The bitmaps carried in the program (assets.qrc). tecladim_ui is a static library, so
// its resources are linked in only when something names their initializer: every window
// that shows a picture calls LoadPictures() before reading one.
inline void tecladimInitPictures() { Q_INIT_RESOURCE(assets); }

namespace tecladim {

inline void LoadPictures() { tecladimInitPictures(); }

// A picture of assets.qrc, every one a PNG. Named as such, it is decoded by Qt's own reader
// at once: left to guess, Qt would first load every image-format plugin of the system to
// ask each whether it knows the file, which costs the start-up more than the decoding.
inline QPixmap ReadPicture(const QString& name) {
  QImageReader reader(name, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

// The three faces of the alert window, 105 x 105.
inline QString GrimaceFacePicture() { return QStringLiteral(":/assets/face_grimace.png"); }
inline QString WorriedFacePicture() { return QStringLiteral(":/assets/face_worried.png"); }
inline QString SadFacePicture() { return QStringLiteral(":/assets/face_sad.png"); }
// The chart of the hand-position window, 593 x 365.
inline QString HandPositionPicture() { return QStringLiteral(":/assets/hand_position.png"); }
// The maker's logo, 192 x 75; the main window's image area shows its top 74 rows.
inline QString LogoPicture() { return QStringLiteral(":/assets/logo.png"); }

}  // namespace tecladim
