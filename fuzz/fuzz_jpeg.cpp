// Fuzz target: the bytes of a plate picture, decoded for a tile and at full size, from memory and
// from a file; both ways must agree.
#include "data/jpegbild.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  // In memory where the system offers it: every run writes the file once.
  static QTemporaryDir ordner(QDir(QStringLiteral("/dev/shm")).exists()
                                  ? QStringLiteral("/dev/shm/nf-fuzz-XXXXXX")
                                  : QDir::tempPath() + QStringLiteral("/nf-fuzz-XXXXXX"));
  const QString pfad = ordner.filePath(QStringLiteral("bild.jpg"));
  const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(laenge));
  {
    QFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly | QIODevice::Truncate) || datei.write(bytes) != bytes.size())
      std::abort();
  }

  const std::optional<TVerkleinert> klein = DekodiereJpegVerkleinert(bytes, 93);
  if (klein && (klein->Bild.isNull() || klein->Original.isEmpty() ||
                qint64(klein->Original.width()) * klein->Original.height() > GroessteBildpunkte))
    std::abort();
  const std::optional<TVerkleinert> ausDatei = LadeVerkleinert(pfad, 93);
  if (klein.has_value() != ausDatei.has_value() || (klein && klein->Bild != ausDatei->Bild))
    std::abort();

  const std::optional<QImage> gross = DekodiereJpeg(bytes);
  // A full-size decode is the file's size, or reduced to fit the display bound.
  if (gross && klein &&
      (gross->width() > klein->Original.width() || gross->height() > klein->Original.height() ||
       (gross->size() != klein->Original &&
        qint64(klein->Original.width()) * klein->Original.height() <= GroessteAnzeigeBildpunkte)))
    std::abort();
  if (gross.has_value() != LadeBildDatei(pfad).has_value())
    std::abort();
  return 0;
}
