// The quiz's rules without widgets.
#include "quiz/quizregeln.h"

#include "data/ansi.h"
#include "data/eintrag.h"
#include "data/gruppen.h"

#include <QAbstractTextDocumentLayout>
#include <QCollator>
#include <QLocale>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>

namespace {
const QChar Tab = QLatin1Char('\t');

// Fewer characters than this fit on the map button after " auf Karte anzeigen".
constexpr int LangerNameBreit = 31;
constexpr int LangerNameSchmal = 22;

constexpr int ErgebnisBildVersatz = 75;
} // namespace

QString FrageText(int gruppe, const QString &bildDatei) {
  const TGruppe *g = GruppeNr(gruppe);
  return g ? QString::fromUtf16(g->FrageAnfang) + FrageCode(bildDatei) + QStringLiteral("  am Anfang ?") : QString();
}

TFrageListe BaueFrageListe(const QStringList &zeilen, const QString &bildDatei) {
  TFrageListe liste;
  liste.Eintraege.reserve(zeilen.size());
  for (const QString &zeile : zeilen) {
    // Lines without a TAB are listed as they stand and never judged right.
    const QString eintrag = KennzeichenEintrag::ListenEintrag(zeile);
    if (zeile.contains(Tab) && KennzeichenEintrag::IstRichtig(KennzeichenEintrag::Bildfeld(zeile), bildDatei))
      liste.RichtigeZeile = eintrag;
    if (!AnsiTrim(eintrag).isEmpty())
      liste.Eintraege.append(eintrag);
  }
  return liste;
}

QStringList SortiereEintraege(QStringList eintraege) {
  QCollator sortierung{QLocale(QLocale::German, QLocale::Germany)};
  sortierung.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(eintraege.begin(), eintraege.end(),
                   [&sortierung](const QString &a, const QString &b) { return sortierung.compare(a, b) < 0; });
  return eintraege;
}

QString SichtbarerText(const QString &eintrag) {
  const int tab = eintrag.indexOf(Tab);
  return tab < 0 ? eintrag : eintrag.left(tab);
}

std::optional<TAntwort> ZerlegeAntwort(const QString &eintrag) {
  const int tab = eintrag.indexOf(Tab);
  if (tab < 0)
    return std::nullopt;
  TAntwort antwort;
  antwort.Bildfeld = AnsiTrim(eintrag.mid(tab + 1));
  antwort.Code = KennzeichenEintrag::Code(antwort.Bildfeld);
  antwort.Bildname = KennzeichenEintrag::Bildname(eintrag);
  QString text = eintrag;
  if (!antwort.Bildname.isEmpty()) {
    // The picture name is cut out where it first stands, in its full width (8 or 7 characters).
    const int laenge = antwort.Bildfeld.contains(QLatin1Char('_')) ? 8 : 7;
    text.remove(text.indexOf(antwort.Bildname), laenge);
  }
  antwort.Text = AnsiTrim(text);
  return antwort;
}

QString KarteBtnText(const QString &kartenName, int fensterBreite) {
  const int grenze = fensterBreite > MindestFensterBreite ? LangerNameBreit : LangerNameSchmal;
  // The length counts the blanks that the caption then leaves out.
  const QString name = AnsiTrim(kartenName);
  if (kartenName.size() >= grenze)
    return name;
  return KarteBtnName(kartenName);
}

QString KarteBtnName(const QString &kartenName) { return AnsiTrim(kartenName) + QStringLiteral(" auf Karte anzeigen"); }

QString AnzeigeText(const QString &text) {
  if (text.size() <= GroessteAnzeigeLaenge)
    return text;
  return text.left(text.at(GroessteAnzeigeLaenge - 1).isHighSurrogate() ? GroessteAnzeigeLaenge - 1
                                                                        : GroessteAnzeigeLaenge);
}

QString AntwortAnzeige(const QString &text) { return AnzeigeText(text); }

int AngezeigteZeilen(const QString &text, const QFont &schrift, int textBreite, qreal dokumentRand) {
  QTextDocument dokument;
  dokument.setDefaultFont(schrift);
  dokument.setDocumentMargin(dokumentRand);
  dokument.setPlainText(text);
  dokument.setTextWidth(textBreite);
  dokument.documentLayout()->documentSize(); // lays the text out
  int zeilen = 0;
  for (QTextBlock block = dokument.begin(); block.isValid(); block = block.next())
    zeilen += block.layout() ? block.layout()->lineCount() : 0;
  return zeilen;
}

int Memo2Hoehe(int zeilen, int bisherigeHoehe) {
  switch (zeilen) {
  case 1: return 30;
  case 2: return 50;
  case 3: return 70;
  default: return bisherigeHoehe;
  }
}

TPlatzierung PlatzierungUnterListe(int listeUnten, int gruppe) {
  TPlatzierung platz;
  platz.KarteBtnOben = listeUnten + 10;
  platz.Image4Oben = listeUnten + 12;
  // No group places the code as the German plates do.
  const TGruppe *g = GruppeNr(gruppe);
  if (!g)
    g = GruppeNr(DeutscheGruppe);
  platz.Image3Links = g->KleinesBild.x();
  platz.Image3Oben = listeUnten + g->KleinesBild.y();
  platz.Image3Hoehe = g->KleinesBildHoehe;
  return platz;
}

int ErgebnisBildLinks(int panelLinks, int panelBreite, int bildBreite) {
  return panelLinks + panelBreite / 2 - bildBreite / 2 - ErgebnisBildVersatz;
}

QString StandardKartenAdresse() { return QStringLiteral("https://www.openstreetmap.org/"); }

QUrl KartenUrl(const QString &adresse) {
  // The address comes from an editable settings file and goes to the platform's "open" action:
  // a file path or any other scheme there would start a program instead of a map. A web address
  // is taken as a browser takes it from its address bar, blanks and umlauts encoded.
  QString text = adresse.trimmed();
  // The classic "open" took an address that starts with "www." for a web address.
  if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
    text.prepend(QLatin1String("https://"));
  const QUrl url(text, QUrl::TolerantMode);
  const QString schema = url.scheme();
  if (url.isValid() && (schema == QLatin1String("http") || schema == QLatin1String("https")) && !url.host().isEmpty())
    return url;
  return QUrl(StandardKartenAdresse());
}

QString BildFehlerMeldung(const QString &pfad) {
  return QStringLiteral("Das Bild\r\n") + pfad + QStringLiteral("\r\nkann nicht geladen werden.");
}
