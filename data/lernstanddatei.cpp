// Disk access for the progress file.
#include "data/lernstanddatei.h"

#include "data/dateilesen.h"
#include "data/dateizugriff.h"

#include <QFileInfo>

namespace {
// A person's progress over every plate is a few tens of kilobytes.
constexpr qint64 GroessterLernstand = 16LL * 1024 * 1024;
} // namespace

TLernstand TLernstandDatei::Lade() {
  // Copies left beside it by a write that was killed are of no use to anyone.
  RaeumeReste(FPfad);
  const TDateiInhalt inhalt = LiesRegulaereDatei(FPfad, GroessterLernstand);
  FAlt.reset();
  FSchreibbar = inhalt.Zustand != TDateiZustand::Unbrauchbar;
  FFehler = TLernstandFehler::Keiner;
  if (!FSchreibbar) {
    const QFileInfo info(FPfad);
    FFehler = !info.isFile()                     ? TLernstandFehler::KeineDatei
              : info.size() > GroessterLernstand ? TLernstandFehler::ZuGross
                                                 : TLernstandFehler::Unlesbar;
  }
  if (inhalt.Zustand != TDateiZustand::Gelesen)
    return {};
  FAlt = inhalt.Daten;
  return LiesLernstand(inhalt.Daten);
}

bool TLernstandDatei::Speichere(const TLernstand &stand) {
  if (!FSchreibbar || FPfad.isEmpty())
    return false;
  const QByteArray neu = SchreibeLernstand(stand);
  if (FAlt && *FAlt == neu) {
    FFehler = TLernstandFehler::Keiner;
    return true;
  }
  if (!ErsetzeDatei(FPfad, FAlt, neu)) {
    const QFileInfo info(FPfad);
    FFehler = info.isSymLink() && !info.exists() ? TLernstandFehler::LinkOhneZiel : TLernstandFehler::NichtGeschrieben;
    return false;
  }
  FFehler = TLernstandFehler::Keiner;
  FAlt = neu;
  return true;
}
