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
constexpr int Zeitfelder = 2; // when last and first answered, optional after the required ones
const QString NeueSchluessel = QStringLiteral("Neue am Tag");
const QString AntwortenSchluessel = QStringLiteral("Antworten");
const QString Sechs = QStringLiteral("sechs");
const QString Alle = QStringLiteral("alle");
const QString RichtungSchluessel = QStringLiteral("Richtung");
const QString Vorwaerts = QStringLiteral("Kennzeichen zu Kreis");
const QString Rueckwaerts = QStringLiteral("Kreis zu Kennzeichen");
const QString LaenderSchluessel = QStringLiteral("Länder");
const QString RouteSchluessel = QStringLiteral("Route");
const QChar LaenderTrenner = QLatin1Char(';');
constexpr int GroessteNeueJeTag = 999;
const QString UmgekehrtEndung = QStringLiteral(" umgekehrt");

QString Schluessel(const QString &gruppe, const QString &bild) { return gruppe + Tab + bild; }

std::optional<int> Zahl(const QString &feld) {
  bool ok = false;
  const int wert = feld.trimmed().toInt(&ok);
  if (!ok || wert < 0)
    return std::nullopt;
  return wert;
}

QDateTime Zeitpunkt(const QString &feld) {
  const QDateTime zeit = QDateTime::fromString(feld.trimmed(), Qt::ISODate);
  return zeit.isValid() ? zeit.toUTC() : QDateTime();
}

QString ZeitText(const QDateTime &zeit) { return zeit.isValid() ? zeit.toUTC().toString(Qt::ISODate) : QString(); }

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
  if (eintrag.Gruppe.isEmpty() || eintrag.Bild.isEmpty() || !kasten || !richtig || !falsch ||
      !eintrag.Faellig.isValid())
    return std::nullopt;
  // A version with more boxes: its higher ones are our highest.
  eintrag.Kasten = qMin(*kasten, KastenAnzahl);
  eintrag.Faellig = eintrag.Faellig.toUTC();
  eintrag.Richtig = *richtig;
  eintrag.Falsch = *falsch;
  // A hand-edited date that cannot be read costs only the merge its tie-break, never the line.
  eintrag.Zuletzt = Zeitpunkt(felder.value(Pflichtfelder));
  eintrag.Erstmals = Zeitpunkt(felder.value(Pflichtfelder + 1));
  eintrag.Zusatz = felder.mid(Pflichtfelder + Zeitfelder);
  return eintrag;
}

// A later time wins; an unknown one is the earliest.
bool Spaeter(const QDateTime &a, const QDateTime &b) {
  if (!a.isValid())
    return false;
  return !b.isValid() || a > b;
}

// A setting line ("key TAB value"); false when the key is none of ours.
bool LiesEinstellung(const QString &schluessel, const QString &wert, TLernstand &stand) {
  TUebungsEinstellung &e = stand.Einstellung;
  if (schluessel == UebenSchluessel) {
    if (wert == An || wert == Aus)
      stand.Ueben = wert == An;
  } else if (schluessel == NeueSchluessel) {
    bool ok = false;
    const int zahl = wert.toInt(&ok);
    if (ok)
      e.NeueJeTag = qBound(1, zahl, GroessteNeueJeTag);
  } else if (schluessel == AntwortenSchluessel) {
    if (wert == Sechs || wert == Alle)
      e.AlleAntworten = wert == Alle;
  } else if (schluessel == RichtungSchluessel) {
    if (wert == Vorwaerts || wert == Rueckwaerts)
      e.Umgekehrt = wert == Rueckwaerts;
  } else if (schluessel == LaenderSchluessel) {
    e.Laender.clear();
    for (const QString &land : wert.split(LaenderTrenner))
      if (!land.trimmed().isEmpty() && !e.Laender.contains(land.trimmed()))
        e.Laender << land.trimmed();
  } else if (schluessel == RouteSchluessel) {
    e.Route = wert;
  } else {
    return false;
  }
  return true;
}

// A field holding a TAB or a line break would break the line into others when read back.
bool Schreibbar(const QString &feld) {
  return !feld.contains(Tab) && !feld.contains(QLatin1Char('\n')) && !feld.contains(QLatin1Char('\r'));
}
} // namespace

int TLernstand::Stelle(const QString &gruppe, const QString &bild) const {
  return FIndex.value(Schluessel(gruppe, bild), -1);
}

const TLernEintrag *TLernstand::Finde(const QString &gruppe, const QString &bild) const {
  const int stelle = Stelle(gruppe, bild);
  return stelle < 0 || FEintraege.at(stelle).Geloescht() ? nullptr : &FEintraege.at(stelle);
}

