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

namespace {

// Every fact of a letter range in one row: its folder, its text file, the first characters of the
// codes it holds ("0" and "Ü" included), and its name as the range buttons show it.
struct TBuchstabenBereich {
  TBereich Bereich;
  int Gruppe;
  const char16_t *Name;
  const char16_t *Ordner;
  const char16_t *TextDatei;
  const char16_t *Anfaenge;
};

constexpr TBuchstabenBereich BuchstabenBereiche[] = {
    // The diplomatic corps' "0" lies with A-E; without it its plate could be neither learned nor found.
    {TBereich::A_E, 0, u"A - E", u"Bilder/Deutschland/A-E", u"A-E.txt", u"0ABCDE"},
    {TBereich::F_J, 0, u"F - J", u"Bilder/Deutschland/F-J", u"F-J.txt", u"FGHIJ"},
    {TBereich::K_O, 0, u"K - O", u"Bilder/Deutschland/K-O", u"K-O.txt", u"KLMNOÖ"},
    {TBereich::P_T, 0, u"P - T", u"Bilder/Deutschland/P-T", u"P-T.txt", u"PQRST"},
    // Codes such as "ÜB" exist, and the data set files them with U-Z.
    {TBereich::U_Z, 0, u"U - Z", u"Bilder/Deutschland/U-Z", u"U-Z.txt", u"UVWXYZÜ"},
    // Austria has no district codes beginning with C, Q, X or Y.
    {TBereich::Oesterreich, 1, u"Österreich", u"Bilder/Österreich/A-Z", u"Ö-Kfz.txt", u"ABDEFGHIJKLMNOPRSTUVWZ"},
};

const TBuchstabenBereich *Zeile(TBereich bereich) {
  for (const TBuchstabenBereich &zeile : BuchstabenBereiche)
    if (zeile.Bereich == bereich)
      return &zeile;
  return nullptr;
}

} // namespace

QString RelativerOrdner(TBereich bereich) {
  const TBuchstabenBereich *zeile = Zeile(bereich);
  return zeile ? QString::fromUtf16(zeile->Ordner) : QString();
}

QString BereichsName(TBereich bereich) {
  const TBuchstabenBereich *zeile = Zeile(bereich);
  return zeile ? QString::fromUtf16(zeile->Name) : QString();
}

int BereichsGruppe(TBereich bereich) {
  const TBuchstabenBereich *zeile = Zeile(bereich);
  return zeile ? zeile->Gruppe : -1;
}

QVector<TBereich> JederBereich() {
  QVector<TBereich> bereiche;
  for (const TBuchstabenBereich &zeile : BuchstabenBereiche)
    bereiche.append(zeile.Bereich);
  return bereiche;
}

QString BereichsTextDatei(TBereich bereich) {
  const TBuchstabenBereich *zeile = Zeile(bereich);
  return zeile ? QString::fromUtf16(zeile->TextDatei) : QString();
}

std::optional<TBereich> BereichFuerZeichen(int gruppe, QChar erstes) {
  for (const TBuchstabenBereich &zeile : BuchstabenBereiche)
    if (zeile.Gruppe == gruppe && QStringView(zeile.Anfaenge).contains(erstes))
      return zeile.Bereich;
  return std::nullopt;
}

QString FehltMeldung(const QString &art, const QString &pfad, const QString &mitte) {
  return art + pfad + QStringLiteral("\r\n") + mitte + QStringLiteral("\r\n\t\tDas Programm wird beendet.");
}
