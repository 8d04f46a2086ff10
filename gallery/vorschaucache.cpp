// The thumbnail cache of the gallery, and the decoding of a load's new files on worker threads.
#include "gallery/vorschaucache.h"

#include "data/jpegbild.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr qint64 EintragGrundkosten = 256; // key and bookkeeping of one entry, failures included
constexpr qint64 StandUnbekannt = -2;      // size and time not asked for yet

QString OrdnerVon(const QString &pfad) { return pfad.left(qMax(0, pfad.lastIndexOf(QLatin1Char('/')))); }

// Thumbnails for another ratio are other pictures of the same files.
QString Schluessel(const QString &ordner, qreal verhaeltnis) {
  return ordner + QLatin1Char('@') + QString::number(verhaeltnis);
}

// Size and modification time (nanoseconds where the system has them) in one query; size -1 for a
// file that is not there. A reload asks this for every file, so it must stay one system call.
void Stand(const QString &pfad, qint64 &groesse, qint64 &zeit) {
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(pfad).constData(), &info) != 0) {
    groesse = -1;
    zeit = 0;
    return;
  }
  groesse = static_cast<qint64>(info.st_size);
  zeit = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
  const QFileInfo info(pfad);
  groesse = info.exists() ? info.size() : -1;
  zeit = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
#endif
}
} // namespace

int VorschauThreads() { return qMax(1, QThread::idealThreadCount()); }

QImage ErzeugeVorschau(const QString &pfad, int groesse, qreal verhaeltnis) {
  const std::optional<TVerkleinert> geladen = LadeVerkleinert(pfad, GeraetePunkte(groesse - 2, verhaeltnis));
  if (!geladen)
    return {};
  // The thumbnail's proportions are worked out in logical pixels, so that it lies on the tile where
  // it lies at ratio 1.
  const QSize logisch = ZwischenGroesse(geladen->Original, groesse);
  const QSize ziel(GeraetePunkte(logisch.width(), verhaeltnis), GeraetePunkte(logisch.height(), verhaeltnis));
  const QImage bild = geladen->Bild.size() == ziel
                          ? geladen->Bild
                          : geladen->Bild.scaled(ziel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // Three bytes a pixel: the opaque colours of RGB32, kept in three quarters of the room.
  QImage kompakt = bild.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_RGB888);
  kompakt.setDevicePixelRatio(verhaeltnis);
  return kompakt;
}

TVorschauCache::TVorschauCache(int groesse, qint64 grenzeBytes) : FGroesse(groesse), FGrenze(grenzeBytes) {}

qint64 TVorschauCache::Kosten(const TEintrag &eintrag) { return EintragGrundkosten + eintrag.Bild.sizeInBytes(); }

int TVorschauCache::Eintraege() const {
  int anzahl = 0;
  for (const TOrdner &ordner : FOrdner)
    anzahl += ordner.Dateien.size();
  return anzahl;
}

const QImage *TVorschauCache::Gueltig(const QString &pfad, qreal verhaeltnis, qint64 &groesse, qint64 &zeit) {
  Stand(pfad, groesse, zeit);
  auto ordner = FOrdner.find(Schluessel(OrdnerVon(pfad), verhaeltnis));
  if (ordner == FOrdner.end())
    return nullptr;
  ordner->Benutzt = ++FUhr;
  auto datei = ordner->Dateien.find(DateiName(pfad));
  if (datei == ordner->Dateien.end())
    return nullptr;
  if (datei->Groesse == groesse && datei->Zeit == zeit)
    return &datei->Bild;
  ordner->Bytes -= Kosten(*datei);
  FBytes -= Kosten(*datei);
  ordner->Dateien.erase(datei);
  return nullptr;
}

void TVorschauCache::Merke(const QString &pfad, qreal verhaeltnis, qint64 groesse, qint64 zeit, const QImage &bild) {
  ++FDekodierungen;
  // A missing file is not remembered: it may appear, and it costs no decode anyway.
  if (groesse < 0)
    return;
  TEintrag eintrag;
  eintrag.Groesse = groesse;
  eintrag.Zeit = zeit;
  eintrag.Bild = bild;
  const QString schluessel = Schluessel(OrdnerVon(pfad), verhaeltnis);
  if (!Begrenze(schluessel, Kosten(eintrag)))
    return;
  TOrdner &ordner = FOrdner[schluessel];
  ordner.Benutzt = ++FUhr;
  ordner.Bytes += Kosten(eintrag);
  FBytes += Kosten(eintrag);
  ordner.Dateien.insert(DateiName(pfad), eintrag);
}

