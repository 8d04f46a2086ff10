// The thumbnail cache of the gallery, and the decoding of a load's new files on worker threads.
#include "gallery/vorschaucache.h"

#include "data/jpegbild.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr qint64 EintragGrundkosten = 256; // key and bookkeeping of one entry, failures included
constexpr qint64 StandUnbekannt = -2;      // size not asked for yet

QString OrdnerVon(const QString &pfad) { return pfad.left(qMax(0, pfad.lastIndexOf(QLatin1Char('/')))); }

// Thumbnails for another ratio are other pictures of the same files. A load asks this for each of
// its files, all in one folder: the last key is kept.
QString Schluessel(const QString &ordner, qreal verhaeltnis) {
  thread_local QString letzterOrdner, letzterSchluessel;
  thread_local qreal letztesVerhaeltnis = 0;
  if (ordner != letzterOrdner || verhaeltnis != letztesVerhaeltnis || letzterSchluessel.isEmpty()) {
    letzterOrdner = ordner;
    letztesVerhaeltnis = verhaeltnis;
    letzterSchluessel = ordner + QLatin1Char('@') + QString::number(verhaeltnis);
  }
  return letzterSchluessel;
}

// A reload asks this for every file, so it must stay one system call (FrageStand is one stat).
TDateiStand Stand(const QString &pfad) { return FrageStand(pfad); }
} // namespace

int VorschauThreads() { return qMax(1, QThread::idealThreadCount()); }

namespace {
// Set and read on the thread that starts the loads; each load keeps its own copy for its workers.
TDekodierHaken &DekodierHaken() {
  static TDekodierHaken haken;
  return haken;
}
} // namespace

void SetzeDekodierHaken(TDekodierHaken haken) { DekodierHaken() = std::move(haken); }

QImage ErzeugeVorschau(const QString &pfad, int groesse, qreal verhaeltnis, TDateiStand *stand) {
  const auto ziel = [&](QSize original) { return VorschauZiel(original, groesse, verhaeltnis); };
  std::optional<TVerkleinert> geladen = LadeVorschau(pfad, ziel, stand);
  if (!geladen)
    return {};
  geladen->Bild.setDevicePixelRatio(verhaeltnis);
  return geladen->Bild;
}

TVorschauCache::TVorschauCache(int groesse, qint64 grenzeBytes, const QString &paketOrdner)
    : FGroesse(groesse), FGrenze(grenzeBytes), FPaketOrdner(paketOrdner) {
  // Writers killed in the middle of a pack (the program's previous run) leave their temporary files;
  // nothing else ever removes them before they are old.
  RaeumePaketReste(FPaketOrdner);
}

qint64 TVorschauCache::Kosten(const TEintrag &eintrag) { return EintragGrundkosten + eintrag.Bild.sizeInBytes(); }

int TVorschauCache::Eintraege() const {
  int anzahl = 0;
  for (const TOrdner &ordner : FOrdner)
    anzahl += ordner.Dateien.size();
  return anzahl;
}

const TVorschauCache::TEintrag *TVorschauCache::Gueltig(const QString &pfad, qreal verhaeltnis, TDateiStand &stand) {
  stand = Stand(pfad);
  auto ordner = FOrdner.find(Schluessel(OrdnerVon(pfad), verhaeltnis));
  if (ordner == FOrdner.end())
    return nullptr;
  ordner->Benutzt = ++FUhr;
  auto datei = ordner->Dateien.find(DateiName(pfad));
  if (datei == ordner->Dateien.end())
    return nullptr;
  if (datei->Stand == stand)
    return &*datei;
  ordner->Bytes -= Kosten(*datei);
  FBytes -= Kosten(*datei);
  ordner->Dateien.erase(datei);
  return nullptr;
}

bool TVorschauCache::Merke(const QString &pfad, qreal verhaeltnis, const TDateiStand &stand, const QImage &bild) {
  ++FDekodierungen;
  return Behalte(pfad, verhaeltnis, stand, bild);
}

bool TVorschauCache::HatPlatz(const QString &pfad, qreal verhaeltnis, qint64 bytes) {
  return Begrenze(Schluessel(OrdnerVon(pfad), verhaeltnis), EintragGrundkosten + bytes);
}

