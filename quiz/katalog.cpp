// The catalogue of every plate, read once from the ranges' folders and text files.
#include "quiz/katalog.h"

#include "data/eintrag.h"
#include "data/gruppen.h"
#include "data/textdatei.h"
#include "quiz/quizregeln.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {
// The brackets also hold "bundesweit", "Bund" or "ohne Landeswappen"; only these are Länder.
const char16_t *const DeutscheLaender[] = {u"Baden-Württemberg",
                                           u"Bayern",
                                           u"Berlin",
                                           u"Brandenburg",
                                           u"Bremen",
                                           u"Hamburg",
                                           u"Hessen",
                                           u"Mecklenburg-Vorpommern",
                                           u"Niedersachsen",
                                           u"Nordrhein-Westfalen",
                                           u"Rheinland-Pfalz",
                                           u"Saarland",
                                           u"Sachsen",
                                           u"Sachsen-Anhalt",
                                           u"Schleswig-Holstein",
                                           u"Thüringen"};
const char16_t *const OesterreichischeLaender[] = {u"Burgenland",     u"Kärnten",    u"Niederösterreich",
                                                   u"Oberösterreich", u"Salzburg",   u"Steiermark",
                                                   u"Tirol",          u"Vorarlberg", u"Wien"};

// 0 German, 1 Austrian, -1 no Land.
int LandGruppe(const QString &land) {
  for (const char16_t *name : DeutscheLaender)
    if (land == QStringView(name))
      return DeutscheGruppe;
  for (const char16_t *name : OesterreichischeLaender)
    if (land == QStringView(name))
      return OesterreichischeGruppe;
  return -1;
}

// A line's picture field and visible description.
struct TZeile {
  QString Feld;
  QString Text;
};

QVector<TZeile> Zeilen(const QStringList &zeilen) {
  QVector<TZeile> ergebnis;
  for (const QString &zeile : zeilen) {
    const QString feld = KennzeichenEintrag::Bildfeld(zeile).trimmed();
    // A line without a picture field belongs to no plate.
    if (!feld.isEmpty())
      ergebnis << TZeile{feld, SichtbarerText(KennzeichenEintrag::ListenEintrag(zeile)).trimmed()};
  }
  return ergebnis;
}
} // namespace

QString BeschreibungsLand(const QString &beschreibung) {
  const QString text = beschreibung.trimmed();
  const int auf = text.lastIndexOf(QLatin1Char('['));
  if (!text.endsWith(QLatin1Char(']')) || auf < 0)
    return {};
  return text.mid(auf + 1, text.size() - auf - 2).trimmed();
}

TKatalog TKatalog::Lies(const TDatenOrdner &pfade, const std::function<QStringList(const QString &)> &liste) {
  TKatalog katalog;
  // German ranges first: the catalogue's order is the order of the range buttons.
  for (const TBereich bereich : JederBereich()) {
    const QString ordner = pfade.Ordner(bereich);
    if (!QFileInfo(ordner).isDir())
      continue;
    const std::optional<QStringList> zeilen =
        LadeZeilen(ordner + QLatin1Char('/') + BereichsTextDatei(bereich));
    if (!zeilen)
      continue;
    const QVector<TZeile> beschrieben = Zeilen(*zeilen);
    for (const QString &pfad : liste(ordner)) {
      TKatalogEintrag e;
      e.Gruppe = BereichsGruppe(bereich);
      e.Bereich = bereich;
      e.Ordner = ordner;
      e.Bild = QFileInfo(pfad).fileName();
      e.Code = KennzeichenEintrag::Code(e.Bild);
      for (const TZeile &zeile : beschrieben) {
        if (!KennzeichenEintrag::IstRichtig(zeile.Feld, e.Bild))
          continue;
        e.Beschreibungen << zeile.Text;
        const QString land = BeschreibungsLand(zeile.Text);
        if (LandGruppe(land) >= 0 && !e.Laender.contains(land))
          e.Laender << land;
      }
      katalog.FEintraege << e;
    }
  }
  return katalog;
}

