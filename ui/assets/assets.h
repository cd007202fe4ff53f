#pragma once
#include <QString>
#include <QtCore/qglobal.h>

// The bitmaps carried in the program (assets.qrc). tecladim_ui is a static library, so
// its resources are linked in only when something names their initializer: every window
// that shows a picture calls LoadPictures() before reading one.
inline void tecladimInitPictures() { Q_INIT_RESOURCE(assets); }

namespace tecladim {

inline void LoadPictures() { tecladimInitPictures(); }

// The three faces of the alert window, 105 x 105.
inline QString GrimaceFacePicture() { return QStringLiteral(":/assets/face_grimace.png"); }
inline QString WorriedFacePicture() { return QStringLiteral(":/assets/face_worried.png"); }
inline QString SadFacePicture() { return QStringLiteral(":/assets/face_sad.png"); }
// The chart of the hand-position window, 593 x 365.
inline QString HandPositionPicture() { return QStringLiteral(":/assets/hand_position.png"); }
// The maker's logo, 192 x 75; the main window's image area shows its top 74 rows.
inline QString LogoPicture() { return QStringLiteral(":/assets/logo.png"); }

}  // namespace tecladim
