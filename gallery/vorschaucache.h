// The finished thumbnails of the gallery, kept per file so that a reload of unchanged files
// (resize, return from a question, a range revisited, a search keystroke) decodes nothing.
#pragma once

#include "gallery/galerieregeln.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class TVorschauCache {
public:
  // grenzeBytes bounds the pixels kept; the least recently used thumbnails go first.
  explicit TVorschauCache(int groesse = KachelGroesse, qint64 grenzeBytes = StandardGrenze);

  // The thumbnail of the file, scaled to its size in a tile of this cache's size; a null image
  // when the file cannot be decoded. Decodes only when the file is new or changed (size or
  // modification time).
  QImage Vorschau(const QString &pfad);

  // The thumbnails of all these files, handed to fertig(index, thumbnail) on the calling thread in
  // the order of the list, each as soon as it is ready. Files that are new or changed are decoded
  // meanwhile by worker threads together with this one; the cache itself is touched only here.
  void HoleAlle(const QStringList &pfade, const std::function<void(int, const QImage &)> &fertig);

  int Dekodierungen() const { return FDekodierungen; }
  int Eintraege() const { return FEintraege.size(); }
  qint64 Bytes() const { return FBytes; }
  void Leeren();

  static constexpr qint64 StandardGrenze = 48LL * 1024 * 1024;

private:
  struct TEintrag {
    qint64 Groesse = -1;
    qint64 Zeit = 0;
    QImage Bild;
    quint64 Benutzt = 0;
  };
  static qint64 Kosten(const TEintrag &eintrag);
  // The cached thumbnail when the file is unchanged; otherwise its size and time for the new entry.
  const QImage *Gueltig(const QString &pfad, qint64 &groesse, qint64 &zeit);
  void Merke(const QString &pfad, qint64 groesse, qint64 zeit, const QImage &bild);
  void Begrenze();

  int FGroesse;
  qint64 FGrenze;
  QHash<QString, TEintrag> FEintraege;
  qint64 FBytes = 0;
  quint64 FUhr = 0;
  int FDekodierungen = 0;
};

// Decodes one file into its tile thumbnail (DCT-scaled where the file allows it, then smoothly
// scaled to its exact size); a null image when it cannot be decoded.
QImage ErzeugeVorschau(const QString &pfad, int groesse = KachelGroesse);