QStringList TKatalog::Laender() const {
  QSet<QString> gesehen;
  QStringList deutsche;
  QStringList oesterreichische;
  for (const TKatalogEintrag &e : FEintraege)
    for (const QString &land : e.Laender)
      if (!gesehen.contains(land)) {
        gesehen.insert(land);
        (LandGruppe(land) == DeutscheGruppe ? deutsche : oesterreichische) << land;
      }
  return SortiereEintraege(deutsche) + SortiereEintraege(oesterreichische);
}

const TKatalogEintrag *TKatalog::Finde(int gruppe, const QString &bild) const {
  for (const TKatalogEintrag &e : FEintraege)
    if (e.Gruppe == gruppe && e.Bild == bild)
      return &e;
  return nullptr;
}

QVector<const TKatalogEintrag *> TKatalog::Auswahl(const TUebungsEinstellung &e, int gruppe) const {
  const QStringList codes = RoutenCodes(e.Route);
  const bool alle = e.Laender.isEmpty() && codes.isEmpty();
  QVector<const TKatalogEintrag *> auswahl;
  for (const TKatalogEintrag &platte : FEintraege) {
    const bool gewaehlt = alle ? platte.Gruppe == gruppe
                               : codes.contains(platte.Code.toUpper()) ||
                                     std::any_of(platte.Laender.cbegin(), platte.Laender.cend(),
                                                 [&](const QString &land) { return e.Laender.contains(land); });
    if (gewaehlt)
      auswahl << &platte;
  }
  return auswahl;
}

QVector<TUebersichtZeile> TKatalog::Uebersicht(const QVector<const TKatalogEintrag *> &platten, const TLernstand &stand,
                                               bool nachLand, bool umgekehrt, const QDateTime &jetzt) const {
  const QDateTime tagesende(jetzt.toLocalTime().date().addDays(1), QTime(0, 0), Qt::LocalTime);
  const QString ohneLand = QStringLiteral("ohne Land");
  QStringList namen = nachLand ? Laender() : QStringList{};
  if (!nachLand)
    for (const TBereich bereich : JederBereich())
      namen << BereichsName(bereich);
  namen << ohneLand;
  QVector<TUebersichtZeile> zeilen(namen.size());
  for (int i = 0; i < namen.size(); ++i)
    zeilen[i].Name = namen.at(i);
  for (const TKatalogEintrag *platte : platten) {
    QStringList orte = nachLand ? platte->Laender : QStringList{BereichsName(platte->Bereich)};
    if (orte.isEmpty())
      orte << ohneLand;
    const TLernEintrag *e = stand.Finde(LernGruppe(platte->Gruppe, umgekehrt), platte->Bild);
    for (const QString &ort : orte) {
      TUebersichtZeile &zeile = zeilen[std::max(0, int(namen.indexOf(ort)))];
      if (!e) {
        ++zeile.Neu;
        continue;
      }
      ++zeile.Kaesten[qBound(1, e->Kasten, KastenAnzahl) - 1];
      if (e->Faellig < tagesende)
        ++zeile.Faellig;
    }
  }
  // Rows of Länder or ranges the plates do not touch say nothing.
  zeilen.erase(std::remove_if(zeilen.begin(), zeilen.end(),
                              [](const TUebersichtZeile &z) {
                                return z.Neu == 0 &&
                                       std::all_of(z.Kaesten.cbegin(), z.Kaesten.cend(), [](int n) { return n == 0; });
                              }),
               zeilen.end());
  return zeilen;
}

QStringList RoutenCodes(const QString &route) {
  static const QRegularExpression trenner(QStringLiteral("[\\s,;]+"));
  QStringList codes;
  for (const QString &teil : route.split(trenner, Qt::SkipEmptyParts)) {
    const QString code = teil.toUpper();
    if (!codes.contains(code))
      codes << code;
  }
  return codes;
}
