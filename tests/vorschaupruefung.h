// The tests' view into the thumbnail cache: one file's thumbnail at a time, and the cache's account.
#pragma once

#include "gallery/vorschaucache.h"

struct TVorschauPruefung {
  // The thumbnail of the file, decoded only when the file is new or changed (size or modification
  // time), as a load does it; a null image when the file cannot be decoded.
  static QImage Vorschau(TVorschauCache &cache, const QString &pfad, qreal verhaeltnis = 1.0) {
    qint64 groesse = 0, zeit = 0;
    if (const QImage *bild = cache.Gueltig(pfad, verhaeltnis, groesse, zeit))
      return *bild;
    const QImage bild = ErzeugeVorschau(pfad, cache.FGroesse, verhaeltnis);
    cache.Merke(pfad, verhaeltnis, groesse, zeit, bild);
    return bild;
  }

  static int Eintraege(const TVorschauCache &cache) {
    int anzahl = 0;
    for (const TVorschauCache::TOrdner &ordner : cache.FOrdner)
      anzahl += ordner.Dateien.size();
    return anzahl;
  }

  static qint64 Bytes(const TVorschauCache &cache) { return cache.FBytes; }
};
