// Spaced repetition in boxes for practice mode.
#include "quiz/uebungsregeln.h"

#include "quiz/katalog.h"

#include "data/eintrag.h"
#include "quiz/quizregeln.h"

#include <QDir>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {
// Box 1 is asked again in the same sitting; each box after it waits roughly three times as long,
// so a plate known five times in a row comes back after three weeks.
constexpr int Tage[KastenAnzahl] = {0, 1, 3, 7, 21};
constexpr qint64 SekundenJeTag = 24 * 60 * 60;
} // namespace

int KastenTage(int kasten) { return Tage[qBound(1, kasten, KastenAnzahl) - 1]; }

void WerteErsteWahlAus(TLernEintrag &eintrag, bool richtig, const QDateTime &jetzt) {
  const QDateTime utc = jetzt.toUTC();
  eintrag.Zuletzt = utc;
  // A plate answered before the file knew first answers is no new one of today's.
  if (!eintrag.Erstmals.isValid() && eintrag.Richtig + eintrag.Falsch == 0)
    eintrag.Erstmals = utc;
  // Knowing a plate again before it was due proves nothing about the interval: seven right answers
  // in a minute must not move it to three weeks.
  if (richtig && eintrag.Faellig > utc) {
    ++eintrag.Richtig;
    return;
  }
  if (richtig) {
    eintrag.Kasten = qMin(eintrag.Kasten + 1, KastenAnzahl);
    ++eintrag.Richtig;
  } else {
    eintrag.Kasten = 1;
    ++eintrag.Falsch;
  }
  eintrag.Faellig = jetzt.toUTC().addSecs(KastenTage(eintrag.Kasten) * SekundenJeTag);
}

namespace {
// A wrong plate waits for this many others before it comes back in the same sitting.
constexpr int Abstand = 3;

bool Gleich(const TLernSchluessel &a, const TLernSchluessel &b) { return a.Gruppe == b.Gruppe && a.Bild == b.Bild; }

// How far back in the sitting the plate was asked: 0 the very last, -1 not among the last Abstand.
int Rueckstand(const TLernSchluessel &k, const QVector<TLernSchluessel> &zuletzt) {
  for (int i = 0; i < Abstand && i < zuletzt.size(); ++i)
    if (Gleich(k, zuletzt.at(zuletzt.size() - 1 - i)))
      return i;
  return -1;
}

// The candidate with the earliest due time among those passing the test; -1 for none. Ties go to the
// first in candidate order.
template <typename Test>
int Fruehester(const QVector<TLernSchluessel> &kandidaten, const TLernstand &stand, Test test) {
  int beste = -1;
  QDateTime zeit;
  for (int i = 0; i < kandidaten.size(); ++i) {
    const TLernEintrag *e = stand.Finde(kandidaten.at(i).Gruppe, kandidaten.at(i).Bild);
    if (e && test(i, *e) && (beste < 0 || e->Faellig < zeit)) {
      beste = i;
      zeit = e->Faellig;
    }
  }
  return beste;
}

int ErstesNeues(const QVector<TLernSchluessel> &kandidaten, const TLernstand &stand,
                const QVector<TLernSchluessel> &zuletzt) {
  for (int i = 0; i < kandidaten.size(); ++i)
    if (!stand.Finde(kandidaten.at(i).Gruppe, kandidaten.at(i).Bild) && Rueckstand(kandidaten.at(i), zuletzt) != 0)
      return i;
  return -1;
}
} // namespace

int PlaneNaechsteFrage(const QVector<TLernSchluessel> &kandidaten, const TLernstand &stand,
                       const QVector<TLernSchluessel> &zuletzt, int neueHeute, int neueJeTag, bool voraus,
                       const QDateTime &jetzt) {
  const auto faellig = [&](int, const TLernEintrag &e) { return e.Faellig <= jetzt; };
  const auto rueck = [&](int i) { return Rueckstand(kandidaten.at(i), zuletzt); };
  int wahl = Fruehester(kandidaten, stand, [&](int i, const TLernEintrag &e) { return faellig(i, e) && rueck(i) < 0; });
  if (wahl >= 0)
    return wahl;
  if (neueHeute < neueJeTag && (wahl = ErstesNeues(kandidaten, stand, zuletzt)) >= 0)
    return wahl;
  if ((wahl = Fruehester(kandidaten, stand,
                         [&](int i, const TLernEintrag &e) { return faellig(i, e) && rueck(i) > 0; })) >= 0)
    return wahl;
  // The very last one again only when it is all that is due: better at once than not at all.
  if ((wahl = Fruehester(kandidaten, stand, faellig)) >= 0)
    return wahl;
  if (!voraus)
    return -1;
  if ((wahl = Fruehester(kandidaten, stand, [&](int i, const TLernEintrag &) { return rueck(i) != 0; })) >= 0)
    return wahl;
  return ErstesNeues(kandidaten, stand, zuletzt);
}

