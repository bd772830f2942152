// The pictures stored with the program: the splash (a JPEG decoded with libjpeg) and the about box's picture.
#pragma once

#include <QPixmap>

namespace qm {

// 400 x 300; a null pixmap when the stored picture cannot be decoded.
QPixmap SplashPicture();
// 55 x 55.
QPixmap AboutPicture();

}  // namespace qm