bool TVorschauCache::Behalte(const QString &pfad, qreal verhaeltnis, const TDateiStand &stand, const QImage &bild,
                             bool ausgelagert) {
  // A missing file is not remembered: it may appear, and it costs no decode anyway.
  if (stand.Groesse < 0)
    return false;
  TEintrag eintrag;
  eintrag.Stand = stand;
  eintrag.Bild = bild;
  eintrag.Ausgelagert = ausgelagert;
  const QString schluessel = Schluessel(OrdnerVon(pfad), verhaeltnis);
  // Beyond the bound only the file's state is kept: it is never decoded again for a
  // reload, and its tile fetches it when painted. These few bytes a file are let past the bound.
  if (!ausgelagert && !Begrenze(schluessel, Kosten(eintrag))) {
    eintrag.Ausgelagert = !bild.isNull();
    eintrag.Bild = QImage();
  }
  TOrdner &ordner = FOrdner[schluessel];
  ordner.Benutzt = ++FUhr;
  const QString name = DateiName(pfad);
  const auto alt = ordner.Dateien.constFind(name);
  if (alt != ordner.Dateien.cend()) {
    ordner.Bytes -= Kosten(*alt);
    FBytes -= Kosten(*alt);
  }
  ordner.Bytes += Kosten(eintrag);
  FBytes += Kosten(eintrag);
  ordner.Dateien.insert(name, eintrag);
  return !eintrag.Ausgelagert;
}

bool TVorschauCache::Begrenze(const QString &schonen, qint64 dazu) {
  while (FBytes + dazu > FGrenze) {
    auto aeltester = FOrdner.end();
    for (auto it = FOrdner.begin(); it != FOrdner.end(); ++it)
      if (it.key() != schonen && (aeltester == FOrdner.end() || it->Benutzt < aeltester->Benutzt))
        aeltester = it;
    // A folder larger than the whole budget keeps what fits.
    if (aeltester == FOrdner.end())
      return false;
    FBytes -= aeltester->Bytes;
    FOrdner.erase(aeltester);
  }
  return true;
}

void TVorschauCache::Raeume(const QString &ordner, const QStringList &namen) {
  auto gefunden = FOrdner.find(ordner);
  if (gefunden == FOrdner.end())
    return;
  QHash<QString, TEintrag> behalten;
  behalten.reserve(namen.size());
  qint64 bytes = 0;
  for (const QString &name : namen) {
    const auto datei = gefunden->Dateien.constFind(name);
    if (datei == gefunden->Dateien.cend())
      continue;
    bytes += Kosten(*datei);
    behalten.insert(name, *datei);
  }
  FBytes += bytes - gefunden->Bytes;
  gefunden->Bytes = bytes;
  gefunden->Dateien.swap(behalten);
}

QImage TVorschauCache::Vorschau(const QString &pfad, qreal verhaeltnis) {
  TDateiStand stand;
  const TEintrag *eintrag = Gueltig(pfad, verhaeltnis, stand);
  if (eintrag && !eintrag->Ausgelagert)
    return eintrag->Bild;
  const QImage bild = ErzeugeVorschau(pfad, FGroesse, verhaeltnis);
  Merke(pfad, verhaeltnis, stand, bild);
  return bild;
}

std::unique_ptr<TVorschauLadung> TVorschauCache::Starte(const QStringList &pfade, qreal verhaeltnis, int threads) {
  std::unique_ptr<TVorschauLadung> ladung(new TVorschauLadung(*this, pfade, verhaeltnis));
  // A restart whose files are only checked against the pack needs one worker; the window's thread
  // keeps a processor of its own for the first screen.
  const int helfer = qMin(ladung->FZuDekodieren > 0 ? qMax(1, threads) : 1, ladung->Neue());
  for (int h = 0; h < helfer; ++h)
    ladung->FHelfer.emplace_back([l = ladung.get()] { l->Arbeite(); });
  return ladung;
}

