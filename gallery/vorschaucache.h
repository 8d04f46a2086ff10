// The finished thumbnails of the gallery, kept per folder so that a reload of unchanged files
// (resize, return from a question, a range revisited, a search keystroke) decodes nothing, and the
// decoding of a folder's new files on worker threads.
#pragma once

#include "gallery/galerieregeln.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TVorschauLadung;

// How many threads decode a load's new files: one per processor; the thread that starts the load
// keeps the window alive meanwhile.
int VorschauThreads();

class TVorschauCache {
public:
  // grenzeBytes bounds the pixels kept; whole folders go, the least recently used first.
  explicit TVorschauCache(int groesse = KachelGroesse, qint64 grenzeBytes = StandardGrenze);

  // The thumbnail of the file for a screen of this device-pixel ratio; a null image when the file
  // cannot be decoded. Decodes only when the file is new or changed (size or modification time).
  QImage Vorschau(const QString &pfad, qreal verhaeltnis = 1.0);

  // Starts the thumbnails of a folder's complete listing (files it no longer lists are forgotten): the known ones are
  // ready at once, the others are decoded by worker threads. The load hands them back in list order
  // (TVorschauLadung::Uebernimm).
  std::unique_ptr<TVorschauLadung> Starte(const QStringList &pfade, qreal verhaeltnis = 1.0,
                                          int threads = VorschauThreads());

  int Dekodierungen() const { return FDekodierungen; }
  int Eintraege() const;
  qint64 Bytes() const { return FBytes; }

  // Holds 20 000 plate thumbnails (93 x 29) or 5 000 photo thumbnails (93 x 62) at ratio 1.
  static constexpr qint64 StandardGrenze = 192LL * 1024 * 1024;

private:
  friend class TVorschauLadung;
  struct TEintrag {
    qint64 Groesse = -1;
    qint64 Zeit = 0;
    QImage Bild;
  };
  struct TOrdner {
    QHash<QString, TEintrag> Dateien; // by file name
    qint64 Bytes = 0;
    quint64 Benutzt = 0;
  };
  static qint64 Kosten(const TEintrag &eintrag);
  // The cached thumbnail when the file is unchanged; otherwise its size and time for the new entry.
  const QImage *Gueltig(const QString &pfad, qreal verhaeltnis, qint64 &groesse, qint64 &zeit);
  void Merke(const QString &pfad, qreal verhaeltnis, qint64 groesse, qint64 zeit, const QImage &bild);
  // Forgets the entries of files that a complete listing of the folder no longer holds.
  void Raeume(const QString &ordner, const QStringList &namen);
  // Drops whole folders, least recently used first, but never the one in use; false when even that
  // one alone has no room left for a new entry.
  bool Begrenze(const QString &schonen, qint64 dazu);

  int FGroesse;
  qint64 FGrenze;
  QHash<QString, TOrdner> FOrdner; // by folder and device-pixel ratio
  qint64 FBytes = 0;
  quint64 FUhr = 0;
  int FDekodierungen = 0;
};

// One load of thumbnails. Its worker threads only decode; everything else, the cache included, is
// done on the thread that started it.
class TVorschauLadung {
public:
  ~TVorschauLadung(); // stops the workers after the file each has in hand, and waits for them

  int Anzahl() const { return FPfade.size(); }
  // How many files were new or changed, and how many of those are decoded by now.
  int Neue() const { return static_cast<int>(FAuftraege.size()); }
  int Dekodiert() const { return FDekodiert.load(); }
  bool Fertig() const { return Dekodiert() == Neue(); }

  // melde runs once, on the worker that finishes the last file, or here at once when all are done.
  void BeimEnde(std::function<void()> melde);
  // Blocks until every file is decoded (or the load is stopped).
  void Warte();
  // Stops handing out files; the load stays unfinished.
  void Abbrechen();

  // Hands the thumbnails that are ready, from the first not yet handed on, in list order, to
  // nimm(index, thumbnail), and keeps the new ones in the cache. Returns how many are handed in all.
  int Uebernimm(const std::function<void(int, const QImage &)> &nimm);

private:
  friend class TVorschauCache;
  TVorschauLadung(TVorschauCache &cache, const QStringList &pfade, qreal verhaeltnis);
  void Arbeite();

  struct TAuftrag {
    int Index = 0;
    qint64 Groesse = 0;
    qint64 Zeit = 0;
    QImage Bild;
    bool Fertig = false; // guarded by FSchutz
  };

  TVorschauCache &FCache;
  QStringList FPfade;
  qreal FVerhaeltnis;
  QVector<QImage> FBekannt;         // thumbnails from the cache, by index
  std::vector<int> FAuftragVon;     // index -> job, -1 for a known file
  std::vector<TAuftrag> FAuftraege; // in list order
  int FUebergeben = 0;
  bool FGeraeumt = false;
  bool FOrdnerWarBekannt = false;

  std::atomic<int> FNaechster{0};
  std::atomic<int> FDekodiert{0};
  std::atomic<bool> FAbbruch{false};
  std::mutex FSchutz;
  std::condition_variable FGemeldet;
  std::function<void()> FMelde; // guarded by FSchutz
  std::vector<std::thread> FHelfer;
};

// Decodes one file into its tile thumbnail for a screen of this device-pixel ratio (DCT-scaled
// where the file allows it, then smoothly scaled to its exact size), stored without alpha; a null
// image when it cannot be decoded.
QImage ErzeugeVorschau(const QString &pfad, int groesse = KachelGroesse, qreal verhaeltnis = 1.0);
