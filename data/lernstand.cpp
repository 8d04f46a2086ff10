// Reading and writing the progress text; tolerant, since a person may edit it and a newer version
// may have written it.
#include "data/lernstand.h"

#include "data/gruppen.h"

#include <algorithm>
#include <optional>

namespace {
const QChar Tab = QLatin1Char('\t');
const QString UebenSchluessel = QStringLiteral("Üben");
const QString An = QStringLiteral("an");
const QString Aus = QStringLiteral("aus");
constexpr int Pflichtfelder = 6;

QString Schluessel(const QString &gruppe, const QString &bild) { return gruppe + Tab + bild; }

std::optional<int> Zahl(const QString &feld) {
  bool ok = false;
  const int wert = feld.trimmed().toInt(&ok);
  if (!ok || wert < 0)
    return std::nullopt;
  return wert;
}

std::optional<TLernEintrag> LiesEintrag(const QStringList &felder) {
  if (felder.size() < Pflichtfelder)
    return std::nullopt;
  TLernEintrag eintrag;
  eintrag.Gruppe = felder.at(0).trimmed();
  eintrag.Bild = felder.at(1).trimmed();
  const std::optional<int> kasten = Zahl(felder.at(2));
  const std::optional<int> richtig = Zahl(felder.at(4));
  const std::optional<int> falsch = Zahl(felder.at(5));
  eintrag.Faellig = QDateTime::fromString(felder.at(3).trimmed(), Qt::ISODate);
  if (eintrag.Gruppe.isEmpty() || eintrag.Bild.isEmpty() || !kasten || *kasten < 1 || !richtig || !falsch ||
      !eintrag.Faellig.isValid())
    return std::nullopt;
  // A version with more boxes: its higher ones are our highest.
  eintrag.Kasten = qMin(*kasten, KastenAnzahl);
  eintrag.Faellig = eintrag.Faellig.toUTC();
  eintrag.Richtig = *richtig;
  eintrag.Falsch = *falsch;
  eintrag.Zusatz = felder.mid(Pflichtfelder);
  return eintrag;
}

// A field holding a TAB or a line break would break the line into others when read back.
bool Schreibbar(const QString &feld) {
  return !feld.contains(Tab) && !feld.contains(QLatin1Char('\n')) && !feld.contains(QLatin1Char('\r'));
}
} // namespace

const TLernEintrag *TLernstand::Finde(const QString &gruppe, const QString &bild) const {
  const auto gefunden = FIndex.constFind(Schluessel(gruppe, bild));
  return gefunden == FIndex.cend() ? nullptr : &FEintraege.at(*gefunden);
}

TLernEintrag &TLernstand::Hole(const QString &gruppe, const QString &bild) {
  const QString schluessel = Schluessel(gruppe, bild);
  const auto gefunden = FIndex.constFind(schluessel);
  if (gefunden != FIndex.cend())
    return FEintraege[*gefunden];
  TLernEintrag neu;
  neu.Gruppe = gruppe;
  neu.Bild = bild;
  neu.Faellig = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
  FIndex.insert(schluessel, int(FEintraege.size()));
  FEintraege.append(neu);
  return FEintraege.last();
}

QString LernGruppe(int gruppe) {
  const TGruppe *g = GruppeNr(gruppe);
  return g ? QString::fromUtf16(g->LernName) : QString();
}

TLernstand LiesLernstand(const QByteArray &inhalt) {
  TLernstand stand;
  QString text = QString::fromUtf8(inhalt);
  if (text.startsWith(QChar(0xFEFF)))
    text.remove(0, 1);
  for (QString zeile : text.split(QLatin1Char('\n'))) {
    if (zeile.endsWith(QLatin1Char('\r')))
      zeile.chop(1);
    if (zeile.trimmed().isEmpty() || zeile.startsWith(QLatin1Char('#')))
      continue;
    const QStringList felder = zeile.split(Tab);
    if (felder.at(0).trimmed() == UebenSchluessel) {
      const QString wert = felder.value(1).trimmed();
      if (wert == An || wert == Aus)
        stand.Ueben = wert == An;
      continue;
    }
    if (const std::optional<TLernEintrag> eintrag = LiesEintrag(felder)) {
      // The same plate twice: the later line counts, as a person appending a line would expect.
      TLernEintrag &ziel = stand.Hole(eintrag->Gruppe, eintrag->Bild);
      ziel = *eintrag;
    }
  }
  return stand;
}

QByteArray SchreibeLernstand(const TLernstand &stand) {
  QString text = QStringLiteral("# Nummernfibel: Lernstand im Übungsmodus\n"
                                "# Gruppe\tBild\tKasten (1 bis 5)\tfällig ab (UTC)\trichtig\tfalsch\n");
  text += UebenSchluessel + Tab + (stand.Ueben ? An : Aus) + QLatin1Char('\n');
  for (const TLernEintrag &e : stand.Eintraege()) {
    QStringList felder{e.Gruppe,
                       e.Bild,
                       QString::number(e.Kasten),
                       e.Faellig.toUTC().toString(Qt::ISODate),
                       QString::number(e.Richtig),
                       QString::number(e.Falsch)};
    felder += e.Zusatz;
    if (std::all_of(felder.cbegin(), felder.cend(), Schreibbar))
      text += felder.join(Tab) + QLatin1Char('\n');
  }
  return text.toUtf8();
}