TVorschauLadung::TVorschauLadung(TVorschauCache &cache, const QStringList &pfade, qreal verhaeltnis)
    : FCache(cache), FPfade(pfade), FVerhaeltnis(verhaeltnis), FHaken(DekodierHaken()), FBekannt(pfade.size()),
      FAuftragVon(static_cast<size_t>(pfade.size()), -1), FBekanntStand(static_cast<size_t>(pfade.size())),
      FAusgelagert(static_cast<size_t>(pfade.size()), 0) {
  FAuftraege.reserve(size_t(pfade.size()));
  int ordnerZahl = 0;
  for (int von = 0, bis = 0; von < pfade.size(); von = bis) {
    const QString ordner = OrdnerVon(pfade.at(von));
    for (bis = von + 1; bis < pfade.size() && OrdnerVon(pfade.at(bis)) == ordner;)
      ++bis;
    ++ordnerZahl;
    const bool bekannt = cache.FOrdner.contains(Schluessel(ordner, verhaeltnis));
    FOrdnerWarBekannt = FOrdnerWarBekannt || bekannt;
    const QString paketPfad = VorschauPaketPfad(cache.FPaketOrdner, ordner, cache.FGroesse, verhaeltnis);
    auto paketZeiger = std::make_unique<TVorschauPaket>();
    TVorschauPaket &paket = *paketZeiger;
    bool paketOffen = false;
    if (!bekannt) {
      paketOffen = paket.Oeffne(paketPfad, ordner, cache.FGroesse, verhaeltnis);
      if (!paketOffen) {
        // The files of a folder the cache does not know at all are looked at by the workers: a first
        // visit of 20 000 files would otherwise wait for 20 000 queries before the first decode.
        TDateiStand unbekannt;
        unbekannt.Groesse = StandUnbekannt;
        for (int i = von; i < bis; ++i)
          NeuerAuftrag(i, unbekannt);
        continue;
      }
      BeruehrePaket(paketPfad);
      NimmPaketVerzoegert(paket, von, bis);
      // Only a listing of one folder has tiles that read from it.
      if (von == 0 && bis == pfade.size())
        FOffenesPaket = std::move(paketZeiger);
      continue;
    }
    bool paketVersucht = false;
    for (int i = von; i < bis; ++i) {
      TDateiStand stand;
      if (const TVorschauCache::TEintrag *eintrag = cache.Gueltig(pfade.at(i), verhaeltnis, stand)) {
        FBekannt[i] = eintrag->Bild;
        FBekanntStand[size_t(i)] = stand;
        FAusgelagert[size_t(i)] = eintrag->Ausgelagert;
        continue;
      }
      // A known folder's files that changed or were never kept may still be in the pack.
      if (!paketVersucht) {
        paketVersucht = true;
        paketOffen = paket.Oeffne(paketPfad, ordner, cache.FGroesse, verhaeltnis);
      }
      if (!paketOffen || !NimmAusPaket(paket, i, stand))
        NeuerAuftrag(i, stand);
    }
  }
  if (ordnerZahl != 1)
    return;
  const QString ordner = OrdnerVon(pfade.first());
  FPaketPfad = VorschauPaketPfad(cache.FPaketOrdner, ordner, cache.FGroesse, verhaeltnis);
  // Only what was decoded makes a new pack worth writing; a listing of several folders (no gallery
  // shows one) gets none.
  if (FZuDekodieren > 0 && !FPaketPfad.isEmpty()) {
    FSchreiber = std::make_unique<TPaketSchreiber>(FPaketPfad, ordner, cache.FGroesse, verhaeltnis, int(pfade.size()));
    if (!FSchreiber->Gut())
      FSchreiber.reset();
  }
}

void TVorschauLadung::NeuerAuftrag(int index, const TDateiStand &stand) {
  ++FZuDekodieren;
  TAuftrag auftrag;
  auftrag.Index = index;
  auftrag.Stand = stand;
  FAuftragVon[static_cast<size_t>(index)] = static_cast<int>(FAuftraege.size());
  FAuftraege.push_back(auftrag);
}

void TVorschauLadung::NimmPaketVerzoegert(const TVorschauPaket &paket, int von, int bis) {
  TDateiStand unbekannt;
  unbekannt.Groesse = StandUnbekannt;
  for (int i = von; i < bis; ++i) {
    const TPaketEintrag *eintrag = paket.Finde(DateiName(FPfade.at(i)));
    if (!eintrag) {
      NeuerAuftrag(i, unbekannt);
      continue;
    }
    NeuerAuftrag(i, eintrag->Stand);
    FAuftraege.back().Pruefen = true;
    --FZuDekodieren;
    FBekanntStand[size_t(i)] = eintrag->Stand;
    FAusgelagert[size_t(i)] = eintrag->Breite > 0;
  }
}

