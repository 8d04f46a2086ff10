// Paths of the data folder and the text of the fatal "missing" message.
#include "data/datenordner.h"

TDatenOrdner TDatenOrdner::Aus(const QString &arbeitsverzeichnis) {
  TDatenOrdner ordner;
  ordner.Basis = arbeitsverzeichnis;
  if (!ordner.Basis.endsWith(QLatin1Char('/')))
    ordner.Basis += QLatin1Char('/');
  return ordner;
}

QString TDatenOrdner::Ordner(TBereich bereich) const { return Datei(RelativerOrdner(bereich)); }

QString RelativerOrdner(TBereich bereich) {
  switch (bereich) {
  case TBereich::Oesterreich: return QStringLiteral("Bilder/Österreich/A-Z");
  case TBereich::A_E: return QStringLiteral("Bilder/Deutschland/A-E");
  case TBereich::F_J: return QStringLiteral("Bilder/Deutschland/F-J");
  case TBereich::K_O: return QStringLiteral("Bilder/Deutschland/K-O");
  case TBereich::P_T: return QStringLiteral("Bilder/Deutschland/P-T");
  case TBereich::U_Z: return QStringLiteral("Bilder/Deutschland/U-Z");
  }
  return {};
}

QString GruppenVorlageGross(int gruppe) {
  if (gruppe == 0)
    return QStringLiteral("Bilder/Deutschland/D_Kennzeichen.bmp");
  if (gruppe == 1)
    return QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_leer.bmp");
  return {};
}

QString GruppenVorlageKlein(int gruppe) {
  if (gruppe == 0)
    return QStringLiteral("Bilder/Deutschland/D_Kennzeichen_klein.bmp");
  if (gruppe == 1)
    return QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_klein.bmp");
  return {};
}

QString FehltMeldung(const QString &art, const QString &pfad, const QString &mitte) {
  return art + pfad + QStringLiteral("\r\n") + mitte + QStringLiteral("\r\n\t\tDas Programm wird beendet.");
}
