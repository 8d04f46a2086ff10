// The thumbnail cache of the gallery, and the decoding of many thumbnails on worker threads.
#include "gallery/vorschaucache.h"

#include "data/jpegbild.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr qint64 EintragGrundkosten = 256; // key and bookkeeping of one entry, failures included
constexpr int GroessteHelferzahl = 7;
} // namespace

QImage ErzeugeVorschau(const QString &pfad, int groesse) {
  const std::optional<TVerkleinert> geladen = LadeVerkleinert(pfad, groesse - 2);
  if (!geladen)
    return {};
  const QSize ziel = ZwischenGroesse(geladen->Original, groesse);
  QImage bild = geladen->Bild.size() == ziel
                    ? geladen->Bild
                    : geladen->Bild.scaled(ziel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return bild.convertToFormat(QImage::Format_RGB32);
}

TVorschauCache::TVorschauCache(int groesse, qint64 grenzeBytes) : FGroesse(groesse), FGrenze(grenzeBytes) {}

qint64 TVorschauCache::Kosten(const TEintrag &eintrag) { return EintragGrundkosten + eintrag.Bild.sizeInBytes(); }

namespace {
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

const QImage *TVorschauCache::Gueltig(const QString &pfad, qint64 &groesse, qint64 &zeit) {
  Stand(pfad, groesse, zeit);
  auto gefunden = FEintraege.find(pfad);
  if (gefunden == FEintraege.end())
    return nullptr;
  if (gefunden->Groesse == groesse && gefunden->Zeit == zeit) {
    gefunden->Benutzt = ++FUhr;
    return &gefunden->Bild;
  }
  FBytes -= Kosten(*gefunden);
  FEintraege.erase(gefunden);
  return nullptr;
}

void TVorschauCache::Merke(const QString &pfad, qint64 groesse, qint64 zeit, const QImage &bild) {
  ++FDekodierungen;
  // A missing file is not remembered: it may appear, and it costs no decode anyway.
  if (groesse < 0)
    return;
  TEintrag eintrag;
  eintrag.Groesse = groesse;
  eintrag.Zeit = zeit;
  eintrag.Bild = bild;
  eintrag.Benutzt = ++FUhr;
  const auto alt = FEintraege.constFind(pfad);
  if (alt != FEintraege.cend())
    FBytes -= Kosten(*alt);
  FBytes += Kosten(eintrag);
  FEintraege.insert(pfad, eintrag);
  Begrenze();
}

QImage TVorschauCache::Vorschau(const QString &pfad) {
  qint64 groesse = 0, zeit = 0;
  if (const QImage *bild = Gueltig(pfad, groesse, zeit))
    return *bild;
  const QImage bild = ErzeugeVorschau(pfad, FGroesse);
  Merke(pfad, groesse, zeit, bild);
  return bild;
}

namespace {
struct TAuftrag {
  int Index = 0;
  qint64 Groesse = 0;
  qint64 Zeit = 0;
  QImage Bild;
  bool Fertig = false; // guarded by the mutex
};
} // namespace

void TVorschauCache::HoleAlle(const QStringList &pfade, const std::function<void(int, const QImage &)> &fertig) {
  // Which files need a decode, in list order; the others are known already.
  std::vector<TAuftrag> auftraege;
  std::vector<int> auftragVon(static_cast<size_t>(pfade.size()), -1);
  QVector<QImage> bekannt(pfade.size());
  for (int i = 0; i < pfade.size(); ++i) {
    TAuftrag auftrag;
    if (const QImage *bild = Gueltig(pfade.at(i), auftrag.Groesse, auftrag.Zeit)) {
      bekannt[i] = *bild;
      continue;
    }
    auftrag.Index = i;
    auftragVon[static_cast<size_t>(i)] = static_cast<int>(auftraege.size());
    auftraege.push_back(auftrag);
  }

  const int anzahl = static_cast<int>(auftraege.size());
  std::atomic<int> naechster{0};
  std::mutex schutz;
  std::condition_variable gemeldet;
  const int groesse = FGroesse;
  // Takes the next undecoded file, if any; false when all are taken.
  auto arbeite = [&]() {
    const int k = naechster.fetch_add(1);
    if (k >= anzahl)
      return false;
    QImage bild = ErzeugeVorschau(pfade.at(auftraege[static_cast<size_t>(k)].Index), groesse);
    {
      std::lock_guard<std::mutex> sperre(schutz);
      auftraege[static_cast<size_t>(k)].Bild = std::move(bild);
      auftraege[static_cast<size_t>(k)].Fertig = true;
    }
    gemeldet.notify_all();
    return true;
  };

  std::vector<std::thread> helfer;
  const int helferzahl = qBound(0, qMin(QThread::idealThreadCount() - 1, anzahl - 1), GroessteHelferzahl);
  for (int h = 0; h < helferzahl; ++h)
    helfer.emplace_back([&arbeite] {
      while (arbeite()) {
      }
    });

  for (int i = 0; i < pfade.size(); ++i) {
    const int k = auftragVon[static_cast<size_t>(i)];
    if (k < 0) {
      fertig(i, bekannt.at(i));
      continue;
    }
    TAuftrag &auftrag = auftraege[static_cast<size_t>(k)];
    for (;;) {
      {
        std::unique_lock<std::mutex> sperre(schutz);
        if (auftrag.Fertig)
          break;
      }
      // Rather than wait, this thread decodes the next file itself; when none is left it waits.
      if (!arbeite()) {
        std::unique_lock<std::mutex> sperre(schutz);
        gemeldet.wait(sperre, [&auftrag] { return auftrag.Fertig; });
        break;
      }
    }
    Merke(pfade.at(i), auftrag.Groesse, auftrag.Zeit, auftrag.Bild);
    fertig(i, auftrag.Bild);
  }
  for (std::thread &t : helfer)
    t.join();
}

void TVorschauCache::Leeren() {
  FEintraege.clear();
  FBytes = 0;
}

// Drops the least recently used entries down to three quarters of the bound, so that the sort
// runs seldom, not on every new file.
void TVorschauCache::Begrenze() {
  if (FBytes <= FGrenze)
    return;
  std::vector<std::pair<quint64, QString>> alter;
  alter.reserve(static_cast<size_t>(FEintraege.size()));
  for (auto it = FEintraege.cbegin(); it != FEintraege.cend(); ++it)
    alter.emplace_back(it->Benutzt, it.key());
  std::sort(alter.begin(), alter.end());
  for (const auto &a : alter) {
    if (FBytes <= FGrenze * 3 / 4)
      break;
    auto it = FEintraege.find(a.second);
    FBytes -= Kosten(*it);
    FEintraege.erase(it);
  }
}
