// Loads the stored pictures from the program's resources.
#include "app/Pictures.h"

#include <QFile>
#include <QImage>

#include "app/Jpeg.h"
#include "platform/Exceptions.h"

namespace qm {

QPixmap SplashPicture() {
  QFile file(QStringLiteral(":/pictures/splash.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  try {
    const TRgbImage rgb =
        DecodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    const QImage image(rgb.Pixels.data(), rgb.Width, rgb.Height, rgb.Width * 3, QImage::Format_RGB888);
    return QPixmap::fromImage(image);  // copies the pixels before rgb goes
  } catch (const EReadError&) {
    return {};
  }
}

QPixmap AboutPicture() { return QPixmap(QStringLiteral(":/pictures/about.png")); }

}  // namespace qm
