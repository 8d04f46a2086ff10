// Fuzz target: any bytes as Kennzeichen.ini, read and then written with the program's own keys.
#include "data/einstellungen.h"
#include "data/zahlen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
constexpr int WertGrenze = 254;
const QString Abschnitt = QStringLiteral("Einstellung");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  // In memory where the system offers it: every run writes the file three times.
  static QTemporaryDir ordner(QDir(QStringLiteral("/dev/shm")).exists()
                                  ? QStringLiteral("/dev/shm/nf-fuzz-XXXXXX")
                                  : QDir::tempPath() + QStringLiteral("/nf-fuzz-XXXXXX"));
  const QString datei = ordner.filePath(QStringLiteral("Kennzeichen.ini"));
  {
    QFile f(datei);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      std::abort();
    f.write(reinterpret_cast<const char *>(daten), qint64(laenge));
  }
  for (const char *schluessel : {"Groesse", "KartenAdresse", "Auswahl"}) {
    const QString wert = LiesProfil(datei, Abschnitt, QLatin1String(schluessel));
    if (wert.size() > WertGrenze)
      std::abort();
    LiesGroesse(wert);
    LiesGanzzahl(wert);
  }
  // What was written is what is read back, whatever the file held before.
  if (!SchreibeProfil(datei, Abschnitt, QStringLiteral("Auswahl"), QStringLiteral("1")))
    std::abort();
  if (LiesProfil(datei, QStringLiteral("EINSTELLUNG"), QStringLiteral("auswahl")) != QStringLiteral("1"))
    std::abort();
  if (!SchreibeProfil(datei, Abschnitt, QStringLiteral("Groesse"), QStringLiteral("770x734")))
    std::abort();
  const std::optional<TGroesse> groesse = LiesGroesse(LiesProfil(datei, Abschnitt, QStringLiteral("Groesse")));
  if (!groesse || groesse->Breite != 770 || groesse->Hoehe != 734)
    std::abort();
  return 0;
}