void TVorschauLadung::SchreibeNeuesPaket(int bis) {
  if (FSchreiber || FPaketPfad.isEmpty())
    return;
  FSchreiber = std::make_unique<TPaketSchreiber>(FPaketPfad, OrdnerVon(FPfade.first()), FCache.FGroesse, FVerhaeltnis,
                                                 int(FPfade.size()));
  if (!FSchreiber->Gut()) {
    FSchreiber.reset();
    return;
  }
  for (int i = 0; i < bis; ++i)
    if (const std::optional<QImage> bild = AusAltemPaket(i))
      FSchreiber->Fuege(DateiName(FPfade.at(i)), FBekanntStand[size_t(i)], *bild);
}

bool TVorschauLadung::NimmAusPaket(TVorschauPaket &paket, int index, const TDateiStand &stand) {
  const QString &pfad = FPfade.at(index);
  const TPaketEintrag *eintrag = paket.Finde(DateiName(pfad));
  // An entry counts only while the file is the one it was made from.
  if (!eintrag || stand.Groesse < 0 || eintrag->Stand != stand)
    return false;
  FBekanntStand[size_t(index)] = stand;
  const qint64 zeile = (qint64(eintrag->Breite) * 3 + 3) / 4 * 4;
  if (eintrag->Breite > 0 && !FCache.HatPlatz(pfad, FVerhaeltnis, zeile * eintrag->Hoehe)) {
    // Not read at all: its tile reads it when it is painted.
    FCache.Behalte(pfad, FVerhaeltnis, stand, QImage(), true);
    FAusgelagert[size_t(index)] = 1;
    ++FCache.FAusPaketen;
    return true;
  }
  const std::optional<QImage> bild = paket.Lies(*eintrag);
  if (!bild)
    return false;
  FBekannt[index] = *bild;
  FAusgelagert[size_t(index)] = !FCache.Behalte(pfad, FVerhaeltnis, stand, *bild) && !bild->isNull();
  if (FAusgelagert[size_t(index)])
    FBekannt[index] = QImage();
  ++FCache.FAusPaketen;
  return true;
}

std::optional<QImage> TVorschauLadung::AusAltemPaket(int index) {
  if (!FAltesPaketGeoeffnet) {
    FAltesPaketGeoeffnet = true;
    FAltesPaket = std::make_unique<TVorschauPaket>();
    if (!FAltesPaket->Oeffne(FPaketPfad, OrdnerVon(FPfade.first()), FCache.FGroesse, FVerhaeltnis))
      FAltesPaket.reset();
  }
  const TPaketEintrag *eintrag = FAltesPaket ? FAltesPaket->Finde(DateiName(FPfade.at(index))) : nullptr;
  if (!eintrag || eintrag->Stand != FBekanntStand[size_t(index)])
    return std::nullopt;
  return FAltesPaket->Lies(*eintrag);
}

void TVorschauLadung::SchliessePaket() {
  if (!FSchreiber)
    return;
  const bool gut = FSchreiber->Schliesse();
  FSchreiber.reset();
  FAltesPaket.reset();
  if (gut)
    BegrenzePakete(FCache.FPaketOrdner, FPaketPfad);
}

TVorschauLadung::~TVorschauLadung() {
  Abbrechen();
  for (std::thread &t : FHelfer)
    t.join();
}

