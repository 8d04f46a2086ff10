// The finished thumbnails of the gallery, kept per file so that a reload of unchanged files
// (resize, return from a question, a range revisited, a search keystroke) decodes nothing.
#pragma once

#include "gallery/galerieregeln.h"

#include <QHash>
#include <QImage>
#include <QString>

class TVorschauCache {
public:
  // grenzeBytes bounds the pixels kept; the least recently used thumbnails go first.
  explicit TVorschauCache(int groesse = KachelGroesse, qint64 grenzeBytes = StandardGrenze);

  // The thumbnail of the file, scaled to its size in a tile of this cache's size; a null image
  // when the file cannot be decoded. Decodes only when the file is new or changed (size or
  // modification time).
  QImage Vorschau(const QString &pfad);

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