int NeueAmTag(const TLernstand &stand, const QDate &tag, bool umgekehrt) {
  int anzahl = 0;
  for (const TLernEintrag &e : stand.Eintraege())
    if (!e.Geloescht() && e.Erstmals.isValid() && IstUmgekehrteLernGruppe(e.Gruppe) == umgekehrt &&
        e.Erstmals.toLocalTime().date() == tag)
      ++anzahl;
  return anzahl;
}

std::array<int, KastenAnzahl> KastenZaehlung(const TLernstand &stand, const QVector<TLernSchluessel> &platten) {
  std::array<int, KastenAnzahl> kaesten{};
  for (const TLernSchluessel &k : platten)
    if (const TLernEintrag *e = stand.Finde(k.Gruppe, k.Bild))
      ++kaesten[qBound(1, e->Kasten, KastenAnzahl) - 1];
  return kaesten;
}

QDateTime NaechsteFaelligkeit(const TLernstand &stand, const QVector<TLernSchluessel> &platten,
                              const QDateTime &jetzt) {
  const int i = Fruehester(platten, stand, [&](int, const TLernEintrag &e) { return e.Faellig > jetzt; });
  return i < 0 ? QDateTime() : stand.Finde(platten.at(i).Gruppe, platten.at(i).Bild)->Faellig;
}

QString TagesendeText(int gefragt, int richtig, const std::array<int, KastenAnzahl> &kaesten, const QDateTime &naechste,
                      const QDateTime &jetzt) {
  QStringList teile;
  for (int k = 0; k < KastenAnzahl; ++k)
    teile << QStringLiteral("%1: %2").arg(k + 1).arg(kaesten.at(k));
  QString text = QStringLiteral("Für heute geschafft.\n%1 Kennzeichen gefragt, %2 davon richtig.\nIn den Kästen: %3\n")
                     .arg(gefragt)
                     .arg(richtig)
                     .arg(teile.join(QStringLiteral(" · ")));
  if (!naechste.isValid())
    return text + QStringLiteral("Keine weiteren Kennzeichen fällig.");
  const QDateTime ort = naechste.toLocalTime();
  const qint64 tage = jetzt.toLocalTime().date().daysTo(ort.date());
  const QString tag = tage <= 0   ? QStringLiteral("heute")
                      : tage == 1 ? QStringLiteral("morgen")
                                  : QStringLiteral("am %1").arg(ort.date().toString(QStringLiteral("d.M.")));
  return text +
         QStringLiteral("Die nächsten sind %1 ab %2 Uhr fällig.").arg(tag, ort.time().toString(QStringLiteral("H:mm")));
}

namespace {
// Codes a learner confuses: one begins the other ("M", "MB") or they differ in one letter ("AB", "AD").
bool Aehnlich(const QString &a, const QString &b) {
  if (a.isEmpty() || b.isEmpty())
    return false;
  if (a.startsWith(b) || b.startsWith(a) || a.at(0) == b.at(0))
    return true;
  if (a.size() != b.size())
    return false;
  int anders = 0;
  for (int i = 0; i < a.size(); ++i)
    anders += a.at(i) != b.at(i);
  return anders <= 1;
}

// Tier 0 is the most plausible. Within a tier the order is random.
struct TKandidat {
  int Stufe;
  quint32 Los;
  QString Wert;
};

QStringList NimmDieBesten(QVector<TKandidat> kandidaten, int anzahl) {
  std::stable_sort(kandidaten.begin(), kandidaten.end(), [](const TKandidat &a, const TKandidat &b) {
    return a.Stufe != b.Stufe ? a.Stufe < b.Stufe : a.Los < b.Los;
  });
  QStringList gewaehlt;
  for (int i = 0; i < kandidaten.size() && gewaehlt.size() < anzahl; ++i)
    gewaehlt << kandidaten.at(i).Wert;
  return gewaehlt;
}

int Stufe(bool gleichesLand, bool aehnlicherCode, bool gleicherAnfang) {
  return gleichesLand ? 0 : aehnlicherCode ? 1 : gleicherAnfang ? 2 : 3;
}
} // namespace