void TVorschauLadung::Arbeite() {
  const int anzahl = Neue();
  const int groesse = FCache.FGroesse;
  for (;;) {
    {
      std::unique_lock<std::mutex> sperre(FSchutz);
      FPlatz.wait(sperre, [this] { return FVorrat < VorlaufGrenze || FOhneGrenze || FAbbruch.load(); });
    }
    const int k = FNaechster++;
    if (k >= anzahl || FAbbruch.load())
      break;
    TAuftrag &auftrag = FAuftraege[static_cast<size_t>(k)];
    const QString &pfad = FPfade.at(auftrag.Index);
    // The listing has just named the file, so the open itself gives its state: one query of the
    // system per file, and the entry describes the very bytes that were decoded.
    TDateiStand stand;
    // A file in the pack is only asked about; it is decoded only when it changed since.
    const bool bestaetigt = auftrag.Pruefen && FrageStand(pfad) == auftrag.Stand;
    QImage bild;
    if (!bestaetigt) {
      if (FHaken)
        FHaken(auftrag.Index);
      bild = ErzeugeVorschau(pfad, groesse, FVerhaeltnis, &stand);
    }
    std::function<void()> melde;
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      auftrag.Bestaetigt = bestaetigt;
      if (!bestaetigt)
        auftrag.Stand = stand;
      auftrag.Kosten = EintragGrundkosten + bild.sizeInBytes();
      auftrag.Bild = std::move(bild);
      auftrag.Fertig = true;
      FVorrat += auftrag.Kosten;
      if (FDekodiert.fetch_add(1) + 1 == anzahl)
        melde.swap(FMelde);
    }
    FGemeldet.notify_all();
    if (melde)
      melde();
  }
}

void TVorschauLadung::BeimEnde(std::function<void()> melde) {
  {
    std::lock_guard<std::mutex> sperre(FSchutz);
    if (!Fertig()) {
      FMelde = std::move(melde);
      return;
    }
  }
  melde();
}

void TVorschauLadung::Warte() {
  std::unique_lock<std::mutex> sperre(FSchutz);
  FOhneGrenze = true;
  FPlatz.notify_all();
  FGemeldet.wait(sperre, [this] { return Fertig() || FAbbruch.load(); });
}

void TVorschauLadung::Abbrechen() {
  {
    std::lock_guard<std::mutex> sperre(FSchutz);
    FAbbruch = true;
    FMelde = nullptr;
  }
  FGemeldet.notify_all();
  FPlatz.notify_all();
}

bool TVorschauLadung::Bereit() {
  if (AllesUebergeben())
    return false;
  const int k = FAuftragVon[static_cast<size_t>(FUebergeben)];
  if (k < 0)
    return true;
  std::lock_guard<std::mutex> sperre(FSchutz);
  return FAuftraege[static_cast<size_t>(k)].Fertig;
}

int TVorschauLadung::Uebernimm(const std::function<void(int, const QImage &)> &nimm, int zeitscheibe) {
  QElapsedTimer uhr;
  uhr.start();
  const int anfang = FUebergeben;
  for (; FUebergeben < Anzahl(); ++FUebergeben) {
    // The clock is read once a file: a hand-on costs tens of microseconds, the reading far less.
    if (zeitscheibe >= 0 && FUebergeben > anfang && uhr.hasExpired(zeitscheibe))
      break;
    const int i = FUebergeben;
    const int k = FAuftragVon[static_cast<size_t>(i)];
    if (k < 0) {
      if (FSchreiber) {
        // Pixels beyond the bound go from the old pack to the new one; one the old pack cannot
        // give is left out and decoded next time.
        const std::optional<QImage> bild = FAusgelagert[size_t(i)] ? AusAltemPaket(i) : FBekannt.at(i);
        if (bild)
          FSchreiber->Fuege(DateiName(FPfade.at(i)), FBekanntStand[size_t(i)], *bild);
      }
      if (FAusgelagert[size_t(i)])
        MachNachlader();
      nimm(i, FBekannt.at(i));
      FBekannt[i] = QImage(); // the cache and the tile hold it now
      continue;
    }
    TAuftrag &auftrag = FAuftraege[static_cast<size_t>(k)];
    bool wecken = false;
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      if (!auftrag.Fertig)
        break;
      // Counted out now: from here on the cache's bound or the tile holds it.
      wecken = FVorrat >= VorlaufGrenze && FVorrat - auftrag.Kosten < VorlaufGrenze;
      FVorrat -= auftrag.Kosten;
    }
    if (wecken)
      FPlatz.notify_all();
    if (auftrag.Bestaetigt) {
      // Unchanged since the pack was written: its tile reads the pack when it is drawn.
      FCache.Behalte(FPfade.at(i), FVerhaeltnis, auftrag.Stand, QImage(), FAusgelagert[size_t(i)]);
      ++FCache.FAusPaketen;
      if (FSchreiber)
        if (const std::optional<QImage> bild = AusAltemPaket(i))
          FSchreiber->Fuege(DateiName(FPfade.at(i)), auftrag.Stand, *bild);
      if (FAusgelagert[size_t(i)])
        MachNachlader();
      nimm(i, QImage());
      continue;
    }
    if (auftrag.Pruefen) {
      FAusgelagert[size_t(i)] = 0;
      SchreibeNeuesPaket(i);
    }
    const bool gehalten = FCache.Merke(FPfade.at(i), FVerhaeltnis, auftrag.Stand, auftrag.Bild);
    if (FSchreiber)
      FSchreiber->Fuege(DateiName(FPfade.at(i)), auftrag.Stand, auftrag.Bild);
    if (!gehalten && !auftrag.Bild.isNull()) {
      // Beyond the bound the tile holds nothing; it fetches the thumbnail when it is painted.
      FAusgelagert[size_t(i)] = 1;
      MachNachlader();
      auftrag.Bild = QImage();
    }
    nimm(i, auftrag.Bild);
    auftrag.Bild = QImage();
  }
  if (FUebergeben == Anzahl())
    SchliessePaket();
  // A folder that was new to the cache holds nothing but this listing.
  if (FUebergeben == Anzahl() && Anzahl() > 0 && !FGeraeumt && FOrdnerWarBekannt) {
    FGeraeumt = true;
    QStringList namen;
    namen.reserve(FPfade.size());
    for (const QString &pfad : FPfade)
      namen.append(DateiName(pfad));
    FCache.Raeume(Schluessel(OrdnerVon(FPfade.first()), FVerhaeltnis), namen);
  }
  return FUebergeben;
}

