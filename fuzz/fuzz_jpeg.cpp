// Fuzz target: the bytes of a plate picture, decoded for a tile and at full size.
#include "data/jpegbild.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(laenge));
  const std::optional<TVerkleinert> klein = DekodiereJpegVerkleinert(bytes, 93);
  if (klein && (klein->Bild.isNull() || klein->Original.isEmpty() ||
                qint64(klein->Original.width()) * klein->Original.height() > GroessteBildpunkte))
    std::abort();
  const std::optional<QImage> gross = DekodiereJpeg(bytes);
  if (gross && klein && gross->size() != klein->Original)
    std::abort();
  return 0;
}