bool TVorschauCache::Begrenze(const QString &schonen, qint64 dazu) {
  while (FBytes + dazu > FGrenze) {
    auto aeltester = FOrdner.end();
    for (auto it = FOrdner.begin(); it != FOrdner.end(); ++it)
      if (it.key() != schonen && (aeltester == FOrdner.end() || it->Benutzt < aeltester->Benutzt))
        aeltester = it;
    // A folder larger than the whole budget keeps what fits: a reload decodes only the rest.
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
  qint64 groesse = 0, zeit = 0;
  if (const QImage *bild = Gueltig(pfad, verhaeltnis, groesse, zeit))
    return *bild;
  const QImage bild = ErzeugeVorschau(pfad, FGroesse, verhaeltnis);
  Merke(pfad, verhaeltnis, groesse, zeit, bild);
  return bild;
}

std::unique_ptr<TVorschauLadung> TVorschauCache::Starte(const QStringList &pfade, qreal verhaeltnis, int threads) {
  std::unique_ptr<TVorschauLadung> ladung(new TVorschauLadung(*this, pfade, verhaeltnis));
  const int helfer = qMin(qMax(1, threads), ladung->Neue());
  for (int h = 0; h < helfer; ++h)
    ladung->FHelfer.emplace_back([l = ladung.get()] { l->Arbeite(); });
  return ladung;
}

TVorschauLadung::TVorschauLadung(TVorschauCache &cache, const QStringList &pfade, qreal verhaeltnis)
    : FCache(cache), FPfade(pfade), FVerhaeltnis(verhaeltnis), FBekannt(pfade.size()),
      FAuftragVon(static_cast<size_t>(pfade.size()), -1) {
  // The files of a folder the cache does not know at all are looked at by the workers too: a first
  // visit of 20 000 files would otherwise wait for 20 000 queries before the first decode.
  QString ordner;
  bool ordnerBekannt = false;
  for (int i = 0; i < pfade.size(); ++i) {
    TAuftrag auftrag;
    const QString hier = OrdnerVon(pfade.at(i));
    if (i == 0 || hier != ordner) {
      ordner = hier;
      ordnerBekannt = cache.FOrdner.contains(Schluessel(ordner, verhaeltnis));
      FOrdnerWarBekannt = FOrdnerWarBekannt || ordnerBekannt;
    }
    if (!ordnerBekannt) {
      auftrag.Groesse = StandUnbekannt;
    } else if (const QImage *bild = cache.Gueltig(pfade.at(i), verhaeltnis, auftrag.Groesse, auftrag.Zeit)) {
      FBekannt[i] = *bild;
      continue;
    }
    auftrag.Index = i;
    FAuftragVon[static_cast<size_t>(i)] = static_cast<int>(FAuftraege.size());
    FAuftraege.push_back(auftrag);
  }
}

TVorschauLadung::~TVorschauLadung() {
  Abbrechen();
  for (std::thread &t : FHelfer)
    t.join();
}

void TVorschauLadung::Arbeite() {
  const int anzahl = Neue();
  const int groesse = FCache.FGroesse;
  for (int k = FNaechster++; k < anzahl && !FAbbruch.load(); k = FNaechster++) {
    TAuftrag &auftrag = FAuftraege[static_cast<size_t>(k)];
    const QString &pfad = FPfade.at(auftrag.Index);
    qint64 dateiGroesse = auftrag.Groesse, zeit = auftrag.Zeit;
    if (dateiGroesse == StandUnbekannt)
      Stand(pfad, dateiGroesse, zeit);
    QImage bild = ErzeugeVorschau(pfad, groesse, FVerhaeltnis);
    std::function<void()> melde;
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      auftrag.Groesse = dateiGroesse;
      auftrag.Zeit = zeit;
      FAuftraege[static_cast<size_t>(k)].Bild = std::move(bild);
      FAuftraege[static_cast<size_t>(k)].Fertig = true;
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
  FGemeldet.wait(sperre, [this] { return Fertig() || FAbbruch.load(); });
}

void TVorschauLadung::Abbrechen() {
  {
    std::lock_guard<std::mutex> sperre(FSchutz);
    FAbbruch = true;
    FMelde = nullptr;
  }
  FGemeldet.notify_all();
}

int TVorschauLadung::Uebernimm(const std::function<void(int, const QImage &)> &nimm) {
  for (; FUebergeben < Anzahl(); ++FUebergeben) {
    const int i = FUebergeben;
    const int k = FAuftragVon[static_cast<size_t>(i)];
    if (k < 0) {
      nimm(i, FBekannt.at(i));
      FBekannt[i] = QImage(); // the cache and the tile hold it now
      continue;
    }
    TAuftrag &auftrag = FAuftraege[static_cast<size_t>(k)];
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      if (!auftrag.Fertig)
        break;
    }
    FCache.Merke(FPfade.at(i), FVerhaeltnis, auftrag.Groesse, auftrag.Zeit, auftrag.Bild);
    nimm(i, auftrag.Bild);
    auftrag.Bild = QImage();
  }
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
