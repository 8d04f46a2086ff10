// The finished thumbnails of the gallery, kept per folder so that a reload of unchanged files
// (resize, return from a question, a range revisited, a search keystroke) decodes nothing, and the
// decoding of a folder's new files on worker threads.
#pragma once

#include "data/jpegbild.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaupaket.h"

#include <QCache>
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
class TVorschauNachlader;

// How many threads decode a load's new files: one per processor; the thread that starts the load
// keeps the window alive meanwhile.
int VorschauThreads();

// Runs on a worker before each of its decodes, with the file's index in the load's list, for every
// load started after it is set; empty, the workers decode at once. Tests hold the decodes back with
// it, so that what they do during a load does not depend on how fast the machine decodes.
using TDekodierHaken = std::function<void(int)>;
void SetzeDekodierHaken(TDekodierHaken haken);

class TVorschauCache {
public:
  // grenzeBytes bounds every thumbnail the program holds: the tiles hold only what the cache holds.
  // Whole folders go, the least recently used first; the folder in use keeps its first thumbnails
  // up to the bound, and of the rest only their size and time, so that their tiles fetch them when
  // painted (TVorschauNachlader). A folder not in memory comes from its pack in paketOrdner when it
  // has one (no packs for an empty name).
  explicit TVorschauCache(int groesse = KachelGroesse, qint64 grenzeBytes = StandardGrenze,
                          const QString &paketOrdner = VorschauPaketOrdner());

  // The thumbnail of the file for a screen of this device-pixel ratio; a null image when the file
  // cannot be decoded. Decodes only when the file is new or changed (size, modification or change
  // time, inode).
  QImage Vorschau(const QString &pfad, qreal verhaeltnis = 1.0);

  // Starts the thumbnails of a folder's complete listing (files it no longer lists are forgotten): the known ones are
  // ready at once, the others are decoded by worker threads. The load hands them back in list order
  // (TVorschauLadung::Uebernimm).
  std::unique_ptr<TVorschauLadung> Starte(const QStringList &pfade, qreal verhaeltnis = 1.0,
                                          int threads = VorschauThreads());

  int Dekodierungen() const { return FDekodierungen; }
  // Thumbnails taken from packs instead of decoded.
  int AusPaketen() const { return FAusPaketen; }
  int Eintraege() const;
  qint64 Bytes() const { return FBytes; }

  // Holds 20 000 plate thumbnails (93 x 29) or 5 000 photo thumbnails (93 x 62) at ratio 1; with the
  // tiles' fetched thumbnails (NachladeGrenze) it is the thumbnails' share of the 1 GB budget.
  static constexpr qint64 StandardGrenze = 184LL * 1024 * 1024;

private:
  friend class TVorschauLadung;
  class TVorschauNachlader;
  struct TEintrag {
    TDateiStand Stand;
    QImage Bild;
    bool Ausgelagert = false; // decodes, but its pixels are beyond the bound
  };
  struct TOrdner {
    QHash<QString, TEintrag> Dateien; // by file name
    qint64 Bytes = 0;
    quint64 Benutzt = 0;
  };
  static qint64 Kosten(const TEintrag &eintrag);
  // The cached entry when the file is unchanged; otherwise its state for the new entry.
  const TEintrag *Gueltig(const QString &pfad, qreal verhaeltnis, TDateiStand &stand);
  // Both keep the thumbnail when the bound has room for it, and otherwise only the file's state;
  // true when the pixels are kept.
  bool Merke(const QString &pfad, qreal verhaeltnis, const TDateiStand &stand, const QImage &bild);
  bool Behalte(const QString &pfad, qreal verhaeltnis, const TDateiStand &stand, const QImage &bild,
               bool ausgelagert = false);
  // Makes room for bytes more in the folder of this path, as Begrenze does.
  bool HatPlatz(const QString &pfad, qreal verhaeltnis, qint64 bytes);
  // Forgets the entries of files that a complete listing of the folder no longer holds.
  void Raeume(const QString &ordner, const QStringList &namen);
  // Drops whole folders, least recently used first, but never the one in use; false when even that
  // one alone has no room left for a new entry.
  bool Begrenze(const QString &schonen, qint64 dazu);

  int FGroesse;
  qint64 FGrenze;
  QString FPaketOrdner;
  QHash<QString, TOrdner> FOrdner; // by folder and device-pixel ratio
  qint64 FBytes = 0;
  quint64 FUhr = 0;
  int FDekodierungen = 0;
  int FAusPaketen = 0;
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
  // The thumbnail of this file (handed on as a null image) decodes, but lies beyond the memory
  // bound: its tile fetches it through Nachlader() when it is painted.
  bool Ausgelagert(int index) const { return FAusgelagert[size_t(index)] != 0; }
  std::shared_ptr<TVorschauNachlader> Nachlader() const { return FNachlader; }

  // melde runs once, on the worker that finishes the last file, or here at once when all are done.
  void BeimEnde(std::function<void()> melde);
  // Blocks until every file is decoded (or the load is stopped). The workers then no longer wait for
  // the hand-on: nobody hands on while this thread waits.
  void Warte();
  // Stops handing out files; the load stays unfinished.
  void Abbrechen();

  // Hands the thumbnails that are ready, from the first not yet handed on, in list order, to
  // nimm(index, thumbnail), and keeps the new ones in the cache. Returns how many are handed in all.
  // With a time slice (ms) it stops when the slice is used up, so that the thread that shows them
  // answers its window in between; the rest follows with the next call.
  int Uebernimm(const std::function<void(int, const QImage &)> &nimm, int zeitscheibe = -1);
  // The next thumbnail in list order is ready to be handed on.
  bool Bereit();
  bool AllesUebergeben() const { return FUebergeben == Anzahl(); }

