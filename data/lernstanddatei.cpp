// Disk access for the progress file.
#include "data/lernstanddatei.h"

#include "data/dateilesen.h"
#include "data/dateizugriff.h"

#include <QFileInfo>
#include <QLockFile>

namespace {
// A person's progress over every plate is a few tens of kilobytes.
constexpr qint64 GroessterLernstand = 16LL * 1024 * 1024;
// A save holds the lock for milliseconds; one older than this was left by a copy that died.
constexpr int SperreVeraltetMs = 5000;
// A save waits no longer than this for another copy's; then it saves anyway and merges what it read.
constexpr int SperreWartenMs = 1000;

TLernstandFehler WarumUnbrauchbar(const QString &pfad) {
  const QFileInfo info(pfad);
  return !info.isFile()                     ? TLernstandFehler::KeineDatei
         : info.size() > GroessterLernstand ? TLernstandFehler::ZuGross
                                            : TLernstandFehler::Unlesbar;
}
} // namespace

TLernstand TLernstandDatei::Lade() {
  // Copies left beside it by a write that was killed are of no use to anyone.
  RaeumeReste(FPfad);
  const TDateiInhalt inhalt = LiesRegulaereDatei(FPfad, GroessterLernstand);
  FAlt.reset();
  FSchreibbar = inhalt.Zustand != TDateiZustand::Unbrauchbar;
  FFehler = TLernstandFehler::Keiner;
  if (!FSchreibbar)
    FFehler = WarumUnbrauchbar(FPfad);
  if (inhalt.Zustand != TDateiZustand::Gelesen)
    return {};
  FAlt = inhalt.Daten;
  return LiesLernstand(inhalt.Daten);
}

bool TLernstandDatei::Speichere(TLernstand &stand) {
  if (!FSchreibbar || FPfad.isEmpty())
    return false;
  // Another running copy saves under the same lock, so neither writes over answers it has not read.
  QLockFile sperre(FPfad + QStringLiteral(".lock"));
  sperre.setStaleLockTime(SperreVeraltetMs);
  sperre.tryLock(SperreWartenMs);
  const TDateiInhalt platte = LiesRegulaereDatei(FPfad, GroessterLernstand);
  if (platte.Zustand == TDateiZustand::Unbrauchbar) {
    // Made unreadable since it was read: it may be someone's, so it stays.
    FFehler = WarumUnbrauchbar(FPfad);
    return false;
  }
  std::optional<QByteArray> alt;
  if (platte.Zustand == TDateiZustand::Gelesen) {
    alt = platte.Daten;
    if (!FAlt || *FAlt != platte.Daten)
      stand.Vereine(LiesLernstand(platte.Daten));
  }
  const QByteArray neu = SchreibeLernstand(stand);
  if (alt && *alt == neu) {
    FFehler = TLernstandFehler::Keiner;
    FAlt = neu;
    return true;
  }
  if (!ErsetzeDatei(FPfad, alt, neu)) {
    const QFileInfo info(FPfad);
    FFehler = info.isSymLink() && !info.exists() ? TLernstandFehler::LinkOhneZiel : TLernstandFehler::NichtGeschrieben;
    return false;
  }
  FFehler = TLernstandFehler::Keiner;
  FAlt = neu;
  return true;
}