TLernEintrag &TLernstand::Neu(const QString &gruppe, const QString &bild) {
  int stelle = Stelle(gruppe, bild);
  if (stelle < 0) {
    stelle = int(FEintraege.size());
    FIndex.insert(Schluessel(gruppe, bild), stelle);
    FEintraege.append(TLernEintrag{});
  }
  TLernEintrag &neu = FEintraege[stelle];
  neu = TLernEintrag{};
  neu.Gruppe = gruppe;
  neu.Bild = bild;
  neu.Faellig = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
  return neu;
}

TLernEintrag &TLernstand::Hole(const QString &gruppe, const QString &bild) {
  const int stelle = Stelle(gruppe, bild);
  if (stelle >= 0 && !FEintraege.at(stelle).Geloescht())
    return FEintraege[stelle];
  // A reset plate starts afresh in its old slot, so the file keeps its order.
  return Neu(gruppe, bild);
}

void TLernstand::SetzeZurueck(const QString &gruppe, const QString &bild, const QDateTime &jetzt) {
  if (Stelle(gruppe, bild) < 0)
    return;
  TLernEintrag &e = Neu(gruppe, bild);
  e.Kasten = 0;
  e.Faellig = jetzt.toUTC();
  e.Zuletzt = jetzt.toUTC();
}

void TLernstand::Vereine(const TLernstand &platte) {
  for (const TLernEintrag &dort : platte.Eintraege()) {
    const int stelle = Stelle(dort.Gruppe, dort.Bild);
    if (stelle < 0) {
      FIndex.insert(Schluessel(dort.Gruppe, dort.Bild), int(FEintraege.size()));
      FEintraege.append(dort);
    } else if (Spaeter(dort.Zuletzt, FEintraege.at(stelle).Zuletzt)) {
      FEintraege[stelle] = dort;
    }
  }
  for (const QString &zeile : platte.FremdeEinstellungen) {
    const QString schluessel = zeile.section(Tab, 0, 0);
    const bool schonDa = std::any_of(FremdeEinstellungen.cbegin(), FremdeEinstellungen.cend(),
                                     [&](const QString &z) { return z.section(Tab, 0, 0) == schluessel; });
    if (!schonDa)
      FremdeEinstellungen << zeile;
  }
}

QString LernGruppe(int gruppe, bool umgekehrt) {
  const TGruppe *g = GruppeNr(gruppe);
  if (!g)
    return {};
  const QString name = QString::fromUtf16(g->LernName);
  return umgekehrt ? name + UmgekehrtEndung : name;
}

bool IstUmgekehrteLernGruppe(const QString &lernGruppe) { return lernGruppe.endsWith(UmgekehrtEndung); }

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
    if (felder.size() == 2) {
      if (!felder.at(0).trimmed().isEmpty() &&
          !LiesEinstellung(felder.at(0).trimmed(), felder.at(1).trimmed(), stand) &&
          !stand.FremdeEinstellungen.contains(zeile))
        stand.FremdeEinstellungen << zeile;
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
                                "# Gruppe\tBild\tKasten (1 bis 5, 0: gelöscht)\tfällig ab (UTC)\trichtig\tfalsch\t"
                                "zuletzt (UTC)\terstmals (UTC)\n");
  const TUebungsEinstellung &e = stand.Einstellung;
  QStringList einstellungen{UebenSchluessel + Tab + (stand.Ueben ? An : Aus),
                            NeueSchluessel + Tab + QString::number(e.NeueJeTag),
                            AntwortenSchluessel + Tab + (e.AlleAntworten ? Alle : Sechs),
                            RichtungSchluessel + Tab + (e.Umgekehrt ? Rueckwaerts : Vorwaerts)};
  if (!e.Laender.isEmpty())
    einstellungen << LaenderSchluessel + Tab + e.Laender.join(LaenderTrenner);
  if (!e.Route.trimmed().isEmpty())
    einstellungen << RouteSchluessel + Tab + e.Route.trimmed();
  for (const QString &zeile : einstellungen + stand.FremdeEinstellungen)
    if (zeile.count(Tab) == 1 && Schreibbar(zeile.section(Tab, 1)))
      text += zeile + QLatin1Char('\n');
  for (const TLernEintrag &e : stand.Eintraege()) {
    QStringList felder{e.Gruppe,
                       e.Bild,
                       QString::number(e.Kasten),
                       e.Faellig.toUTC().toString(Qt::ISODate),
                       QString::number(e.Richtig),
                       QString::number(e.Falsch),
                       ZeitText(e.Zuletzt),
                       ZeitText(e.Erstmals)};
    felder += e.Zusatz;
    if (std::all_of(felder.cbegin(), felder.cend(), Schreibbar))
      text += felder.join(Tab) + QLatin1Char('\n');
  }
  return text.toUtf8();
}
