// A folder of pictures that take long to decode, for tests of what happens during a load.
#pragma once

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QString>

// Writes one picture of coloured noise (slow to decode even when scaled while decoding) and links
// anzahl names in the folder to it: "<vorsilbe>000.jpg", "<vorsilbe>001.jpg" ... False on a failure.
inline bool SchreibeRauschen(const QString &muster, QSize groesse, const QString &ordner, const QString &vorsilbe,
                             int anzahl) {
  QImage rauschen(groesse, QImage::Format_RGB32);
  QRandomGenerator zufall(7);
  for (int y = 0; y < rauschen.height(); ++y) {
    auto *zeile = reinterpret_cast<quint32 *>(rauschen.scanLine(y));
    for (int x = 0; x < rauschen.width(); ++x)
      zeile[x] = 0xFF000000 | (zufall.generate() & 0xFFFFFF);
  }
  if (!rauschen.save(muster, "JPG", 90))
    return false;
  for (int i = 0; i < anzahl; ++i)
    if (!QFile::link(muster,
                     ordner + QLatin1Char('/') + vorsilbe + QStringLiteral("%1.jpg").arg(i, 3, 10, QLatin1Char('0'))))
      return false;
  return true;
}