  // How far the workers may run ahead of the hand-on: decoded thumbnails not yet handed on, in bytes.
  // Beyond it they wait, so a fast second processor cannot pile up a whole folder's thumbnails while
  // the window thread is busy elsewhere.
  static constexpr qint64 VorlaufGrenze = 8LL * 1024 * 1024;

private:
  friend class TVorschauCache;
  TVorschauLadung(TVorschauCache &cache, const QStringList &pfade, qreal verhaeltnis);
  void Arbeite();
  // Takes the file's unchanged thumbnail from the folder's pack (only the file's state when the
  // memory bound has no room for it); false when the pack has none.
  bool NimmAusPaket(TVorschauPaket &paket, int index, const TDateiStand &stand);
  // A folder new to the cache takes only the pack's table: its tiles read their pixels from the
  // mapped pack when they are painted, the workers check each file against its entry (and decode
  // the changed ones), and the cache learns of them as they are handed on, so a restart shows its
  // first screen before it has looked at the rest.
  void NimmPaketVerzoegert(const TVorschauPaket &paket, int von, int bis);
  const std::shared_ptr<TVorschauNachlader> &MachNachlader();
  void NeuerAuftrag(int index, const TDateiStand &stand);
  void SchliessePaket();
  // A check found a changed file: the pack is written anew, the thumbnails before it copied from the old one.
  void SchreibeNeuesPaket(int bis);
  std::optional<QImage> AusAltemPaket(int index);

  struct TAuftrag {
    int Index = 0;
    TDateiStand Stand;
    QImage Bild;
    qint64 Kosten = 0;   // what it counts in FVorrat
    bool Fertig = false; // guarded by FSchutz
    // Only to be checked against the pack's entry (Stand): decoded only when the file changed.
    bool Pruefen = false;
    bool Bestaetigt = false; // unchanged: the tile reads the pack; guarded by FSchutz
  };

  TVorschauCache &FCache;
  const QStringList FPfade; // read by the workers
  const qreal FVerhaeltnis;
  const TDekodierHaken FHaken;
  QVector<QImage> FBekannt;         // thumbnails from the cache, by index
  std::vector<int> FAuftragVon;     // index -> job, -1 for a known file
  std::vector<TAuftrag> FAuftraege; // in list order
  int FUebergeben = 0;
  bool FGeraeumt = false;
  bool FOrdnerWarBekannt = false;
  // The folder's new pack, filled in list order as the thumbnails are handed on; only for a listing
  // of one folder with something new in it.
  std::unique_ptr<TPaketSchreiber> FSchreiber;
  QString FPaketPfad;
  std::vector<TDateiStand> FBekanntStand;      // the state of the known files, by index
  std::vector<char> FAusgelagert;              // by index
  int FZuDekodieren = 0;                       // jobs that decode for certain, not only check
  std::unique_ptr<TVorschauPaket> FAltesPaket; // the pixels of the files beyond the bound
  bool FAltesPaketGeoeffnet = false;
  std::shared_ptr<TVorschauNachlader> FNachlader;
  std::unique_ptr<TVorschauPaket> FOffenesPaket; // the pack the tiles read from, handed to FNachlader

  std::atomic<int> FNaechster{0};
  std::atomic<int> FDekodiert{0};
  std::atomic<bool> FAbbruch{false};
  std::mutex FSchutz;
  std::condition_variable FGemeldet;
  std::condition_variable FPlatz; // the hand-on made room below VorlaufGrenze
  qint64 FVorrat = 0;             // guarded by FSchutz
  bool FOhneGrenze = false;       // guarded by FSchutz
  std::function<void()> FMelde;   // guarded by FSchutz
  std::vector<std::thread> FHelfer;
};

// Fetches the thumbnails of a load's files beyond the memory bound when their tiles are painted:
// from the folder's pack, or decoded again where there is none. It keeps the last ones fetched, up
// to NachladeGrenze, so that a repaint of the same screen reads nothing.
class TVorschauNachlader {
public:
  TVorschauNachlader(const QStringList &pfade, const QString &paketPfad, int groesse, qreal verhaeltnis);
  QImage Hole(int index);
  // Takes a pack of these files that is open already, so that it is not read a second time.
  void NimmPaket(std::unique_ptr<TVorschauPaket> paket);
  int Dekodierungen() const { return FDekodierungen; }

  static constexpr qint64 NachladeGrenze = 8LL * 1024 * 1024;

private:
  QStringList FPfade;
  QString FPaketPfad;
  int FGroesse;
  qreal FVerhaeltnis;
  std::unique_ptr<TVorschauPaket> FPaket = std::make_unique<TVorschauPaket>();
  bool FPaketOffen = false;
  qint64 FPaketStand = -1; // the pack's modification time when it was opened
  QCache<int, QImage> FZuletzt;
  int FDekodierungen = 0;
};

// Decodes one file into its tile thumbnail for a screen of this device-pixel ratio (DCT-scaled
// where the file allows it, then resized to its exact size), stored as RGB888; a small picture is
// kept at its own size (VorschauZiel). A null image when it cannot be decoded.
// With stand, the file is one a listing has just named, and its size and time as opened go there.
QImage ErzeugeVorschau(const QString &pfad, int groesse = KachelGroesse, qreal verhaeltnis = 1.0,
                       TDateiStand *stand = nullptr);
