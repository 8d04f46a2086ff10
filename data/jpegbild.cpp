#include "data/jpegbild.h"
#include <QFileInfo>
std::optional<QImage> LadeBildDatei(const QString &pfad) {
  QImage bild;
  if (!bild.load(pfad)) return std::nullopt;
  return bild;
}
std::optional<QImage> DekodiereJpeg(const QByteArray &) { return std::nullopt; }