const std::shared_ptr<TVorschauNachlader> &TVorschauLadung::MachNachlader() {
  if (!FNachlader) {
    FNachlader = std::make_shared<TVorschauNachlader>(FPfade, FPaketPfad, FCache.FGroesse, FVerhaeltnis);
    if (FOffenesPaket)
      FNachlader->NimmPaket(std::move(FOffenesPaket));
  }
  return FNachlader;
}

void TVorschauNachlader::NimmPaket(std::unique_ptr<TVorschauPaket> paket) {
  FPaket = std::move(paket);
  FPaketOffen = true;
  FPaketStand = QFileInfo(FPaketPfad).lastModified().toMSecsSinceEpoch();
}

TVorschauNachlader::TVorschauNachlader(const QStringList &pfade, const QString &paketPfad, int groesse,
                                       qreal verhaeltnis)
    : FPfade(pfade), FPaketPfad(paketPfad), FGroesse(groesse), FVerhaeltnis(verhaeltnis),
      FZuletzt(int(NachladeGrenze / 1024)) {}

QImage TVorschauNachlader::Hole(int index) {
  if (index < 0 || index >= FPfade.size())
    return {};
  if (const QImage *bild = FZuletzt.object(index))
    return *bild;
  const QString &pfad = FPfade.at(index);
  const TDateiStand stand = Stand(pfad);
  std::optional<QImage> bild;
  // The pack may have been written since it was last opened (at the end of the load).
  const qint64 paketStand = FPaketPfad.isEmpty() ? -1 : QFileInfo(FPaketPfad).lastModified().toMSecsSinceEpoch();
  if (paketStand != FPaketStand) {
    FPaketStand = paketStand;
    FPaketOffen = paketStand >= 0 && FPaket->Oeffne(FPaketPfad, OrdnerVon(pfad), FGroesse, FVerhaeltnis);
  }
  if (FPaketOffen)
    if (const TPaketEintrag *eintrag = FPaket->Finde(DateiName(pfad)))
      if (eintrag->Stand == stand)
        bild = FPaket->Lies(*eintrag);
  if (!bild) {
    ++FDekodierungen;
    bild = ErzeugeVorschau(pfad, FGroesse, FVerhaeltnis);
  }
  // Counted in kilobytes, so that the limit of QCache's int stays far away.
  FZuletzt.insert(index, new QImage(*bild), int(qMax<qint64>(1, bild->sizeInBytes() / 1024)));
  return *bild;
}
