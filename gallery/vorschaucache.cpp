// The thumbnail cache of the gallery.
#include "gallery/vorschaucache.h"

#include "data/jpegbild.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {
constexpr qint64 EintragGrundkosten = 256; // key and bookkeeping of one entry, failures included
}

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

QImage TVorschauCache::Vorschau(const QString &pfad) {
  const QFileInfo info(pfad);
  const qint64 groesse = info.exists() ? info.size() : -1;
  const qint64 zeit = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;

  auto gefunden = FEintraege.find(pfad);
  if (gefunden != FEintraege.end()) {
    if (gefunden->Groesse == groesse && gefunden->Zeit == zeit) {
      gefunden->Benutzt = ++FUhr;
      return gefunden->Bild;
    }
    FBytes -= Kosten(*gefunden);
    FEintraege.erase(gefunden);
  }

  ++FDekodierungen;
  TEintrag eintrag;
  eintrag.Groesse = groesse;
  eintrag.Zeit = zeit;
  eintrag.Bild = ErzeugeVorschau(pfad, FGroesse);
  eintrag.Benutzt = ++FUhr;
  // A missing file is not remembered: it may appear, and it costs no decode anyway.
  if (groesse >= 0) {
    FBytes += Kosten(eintrag);
    FEintraege.insert(pfad, eintrag);
    Begrenze();
  }
  return eintrag.Bild;
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
