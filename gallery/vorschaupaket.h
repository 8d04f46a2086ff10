// The thumbnails of a folder kept on disk between runs, one pack file per folder and thumbnail size,
// so that a restart decodes only what changed. The pack is a cache: whatever is wrong with it
// (damaged, cut short, from another folder or program), it is ignored and written again.
#pragma once

#include "data/dateilesen.h"
#include "data/dateizugriff.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// All packs together stay below this; the folders used least recently go first. It holds the
// largest folder we know of, 20 000 plates at ratio 2 (650 MB), beside some smaller ones.
constexpr qint64 PaketGrenze = 1024LL * 1024 * 1024;

// Where the packs live: $XDG_CACHE_HOME/nummernfibel, or ~/.cache/nummernfibel; empty when neither
// can be worked out (no home), and then nothing is kept.
QString VorschauPaketOrdner();

// The pack of a folder's thumbnails of this tile size for a screen of this device-pixel ratio.
QString VorschauPaketPfad(const QString &paketOrdner, const QString &ordner, int groesse, qreal verhaeltnis);

struct TPaketEintrag {
  TDateiStand Stand; // the picture file's as it was decoded
  int Breite = 0;    // 0 x 0: the file did not decode (it shows "FEHLER" without another try)
  int Hoehe = 0;
  qint64 Versatz = 0;
  quint64 Pruefsumme = 0;
};

// Reads a pack with the same distrust as any file from outside: every length and offset is checked
// against the file before it is used, and every thumbnail against its checksum.
class TVorschauPaket {
public:
  // False (and nothing found later) for a pack that is missing, damaged, cut short or foreign.
  bool Oeffne(const QString &pfad, const QString &ordner, int groesse, qreal verhaeltnis);
  // The same from bytes in memory.
  bool OeffneDaten(const QByteArray &daten, const QString &ordner, int groesse, qreal verhaeltnis);

  int Anzahl() const { return int(FEintraege.size()); }
  const std::vector<TPaketEintrag> &Eintraege() const { return FEintraege; }
  const TPaketEintrag *Finde(const QString &name) const;
  // The thumbnail of an entry, with the ratio it was made for; a null image for a file that did not
  // decode; no value when its bytes are damaged or cannot be read.
  std::optional<QImage> Lies(const TPaketEintrag &eintrag);

private:
  bool Pruefe(QIODevice &quelle, const QString &ordner, int groesse, qreal verhaeltnis);

  QFile FDatei;
  const uchar *FAbbild = nullptr; // the whole pack mapped, when the system can map it
  QByteArray FDaten;
  std::unique_ptr<QIODevice> FPuffer;
  QIODevice *FQuelle = nullptr;
  qint64 FLaenge = 0;
  qreal FVerhaeltnis = 1.0;
  std::vector<TPaketEintrag> FEintraege;
  QHash<QString, int> FNamen;
  QByteArray FLesePuffer;
};

// Writes a new pack beside the old one and puts it in place by a rename only when every byte is
// written, so a reader sees the old pack or the new one, never half of one. The thumbnails go to
// the file as they come, so a folder larger than the memory budget is never held whole.
class TPaketSchreiber {
public:
  // erwartet: how many thumbnails the pack is to hold, for the foresight of Fuege.
  TPaketSchreiber(const QString &pfad, const QString &ordner, int groesse, qreal verhaeltnis, int erwartet = 0);
  ~TPaketSchreiber(); // an unfinished pack is removed
  TPaketSchreiber(const TPaketSchreiber &) = delete;
  TPaketSchreiber &operator=(const TPaketSchreiber &) = delete;

  bool Gut() const { return FKopie && FKopie->Offen(); }
  // Adds a thumbnail. A pack that will foreseeably pass PaketGrenze (the thumbnails so far,
  // extended to the count expected) is given up at once, and the log says why: it would push every
  // other pack out and then itself, so writing on would only cost time and disk.
  void Fuege(const QString &name, const TDateiStand &stand, const QImage &bild);
  // The pack was given up because it would pass the bound.
  bool ZuGross() const { return FZuGross; }
  // True when the pack is in place.
  bool Schliesse();

private:
  bool Schreibe(const char *daten, qint64 laenge);
  bool Leere();
  void Verwirf();

  std::unique_ptr<TErsatzDatei> FKopie;
  qint64 FVersatz = 0;
  QByteArray FTabelle;
  QByteArray FPuffer;
  int FAnzahl = 0;
  int FErwartet;
  bool FZuGross = false;
  QString FOrdner;
  int FGroesse;
  qreal FVerhaeltnis;
};

// The checksum a pack keeps of its head, its table and each thumbnail.
quint64 PaketPruefsumme(const char *daten, qint64 laenge);
// Where a pack's head keeps the table's place, length and checksum, and its own checksum.
constexpr int PaketKopfLaenge = 64;
constexpr int PaketTabellenVersatzStelle = 32;
constexpr int PaketTabellenSummeStelle = 48;
constexpr int PaketKopfSummeStelle = 56;

// Removes packs, least recently used first, until all together take at most grenze bytes; the pack
// named schonen stays. Writers' temporary files count too; those older than any write takes are
// removed.
void BegrenzePakete(const QString &paketOrdner, const QString &schonen, qint64 grenze = PaketGrenze);

// Removes every temporary file that killed writers left in the pack folder, whatever its age, unless
// a writer is at work there right now (of this program or another instance): the folder's lock
// tells. Then bounds the packs as BegrenzePakete does.
void RaeumePaketReste(const QString &paketOrdner, qint64 grenze = PaketGrenze);

// Marks a pack as just used, for BegrenzePakete.
void BeruehrePaket(const QString &pfad);