QStringList WaehleAntworten(const QStringList &eintraege, const QString &richtigeZeile, const QString &bildDatei,
                            int anzahl, QRandomGenerator &zufall) {
  const QString code = FrageCode(bildDatei).section(QLatin1Char('_'), 0, 0);
  const QString richtigerText = SichtbarerText(richtigeZeile);
  const QString land = BeschreibungsLand(richtigerText);
  // One entry per other code, so six choices never hold two lines of one district.
  QHash<QString, int> proCode;
  QVector<TKandidat> andere;
  for (const QString &eintrag : eintraege) {
    const QString feld = eintrag.section(QLatin1Char('	'), -1).trimmed();
    // An entry without a TAB is no answer at all.
    if (!eintrag.contains(QLatin1Char('\t')) || eintrag == richtigeZeile ||
        KennzeichenEintrag::IstRichtig(feld, bildDatei))
      continue;
    const QString andererCode = KennzeichenEintrag::Code(feld);
    const QString text = SichtbarerText(eintrag);
    const TKandidat k{Stufe(!land.isEmpty() && BeschreibungsLand(text) == land, Aehnlich(code, andererCode),
                            !text.isEmpty() && !richtigerText.isEmpty() && text.at(0) == richtigerText.at(0)),
                      zufall.generate(), eintrag};
    const auto schon = proCode.constFind(andererCode);
    if (schon == proCode.cend()) {
      proCode.insert(andererCode, int(andere.size()));
      andere << k;
    } else if (k.Stufe < andere.at(*schon).Stufe) {
      andere[*schon] = k;
    }
  }
  QStringList ergebnis;
  if (!richtigeZeile.isEmpty())
    ergebnis << richtigeZeile;
  return ergebnis + NimmDieBesten(andere, qMax(0, anzahl - int(ergebnis.size())));
}

QStringList WaehleRueckCodes(const TKatalog &katalog, const TKatalogEintrag &gefragt, int anzahl,
                             QRandomGenerator &zufall) {
  QSet<QString> gesehen{gefragt.Code};
  QVector<TKandidat> andere;
  const QString name = gefragt.Beschreibungen.value(0);
  for (const TKatalogEintrag &e : katalog.Eintraege()) {
    if (e.Gruppe != gefragt.Gruppe || gesehen.contains(e.Code))
      continue;
    gesehen.insert(e.Code);
    const bool gleichesLand = std::any_of(e.Laender.cbegin(), e.Laender.cend(),
                                          [&](const QString &l) { return gefragt.Laender.contains(l); });
    const QString text = e.Beschreibungen.value(0);
    andere << TKandidat{Stufe(gleichesLand, Aehnlich(gefragt.Code, e.Code),
                              !text.isEmpty() && !name.isEmpty() && text.at(0) == name.at(0)),
                        zufall.generate(), e.Code};
  }
  return QStringList{gefragt.Code} + NimmDieBesten(andere, qMax(0, anzahl - 1));
}

QString PunkteText(int richtig, int gefragt) { return QStringLiteral("%1 von %2 richtig").arg(richtig).arg(gefragt); }

QString KastenText(int kasten) {
  if (kasten < 1)
    return QStringLiteral("Noch nicht geübt");
  return QStringLiteral("Kasten %1 von %2").arg(qMin(kasten, KastenAnzahl)).arg(KastenAnzahl);
}

QColor KastenFarbe(int kasten) {
  // Hue from red to green in equal steps, dark enough to stand 3:1 apart from an empty (white) segment
  // even in yellow.
  const int stufe = qBound(1, kasten, KastenAnzahl) - 1;
  return QColor::fromHsv(120 * stufe / (KastenAnzahl - 1), 255, 140);
}

QString LernstandFehlerText(TLernstandFehler fehler, const QString &pfad) {
  QString grund;
  switch (fehler) {
  case TLernstandFehler::Keiner: return {};
  case TLernstandFehler::Unlesbar: grund = QStringLiteral("lässt sich nicht lesen"); break;
  case TLernstandFehler::ZuGross: grund = QStringLiteral("ist viel zu groß für einen Lernstand"); break;
  case TLernstandFehler::KeineDatei: grund = QStringLiteral("ist keine gewöhnliche Datei"); break;
  case TLernstandFehler::LinkOhneZiel:
    grund = QStringLiteral("ist ein Verweis auf eine Datei, die es nicht gibt");
    break;
  case TLernstandFehler::NichtGeschrieben:
    grund = QStringLiteral("lässt sich nicht schreiben (keine Schreibrechte oder kein Platz mehr)");
    break;
  }
  // A file that could not be read may hold the learner's progress: it is left alone, and the text says so.
  const bool geschont = fehler == TLernstandFehler::Unlesbar || fehler == TLernstandFehler::ZuGross ||
                        fehler == TLernstandFehler::KeineDatei;
  return QStringLiteral(
             "Der Lernstand kann nicht gespeichert werden: Die Datei „%1“ %2%3. Die Antworten beim Üben gehen beim "
             "Beenden verloren.")
      .arg(QDir::toNativeSeparators(pfad), grund,
           geschont ? QStringLiteral(" und wird deshalb nicht überschrieben") : QString());
}
