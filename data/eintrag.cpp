// One line of a range text file: the list entry built from it and the values the quiz reads off it.
#include "data/eintrag.h"

#include "data/gruppen.h"

#include "data/ansi.h"

namespace {
const QChar Tab = QLatin1Char('\t');
const QString Jpg = QStringLiteral(".jpg");
const QString Optional = QStringLiteral(", (optional)");
const QString OptionalLang = QStringLiteral(", (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit)");

// Text up to (not including) the first occurrence of trenner; the whole text when there is none.
QString BisVor(const QString &text, const QString &trenner) {
  const int stelle = text.indexOf(trenner);
  return stelle < 0 ? text : text.left(stelle);
}
} // namespace

namespace KennzeichenEintrag {

QString Erweitert(const QString &zeile) {
  const int stelle = zeile.indexOf(Optional);
  if (stelle < 0)
    return zeile;
  QString ergebnis = zeile;
  return ergebnis.replace(stelle, Optional.size(), OptionalLang);
}

QString Bildfeld(const QString &zeile) {
  const int stelle = zeile.indexOf(Tab);
  return stelle < 0 ? QString() : zeile.left(stelle);
}

QString ListenEintrag(const QString &zeile) {
  if (!zeile.contains(Tab))
    return zeile;
  // The field is taken before the expansion, the description after it.
  const QString feld = Bildfeld(zeile);
  const QString erweitert = Erweitert(zeile);
  return erweitert.mid(erweitert.indexOf(Tab) + 1) + Tab + Tab + feld;
}

QString Code(const QString &bildfeld) {
  if (bildfeld.contains(QLatin1Char('_')))
    return BisVor(bildfeld, QStringLiteral("_"));
  return BisVor(bildfeld, Jpg);
}

QString KartenName(const QString &listenEintrag, int gruppe) {
  QString name = BisVor(listenEintrag, QStringLiteral(","));
  name = BisVor(name, QStringLiteral("["));
  name = BisVor(name, QString(Tab));
  const TGruppe *g = GruppeNr(gruppe);
  if (g && name.contains(QString::fromUtf16(g->SonderEintrag)))
    return QString::fromUtf16(g->SonderName);
  return name;
}

QString Bildname(const QString &listenEintrag) {
  const int jpg = listenEintrag.indexOf(Jpg);
  if (jpg < 0)
    return {};
  // The picture field decides the form: "W_9.jpg" needs room for the state suffix.
  const int tab = listenEintrag.indexOf(Tab);
  const QString feld = tab < 0 ? QString() : listenEintrag.mid(tab + 1);
  const int laenge = feld.contains(QLatin1Char('_')) ? 8 : 7;
  const int ende = jpg + Jpg.size();
  const int anfang = qMax(0, ende - laenge);
  return AnsiTrim(listenEintrag.mid(anfang, ende - anfang));
}

bool IstRichtig(const QString &bildfeld, const QString &bildDatei) {
  return !bildfeld.isEmpty() && bildDatei.startsWith(bildfeld);
}

} // namespace KennzeichenEintrag

QString FrageCode(const QString &bildDatei) {
  QString code = bildDatei;
  const int stelle = code.indexOf(Jpg, 0, Qt::CaseInsensitive);
  if (stelle >= 0)
    code.remove(stelle, Jpg.size());
  return code;
}
